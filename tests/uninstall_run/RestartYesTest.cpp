// RestartYesTest.cpp -- Yes in the restart dialog really restarts: run only in a throwaway Wine prefix.
#include <gtest/gtest.h>

#include "InstallLogWriter.h"
#include "KolvuDriver.h"
#include "UiTest.h"

// The scheduled file is released before Yes is pressed, so the only thing that
// can still delete it is the restart carrying out the pending operations.
TEST(RestartYes, PendingDeletionIsCarriedOutByTheRestart)
{
    std::string dir = FreshCaseDir("restartyes");
    std::string locked = dir + "\\locked.txt";
    WriteTextFile(locked);
    // read by the run, so they are its to delete
    ASSERT_TRUE(CopyFileA(LanguageFixture("english", "LEXA1.LDB").c_str(), (dir + "\\LEXA1.LDB").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(LanguageFixture("secondary", "LEXA2.LDB").c_str(), (dir + "\\LEXA2.LDB").c_str(), FALSE));
    InstallLogWriter log;
    log.SetLanguageFiles(LANGF_FIRST_FILE | LANGF_SECOND_FILE);
    log.AddFile(locked);
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
    FileLock lock;
    ASSERT_TRUE(lock.Hold("restartyes", {locked}));

    KolvuRun run;
    ASSERT_TRUE(run.Start("\"" + dir + "\\uninst.log\" /yes"));
    HWND hDlg = run.WaitDialog("Restart");
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
