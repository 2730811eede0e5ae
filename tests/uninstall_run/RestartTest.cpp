// RestartTest.cpp -- Kolvu.exe with files in use: the restart dialog, its answers, the log itself locked, the 95 family.
// RestartYes.* really restarts: it runs only in a throwaway Wine prefix (restart-yes.sh).
#include <gtest/gtest.h>

#include "InstallLogWriter.h"
#include "KolvuDriver.h"
#include "UiTest.h"

namespace {

std::string Lower(std::string text)
{
    for (char &c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

void ExpectRestartTexts(HWND hDlg)
{
    EXPECT_EQ("Restart", UiWindowText(hDlg));
    EXPECT_EQ("These files could not be removed because currently they are in use:", UiItemText(hDlg, 101));
    EXPECT_EQ("Your system has to be restarted to remove these locked files.", UiItemText(hDlg, 102));
    EXPECT_EQ("Do you want to restart now ?", UiItemText(hDlg, 103));
    EXPECT_EQ("&Yes", UiItemText(hDlg, IDOK));
    EXPECT_EQ("&No", UiItemText(hDlg, IDCANCEL));
}

} // namespace

// Two locked files beside the log: listed sorted and lower-cased, scheduled, and
// after No the directory removal is tried twice, 2.5 s apart, and fails quietly.
TEST(RestartDialog, LockedFilesAreListedAndNoKeepsThem)
{
    std::string dir = FreshCaseDir("locked");
    std::string beta = dir + "\\Beta.TXT", alpha = dir + "\\alpha.txt";
    WriteTextFile(beta);
    WriteTextFile(alpha);
    WriteTextFile(dir + "\\free.txt");
    WriteTextFile(dir + "\\LEXA1.LDB");
    WriteTextFile(dir + "\\LEXA2.LDB");
    InstallLogWriter log;
    log.AddFile(beta);
    log.AddFile(dir + "\\free.txt");
    log.AddFile(alpha);
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
    FileLock lock;
    ASSERT_TRUE(lock.Hold({beta, alpha}));

    KolvuRun run;
    HWND hDlg = run.StartToRestart(Quoted(dir + "\\uninst.log") + " /yes");
    ASSERT_TRUE(hDlg != NULL);
    ExpectRestartTexts(hDlg);
    std::vector<std::string> lines = RestartListLines(hDlg);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(Lower(alpha), lines[0]);
    EXPECT_EQ(Lower(beta), lines[1]);
    std::string pending = PendingRenamesLower();
    EXPECT_NE(std::string::npos, pending.find(Lower(alpha)));
    EXPECT_NE(std::string::npos, pending.find(Lower(beta)));
    SaveScreenshot("strings-restart");

    UiPressButton(hDlg, IDCANCEL);
    DWORD dwPressed = GetTickCount();
    EXPECT_EQ(0u, run.Exit());
    EXPECT_GE(GetTickCount() - dwPressed, 2400u) << "one retry of the directory removal after 2500 ms";
    EXPECT_FALSE(PathExists(dir + "\\free.txt"));
    EXPECT_FALSE(PathExists(dir + "\\uninst.log"));
    EXPECT_TRUE(PathExists(dir + "\\LEXA1.LDB")) << "not read by this run: not ours";
    EXPECT_TRUE(PathExists(dir + "\\LEXA2.LDB"));
    EXPECT_TRUE(PathExists(alpha));
    EXPECT_TRUE(PathExists(dir));

    lock.Release();
    Sleep(500);
    EXPECT_TRUE(PathExists(alpha)) << "No asks for no restart";
}

TEST(RestartDialog, CloseBoxBehavesLikeNo)
{
    std::string dir = FreshCaseDir("closebox"), locked = dir + "\\locked.txt";
    InstallLogWriter log;
    FileLock lock;
    ASSERT_TRUE(HoldRecordedFile(locked, dir, log, lock));

    KolvuRun run;
    HWND hDlg = run.StartToRestart(Quoted(dir + "\\uninst.log") + " /yes /log:" + dir + "\\r.txt");
    ASSERT_TRUE(hDlg != NULL);
    PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(UiWaitGone(hDlg, 5000));
    EXPECT_TRUE(run.NoBoxFor(300)) << "no success message after the restart dialog";
    EXPECT_EQ(0u, run.Exit());
    EXPECT_TRUE(PathExists(locked));
    std::vector<std::string> tail = ReportTail(dir + "\\r.txt");
    ASSERT_EQ(2u, tail.size());
    EXPECT_EQ(std::string("Outcome (exit code 0): ") + kRestartDueText, tail[1]) << "the restart dialog was the last word";
}

TEST(RestartDialog, LockedInstallLogIsListedAsGiven)
{
    std::string dir = FreshCaseDir("lockedlog");
    std::string logPath = dir + "\\Uninst.LOG";
    WriteTextFile(dir + "\\app.txt");
    InstallLogWriter log;
    log.AddFile(dir + "\\app.txt");
    ASSERT_TRUE(log.Save(logPath));
    FileLock lock;
    ASSERT_TRUE(lock.Hold({logPath}));

    KolvuRun run;
    HWND hDlg = run.StartToRestart(Quoted(logPath) + " /yes");
    ASSERT_TRUE(hDlg != NULL);
    std::vector<std::string> lines = RestartListLines(hDlg);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(logPath, lines[0]);
    UiPressButton(hDlg, IDCANCEL);
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(dir + "\\app.txt"));
    EXPECT_TRUE(PathExists(logPath));
}

// The 95 family keeps its delayed deletions in WININIT.INI: one "NUL" line for
// every file the restart list shows, so that each of them really goes.
TEST(RestartDialog, NinetyFiveFamilySchedulesInWininit)
{
    std::string exe = BinDir() + "\\Kolvu95.exe";
    ASSERT_TRUE(CopyFileA((BinDir() + "\\Kolvu.exe").c_str(), exe.c_str(), FALSE));
    RegSetString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Kolvu95.exe", "Version", "win98");
    std::string wininit = WindowsPath("WININIT.INI");
    DeleteFileA(wininit.c_str());

    std::string dir = FreshCaseDir("win98");
    std::string first = dir + "\\first.txt", second = dir + "\\second.txt";
    WriteTextFile(first);
    WriteTextFile(second);
    InstallLogWriter log;
    log.AddFile(first);
    log.AddFile(second);
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
    FileLock lock;
    ASSERT_TRUE(lock.Hold({first, second}));

    KolvuRun run;
    HWND hDlg = run.StartToRestart(Quoted(dir + "\\uninst.log") + " /yes", "Kolvu95.exe");
    ASSERT_TRUE(hDlg != NULL);
    ExpectRestartTexts(hDlg);
    EXPECT_EQ(2u, RestartListLines(hDlg).size());
    std::string expected;
    for (const std::string &path : {first, second}) {
        char szShort[MAX_PATH];
        ASSERT_NE(0u, GetShortPathNameA(path.c_str(), szShort, MAX_PATH));
        expected += "[nul=" + Lower(szShort) + "]";
    }
    char szSection[2048] = "";
    DWORD cch = GetPrivateProfileSectionA("Rename", szSection, sizeof(szSection), wininit.c_str());
    std::string lines;
    for (const char *p = szSection; p < szSection + cch && *p; p += strlen(p) + 1)
        lines += "[" + Lower(p) + "]";
    EXPECT_EQ(expected, lines);
    UiPressButton(hDlg, IDCANCEL);
    EXPECT_EQ(0u, run.Exit());

    DeleteFileA(wininit.c_str());
    DeleteFileA(exe.c_str());
}

// The scheduled file is released before Yes is pressed, so the only thing that
// can still delete it is the restart carrying out the pending operations.
TEST(RestartYes, PendingDeletionIsCarriedOutByTheRestart)
{
    std::string dir = FreshCaseDir("restartyes"), locked = dir + "\\locked.txt";
    // read by the run, so they are its to delete
    ASSERT_TRUE(CopyFileA(LanguageFixture("english", "LEXA1.LDB").c_str(), (dir + "\\LEXA1.LDB").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(LanguageFixture("secondary", "LEXA2.LDB").c_str(), (dir + "\\LEXA2.LDB").c_str(), FALSE));
    InstallLogWriter log;
    log.SetLanguageFiles(LANGF_FIRST_FILE | LANGF_SECOND_FILE);
    FileLock lock;
    ASSERT_TRUE(HoldRecordedFile(locked, dir, log, lock));

    KolvuRun run;
    HWND hDlg = run.StartToRestart(Quoted(dir + "\\uninst.log") + " /yes");
    ASSERT_TRUE(hDlg != NULL);
    ASSERT_EQ(1u, RestartListLines(hDlg).size());
    lock.Release();
    Sleep(1000);
    ASSERT_TRUE(PathExists(locked)) << "nothing but the restart deletes it";

    UiPressButton(hDlg, IDOK);
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(dir + "\\LEXA1.LDB")) << "the language files go after Yes too";
    EXPECT_FALSE(PathExists(dir + "\\LEXA2.LDB"));
    DWORD dwStart = GetTickCount();
    while (PathExists(locked) && GetTickCount() - dwStart < 20000)
        Sleep(100);
    EXPECT_FALSE(PathExists(locked));
    EXPECT_EQ(std::string::npos, PendingRenamesLower().find("locked.txt"));
}
