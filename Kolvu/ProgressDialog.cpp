// ProgressDialog.cpp -- procedure of "UNINSTDLG", the modeless dialog the removal engine writes its progress into.
#include "UninstallRun.h"
#include "LanguageDll.h"
#include "resource.h"
#include <commctrl.h>

// Created before any language is prepared, so the caption is always the
// uninstaller's own string and the labels show fixed English texts.
static void OnInitDialog(HWND hDlg)
{
    CenterWindow(hDlg);
    SetWindowResText(hDlg, 10011);
    SetDlgItemTextA(hDlg, IDC_PROGRESS_CAPTION, "Loading install-log");
    SetDlgItemTextA(hDlg, IDC_PROGRESS_DETAIL, "(Please wait)");
    // 120 steps with at most 100 ever used: the bar never looks quite full.
    SendDlgItemMessageA(hDlg, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 120));
    SendDlgItemMessageA(hDlg, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
}

INT_PTR CALLBACK ProgressDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    switch (uMsg) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    // WM_COMMAND is left alone on purpose: the removal cannot be interrupted.
    return 0;
}
