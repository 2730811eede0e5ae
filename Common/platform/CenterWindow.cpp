// CenterWindow.cpp -- puts a window in the middle of the primary screen.
// user32 only and no C runtime: the loader stub compiles it in as well.
#include "CenterWindow.h"

void CenterWindow(HWND hWnd)
{
    RECT rc;
    if (!GetWindowRect(hWnd, &rc))
        return;
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    int left = GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
    int top = GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
    SetWindowPos(hWnd, NULL, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
