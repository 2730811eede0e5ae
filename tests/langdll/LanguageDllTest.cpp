// LanguageDllTest.cpp -- loading language DLLs, fetching strings and showing them, under Wine.
#include <windows.h>

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "LanguageDll.h"
#include "UiTest.h"

namespace {

const char PLACEHOLDER[] = "[Unable to load String resource]";
const UINT LONG_STRING_ID = 20000; // 1500 characters
const DWORD BOX_WAIT_MS = 10000;

std::string Res(UINT uID)
{
    char sz[RES_STRING_SIZE];
    LoadResString(uID, sz, RES_STRING_SIZE);
    return sz;
}

std::string OwnPath()
{
    char sz[MAX_PATH];
    GetModuleFileNameA(NULL, sz, MAX_PATH);
    return sz;
}

// Each case starts with no language module, as the uninstaller does.
class LanguageDll : public ::testing::Test {
  protected:
    void SetUp() override
    {
        FreeLanguageDll();
        DefaultDialogFont = 0;
    }
    void TearDown() override { FreeLanguageDll(); }
};

// A message-box helper run on a thread of its own, as the worker thread calls them.
struct BoxCall {
    UINT uID;
    UINT uType; // 0: ShowResWarning
    int nResult;
    HANDLE hThread;
};

DWORD WINAPI BoxThread(LPVOID pv)
{
    BoxCall *p = (BoxCall *)pv;
    p->nResult = p->uType == 0 ? ShowResWarning(p->uID) : ResMessageBox(p->uID, p->uType);
    return 0;
}

void StartBox(BoxCall *p)
{
    p->nResult = -1;
    p->hThread = CreateThread(NULL, 0, BoxThread, p, 0, NULL);
}

// Waits for the helper to return; presses any box it left so the test can end.
int FinishBox(BoxCall *p)
{
    if (WaitForSingleObject(p->hThread, BOX_WAIT_MS) != WAIT_OBJECT_0) {
        HWND hBox = UiFindWindow("Uninstall", GetCurrentProcessId(), UI_DIALOG_CLASS);
        if (hBox != NULL)
            PostMessageA(hBox, WM_CLOSE, 0, 0);
        WaitForSingleObject(p->hThread, BOX_WAIT_MS);
    }
    CloseHandle(p->hThread);
    return p->nResult;
}

HWND WaitBox()
{
    return UiWaitWindow("Uninstall", GetCurrentProcessId(), BOX_WAIT_MS, UI_DIALOG_CLASS);
}

} // namespace

