// Step1Page.cpp -- wizard page 1: standard or setup module, and the About box.
#include <windows.h>
#include <commctrl.h>

#include "CenterWindow.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "WizardPages.h"
#include "resource.h"

static void OnInit(HWND hDlg)
{
    CheckDlgButton(hDlg, SfxSettings.moduleType == 1 ? IDC_STEP1_SETUP : IDC_STEP1_STANDARD, BST_CHECKED);
}

// The first page shows first and after every Back to it: the wizard comes to the middle each time.
static void OnSetActive(HWND hDlg)
{
    CenterWindow(GetParent(hDlg));
}

static BOOL OnNext(HWND hDlg)
{
    SfxSettings.moduleType = IsDlgButtonChecked(hDlg, IDC_STEP1_SETUP) == BST_CHECKED ? 1 : 0;
    return TRUE;
}

static BOOL OnClick(HWND hDlg, int id)
{
    if (id != IDC_STEP1_ABOUT)
        return FALSE;
    DialogBoxParamA(BroltInstance, "ABOUTDLG", hDlg, AboutDlgProc, 0);
    return TRUE;
}

static const WizardPage Page = {PSWIZB_NEXT, "Step1.htm", OnInit, OnSetActive, OnNext, OnClick, NULL};

INT_PTR CALLBACK Step1DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunWizardPage(&Page, hDlg, message, wParam, lParam);
}
