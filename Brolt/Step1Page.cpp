// Step1Page.cpp -- wizard page 1: standard or setup module, and the About box.
#include <windows.h>
#include <commctrl.h>

#include "CenterWindow.h"
#include "HelpTopic.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "WizardPages.h"
#include "resource.h"

static INT_PTR OnNotify(HWND hDlg, const NMHDR *nm)
{
    switch (nm->code) {
    case PSN_SETACTIVE:
        CenterWindow(GetParent(hDlg));
        SetPageWizardButtons(hDlg, PSWIZB_NEXT);
        break;
    case PSN_HELP:
        ShowHelpTopic("Step1.htm");
        break;
    case PSN_WIZNEXT:
        SfxSettings.moduleType = IsDlgButtonChecked(hDlg, IDC_STEP1_SETUP) == BST_CHECKED ? 1 : 0;
        break;
    default:
        return FALSE;
    }
    return SetPageResult(hDlg, 0);
}

INT_PTR CALLBACK Step1DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CheckDlgButton(hDlg, SfxSettings.moduleType == 1 ? IDC_STEP1_SETUP : IDC_STEP1_STANDARD, BST_CHECKED);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_STEP1_ABOUT && HIWORD(wParam) == BN_CLICKED) {
            DialogBoxParamA(BroltInstance, "ABOUTDLG", hDlg, AboutDlgProc, 0);
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        return OnNotify(hDlg, (const NMHDR *)lParam);
    }
    return FALSE;
}
