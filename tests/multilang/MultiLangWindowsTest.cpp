// MultiLangWindowsTest.cpp -- reading language files from disk and putting their texts on
// windows and message boxes, on the NT family and (through a child program) the 95 family.
#include <gtest/gtest.h>

#include <string>

#include "LanguageFileWriter.h"
#include "MultiLang.h"
#include "SystemTest.h"
#include "TestDialogIds.h"

namespace {

std::string FixturePath(const char* relative) {
    std::string path = BinDir() + "\\langfiles\\" + relative;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string TempPath(const char* name) {
    char sz[MAX_PATH];
    GetTempPathA(MAX_PATH, sz);
    return std::string(sz) + name;
}

std::wstring Wide(const std::u16string& s) {
    return std::wstring(s.begin(), s.end());
}

std::wstring Text(const WCHAR* pwsz) {
    return pwsz ? std::wstring(pwsz) : std::wstring(L"(null)");
}

std::wstring WindowText(HWND hWnd) {
    WCHAR wsz[512] = {0};
    GetWindowTextW(hWnd, wsz, 512);
    return wsz;
}

// Greek, Cyrillic and Japanese letters that no Western code page holds, around German ones that it does.
const char16_t kMixedText[] = u"Gr\u00fc\u00dfe \u03a9\u03bc\u03ad\u03b3\u03b1 \u041f\u0440\u0438 \u65e5\u672c!";

LanguageTable* TableOf(const LanguageFileContents& contents) {
    std::vector<uint8_t> bytes = BuildLanguageFile(contents);
    LanguageTable* pTable = NULL;
    ParseLanguageFile(bytes.data(), bytes.size(), &pTable);
    return pTable;
}

LanguageFileContents MixedContents() {
    LanguageFileContents c;
    // Captions of ANSI dialogs pass through the ANSI code page even when set
    // with the wide function, so this one keeps to letters the code page has.
    c.entries = {{"Uninstall|RestartTopic", u"Neustart \u2013 Gr\u00fc\u00dfe"},
                 {"Uninstall|Success", kMixedText},
                 {"Uninstall|Empty", u""},
                 {"Yes", u"&Ja"}};
    return c;
}

INT_PTR CALLBACK TestDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// Tables and the dialog of one test; the slots are emptied again afterwards.
class WindowTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        pPrimary = TableOf(MixedContents());
        ASSERT_NE(nullptr, pPrimary);
        SetPrimaryLanguageTable(pPrimary);
        hDlg = CreateDialogParamA(GetModuleHandleA(NULL), "TESTDLG", NULL, TestDialogProc, 0);
        ASSERT_NE(nullptr, hDlg);
    }
    void TearDown() override {
        SetPrimaryLanguageTable(NULL);
        SetSecondaryLanguageTable(NULL);
        FreeLanguageTable(pPrimary);
        FreeLanguageTable(pSecondary);
        if (hDlg)
            DestroyWindow(hDlg);
    }
    LanguageTable* pPrimary = nullptr;
    LanguageTable* pSecondary = nullptr;
    HWND hDlg = NULL;
};

TEST(ReadLanguageFile, ReadsTheEnglishAndGermanFiles) {
    LanguageTable* pEnglish = NULL;
    LanguageTable* pGerman = NULL;
    ASSERT_EQ(1, ReadLanguageFile(&pEnglish, FixturePath("english/LEXA1.LDB").c_str()));
    ASSERT_EQ(1, ReadLanguageFile(&pGerman, FixturePath("german/LEXA1.LDB").c_str()));
    EXPECT_EQ(L"&Yes", Text(FindTextInTable(pEnglish, "Yes")));
    EXPECT_EQ(L"Systemdatei", Text(FindTextInTable(pGerman, "uninstall|systemfile")));
    EXPECT_STREQ("Deutsch", pGerman->pszHeaderText1);
    EXPECT_EQ(0x0407u, pGerman->dwHeaderWord);
    FreeLanguageTable(pEnglish);
    FreeLanguageTable(pGerman);
}

