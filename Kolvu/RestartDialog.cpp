// RestartDialog.cpp -- procedure of "RESTARTDLG", which lists the locked files and offers a restart.
#include "UninstallRun.h"
#include "LanguageDll.h"
#include "MultiLang.h"
#include "resource.h"

// Runs at creation during start-up, after the language has been prepared.
static void OnInitDialog(HWND hDlg)
{
    if (IsLanguageFileMode()) {
        SetWindowTextByKey(hDlg, "Uninstall|RestartTopic");
        SetDlgItemTextByKey(hDlg, IDC_RESTART_TEXT1, "Uninstall|Restart1");
        SetDlgItemTextByKey(hDlg, IDC_RESTART_TEXT2, "Uninstall|Restart2");
        SetDlgItemTextByKey(hDlg, IDC_RESTART_QUESTION, "Uninstall|Restart3");
        SetDlgItemTextByKey(hDlg, IDOK, "Yes");
        SetDlgItemTextByKey(hDlg, IDCANCEL, "No");
    } else {
        SetWindowResText(hDlg, 10007);
        SetDlgItemResText(hDlg, IDC_RESTART_TEXT1, 10008);
        SetDlgItemResText(hDlg, IDC_RESTART_TEXT2, 10009);
        SetDlgItemResText(hDlg, IDC_RESTART_QUESTION, 10010);
        SetDlgItemResText(hDlg, IDOK, 95);
        SetDlgItemResText(hDlg, IDCANCEL, 96);
    }
    CenterWindow(hDlg);
}

// Only a plain click counts: the whole wParam must be the button id.
static void OnCommand(HWND hDlg, WPARAM wParam)
{
    if (wParam == IDOK) {
        RestartWindows();
        PostQuitMessage(0);
        EndDialog(hDlg, 0);
    } else if (wParam == IDCANCEL) {
        // also the close box: the default dialog handling turns it into IDCANCEL
        PostQuitMessage(0);
        EndDialog(hDlg, 0);
    }
}

INT_PTR CALLBACK RestartDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (uMsg) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        break;
    case WM_COMMAND:
        OnCommand(hDlg, wParam);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return 0;
}
