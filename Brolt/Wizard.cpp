// Wizard.cpp -- the six-page property-sheet wizard that frames the pages.
#include "Wizard.h"

#include <commctrl.h>
#include <string.h>

#include "WizardPages.h"

HINSTANCE BroltInstance;

static const char *const PageTemplates[WIZARD_PAGE_COUNT] = {
    "STEP1DLG", "STEP2DLG", "STEP3DLG", "STEP4DLG", "STEP5DLG", "STEP6DLG",
};

static const DLGPROC PageProcs[WIZARD_PAGE_COUNT] = {
    Step1DlgProc, Step2DlgProc, Step3DlgProc, Step4DlgProc, Step5DlgProc, Step6DlgProc,
};

void FillWizardSheet(PROPSHEETHEADERA *header, PROPSHEETPAGEA pages[WIZARD_PAGE_COUNT])
{
    HICON icon = LoadIconA(BroltInstance, "MAINICON");

    memset(pages, 0, sizeof(PROPSHEETPAGEA) * WIZARD_PAGE_COUNT);
    for (int i = 0; i < WIZARD_PAGE_COUNT; i++) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEA);
        pages[i].dwFlags = PSP_HASHELP;
        pages[i].hInstance = BroltInstance;
        pages[i].pszTemplate = PageTemplates[i];
        pages[i].pfnDlgProc = PageProcs[i];
    }
    pages[0].dwFlags |= PSP_USEHICON;
    pages[0].hIcon = icon;

    memset(header, 0, sizeof(*header));
    header->dwSize = sizeof(PROPSHEETHEADERA);
    header->dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USEHICON | PSH_NOAPPLYNOW | PSH_HASHELP;
    header->hInstance = BroltInstance;
    header->hIcon = icon;
    header->nPages = WIZARD_PAGE_COUNT;
    header->nStartPage = 0;
    header->ppsp = pages;
}

int RunWizard(void)
{
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA pages[WIZARD_PAGE_COUNT];

    FillWizardSheet(&header, pages);
    return PropertySheetA(&header) != -1;
}