TEST(ReadLanguageFile, MissingUnopenableOrDamagedFilesGiveZeroAndKeepThePointer) {
    LanguageTable* const pBefore = reinterpret_cast<LanguageTable*>(0x5678);
    LanguageTable* pTable = pBefore;
    std::string missing = TempPath("zx_no_such_lexa1.ldb");
    DeleteFileA(missing.c_str());
    EXPECT_EQ(0, ReadLanguageFile(&pTable, missing.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(missing.c_str())) << "must not create it";
    EXPECT_EQ(0, ReadLanguageFile(&pTable, BinDir().c_str()));  // a directory
    EXPECT_EQ(0, ReadLanguageFile(NULL, FixturePath("english/LEXA1.LDB").c_str()));

    std::vector<uint8_t> bytes = BuildLanguageFile(MixedContents());
    std::string damaged = TempPath("zx_damaged_lexa1.ldb");
    bytes.resize(bytes.size() - 1);  // last value one byte short
    ASSERT_TRUE(WriteBytesToFile(damaged, bytes));
    EXPECT_EQ(0, ReadLanguageFile(&pTable, damaged.c_str()));
    bytes = BuildLanguageFile(MixedContents());
    PutLe32(bytes, 896, 0x7FFFFFFF);
    ASSERT_TRUE(WriteBytesToFile(damaged, bytes));
    EXPECT_EQ(0, ReadLanguageFile(&pTable, damaged.c_str()));
    EXPECT_EQ(pBefore, pTable);
    DeleteFileA(damaged.c_str());
}

TEST(ReadLanguageFile, SharesReadingButNotWriting) {
    std::string path = TempPath("zx_shared_lexa1.ldb");
    ASSERT_TRUE(WriteBytesToFile(path, BuildLanguageFile(MixedContents())));
    LanguageTable* pTable = NULL;

    HANDLE hReader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hReader);
    EXPECT_EQ(1, ReadLanguageFile(&pTable, path.c_str())) << "another reader must not stop it";
    CloseHandle(hReader);
    FreeLanguageTable(pTable);
    pTable = NULL;

    HANDLE hWriter = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                 OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hWriter);
    EXPECT_EQ(0, ReadLanguageFile(&pTable, path.c_str())) << "a file being written is not read";
    CloseHandle(hWriter);
    EXPECT_EQ(nullptr, pTable);

    // And the reader lets go of the file: it can be deleted right after.
    ASSERT_EQ(1, ReadLanguageFile(&pTable, path.c_str()));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    FreeLanguageTable(pTable);
}

TEST_F(WindowTextTest, TextsByKeyReachCaptionAndItemsUnchanged) {
    EXPECT_TRUE(SetWindowTextByKey(hDlg, "uninstall|restarttopic"));
    EXPECT_EQ(L"Neustart \u2013 Gr\u00fc\u00dfe", WindowText(hDlg));
    EXPECT_TRUE(SetDlgItemTextByKey(hDlg, IDC_TEST_TEXT1, "Uninstall|Success"));
    EXPECT_EQ(Wide(kMixedText), WindowText(GetDlgItem(hDlg, IDC_TEST_TEXT1)));
    EXPECT_TRUE(SetDlgItemTextByKey(hDlg, IDOK, "Yes"));
    EXPECT_EQ(L"&Ja", WindowText(GetDlgItem(hDlg, IDOK)));
    // The other items are left alone.
    EXPECT_EQ(L"Initial text 2", WindowText(GetDlgItem(hDlg, IDC_TEST_TEXT2)));
}

TEST_F(WindowTextTest, KeyWithoutTextLeavesWhatWasShown) {
    EXPECT_FALSE(SetWindowTextByKey(hDlg, "Uninstall|Nothing"));
    EXPECT_EQ(L"Initial caption", WindowText(hDlg));
    EXPECT_FALSE(SetDlgItemTextByKey(hDlg, IDC_TEST_TEXT1, "Uninstall|Nothing"));
    EXPECT_EQ(L"Initial text 1", WindowText(GetDlgItem(hDlg, IDC_TEST_TEXT1)));
    EXPECT_FALSE(SetDlgItemTextByKey(hDlg, IDC_TEST_TEXT1, NULL));

    // Like the progress label: a record kind without text keeps the previous record's label.
    ASSERT_TRUE(SetDlgItemTextByKey(hDlg, IDC_TEST_TEXT1, "Yes"));
    EXPECT_FALSE(SetDlgItemTextByKey(hDlg, IDC_TEST_TEXT1, "Uninstall|RegEntry"));
    EXPECT_EQ(L"&Ja", WindowText(GetDlgItem(hDlg, IDC_TEST_TEXT1)));
}

TEST_F(WindowTextTest, EmptyTextClearsTheWindow) {
    EXPECT_TRUE(SetWindowTextByKey(hDlg, "Uninstall|Empty"));
    EXPECT_EQ(L"", WindowText(hDlg));
    EXPECT_TRUE(SetDlgItemTextByKey(hDlg, IDC_TEST_TEXT3, "Uninstall|Empty"));
    EXPECT_EQ(L"", WindowText(GetDlgItem(hDlg, IDC_TEST_TEXT3)));
}

