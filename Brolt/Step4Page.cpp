// Step4Page.cpp -- wizard page 4: the program to start after extraction.
#include <windows.h>
#include <commctrl.h>

#include "HelpTopic.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "WizardPages.h"
#include "resource.h"

static INT_PTR OnNotify(HWND hDlg, const NMHDR *nm)
{
    switch (nm->code) {
    case PSN_SETACTIVE:
        SetPageWizardButtons(hDlg, PSWIZB_BACK | PSWIZB_NEXT);
        break;
    case PSN_HELP:
        ShowHelpTopic("Step4.htm");
        break;
    case PSN_WIZNEXT:
        GetDlgItemTextA(hDlg, IDC_STEP4_LAUNCHFILE, SfxSettings.launchFile, sizeof(SfxSettings.launchFile));
        GetDlgItemTextA(hDlg, IDC_STEP4_COMMANDLINE, SfxSettings.commandLine, sizeof(SfxSettings.commandLine));
        break;
    default:
        return FALSE;
    }
    return SetPageResult(hDlg, 0);
}

INT_PTR CALLBACK Step4DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    switch (message) {
    case WM_INITDIALOG:
        // The fields can't take more than the settings keep, so nothing is cut silently.
        SendDlgItemMessageA(hDlg, IDC_STEP4_LAUNCHFILE, EM_LIMITTEXT, sizeof(SfxSettings.launchFile) - 1, 0);
        SendDlgItemMessageA(hDlg, IDC_STEP4_COMMANDLINE, EM_LIMITTEXT, sizeof(SfxSettings.commandLine) - 1, 0);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(hDlg, (const NMHDR *)lParam);
    }
    return FALSE;
}
