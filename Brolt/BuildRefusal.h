// BuildRefusal.h -- the wizard's build of its settings, and each refusal shown as a message.
#pragma once

#include <windows.h>

// Builds SfxSettings with pelstub.bin from this program's folder and KANTOR.EXE
// by the program search order. 1 built; 0 refused, after a message owned by
// owner that says why; -1 the build failed while writing (the page says so).
int BuildWizardSettings(HWND owner);
