// Step6Page.cpp -- wizard page 6: the closing page.
#include <windows.h>
#include <commctrl.h>

#include "WizardPages.h"

static const WizardPage Page = {PSWIZB_BACK | PSWIZB_FINISH, "Step6.htm", NULL, NULL, NULL, NULL, NULL};

INT_PTR CALLBACK Step6DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunWizardPage(&Page, hDlg, message, wParam, lParam);
}