TEST_F(WindowTextTest, SecondaryFileSuppliesWhatThePrimaryLacks) {
    ASSERT_EQ(1, ReadLanguageFile(&pSecondary, FixturePath("secondary/LEXA2.LDB").c_str()));
    SetSecondaryLanguageTable(pSecondary);
    EXPECT_TRUE(SetDlgItemTextByKey(hDlg, IDC_TEST_TEXT1, "Uninstall|DirNotEmpty"));
    EXPECT_EQ(L"Some folders remain (secondary file).", WindowText(GetDlgItem(hDlg, IDC_TEST_TEXT1)));
    EXPECT_TRUE(SetDlgItemTextByKey(hDlg, IDC_TEST_TEXT2, "Yes"));
    EXPECT_EQ(L"&Ja", WindowText(GetDlgItem(hDlg, IDC_TEST_TEXT2)));
}

TEST(WideToAnsi, ConvertsWithTheAnsiCodePageAndItsDefaultCharacter) {
    EXPECT_EQ(nullptr, WideToAnsi(NULL));
    char* psz = WideToAnsi(L"");
    ASSERT_NE(nullptr, psz);
    EXPECT_STREQ("", psz);
    free(psz);

    std::wstring mixed = Wide(kMixedText);
    char szExpected[256];
    BOOL bUsedDefault = FALSE;
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, mixed.c_str(), -1, szExpected, sizeof(szExpected), NULL,
                                  &bUsedDefault),
              0);
    psz = WideToAnsi(mixed.c_str());
    ASSERT_NE(nullptr, psz);
    EXPECT_STREQ(szExpected, psz);
    free(psz);

    // The buffer has room for double-byte code pages: a long text converts whole.
    std::wstring longText(3000, L'\u00e9');
    psz = WideToAnsi(longText.c_str());
    ASSERT_NE(nullptr, psz);
    EXPECT_GE(strlen(psz), 3000u);
    free(psz);
}

// Finds the message box of the given thread, records what it shows and presses a button.
struct BoxWatch {
    DWORD dwThreadId;
    int nButton;
    volatile LONG lStop;
    bool bFound;
    std::wstring caption, text;
    bool bHasYes, bHasNo, bHasOk;
};

BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam) {
    char szClass[64];
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (strcmp(szClass, "#32770") != 0 || !IsWindowVisible(hWnd))
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

DWORD WINAPI WatchForBox(LPVOID pParam) {
    BoxWatch* pWatch = static_cast<BoxWatch*>(pParam);
    for (int i = 0; i < 3000 && !pWatch->lStop; i++) {
        HWND hBox = NULL;
        EnumThreadWindows(pWatch->dwThreadId, FindBox, reinterpret_cast<LPARAM>(&hBox));
        if (hBox) {
            pWatch->bFound = true;
            pWatch->caption = WindowText(hBox);
            pWatch->text = WindowText(GetDlgItem(hBox, 0xFFFF));
            pWatch->bHasYes = GetDlgItem(hBox, IDYES) != NULL;
            pWatch->bHasNo = GetDlgItem(hBox, IDNO) != NULL;
            pWatch->bHasOk = GetDlgItem(hBox, IDOK) != NULL;
            PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(pWatch->nButton, BN_CLICKED),
                         (LPARAM)GetDlgItem(hBox, pWatch->nButton));
            return 0;
        }
        Sleep(20);
    }
    return 0;
}

// Runs MessageBoxByKey on this thread while a second thread answers the box.
int AnswerBox(BoxWatch& watch, const char* pszKey, UINT uType) {
    watch.dwThreadId = GetCurrentThreadId();
    watch.lStop = 0;
    watch.bFound = false;
    HANDLE hThread = CreateThread(NULL, 0, WatchForBox, &watch, 0, NULL);
    int nResult = MessageBoxByKey(NULL, pszKey, L"Uninstall", uType);
    InterlockedExchange(&watch.lStop, 1);
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    return nResult;
}

TEST_F(WindowTextTest, MessageBoxShowsTheWideTextAndReturnsThePressedButton) {
    BoxWatch watch = {};
    watch.nButton = IDNO;
    EXPECT_EQ(IDNO, AnswerBox(watch, "UNINSTALL|SUCCESS", MB_YESNO | MB_ICONQUESTION));
    ASSERT_TRUE(watch.bFound);
    EXPECT_EQ(L"Uninstall", watch.caption);
    EXPECT_EQ(Wide(kMixedText), watch.text);
    EXPECT_TRUE(watch.bHasYes && watch.bHasNo);

    watch.nButton = IDOK;
    EXPECT_EQ(IDOK, AnswerBox(watch, "Yes", MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL));
    ASSERT_TRUE(watch.bFound);
    EXPECT_EQ(L"&Ja", watch.text);
    EXPECT_TRUE(watch.bHasOk);
    EXPECT_FALSE(watch.bHasYes || watch.bHasNo);
}