TEST_F(LanguageDll, OwnTableHoldsEveryTextUnderGerman)
{
    ASSERT_EQ(1, LoadLanguageDll(OwnPath().c_str()));
    const struct {
        UINT uID;
        const char *pszText;
    } table[] = {
        {1, "English(English)"},
        {3, "Velmor Software"},
        {5, "support@velmor.example"},
        {42, "ZENDRIX LANGUAGE DLL"},
        {95, "&Yes"},
        {96, "&No"},
        {10001, "Strings for Kolvu"},
        {10002, "Do you really want to remove the selected application from your computer ?"},
        {10003, "Uninstall has been aborted. Only parts of the application could be removed."},
        {10004, "Custom uninstall run failed. Zendrix will stop application removal."},
        {10006, "Uninstall has successfully removed the selected application."},
        {10007, "Restart"},
        {10008, "These files could not be removed because currently they are in use:"},
        {10009, "Your system has to be restarted to remove these locked files."},
        {10010, "Do you want to restart now ?"},
        {10011, "Removing application"},
    };
    for (const auto &row : table) {
        EXPECT_EQ(row.pszText, Res(row.uID)) << "string " << row.uID;
        HRSRC hRes = FindResourceExA(NULL, (LPCSTR)RT_STRING, MAKEINTRESOURCEA(row.uID / 16 + 1),
                                     MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
        EXPECT_TRUE(hRes != NULL) << "string " << row.uID << " not under language 1031";
    }
    char sz[RES_STRING_SIZE];
    EXPECT_EQ(0, LoadResString(10005, sz, RES_STRING_SIZE));
    EXPECT_STREQ(PLACEHOLDER, sz);
}

TEST_F(LanguageDll, TranslationReplacesOwnStringsAndGivesItsFont)
{
    EXPECT_EQ("Removing application", Res(10011));
    ASSERT_EQ(1, LoadLanguageDll("ZxLangGerman.dll"));
    EXPECT_TRUE(LanguageModule != NULL);
    EXPECT_EQ("Anwendung wird entfernt", Res(10011));
    EXPECT_EQ("Neustart", Res(10007));
    EXPECT_EQ(0x00030008u, DefaultDialogFont);
}

TEST_F(LanguageDll, SignatureIsAPrefixTest)
{
    ASSERT_EQ(1, LoadLanguageDll("ZxLangGerman.dll"));
    // Text after the signature is allowed; the DLL has no font export and loads all the same.
    ASSERT_EQ(1, LoadLanguageDll("ZxLangVersioned.dll"));
    EXPECT_EQ("Suppression de l'application", Res(10011));
    EXPECT_EQ(0x00030008u, DefaultDialogFont);
    // The replaced module was released.
    EXPECT_TRUE(GetModuleHandleA("ZxLangGerman.dll") == NULL);
}

TEST_F(LanguageDll, RefusedModulesLeaveTheCurrentOneInPlace)
{
    ASSERT_EQ(1, LoadLanguageDll("ZxLangGerman.dll"));
    HMODULE hGerman = LanguageModule;
    const char *const refused[] = {"ZxLangBlank.dll", "ZxLangNoSignature.dll",
                                   "ZxLangNotADll.dll", "ZxLangNoSuchFile.dll"};
    for (const char *pszFile : refused) {
        EXPECT_EQ(0, LoadLanguageDll(pszFile)) << pszFile;
        EXPECT_EQ(hGerman, LanguageModule) << pszFile;
        EXPECT_TRUE(GetModuleHandleA(pszFile) == NULL) << pszFile << " stayed loaded";
    }
    EXPECT_EQ("Anwendung wird entfernt", Res(10011));
    EXPECT_EQ(0, LoadLanguageDll(NULL));
}

TEST_F(LanguageDll, MissingTranslationFallsBackToOwnEnglish)
{
    ASSERT_EQ(1, LoadLanguageDll("ZxLangNo10004.dll"));
    EXPECT_EQ("Desea realmente eliminar la aplicacion seleccionada de su ordenador ?", Res(10002));
    EXPECT_EQ("Custom uninstall run failed. Zendrix will stop application removal.", Res(10004));
}

TEST_F(LanguageDll, FreeingReturnsToOwnStrings)
{
    ASSERT_EQ(1, LoadLanguageDll("ZxLangGerman.dll"));
    EXPECT_EQ(1, FreeLanguageDll());
    EXPECT_TRUE(LanguageModule == NULL);
    EXPECT_TRUE(GetModuleHandleA("ZxLangGerman.dll") == NULL);
    EXPECT_EQ("Removing application", Res(10011));
    EXPECT_EQ(1, FreeLanguageDll());
}

TEST_F(LanguageDll, StringsAreCutToTheBuffer)
{
    char sz[RES_STRING_SIZE];
    ASSERT_EQ(1, LoadResString(LONG_STRING_ID, sz, RES_STRING_SIZE));
    ASSERT_EQ(1023u, strlen(sz));
    EXPECT_EQ("ABCDEFGHIJ", std::string(sz, 10));
    EXPECT_EQ("ABC", std::string(sz + 1020)); // 1023 = 102 * 10 + 3

    // The placeholder respects a small buffer too.
    char small[12];
    memset(small, 'Z', sizeof(small));
    EXPECT_EQ(0, LoadResString(10005, small, 10));
    EXPECT_STREQ("[Unable t", small);
    EXPECT_EQ('Z', small[10]);
    EXPECT_EQ(0, LoadResString(10005, NULL, 10));
}

TEST_F(LanguageDll, WindowTextsTakeStringOrPlaceholder)
{
    HWND hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(hWnd != NULL);
    HWND hItem = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 100, 20, hWnd, (HMENU)101, NULL,
                                 NULL);
    ASSERT_TRUE(hItem != NULL);

    EXPECT_NE(0, SetWindowResText(hWnd, 10007));
    EXPECT_EQ("Restart", UiWindowText(hWnd));
    EXPECT_NE(0, SetDlgItemResText(hWnd, 101, 10008));
    EXPECT_EQ("These files could not be removed because currently they are in use:",
              UiItemText(hWnd, 101));

    // A string nobody has still puts a visible text on the window.
    ASSERT_EQ(1, LoadLanguageDll("ZxLangGerman.dll"));
    EXPECT_NE(0, SetWindowResText(hWnd, 10005));
    EXPECT_EQ(PLACEHOLDER, UiWindowText(hWnd));
    EXPECT_NE(0, SetDlgItemResText(hWnd, 101, 10005));
    EXPECT_EQ(PLACEHOLDER, UiItemText(hWnd, 101));
    EXPECT_EQ(0, SetDlgItemResText(hWnd, 999, 10007)) << "no such item";

    EXPECT_NE(0, SetWindowResText(hWnd, LONG_STRING_ID));
    EXPECT_EQ(1023u, UiWindowText(hWnd).size());
    DestroyWindow(hWnd);
}

