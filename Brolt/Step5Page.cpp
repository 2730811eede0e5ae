// Step5Page.cpp -- wizard page 5: output file, overwrite default, the build and the test run.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "BuildRefusal.h"
#include "HelpTopic.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "WizardPages.h"
#include "resource.h"

static void BrowseOutput(HWND hDlg)
{
    char path[260];
    GetDlgItemTextA(hDlg, IDC_STEP5_OUTPUTFILE, path, sizeof(path));
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = "Executables (*.exe)\0*.exe\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof(path);
    ofn.lpstrTitle = "Save SFX module as...";
    ofn.lpstrDefExt = "exe";
    // OFN_NOCHANGEDIR: a relative output name is the current directory's.
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&ofn))
        return;
    // The settings keep 79 characters; a cut path would build somewhere else.
    if (strlen(path) >= sizeof(SfxSettings.outputFile)) {
        char message[400];
        snprintf(message, sizeof(message),
                 "The path\n%s\nis too long for the SFX file name (at most %u characters).\n"
                 "Please choose a shorter path.",
                 path, (unsigned)(sizeof(SfxSettings.outputFile) - 1));
        MessageBoxA(hDlg, message, BROLT_CAPTION, MB_OK | MB_ICONWARNING);
        return;
    }
    SetDlgItemTextA(hDlg, IDC_STEP5_OUTPUTFILE, path);
}

static void StoreSettings(HWND hDlg)
{
    GetDlgItemTextA(hDlg, IDC_STEP5_OUTPUTFILE, SfxSettings.outputFile, sizeof(SfxSettings.outputFile));
    SfxSettings.testRun = IsDlgButtonChecked(hDlg, IDC_STEP5_TESTRUN) == BST_CHECKED ? 1 : 0;
    if (IsDlgButtonChecked(hDlg, IDC_STEP5_OVERWRITEALL) == BST_CHECKED)
        SfxSettings.overwriteMode = 1;
    else if (IsDlgButtonChecked(hDlg, IDC_STEP5_OVERWRITENONE) == BST_CHECKED)
        SfxSettings.overwriteMode = 2;
    else if (IsDlgButtonChecked(hDlg, IDC_STEP5_CONFIRM) == BST_CHECKED)
        SfxSettings.overwriteMode = 3;
}

// Next: build, and keep the page when the build fails so the user can fix
// the settings and press Next again.
static INT_PTR OnWizardNext(HWND hDlg)
{
    StoreSettings(hDlg);

    HCURSOR oldCursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    int built = BuildWizardSettings(hDlg);
    SetCursor(oldCursor);

    if (built == 0)  // refused before anything was written, and said why
        return SetPageResult(hDlg, -1);
    if (built < 0) {
        // No owner window on purpose: every message box of the program has none.
        MessageBoxA(NULL, "The SFX creation failed. Please check your settings and the available disk space",
                    BROLT_CAPTION, MB_OK);
        return SetPageResult(hDlg, -1);
    }
    if (SfxSettings.testRun == 1)
        ShellExecuteA(NULL, NULL, SfxSettings.outputFile, NULL, NULL, SW_SHOWNORMAL);
    return SetPageResult(hDlg, 0);
}

static INT_PTR OnNotify(HWND hDlg, const NMHDR *nm)
{
    switch (nm->code) {
    case PSN_SETACTIVE:
        SetPageWizardButtons(hDlg, PSWIZB_BACK | PSWIZB_NEXT);
        break;
    case PSN_HELP:
        ShowHelpTopic("Step5.htm");
        break;
    case PSN_WIZNEXT:
        return OnWizardNext(hDlg);
    default:
        return FALSE;
    }
    return SetPageResult(hDlg, 0);
}

static void OnInitDialog(HWND hDlg)
{
    SendDlgItemMessageA(hDlg, IDC_STEP5_OUTPUTFILE, EM_LIMITTEXT, sizeof(SfxSettings.outputFile) - 1, 0);
    SetDlgItemTextA(hDlg, IDC_STEP5_OUTPUTFILE, SfxSettings.outputFile);
    if (SfxSettings.testRun == 1)
        CheckDlgButton(hDlg, IDC_STEP5_TESTRUN, BST_CHECKED);
    if (SfxSettings.overwriteMode == 1)
        CheckDlgButton(hDlg, IDC_STEP5_OVERWRITEALL, BST_CHECKED);
    else if (SfxSettings.overwriteMode == 2)
        CheckDlgButton(hDlg, IDC_STEP5_OVERWRITENONE, BST_CHECKED);
    else if (SfxSettings.overwriteMode == 3)
        CheckDlgButton(hDlg, IDC_STEP5_CONFIRM, BST_CHECKED);
}

INT_PTR CALLBACK Step5DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_STEP5_BROWSE && HIWORD(wParam) == BN_CLICKED) {
            BrowseOutput(hDlg);
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        return OnNotify(hDlg, (const NMHDR *)lParam);
    }
    return FALSE;
}