TEST_F(WindowTextTest, MessageBoxWithoutTextShowsNothingAndGivesZero) {
    BoxWatch watch = {};
    watch.nButton = IDYES;
    EXPECT_EQ(0, AnswerBox(watch, "Uninstall|Confirm", MB_YESNO | MB_ICONQUESTION));
    EXPECT_FALSE(watch.bFound);
    EXPECT_EQ(0, AnswerBox(watch, NULL, MB_OK));
    EXPECT_FALSE(watch.bFound);
}

// Runs text_probe.exe on a language file and splits its result file into lines.
std::vector<std::wstring> RunProbe(const std::string& languageFile) {
    std::vector<std::wstring> lines;
    std::string result = TempPath("zx_probe_result.txt");
    DeleteFileA(result.c_str());
    std::string cmd = "\"" + BinDir() + "\\text_probe.exe\" " + languageFile + " " + result;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmdBuf(cmd.begin(), cmd.end());
    cmdBuf.push_back('\0');
    if (!CreateProcessA(NULL, cmdBuf.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return lines;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD dwExit = 1;
    GetExitCodeProcess(pi.hProcess, &dwExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(0u, dwExit);
    std::vector<uint8_t> bytes;
    if (!ReadBytesFromFile(result, bytes))
        return lines;
    std::wstring all(reinterpret_cast<const WCHAR*>(bytes.data()), bytes.size() / 2);
    size_t start = 0, end;
    while ((end = all.find(L'\n', start)) != std::wstring::npos) {
        lines.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    DeleteFileA(result.c_str());
    return lines;
}

const char kProbeAppDefaults[] = "Software\\Wine\\AppDefaults\\text_probe.exe";

TEST(NinetyFiveFamily, TextsOutsideTheCodePageShowTheDefaultCharacterThereOnly) {
    std::string languageFile = TempPath("zx_probe_lexa1.ldb");
    ASSERT_TRUE(WriteBytesToFile(languageFile, BuildLanguageFile(MixedContents())));
    std::wstring mixed = Wide(kMixedText);

    // What the ANSI code page makes of the text: its default character where letters are missing.
    char szAnsi[256];
    WCHAR wszRoundTrip[256];
    BOOL bUsedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, 0, mixed.c_str(), -1, szAnsi, sizeof(szAnsi), NULL, &bUsedDefault);
    ASSERT_TRUE(bUsedDefault) << "the text must hold letters the code page lacks";
    MultiByteToWideChar(CP_ACP, 0, szAnsi, -1, wszRoundTrip, 256);
    CPINFO cpInfo;
    ASSERT_TRUE(GetCPInfo(CP_ACP, &cpInfo));
    ASSERT_NE(std::wstring::npos, std::wstring(wszRoundTrip).find((WCHAR)cpInfo.DefaultChar[0]));

    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kProbeAppDefaults, "Version", "win98"));
    std::vector<std::wstring> on95 = RunProbe(languageFile);
    RegDeleteKeyA(HKEY_CURRENT_USER, kProbeAppDefaults);
    std::vector<std::wstring> onNT = RunProbe(languageFile);
    DeleteFileA(languageFile.c_str());

    ASSERT_EQ(7u, on95.size());
    EXPECT_EQ(L"0", on95[0]) << "the probe must see a 95-family system";
    EXPECT_EQ(L"1", on95[1]);
    EXPECT_EQ(L"Neustart \u2013 Gr\u00fc\u00dfe", on95[4]);
    EXPECT_EQ(L"1", on95[2]);
    EXPECT_EQ(L"0", on95[3]);
    EXPECT_EQ(wszRoundTrip, on95[5]);
    EXPECT_NE(mixed, on95[5]);
    EXPECT_EQ(L"Initial text 2", on95[6]);

    ASSERT_EQ(7u, onNT.size());
    EXPECT_EQ(L"1", onNT[0]);
    EXPECT_EQ(L"Neustart \u2013 Gr\u00fc\u00dfe", onNT[4]);
    EXPECT_EQ(mixed, onNT[5]);
    EXPECT_EQ(L"Initial text 2", onNT[6]);
}

}  // namespace
