// LanguageModesTest.cpp -- Kolvu.exe's texts from language files (with fallback) and from a language DLL.
#include <gtest/gtest.h>

#include "InstallLogWriter.h"
#include "KolvuDriver.h"
#include "UiTest.h"

namespace {

std::string ItemUtf8(HWND hDlg, int nId)
{
    HWND hItem = GetDlgItem(hDlg, nId);
    return hItem ? UiWindowTextUtf8(hItem) : std::string();
}

struct RestartTexts {
    const char *caption, *text1, *text2, *question, *yes, *no;
};

const RestartTexts kGermanFileTexts = {
    "Neustart",
    "Diese Dateien werden benutzt und konnten nicht entfernt werden:",
    "Ihr System muss neu gestartet werden, um diese Dateien zu entfernen.",
    "Möchten Sie jetzt neu starten?",
    "&Ja",
    "&Nein",
};

const RestartTexts kGermanDllTexts = {
    "Neustart",
    "Diese Dateien konnten nicht entfernt werden, weil sie gerade benutzt werden:",
    "Ihr System muss neu gestartet werden, um diese Dateien zu entfernen.",
    "Wollen Sie jetzt neu starten ?",
    "&Ja",
    "&Nein",
};

// One run through all three windows: the question, the progress dialog held at
// its first file by the probe module, and the restart dialog for a locked file.
// Screenshots of each go under the build folder with the prefix. The log must
// ask for unregistration, which is where the probe holds the removal.
void RunThroughEveryWindow(const std::string &dir, InstallLogWriter &log, const char *pszPrefix,
                           const char *pszConfirm, const char *pszFileCaption, const RestartTexts &restart)
{
    std::string probe = dir + "\\Probe.dll", locked = dir + "\\locked.txt";
    ASSERT_TRUE(CopyFixture("ProgressProbe.dll", probe));
    WriteTextFile(locked);
    log.AddApp("ZxRunLanguage", dir + "\\");
    log.AddFile(probe);
    log.AddFile(locked);
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
    FileLock lock;
    ASSERT_TRUE(lock.Hold({locked}));
    HANDLE hReached = CreateEventA(NULL, FALSE, FALSE, "ZendrixProbe.reached");
    HANDLE hGo = CreateEventA(NULL, FALSE, FALSE, "ZendrixProbe.go");

    KolvuRun run;
    ASSERT_TRUE(run.Start(Quoted(dir + "\\uninst.log")));
    HWND hBox = run.WaitBox();
    ASSERT_TRUE(hBox != NULL);
    EXPECT_EQ(pszConfirm, BoxText(hBox));
    SaveScreenshot(std::string(pszPrefix) + "-confirmation");
    UiPressButton(hBox, IDYES);

    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hReached, 20000));
    HWND hDlg = run.ProgressDialog();
    ASSERT_TRUE(hDlg != NULL);
    EXPECT_EQ("Removing application", UiWindowTextUtf8(hDlg)) << "taken before any language was prepared";
    EXPECT_EQ(pszFileCaption, ItemUtf8(hDlg, 101));
    EXPECT_EQ(probe, ItemUtf8(hDlg, 102));
    SaveScreenshot(std::string(pszPrefix) + "-progress");
    SetEvent(hGo);

    HWND hRestart = run.WaitDialog(restart.caption);
    ASSERT_TRUE(hRestart != NULL);
    EXPECT_EQ(restart.text1, ItemUtf8(hRestart, 101));
    EXPECT_EQ(restart.text2, ItemUtf8(hRestart, 102));
    EXPECT_EQ(restart.question, ItemUtf8(hRestart, 103));
    EXPECT_EQ(restart.yes, ItemUtf8(hRestart, IDOK));
    EXPECT_EQ(restart.no, ItemUtf8(hRestart, IDCANCEL));
    SaveScreenshot(std::string(pszPrefix) + "-restart");
    UiPressButton(hRestart, IDCANCEL);
    EXPECT_EQ(0u, run.Exit());
    CloseHandle(hReached);
    CloseHandle(hGo);
}

} // namespace

