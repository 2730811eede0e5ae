// Step3Page.cpp -- wizard page 3: application name and default destination directory.
#include <windows.h>
#include <commctrl.h>

#include "DialogItem.h"
#include "SfxSettings.h"
#include "WizardPages.h"
#include "resource.h"

static const char SetupNotice[] = "> Not available for this SFX Type / Temp-directory will be used <";

// The radio buttons in the order of SfxSettings.destKind.
static const int DestinationButtons[3] = {IDC_STEP3_DESTTEMP, IDC_STEP3_DESTCURRENT, IDC_STEP3_DESTCUSTOM};

static BOOL IsChecked(HWND hDlg, int id)
{
    return IsDlgButtonChecked(hDlg, id) == BST_CHECKED;
}

void UpdateDestinationControls(HWND hPage)
{
    if (SfxSettings.moduleType == 1) {
        EnableDlgItem(hPage, IDC_STEP3_PROGRAMFILES, FALSE);
        EnableDlgItem(hPage, IDC_STEP3_CUSTOMDIR, FALSE);
        EnableDlgItem(hPage, IDC_STEP3_DESTTEMP, FALSE);
        EnableDlgItem(hPage, IDC_STEP3_DESTCURRENT, FALSE);
        EnableDlgItem(hPage, IDC_STEP3_DESTCUSTOM, FALSE);
        SetDlgItemTextA(hPage, IDC_STEP3_CUSTOMDIR, SetupNotice);
    } else {
        EnableDlgItem(hPage, IDC_STEP3_DESTTEMP, TRUE);
        EnableDlgItem(hPage, IDC_STEP3_DESTCURRENT, TRUE);
        EnableDlgItem(hPage, IDC_STEP3_DESTCUSTOM, TRUE);
        BOOL custom = IsChecked(hPage, IDC_STEP3_DESTCUSTOM);
        EnableDlgItem(hPage, IDC_STEP3_PROGRAMFILES, custom);
        EnableDlgItem(hPage, IDC_STEP3_CUSTOMDIR, custom);
        SetDlgItemTextA(hPage, IDC_STEP3_CUSTOMDIR, SfxSettings.customDest);
    }
    // Without the opening dialog nobody sees the name.
    EnableDlgItem(hPage, IDC_STEP3_APPNAME, !IsChecked(hPage, IDC_STEP3_AUTOEXTRACT));
}

static BOOL OnClick(HWND hDlg, int id)
{
    if (id != IDC_STEP3_AUTOEXTRACT && id != IDC_STEP3_DESTTEMP && id != IDC_STEP3_DESTCURRENT &&
        id != IDC_STEP3_DESTCUSTOM)
        return FALSE;
    UpdateDestinationControls(hDlg);
    return TRUE;
}

static void OnSetActive(HWND hDlg)
{
    UpdateDestinationControls(hDlg);
    SetDlgItemTextA(hDlg, IDC_STEP3_APPNAME, SfxSettings.appName);
    CheckDlgButton(hDlg, IDC_STEP3_AUTOEXTRACT, SfxSettings.showDialog == 0 ? BST_CHECKED : BST_UNCHECKED);
    // A Setup module always extracts to the temporary directory, whatever was saved.
    SelectRadioButton(hDlg, DestinationButtons, 3, SfxSettings.moduleType == 1 ? 0 : SfxSettings.destKind);
    CheckDlgButton(hDlg, IDC_STEP3_PROGRAMFILES, SfxSettings.addProgramFiles ? BST_CHECKED : BST_UNCHECKED);
    // The states above were just put back from the settings; the enabling
    // must follow them, not the states the controls had before.
    UpdateDestinationControls(hDlg);
}

static BOOL OnNext(HWND hDlg)
{
    GetDlgItemTextA(hDlg, IDC_STEP3_APPNAME, SfxSettings.appName, sizeof(SfxSettings.appName));
    SfxSettings.showDialog = IsChecked(hDlg, IDC_STEP3_AUTOEXTRACT) ? 0 : 1;
    // Under the setup type the field holds the notice, not a directory.
    if (SfxSettings.moduleType != 1)
        GetDlgItemTextA(hDlg, IDC_STEP3_CUSTOMDIR, SfxSettings.customDest, sizeof(SfxSettings.customDest));
    SfxSettings.addProgramFiles = IsChecked(hDlg, IDC_STEP3_PROGRAMFILES) ? 1 : 0;
    int kind = CheckedRadioButton(hDlg, DestinationButtons, 3);
    if (kind >= 0)
        SfxSettings.destKind = kind;
    return TRUE;
}

static void OnInit(HWND hDlg)
{
    SendDlgItemMessageA(hDlg, IDC_STEP3_APPNAME, EM_LIMITTEXT, sizeof(SfxSettings.appName) - 1, 0);
    SendDlgItemMessageA(hDlg, IDC_STEP3_CUSTOMDIR, EM_LIMITTEXT, sizeof(SfxSettings.customDest) - 1, 0);
    UpdateDestinationControls(hDlg);
}

static const WizardPage Page = {PSWIZB_BACK | PSWIZB_NEXT, "Step3.htm", OnInit, OnSetActive, OnNext, OnClick, NULL};

INT_PTR CALLBACK Step3DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunWizardPage(&Page, hDlg, message, wParam, lParam);
}
