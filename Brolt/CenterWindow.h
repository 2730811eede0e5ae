// CenterWindow.h -- two small window utilities of the wizard pages.
#pragma once

#include <windows.h>

// Moves the window to the middle of the screen, size unchanged.
void CenterWindow(HWND hWnd);

void EnableDlgItem(HWND hDlg, int id, BOOL enable);
