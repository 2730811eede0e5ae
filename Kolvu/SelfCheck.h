// SelfCheck.h -- verifying that the program's own executable file is intact.
#pragma once
#include <windows.h>

// Checks the running program's own file; on failure shows the alert that the
// executable is corrupt and returns 0.
int SelfCheck();
