// SelfCheck.h -- verifying that the program's own executable file is intact.
#pragma once
#include <windows.h>

// 1 when the file's PE checksum matches the one stamped into its header.
int VerifyExecutableFile(LPCSTR pszPath);

// Checks the running program's own file; on failure shows the alert that the
// executable is corrupt and returns 0.
int SelfCheck();
