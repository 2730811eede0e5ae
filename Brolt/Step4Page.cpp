// Step4Page.cpp -- wizard page 4: the program to start after extraction.
#include <windows.h>
#include <commctrl.h>

#include "SfxSettings.h"
#include "WizardPages.h"
#include "resource.h"

// The fields can't take more than the settings keep, so nothing is cut silently.
static void OnInit(HWND hDlg)
{
    SendDlgItemMessageA(hDlg, IDC_STEP4_LAUNCHFILE, EM_LIMITTEXT, sizeof(SfxSettings.launchFile) - 1, 0);
    SendDlgItemMessageA(hDlg, IDC_STEP4_COMMANDLINE, EM_LIMITTEXT, sizeof(SfxSettings.commandLine) - 1, 0);
}

static BOOL OnNext(HWND hDlg)
{
    GetDlgItemTextA(hDlg, IDC_STEP4_LAUNCHFILE, SfxSettings.launchFile, sizeof(SfxSettings.launchFile));
    GetDlgItemTextA(hDlg, IDC_STEP4_COMMANDLINE, SfxSettings.commandLine, sizeof(SfxSettings.commandLine));
    return TRUE;
}

static const WizardPage Page = {PSWIZB_BACK | PSWIZB_NEXT, "Step4.htm", OnInit, NULL, OnNext, NULL, NULL};

INT_PTR CALLBACK Step4DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunWizardPage(&Page, hDlg, message, wParam, lParam);
}
