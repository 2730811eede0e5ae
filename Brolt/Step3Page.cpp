// Step3Page.cpp -- wizard page 3: application name and default destination directory.
#include <windows.h>
#include <commctrl.h>

#include "DialogItem.h"
#include "HelpTopic.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "WizardPages.h"
#include "resource.h"

static const char SetupNotice[] = "> Not available for this SFX Type / Temp-directory will be used <";

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

static void SelectDestination(HWND hDlg, int id)
{
    CheckDlgButton(hDlg, IDC_STEP3_DESTTEMP, id == IDC_STEP3_DESTTEMP ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hDlg, IDC_STEP3_DESTCURRENT, id == IDC_STEP3_DESTCURRENT ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hDlg, IDC_STEP3_DESTCUSTOM, id == IDC_STEP3_DESTCUSTOM ? BST_CHECKED : BST_UNCHECKED);
}

static void OnSetActive(HWND hDlg)
{
    SetPageWizardButtons(hDlg, PSWIZB_BACK | PSWIZB_NEXT);
    UpdateDestinationControls(hDlg);
    SetDlgItemTextA(hDlg, IDC_STEP3_APPNAME, SfxSettings.appName);
    CheckDlgButton(hDlg, IDC_STEP3_AUTOEXTRACT, SfxSettings.showDialog == 0 ? BST_CHECKED : BST_UNCHECKED);
    static const int kindButtons[3] = {IDC_STEP3_DESTTEMP, IDC_STEP3_DESTCURRENT, IDC_STEP3_DESTCUSTOM};
    if (SfxSettings.destKind >= 0 && SfxSettings.destKind <= 2)
        SelectDestination(hDlg, kindButtons[SfxSettings.destKind]);
    if (SfxSettings.moduleType == 1)
        SelectDestination(hDlg, IDC_STEP3_DESTTEMP);
    CheckDlgButton(hDlg, IDC_STEP3_PROGRAMFILES, SfxSettings.addProgramFiles ? BST_CHECKED : BST_UNCHECKED);
    // The states above were just put back from the settings; the enabling
    // must follow them, not the states the controls had before.
    UpdateDestinationControls(hDlg);
}

static void StoreSettings(HWND hDlg)
{
    GetDlgItemTextA(hDlg, IDC_STEP3_APPNAME, SfxSettings.appName, sizeof(SfxSettings.appName));
    SfxSettings.showDialog = IsChecked(hDlg, IDC_STEP3_AUTOEXTRACT) ? 0 : 1;
    // Under the setup type the field holds the notice, not a directory.
    if (SfxSettings.moduleType != 1)
        GetDlgItemTextA(hDlg, IDC_STEP3_CUSTOMDIR, SfxSettings.customDest, sizeof(SfxSettings.customDest));
    SfxSettings.addProgramFiles = IsChecked(hDlg, IDC_STEP3_PROGRAMFILES) ? 1 : 0;
    if (IsChecked(hDlg, IDC_STEP3_DESTTEMP))
        SfxSettings.destKind = 0;
    else if (IsChecked(hDlg, IDC_STEP3_DESTCURRENT))
        SfxSettings.destKind = 1;
    else if (IsChecked(hDlg, IDC_STEP3_DESTCUSTOM))
        SfxSettings.destKind = 2;
}

static INT_PTR OnNotify(HWND hDlg, const NMHDR *nm)
{
    switch (nm->code) {
    case PSN_SETACTIVE:
        OnSetActive(hDlg);
        break;
    case PSN_HELP:
        ShowHelpTopic("Step3.htm");
        break;
    case PSN_WIZNEXT:
        StoreSettings(hDlg);
        break;
    default:
        return FALSE;
    }
    return SetPageResult(hDlg, 0);
}

INT_PTR CALLBACK Step3DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(hDlg, IDC_STEP3_APPNAME, EM_LIMITTEXT, sizeof(SfxSettings.appName) - 1, 0);
        SendDlgItemMessageA(hDlg, IDC_STEP3_CUSTOMDIR, EM_LIMITTEXT, sizeof(SfxSettings.customDest) - 1, 0);
        UpdateDestinationControls(hDlg);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            break;
        switch (LOWORD(wParam)) {
        case IDC_STEP3_AUTOEXTRACT:
        case IDC_STEP3_DESTTEMP:
        case IDC_STEP3_DESTCURRENT:
        case IDC_STEP3_DESTCUSTOM:
            UpdateDestinationControls(hDlg);
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        return OnNotify(hDlg, (const NMHDR *)lParam);
    }
    return FALSE;
}
