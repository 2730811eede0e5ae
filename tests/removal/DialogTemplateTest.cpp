// DialogTemplateTest.cpp -- the restart and progress dialogs as their templates build
// them: ids, classes, styles, places and texts of every item, read from the templates
// themselves (controls change their own styles once created).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ProgressDialogIds.h"
#include "RestartDialogIds.h"

namespace {

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

struct Item {
    int id;
    const char *pszClass;
    DWORD dwStyle; // the whole style but WS_CHILD | WS_VISIBLE
    RECT rcUnits;  // left, top, right, bottom in dialog units
    const char *pszText;
};

// One item as the template stores it.
struct TemplateItem {
    DWORD dwStyle;
    short x, y, cx, cy;
    int id;
    std::string className;
    std::string text;
};

struct DialogTemplate {
    DWORD dwStyle;
    short x, y, cx, cy;
    std::string caption;
    WORD wPointSize;
    std::string font;
    std::vector<TemplateItem> items;
};

// Reads a name-or-ordinal field; ordinals of the predefined classes become their names.
const WORD *ReadNameOrOrdinal(const WORD *p, std::string *pOut)
{
    static const char *const kAtoms[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar",
                                         "ComboBox"};
    if (*p == 0xFFFF) {
        WORD w = p[1];
        *pOut = (w >= 0x80 && w <= 0x85) ? kAtoms[w - 0x80] : "#" + std::to_string(w);
        return p + 2;
    }
    pOut->clear();
    while (*p != 0)
        pOut->push_back((char)*p++); // the templates hold ASCII texts only
    return p + 1;
}

const WORD *AlignDword(const WORD *p)
{
    return (const WORD *)(((UINT_PTR)p + 3) & ~(UINT_PTR)3);
}

bool LoadDialogTemplate(const char *pszName, DialogTemplate *pOut)
{
    HRSRC hRes = FindResourceA(GetModuleHandleA(NULL), pszName, (LPCSTR)RT_DIALOG);
    if (hRes == NULL)
        return false;
    const DLGTEMPLATE *pDlg = (const DLGTEMPLATE *)LockResource(LoadResource(NULL, hRes));
    if (pDlg == NULL || HIWORD(pDlg->style) == 0xFFFF) // an extended template is not expected
        return false;
    pOut->dwStyle = pDlg->style;
    pOut->x = pDlg->x;
    pOut->y = pDlg->y;
    pOut->cx = pDlg->cx;
    pOut->cy = pDlg->cy;
    const WORD *p = (const WORD *)(pDlg + 1);
    std::string menu, cls;
    p = ReadNameOrOrdinal(p, &menu);
    p = ReadNameOrOrdinal(p, &cls);
    p = ReadNameOrOrdinal(p, &pOut->caption);
    if (pDlg->style & DS_SETFONT) {
        pOut->wPointSize = *p++;
        p = ReadNameOrOrdinal(p, &pOut->font);
    }
    for (int i = 0; i < pDlg->cdit; ++i) {
        const DLGITEMTEMPLATE *pItem = (const DLGITEMTEMPLATE *)AlignDword(p);
        TemplateItem item;
        item.dwStyle = pItem->style;
        item.x = pItem->x;
        item.y = pItem->y;
        item.cx = pItem->cx;
        item.cy = pItem->cy;
        item.id = (short)pItem->id;
        p = (const WORD *)(pItem + 1);
        p = ReadNameOrOrdinal(p, &item.className);
        p = ReadNameOrOrdinal(p, &item.text);
        WORD cbExtra = *p++;
        p = (const WORD *)((const BYTE *)p + cbExtra);
        pOut->items.push_back(item);
    }
    return true;
}

void ExpectItems(const DialogTemplate &dlg, const Item *items, size_t count)
{
    ASSERT_EQ(count, dlg.items.size());
    for (size_t i = 0; i < count; ++i) {
        const Item &want = items[i];
        const TemplateItem &have = dlg.items[i];
        SCOPED_TRACE(std::string("item ") + std::to_string(i) + " id " + std::to_string(want.id));
        EXPECT_EQ(want.id, have.id);
        EXPECT_STRCASEEQ(want.pszClass, have.className.c_str());
        EXPECT_EQ(want.dwStyle | WS_CHILD | WS_VISIBLE, have.dwStyle);
        EXPECT_EQ(want.rcUnits.left, have.x);
        EXPECT_EQ(want.rcUnits.top, have.y);
        EXPECT_EQ(want.rcUnits.right - want.rcUnits.left, have.cx);
        EXPECT_EQ(want.rcUnits.bottom - want.rcUnits.top, have.cy);
        EXPECT_EQ(want.pszText, have.text);
    }
}

// Dialog units: x, y, width, height as the templates give them.
RECT Units(int x, int y, int cx, int cy) { return RECT{x, y, x + cx, y + cy}; }

TEST(DialogTemplates, RestartDialogListsLockedFilesSortedAndOffersTheRestart)
{
    DialogTemplate dlg;
    ASSERT_TRUE(LoadDialogTemplate("RESTARTDLG", &dlg));
    EXPECT_EQ((DWORD)(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU), dlg.dwStyle);
    EXPECT_EQ((std::vector<short>{26, 43, 330, 119}), (std::vector<short>{dlg.x, dlg.y, dlg.cx, dlg.cy}));
    EXPECT_EQ("Restart", dlg.caption);
    EXPECT_EQ(8, dlg.wPointSize);
    EXPECT_EQ("MS Sans Serif", dlg.font);

    const DWORD kList = LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL |
                        WS_HSCROLL;
    const Item items[] = {
        {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, Units(209, 101, 50, 14), "&Yes"},
        {IDCANCEL, "Button", BS_PUSHBUTTON | WS_TABSTOP, Units(270, 101, 50, 14), "&No"},
        {-1, "Button", BS_GROUPBOX, Units(40, 9, 280, 87), ""},
        {IDC_RESTART_TEXT1, "Static", SS_LEFT, Units(50, 18, 260, 10),
         "These files could not be removed because currently they are in use:"},
        {-1, "Static", SS_ICON, Units(9, 14, 18, 20), "MAINICON"},
        {IDC_LOCKED_FILES, "ListBox", kList, Units(50, 30, 260, 51), ""},
        {IDC_RESTART_TEXT2, "Static", SS_LEFT, Units(50, 83, 260, 9),
         "Your system has to be restarted to remove these locked files."},
        {IDC_RESTART_QUESTION, "Static", SS_LEFT, Units(50, 104, 153, 9),
         "Do you want to restart now ?"},
    };
    ExpectItems(dlg, items, sizeof(items) / sizeof(items[0]));

    // Created hidden, and the list sorts what it is given.
    HWND hDlg = CreateDialogParamA(GetModuleHandleA(NULL), "RESTARTDLG", NULL, QuietDialogProc, 0);
    ASSERT_NE(nullptr, hDlg);
    EXPECT_FALSE(IsWindowVisible(hDlg));
    SendDlgItemMessageA(hDlg, IDC_LOCKED_FILES, LB_ADDSTRING, 0, (LPARAM) "c:\\b.dll");
    SendDlgItemMessageA(hDlg, IDC_LOCKED_FILES, LB_ADDSTRING, 0, (LPARAM) "C:\\A.dll");
    char szFirst[32] = "";
    SendDlgItemMessageA(hDlg, IDC_LOCKED_FILES, LB_GETTEXT, 0, (LPARAM)szFirst);
    EXPECT_STREQ("C:\\A.dll", szFirst);
    DestroyWindow(hDlg);
}

TEST(DialogTemplates, ProgressDialogHasTwoLabelsABarAndNoButtons)
{
    DialogTemplate dlg;
    ASSERT_TRUE(LoadDialogTemplate("UNINSTDLG", &dlg));
    EXPECT_EQ((DWORD)(DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                      WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              dlg.dwStyle);
    EXPECT_EQ((std::vector<short>{86, 65, 202, 69}), (std::vector<short>{dlg.x, dlg.y, dlg.cx, dlg.cy}));
    EXPECT_EQ("Removing application", dlg.caption);
    EXPECT_EQ(8, dlg.wPointSize);
    EXPECT_EQ("MS Sans Serif", dlg.font);

    const Item items[] = {
        {IDC_PROGRESS_CAPTION, "Static", SS_LEFTNOWORDWRAP, Units(39, 6, 152, 8), "Text"},
        {IDC_PROGRESS_DETAIL, "Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX, Units(39, 21, 152, 8),
         "Text"},
        {IDC_PROGRESS_BAR, "msctls_progress32", WS_BORDER, Units(8, 46, 186, 14), ""},
        {-1, "Static", SS_ICON, Units(8, 6, 18, 20), "MAINICON"},
    };
    ExpectItems(dlg, items, sizeof(items) / sizeof(items[0]));

    LoadLibraryA("COMCTL32.DLL"); // the bar's class, as the program loads it
    HWND hDlg = CreateDialogParamA(GetModuleHandleA(NULL), "UNINSTDLG", NULL, QuietDialogProc, 0);
    ASSERT_NE(nullptr, hDlg);
    EXPECT_FALSE(IsWindowVisible(hDlg));
    EXPECT_NE(nullptr, GetDlgItem(hDlg, IDC_PROGRESS_BAR));
    DestroyWindow(hDlg);
}

} // namespace
