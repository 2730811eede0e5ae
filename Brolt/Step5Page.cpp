// Step5Page.cpp -- wizard page 5: output file, overwrite default, the build and the test run.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "BuildRefusal.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "WizardPages.h"
#include "resource.h"

// The radio buttons in the order of SfxSettings.overwriteMode, which counts from 1.
static const int OverwriteButtons[3] = {IDC_STEP5_OVERWRITEALL, IDC_STEP5_OVERWRITENONE, IDC_STEP5_CONFIRM};

static const FileDialogKind OutputDialog = {
    TRUE, "Executables (*.exe)\0*.exe\0", "Save SFX module as...", "exe", OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
};

static void BrowseOutput(HWND hDlg)
{
    char path[260];
    GetDlgItemTextA(hDlg, IDC_STEP5_OUTPUTFILE, path, sizeof(path));
    if (!AskForFileName(hDlg, &OutputDialog, path, sizeof(path)))
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
    int mode = CheckedRadioButton(hDlg, OverwriteButtons, 3);
    if (mode >= 0)
        SfxSettings.overwriteMode = mode + 1;
}

// Next: build, and keep the page when the build fails so the user can fix
// the settings and press Next again.
static BOOL OnNext(HWND hDlg)
{
    StoreSettings(hDlg);

    HCURSOR oldCursor = SetCursor(LoadCursor(NULL, IDC_WAIT));
    int built = BuildWizardSettings(hDlg);
    SetCursor(oldCursor);

    if (built == 0)  // refused before anything was written, and said why
        return FALSE;
    if (built < 0) {
        // No owner window on purpose: every message box of the program has none.
        MessageBoxA(NULL, "The SFX creation failed. Please check your settings and the available disk space",
                    BROLT_CAPTION, MB_OK);
        return FALSE;
    }
    if (SfxSettings.testRun == 1)
        ShellExecuteA(NULL, NULL, SfxSettings.outputFile, NULL, NULL, SW_SHOWNORMAL);
    return TRUE;
}

static void OnInit(HWND hDlg)
{
    SendDlgItemMessageA(hDlg, IDC_STEP5_OUTPUTFILE, EM_LIMITTEXT, sizeof(SfxSettings.outputFile) - 1, 0);
    SetDlgItemTextA(hDlg, IDC_STEP5_OUTPUTFILE, SfxSettings.outputFile);
    if (SfxSettings.testRun == 1)
        CheckDlgButton(hDlg, IDC_STEP5_TESTRUN, BST_CHECKED);
    SelectRadioButton(hDlg, OverwriteButtons, 3, SfxSettings.overwriteMode - 1);
}

static BOOL OnClick(HWND hDlg, int id)
{
    if (id != IDC_STEP5_BROWSE)
        return FALSE;
    BrowseOutput(hDlg);
    return TRUE;
}

static const WizardPage Page = {PSWIZB_BACK | PSWIZB_NEXT, "Step5.htm", OnInit, NULL, OnNext, OnClick, NULL};

INT_PTR CALLBACK Step5DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunWizardPage(&Page, hDlg, message, wParam, lParam);
}
