// CenterWindow.h -- puts a window in the middle of the primary screen.
#pragma once
#include <windows.h>

// Moves the window, size and z-order unchanged and without activating it, so that
// its middle is the screen's (each half rounded down on its own).
void CenterWindow(HWND hWnd);