TEST(LanguageFiles, GermanTextsEverywhereButTheProgressCaption)
{
    std::string dir = FreshCaseDir("lexa-german");
    ASSERT_TRUE(CopyFileA(LanguageFixture("german", "LEXA1.LDB").c_str(), (dir + "\\LEXA1.LDB").c_str(), FALSE));
    InstallLogWriter log;
    log.SetFlags(LOGF_UNREGISTER);
    log.SetLanguageFiles(LANGF_FIRST_FILE);
    RunThroughEveryWindow(dir, log, "lexa-german",
                          "Möchten Sie die ausgewählte Anwendung wirklich von Ihrem Computer entfernen?",
                          "Datei wird entfernt:", kGermanFileTexts);
    EXPECT_FALSE(PathExists(dir + "\\LEXA1.LDB")) << "language files go in every outcome but a refusal";
}

TEST(LanguageFiles, SecondFileSuppliesWhatTheFirstLacks)
{
    std::string dir = FreshCaseDir("lexa-fallback");
    ASSERT_TRUE(CopyFileA(LanguageFixture("partial", "LEXA1.LDB").c_str(), (dir + "\\LEXA1.LDB").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(LanguageFixture("secondary", "LEXA2.LDB").c_str(), (dir + "\\LEXA2.LDB").c_str(), FALSE));
    CreateDirectoryA((dir + "\\Parent").c_str(), NULL);
    CreateDirectoryA((dir + "\\Parent\\Child").c_str(), NULL);
    InstallLogWriter log;
    log.SetLanguageFiles(LANGF_FIRST_FILE | LANGF_SECOND_FILE);
    log.AddDirectory(dir + "\\Parent");
    log.AddDirectory(dir + "\\Parent\\Child");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log));
    EXPECT_EQ("Some folders remain (secondary file).", run.AnswerBox(IDOK));
    EXPECT_EQ("Removal complete (secondary file).", run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(dir + "\\LEXA1.LDB"));
    EXPECT_FALSE(PathExists(dir + "\\LEXA2.LDB"));
}

TEST(LanguageDll, GermanStringsFromTheRestoredDll)
{
    std::string dir = FreshCaseDir("dll-german");
    Bytes image = ReadFileBytes(BinDir() + "\\ZxLangGerman.dll");
    ASSERT_FALSE(image.empty());
    InstallLogWriter log;
    log.SetFlags(LOGF_UNREGISTER);
    log.SetLanguageImage(image);
    int nTempBefore = CountTempLanguageFiles();
    // in string-resource mode the progress labels are always the fixed English texts
    RunThroughEveryWindow(dir, log, "dll-german",
                          "Wollen Sie die ausgewählte Anwendung wirklich von Ihrem Computer entfernen ?",
                          "Removing File:", kGermanDllTexts);
    EXPECT_EQ(nTempBefore, CountTempLanguageFiles()) << "the temporary DLL is released and deleted";
}

TEST(LanguageDll, DirectoryMessageStaysEnglishBesideGermanSuccess)
{
    std::string dir = FreshCaseDir("dll-dirs");
    CreateDirectoryA((dir + "\\Parent").c_str(), NULL);
    CreateDirectoryA((dir + "\\Parent\\Child").c_str(), NULL);
    InstallLogWriter log;
    log.SetLanguageImage(ReadFileBytes(BinDir() + "\\ZxLangGerman.dll"));
    log.AddDirectory(dir + "\\Parent");
    log.AddDirectory(dir + "\\Parent\\Child");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log));
    EXPECT_EQ(kDirNotEmptyText, run.AnswerBox(IDOK));
    EXPECT_EQ("Die ausgewählte Anwendung wurde erfolgreich entfernt.", run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
}

TEST(LanguageDll, ImageThatIsNoLanguageDllRemovesInEnglish)
{
    std::string dir = FreshCaseDir("dll-none");
    WriteTextFile(dir + "\\app.txt");
    InstallLogWriter log;
    log.SetLanguageImage(ReadFileBytes(BinDir() + "\\ZxLangNotADll.dll"));
    log.AddFile(dir + "\\app.txt");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log, ""));
    EXPECT_EQ("The language DLL selected for this uninstall could not be located. Uninstall will use English instead.",
              run.AnswerBox(IDOK));
    EXPECT_EQ(kConfirmText, run.AnswerBox(IDYES));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(dir + "\\app.txt"));
}
