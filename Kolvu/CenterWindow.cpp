// CenterWindow.cpp -- puts a dialog in the middle of the primary screen.
#include "UninstallRun.h"

BOOL CenterWindow(HWND hWnd)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    int nWidth = rc.right - rc.left;
    int nHeight = rc.bottom - rc.top;
    int x = GetSystemMetrics(SM_CXSCREEN) / 2 - nWidth / 2;
    int y = GetSystemMetrics(SM_CYSCREEN) / 2 - nHeight / 2;
    return MoveWindow(hWnd, x, y, nWidth, nHeight, TRUE);
}