TEST_F(LanguageDll, WarningBoxIsFoundReadAndClosed)
{
    ASSERT_EQ(1, LoadLanguageDll("ZxLangNo10004.dll"));
    BoxCall call = {10004, 0, 0, NULL};
    StartBox(&call);
    HWND hBox = WaitBox();
    ASSERT_TRUE(hBox != NULL) << "no message box captioned \"Uninstall\"";
    EXPECT_EQ("Custom uninstall run failed. Zendrix will stop application removal.",
              UiMessageBoxText(hBox));
    EXPECT_TRUE(GetWindow(hBox, GW_OWNER) == NULL);
    EXPECT_TRUE(UiPressButton(hBox, IDOK));
    EXPECT_EQ(1, FinishBox(&call));
}

TEST_F(LanguageDll, QuestionBoxReturnsTheButtonPressed)
{
    const UINT uType = MB_YESNO | MB_ICONQUESTION;
    for (int nButton : {IDNO, IDYES}) {
        BoxCall call = {10002, uType, 0, NULL};
        StartBox(&call);
        HWND hBox = WaitBox();
        ASSERT_TRUE(hBox != NULL);
        EXPECT_EQ("Do you really want to remove the selected application from your computer ?",
                  UiMessageBoxText(hBox));
        EXPECT_TRUE(UiPressButton(hBox, nButton));
        EXPECT_EQ(nButton, FinishBox(&call));
        ASSERT_TRUE(UiWaitGone(hBox, BOX_WAIT_MS));
    }
}

TEST_F(LanguageDll, LongMessageIsShownCut)
{
    BoxCall call = {LONG_STRING_ID, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL, 0, NULL};
    StartBox(&call);
    HWND hBox = WaitBox();
    ASSERT_TRUE(hBox != NULL);
    EXPECT_EQ(1023u, UiMessageBoxText(hBox).size());
    UiPressButton(hBox, IDOK);
    EXPECT_EQ(IDOK, FinishBox(&call));
}

TEST_F(LanguageDll, NoBoxForAStringNobodyHas)
{
    BoxCall warning = {10005, 0, 0, NULL};
    StartBox(&warning);
    EXPECT_EQ(0, FinishBox(&warning));
    BoxCall question = {10005, MB_YESNO, 0, NULL};
    StartBox(&question);
    EXPECT_EQ(0, FinishBox(&question));
}
