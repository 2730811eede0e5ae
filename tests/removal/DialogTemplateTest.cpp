// DialogTemplateTest.cpp -- the restart and progress dialogs as the program creates them
// from its templates: hidden at first, with the items the other steps address by id.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ProgressDialogIds.h"
#include "RestartDialogIds.h"

namespace {

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

std::string TextOf(HWND hWnd)
{
    char sz[256] = "";
    GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

std::string ClassOf(HWND hWnd)
{
    char sz[64] = "";
    GetClassNameA(hWnd, sz, sizeof(sz));
    return sz;
}

TEST(DialogTemplates, RestartDialogStartsHiddenAndKeepsItsListSorted)
{
    HWND hDlg = CreateDialogParamA(GetModuleHandleA(NULL), "RESTARTDLG", NULL, QuietDialogProc, 0);
    ASSERT_NE(nullptr, hDlg);
    EXPECT_FALSE(IsWindowVisible(hDlg));
    EXPECT_EQ("Restart", TextOf(hDlg));
    EXPECT_EQ("&Yes", TextOf(GetDlgItem(hDlg, IDOK)));
    EXPECT_EQ("&No", TextOf(GetDlgItem(hDlg, IDCANCEL)));
    EXPECT_EQ("These files could not be removed because currently they are in use:",
              TextOf(GetDlgItem(hDlg, IDC_RESTART_TEXT1)));
    EXPECT_EQ("Your system has to be restarted to remove these locked files.",
              TextOf(GetDlgItem(hDlg, IDC_RESTART_TEXT2)));
    EXPECT_EQ("Do you want to restart now ?", TextOf(GetDlgItem(hDlg, IDC_RESTART_QUESTION)));

    // Files are listed in alphabetical order, whatever order they were scheduled in.
    HWND hList = GetDlgItem(hDlg, IDC_LOCKED_FILES);
    ASSERT_NE(nullptr, hList);
    EXPECT_STRCASEEQ("ListBox", ClassOf(hList).c_str());
    SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM) "c:\\program files\\b.dll");
    SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM) "C:\\Program Files\\A.dll");
    char szFirst[64] = "";
    SendMessageA(hList, LB_GETTEXT, 0, (LPARAM)szFirst);
    EXPECT_STREQ("C:\\Program Files\\A.dll", szFirst);
    DestroyWindow(hDlg);
}

TEST(DialogTemplates, ProgressDialogStartsHiddenWithTwoLabelsABarAndNoButtons)
{
    LoadLibraryA("COMCTL32.DLL"); // the bar's class, as the program loads it
    HWND hDlg = CreateDialogParamA(GetModuleHandleA(NULL), "UNINSTDLG", NULL, QuietDialogProc, 0);
    ASSERT_NE(nullptr, hDlg);
    EXPECT_FALSE(IsWindowVisible(hDlg));
    EXPECT_EQ("Removing application", TextOf(hDlg));
    EXPECT_EQ("Text", TextOf(GetDlgItem(hDlg, IDC_PROGRESS_CAPTION)));
    EXPECT_EQ("Text", TextOf(GetDlgItem(hDlg, IDC_PROGRESS_DETAIL)));
    HWND hBar = GetDlgItem(hDlg, IDC_PROGRESS_BAR);
    ASSERT_NE(nullptr, hBar);
    EXPECT_STRCASEEQ("msctls_progress32", ClassOf(hBar).c_str());
    // The removal cannot be interrupted from the window.
    for (HWND h = GetWindow(hDlg, GW_CHILD); h != NULL; h = GetWindow(h, GW_HWNDNEXT))
        EXPECT_STRCASENE("Button", ClassOf(h).c_str());
    DestroyWindow(hDlg);
}

} // namespace
