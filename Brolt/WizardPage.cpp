// WizardPage.cpp -- what every wizard page does alike: its buttons, its help topic, Next and the clicks.
#include <windows.h>
#include <commctrl.h>

#include "HelpTopic.h"
#include "WizardPages.h"

// Posted, not sent: the sheet applies the buttons after the page has finished
// its own activation steps, whichever order they run in here.
static void SetWizardButtons(HWND hPage, DWORD buttons)
{
    PostMessageA(GetParent(hPage), PSM_SETWIZBUTTONS, 0, (LPARAM)buttons);
}

// A page answers the sheet through DWLP_MSGRESULT: 0 lets it go on, -1 keeps the page.
static INT_PTR SetPageResult(HWND hPage, LONG_PTR result)
{
    SetWindowLongPtrA(hPage, DWLP_MSGRESULT, result);
    return TRUE;
}

static INT_PTR OnSheetNotify(const WizardPage *page, HWND hDlg, UINT code)
{
    switch (code) {
    case PSN_SETACTIVE:
        SetWizardButtons(hDlg, page->buttons);
        if (page->onSetActive)
            page->onSetActive(hDlg);
        return SetPageResult(hDlg, 0);
    case PSN_HELP:
        ShowHelpTopic(page->helpTopic);
        return SetPageResult(hDlg, 0);
    case PSN_WIZNEXT:
        return SetPageResult(hDlg, page->onNext && !page->onNext(hDlg) ? -1 : 0);
    }
    return FALSE;
}

INT_PTR RunWizardPage(const WizardPage *page, HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (page->onInit)
            page->onInit(hDlg);
        return TRUE;
    case WM_COMMAND:
        // Every control a page reacts to is a button.
        if (HIWORD(wParam) == BN_CLICKED && page->onClick)
            return page->onClick(hDlg, LOWORD(wParam));
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR *nm = (const NMHDR *)lParam;
        if (nm->code == PSN_SETACTIVE || nm->code == PSN_HELP || nm->code == PSN_WIZNEXT)
            return OnSheetNotify(page, hDlg, nm->code);
        break;
    }
    }
    return page->onMessage ? page->onMessage(hDlg, message, wParam, lParam) : FALSE;
}

void SelectRadioButton(HWND hPage, const int *ids, int count, int index)
{
    if (index < 0 || index >= count)
        return;
    for (int i = 0; i < count; i++)
        CheckDlgButton(hPage, ids[i], i == index ? BST_CHECKED : BST_UNCHECKED);
}

int CheckedRadioButton(HWND hPage, const int *ids, int count)
{
    for (int i = 0; i < count; i++)
        if (IsDlgButtonChecked(hPage, ids[i]) == BST_CHECKED)
            return i;
    return -1;
}
