// Step6Page.cpp -- wizard page 6: the closing page.
#include <windows.h>
#include <commctrl.h>

#include "HelpTopic.h"
#include "Wizard.h"
#include "WizardPages.h"

INT_PTR CALLBACK Step6DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    if (message != WM_NOTIFY)
        return message == WM_INITDIALOG;
    const NMHDR *nm = (const NMHDR *)lParam;
    switch (nm->code) {
    case PSN_SETACTIVE:
        SetPageWizardButtons(hDlg, PSWIZB_BACK | PSWIZB_FINISH);
        break;
    case PSN_HELP:
        ShowHelpTopic("Step6.htm");
        break;
    default:
        return FALSE;
    }
    return SetPageResult(hDlg, 0);
}
