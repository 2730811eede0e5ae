// ProgressDialog.cpp -- "UNINSTDLG", the modeless dialog the removal engine writes its progress into.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "CenterWindow.h"
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

static INT_PTR CALLBACK ProgressDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
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

int CreateProgressDialog()
{
    // A script asked for no window at all.
    if (UninstallState.Quiet)
        return 1;
    // The progress bar class of "UNINSTDLG" lives there. Never released: the
    // dialog uses the class until the process ends.
    LoadLibraryA("COMCTL32.DLL");
    UninstallState.ProgressDialog =
        CreateDialogParamA(UninstallState.Instance, "UNINSTDLG", NULL, ProgressDialogProc, 0);
    return UninstallState.ProgressDialog != NULL;
}
