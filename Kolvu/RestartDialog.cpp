// RestartDialog.cpp -- "RESTARTDLG", which lists the files scheduled for the next start and offers a restart.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "CenterWindow.h"
#include "LockedFiles.h"
#include "resource.h"

static const RunText TITLE = {"Uninstall|RestartTopic", 10007, NULL};
static const struct {
    int nId;
    RunText text;
} ITEM_TEXTS[] = {
    {IDC_RESTART_TEXT1, {"Uninstall|Restart1", 10008, NULL}},
    {IDC_RESTART_TEXT2, {"Uninstall|Restart2", 10009, NULL}},
    {IDC_RESTART_QUESTION, {"Uninstall|Restart3", 10010, NULL}},
    // the buttons' keys have no section
    {IDOK, {"Yes", 95, NULL}},
    {IDCANCEL, {"No", 96, NULL}},
};

// Runs at creation during start-up, after the language has been prepared.
static void OnInitDialog(HWND hDlg)
{
    SetRunText(hDlg, TITLE);
    for (const auto &item : ITEM_TEXTS)
        SetRunText(GetDlgItem(hDlg, item.nId), item.text);
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

static INT_PTR CALLBACK RestartDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
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

void CreateRestartDialog()
{
    UninstallState.RestartNeeded = FALSE;
    // /quiet never restarts: the exit code tells that a restart is due.
    if (UninstallState.Quiet)
        return;
    UninstallState.RestartDialog =
        CreateDialogParamA(UninstallState.Instance, "RESTARTDLG", NULL, RestartDialogProc, 0);
}

void ShowRestartDialog()
{
    // The list box sorts: the user reads the files in alphabetical order, not the log's.
    HWND hList = GetDlgItem(UninstallState.RestartDialog, IDC_LOCKED_FILES);
    for (const char *pszPath = NextLockedFile(NULL); pszPath != NULL; pszPath = NextLockedFile(pszPath))
        SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM)pszPath);
    ShowWindow(UninstallState.RestartDialog, SW_SHOW);
}
