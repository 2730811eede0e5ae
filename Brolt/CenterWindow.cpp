// CenterWindow.cpp -- small window utilities shared by the wizard pages.
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
    MoveWindow(hWnd, left, top, width, height, TRUE);
}

void EnableDlgItem(HWND hDlg, int id, BOOL enable)
{
    EnableWindow(GetDlgItem(hDlg, id), enable);
}
