// AboutDialog.cpp -- the About box, with the web address drawn and opened as a link.
#include <windows.h>
#include <shellapi.h>
#include <string.h>

#include "Owners.h"
#include "Wizard.h"
#include "resource.h"

static void OnInitDialog(HWND hDlg)
{
    RECT rc;
    GetWindowRect(hDlg, &rc);
    int left = (GetSystemMetrics(SM_CXSCREEN) + rc.left - rc.right) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) + rc.top - rc.bottom) / 2;
    SetWindowPos(hDlg, NULL, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetDlgItemTextA(hDlg, IDC_ABOUT_LINK, BROLT_WEB_ADDRESS);
}

static void DrawLink(const DRAWITEMSTRUCT *item)
{
    char text[255];
    int n = GetWindowTextA(item->hwndItem, text, sizeof(text));
    if (n < 0)
        n = 0;

    // An owner-drawn button paints all of itself, background included.
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));

    // Courier New at weight 500, underlined, red while focused: the look the
    // program has always had, not a slip (the background is filled above).
    GdiObject<HFONT> font(CreateFontA(-11, 0, 0, 0, 500, FALSE, TRUE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN | DEFAULT_PITCH,
                                      "Courier New"));
    HGDIOBJ oldFont = SelectObject(item->hDC, font);
    SetTextColor(item->hDC, (item->itemState & ODS_FOCUS) ? RGB(255, 0, 0) : RGB(0, 0, 255));
    SetBkMode(item->hDC, TRANSPARENT);
    UINT oldAlign = SetTextAlign(item->hDC, TA_CENTER);
    int width = item->rcItem.right - item->rcItem.left;
    // Centred at half the width but drawn from the top edge, as the link always was.
    TextOutA(item->hDC, item->rcItem.left + width / 2, item->rcItem.top, text, n);
    SetTextAlign(item->hDC, oldAlign);
    SelectObject(item->hDC, oldFont);
}

INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_ABOUT_LINK) {
            DrawLink((const DRAWITEMSTRUCT *)lParam);
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ABOUT_OK:
        case IDCANCEL:  // Esc and the close box behave like Ok
            EndDialog(hDlg, IDOK);
            return TRUE;
        case IDC_ABOUT_LINK:
            ShellExecuteA(hDlg, NULL, BROLT_WEB_ADDRESS, NULL, NULL, SW_SHOW);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
