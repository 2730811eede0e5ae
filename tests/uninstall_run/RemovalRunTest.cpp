// RemovalRunTest.cpp -- Kolvu.exe's confirmation, progress, custom programs and the removal of every kind of record.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "InstallLogWriter.h"
#include "KolvuDriver.h"
#include "UiTest.h"

namespace {

const char *const kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char *const kTestKey = "Software\\Velmor\\ZxRunTest";

std::string CustomProgram()
{
    return BinDir() + "\\CustomUninstall.exe";
}

// The mark lines the custom programs left: "tag|working directory".
std::vector<std::string> MarkLines(const std::string &markFile)
{
    return ReadTextLines(markFile);
}

HANDLE ProbeEvent(const char *pszName)
{
    return CreateEventA(NULL, FALSE, FALSE, pszName);
}

} // namespace

TEST(Confirmation, NoLeavesEverythingInPlace)
{
    std::string dir = FreshCaseDir("decline");
    CreateDirectoryA((dir + "\\App").c_str(), NULL);
    WriteTextFile(dir + "\\App\\app.txt");
    WriteTextFile(dir + "\\LEXA1.LDB");
    RegSetString(HKEY_CURRENT_USER, kTestKey, "Declined", "1");
    InstallLogWriter log;
    log.AddApp("ZxDecline", dir + "\\App\\");
    log.AddFile(dir + "\\App\\app.txt");
    log.AddRegEntry(1, kTestKey, "Declined");
    log.AddDirectory(dir + "\\App");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log, ""));
    EXPECT_EQ(kConfirmText, run.AnswerBox(IDNO));
    EXPECT_TRUE(run.NoBoxFor(1000));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_TRUE(PathExists(dir + "\\App\\app.txt"));
    EXPECT_TRUE(PathExists(dir + "\\uninst.log"));
    EXPECT_TRUE(PathExists(dir + "\\LEXA1.LDB"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kTestKey, "Declined"));
    DeleteRegTree(HKEY_CURRENT_USER, kTestKey);
}

TEST(Confirmation, MissingQuestionTextCountsAsNo)
{
    std::string dir = FreshCaseDir("noconfirmkey");
    WriteTextFile(dir + "\\app.txt");
    ASSERT_TRUE(CopyFileA(LanguageFixture("empty", "LEXA1.LDB").c_str(), (dir + "\\LEXA1.LDB").c_str(), FALSE));
    InstallLogWriter log;
    log.SetLanguageFiles(LANGF_FIRST_FILE);
    log.AddFile(dir + "\\app.txt");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log, ""));
    EXPECT_TRUE(run.NoBoxFor(1000));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_TRUE(PathExists(dir + "\\app.txt"));
    EXPECT_TRUE(PathExists(dir + "\\LEXA1.LDB"));
}

// One installation with every kind of record, removed with /yes.
TEST(Removal, CleanRunRemovesEveryRecordedThing)
{
    std::string dir = FreshCaseDir("clean");
    std::string app = dir + "\\App", logDir = dir + "\\Log";
    CreateDirectoryA(app.c_str(), NULL);
    CreateDirectoryA((app + "\\Sub").c_str(), NULL);
    CreateDirectoryA(logDir.c_str(), NULL);
    WriteTextFile(app + "\\App.EXE");
    SetFileAttributesA((app + "\\App.EXE").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteTextFile(app + "\\Sub\\readme.txt");
    ASSERT_TRUE(CopyFixture("ComServerFixture.dll", app + "\\Server.dll"));
    WriteTextFile(dir + "\\shared1.dat");
    WriteTextFile(dir + "\\shared3.dat");
    RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, (dir + "\\shared1.dat").c_str(), 1);
    RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, (dir + "\\shared3.dat").c_str(), 3);
    RegSetString(HKEY_CURRENT_USER, kTestKey, "Path", "x");
    RegSetString(HKEY_CURRENT_USER, kTestKey, "Other", "y");
    std::string uninstallKey = std::string(kUninstallRoot) + "ZxRunClean";
    RegSetString(HKEY_LOCAL_MACHINE, uninstallKey.c_str(), "DisplayName", "Zx clean run");
    WritePrivateProfileStringA("Settings", "Path", "x", (dir + "\\full.ini").c_str());
    WritePrivateProfileStringA("Settings", "Other", "y", (dir + "\\full.ini").c_str());
    WritePrivateProfileStringA("Settings", "Path", "x", (dir + "\\dest.ini").c_str());
    WritePrivateProfileStringA("Settings", "Path", "x", "C:\\windows\\system32\\zxrunclean.ini");
    DWORD dwUnregisterBefore = RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls");

    InstallLogWriter log;
    log.SetFlags(LOGF_UNREGISTER);
    log.AddApp("ZxRunClean", dir + "\\");
    log.AddFile(app + "\\App.EXE");
    log.AddFile(app + "\\Sub\\readme.txt");
    log.AddFile(app + "\\Server.dll");
    log.AddSystemFile(dir + "\\shared1.dat");
    log.AddSystemFile(dir + "\\shared3.dat");
    log.AddRegEntry(1, kTestKey, "Path");
    log.AddIniEntry(3, dir + "\\full.ini", "Settings", "Path");
    log.AddIniEntry(0, "dest.ini", "Settings", "Path");
    log.AddIniEntry(2, "zxrunclean.ini", "Settings", "Path");
    log.AddDirectory(app + "\\Sub");
    log.AddDirectory(app);

    KolvuRun run;
    ASSERT_TRUE(run.StartLog(logDir, log, " /YES"));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_TRUE(run.NoBoxFor(500)) << "the success message is the only one";
    EXPECT_EQ(0u, run.Exit());

    EXPECT_FALSE(PathExists(app)) << "files first, then the child, then the parent";
    EXPECT_EQ(dwUnregisterBefore + 1, RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls"));
    EXPECT_FALSE(PathExists(dir + "\\shared1.dat"));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kSharedDlls, (dir + "\\shared1.dat").c_str()));
    EXPECT_TRUE(PathExists(dir + "\\shared3.dat"));
    EXPECT_EQ(2u, RegGetDword(HKEY_LOCAL_MACHINE, kSharedDlls, (dir + "\\shared3.dat").c_str()));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kTestKey, "Path"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kTestKey, "Other"));
    char szValue[16];
    GetPrivateProfileStringA("Settings", "Path", "gone", szValue, sizeof(szValue), (dir + "\\full.ini").c_str());
    EXPECT_STREQ("gone", szValue);
    GetPrivateProfileStringA("Settings", "Other", "gone", szValue, sizeof(szValue), (dir + "\\full.ini").c_str());
    EXPECT_STREQ("y", szValue);
    GetPrivateProfileStringA("Settings", "Path", "gone", szValue, sizeof(szValue), (dir + "\\dest.ini").c_str());
    EXPECT_STREQ("gone", szValue) << "location 0 is relative to the destination directory";
    GetPrivateProfileStringA("Settings", "Path", "gone", szValue, sizeof(szValue),
                             "C:\\windows\\system32\\zxrunclean.ini");
    EXPECT_STREQ("gone", szValue) << "location 2 is relative to the system directory";
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, uninstallKey.c_str()));
    EXPECT_FALSE(PathExists(logDir)) << "the log and its directory are gone";

    DeleteRegTree(HKEY_CURRENT_USER, kTestKey);
    RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, (dir + "\\shared3.dat").c_str(), 0);
    DeleteFileA("C:\\windows\\system32\\zxrunclean.ini");
}

// Ten records, four of them files: the bar stands at 0, 10, 20, 30 while each file
// is removed and ends at 40. The probe module holds the removal still inside its
// unregistration so that the dialog can be read.
TEST(Progress, TenRecordLogStepsByTen)
{
    std::string dir = FreshCaseDir("progress");
    std::string app = dir + "\\App";
    CreateDirectoryA(app.c_str(), NULL);
    std::string probes[4];
    for (int i = 0; i < 4; ++i) {
        probes[i] = app + "\\Probe" + std::to_string(i + 1) + ".DLL";
        ASSERT_TRUE(CopyFixture("ProgressProbe.dll", probes[i]));
    }
    InstallLogWriter log;
    log.SetFlags(LOGF_UNREGISTER);
    log.AddApp("ZxRunProgress", app + "\\");
    log.AddCustomUninstall(CustomProgram(), "0 \"" + dir + "\\mark.txt\" progress");
    log.AddFile(probes[0]);
    log.Add(6, Bytes(10));
    log.AddFile(probes[1]);
    log.AddFile(probes[2]);
    log.Add(6, Bytes(0));
    log.AddFile(probes[3]);
    log.Add(6, Bytes(3));
    log.AddDirectory(app);

    HANDLE hReached = ProbeEvent("ZendrixProbe.reached");
    HANDLE hGo = ProbeEvent("ZendrixProbe.go");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log, ""));
    HWND hConfirm = run.WaitBox();
    ASSERT_TRUE(hConfirm != NULL);
    HWND hDlg = run.ProgressDialog();
    ASSERT_TRUE(hDlg != NULL);
    EXPECT_FALSE(IsWindowVisible(hDlg)) << "hidden while the question is asked";
    EXPECT_EQ("Removing application", UiWindowText(hDlg));
    EXPECT_EQ("Loading install-log", UiItemText(hDlg, 101));
    EXPECT_EQ("(Please wait)", UiItemText(hDlg, 102));
    EXPECT_EQ(0, ProgressPos(hDlg));
    HWND hBar = GetDlgItem(hDlg, 131);
    EXPECT_EQ(0, (int)SendMessageA(hBar, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(120, (int)SendMessageA(hBar, PBM_GETRANGE, FALSE, 0));
    SaveScreenshot("strings-confirmation");
    UiPressButton(hConfirm, IDYES);

    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hReached, 20000)) << "file " << i;
        EXPECT_TRUE(IsWindowVisible(hDlg));
        EXPECT_EQ(i * 10, ProgressPos(hDlg));
        EXPECT_EQ("Removing File:", UiItemText(hDlg, 101));
        EXPECT_EQ(probes[i], UiItemText(hDlg, 102)) << "shown as recorded, not lower-cased";
        if (i == 1) {
            SaveScreenshot("strings-progress");
            // the close command of the system menu must not stop anything
            PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
            PostMessageA(hDlg, WM_CLOSE, 0, 0);
        }
        SetEvent(hGo);
    }
    // read while the final box is up: the process ends right after it
    ASSERT_TRUE(run.WaitBox() != NULL);
    EXPECT_FALSE(IsWindowVisible(hDlg)) << "ended when the removal completed";
    EXPECT_EQ(40, ProgressPos(hDlg));
    EXPECT_EQ("Deleting Uninstall Key", UiItemText(hDlg, 101));
    EXPECT_EQ(app, UiItemText(hDlg, 102)) << "the last record's path, even when sent late";
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(app));
    EXPECT_EQ(1u, MarkLines(dir + "\\mark.txt").size());
    CloseHandle(hReached);
    CloseHandle(hGo);
}

TEST(CustomPrograms, FailureStopsBeforeAnythingIsRemoved)
{
    std::string dir = FreshCaseDir("customfail");
    std::string mark = dir + "\\mark.txt";
    WriteTextFile(dir + "\\app.txt");
    InstallLogWriter log;
    log.AddApp("ZxRunCustomFail", dir + "\\");
    log.AddFile(dir + "\\app.txt");
    log.AddCustomUninstall(CustomProgram(), "0 \"" + mark + "\" first");
    log.AddCustomUninstall(CustomProgram(), "1 \"" + mark + "\" second");
    log.AddCustomUninstall(CustomProgram(), "0 \"" + mark + "\" third");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log, " -yes"));
    EXPECT_EQ(kCustomFailedText, run.AnswerBox(IDOK));
    EXPECT_TRUE(run.NoBoxFor(500));
    EXPECT_EQ(kExitStopped, run.Exit()) << "a script must tell it from a success";
    std::vector<std::string> lines = MarkLines(mark);
    ASSERT_EQ(2u, lines.size()) << "the third program never runs";
    EXPECT_EQ("first|" + dir, lines[0]);
    EXPECT_EQ("second|" + dir, lines[1]);
    EXPECT_TRUE(PathExists(dir + "\\app.txt"));
    EXPECT_TRUE(PathExists(dir + "\\uninst.log"));
}

TEST(CustomPrograms, ProgramThatCannotStartStopsLikeAFailure)
{
    std::string dir = FreshCaseDir("customnone");
    WriteTextFile(dir + "\\app.txt");
    InstallLogWriter log;
    log.AddFile(dir + "\\app.txt");
    log.AddCustomUninstall(dir + "\\NoSuchProgram.exe", "");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log));
    // no box of the shell's own: a /yes run from a script has nobody to click it
    EXPECT_EQ(kCustomFailedText, run.AnswerBox(IDOK));
    EXPECT_EQ(kExitStopped, run.Exit());
    EXPECT_TRUE(PathExists(dir + "\\app.txt"));
}

TEST(CustomPrograms, SeveralRunInFileOrderInTheDestination)
{
    std::string dir = FreshCaseDir("customok");
    std::string dest = dir + "\\Dest";
    CreateDirectoryA(dest.c_str(), NULL);
    std::string mark = dir + "\\mark.txt";
    InstallLogWriter log;
    log.AddApp("ZxRunCustomOk", dest);
    for (const char *tag : {"a", "b", "c"})
        log.AddCustomUninstall(CustomProgram(), std::string("0 \"") + mark + "\" " + tag);
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    std::vector<std::string> lines = MarkLines(mark);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("a|" + dest, lines[0]);
    EXPECT_EQ("b|" + dest, lines[1]);
    EXPECT_EQ("c|" + dest, lines[2]);
}

TEST(CustomPrograms, WithoutApplicationRecordRunWhereKolvuRuns)
{
    std::string dir = FreshCaseDir("customnoapp");
    std::string mark = dir + "\\mark.txt";
    InstallLogWriter log;
    log.AddCustomUninstall(CustomProgram(), "0 \"" + mark + "\" noapp");
    KolvuRun run;   // started in the bin directory
    ASSERT_TRUE(run.StartLog(dir, log));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    std::vector<std::string> lines = MarkLines(mark);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0, lstrcmpiA(("noapp|" + BinDir()).c_str(), lines[0].c_str()));
}

TEST(Finishing, LogNamedWithoutDirectoryLeavesItsSurroundingsAlone)
{
    std::string dir = FreshCaseDir("barelog");
    WriteTextFile(dir + "\\app.txt");
    WriteTextFile(dir + "\\LEXA1.LDB");
    InstallLogWriter log;
    log.AddFile(dir + "\\app.txt");
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));

    KolvuRun run;
    ASSERT_TRUE(run.Start("uninst.log /yes", "Kolvu.exe", dir.c_str()));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(dir + "\\app.txt"));
    EXPECT_FALSE(PathExists(dir + "\\uninst.log"));
    EXPECT_TRUE(PathExists(dir + "\\LEXA1.LDB")) << "no directory part: no language files are looked for";
    EXPECT_TRUE(PathExists(dir));
}

TEST(Directories, ParentListedBeforeChildStaysAndIsReported)
{
    std::string dir = FreshCaseDir("parentfirst");
    std::string parent = dir + "\\Parent", child = parent + "\\Child";
    CreateDirectoryA(parent.c_str(), NULL);
    CreateDirectoryA(child.c_str(), NULL);
    std::string logDir = dir + "\\Log";
    CreateDirectoryA(logDir.c_str(), NULL);
    InstallLogWriter log;
    log.AddDirectory(parent);
    log.AddDirectory(child);

    KolvuRun run;
    ASSERT_TRUE(run.StartLog(logDir, log));
    EXPECT_EQ(kDirNotEmptyText, run.AnswerBox(IDOK));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(child));
    EXPECT_TRUE(PathExists(parent)) << "scheduled for the next start, not removed now";
    EXPECT_FALSE(PathExists(logDir));
}

TEST(CustomPrograms, DamagedRecordStopsLikeAFailure)
{
    std::string dir = FreshCaseDir("customdamaged");
    WriteTextFile(dir + "\\app.txt");
    Bytes longer = InstallLogWriter::CustomUninstallBody(CustomProgram(), "0 x");
    longer.resize(600);
    InstallLogWriter logs[3];
    for (InstallLogWriter &log : logs)
        log.AddFile(dir + "\\app.txt");
    logs[0].AddCustomUninstall(std::string(300, 'p'), "");   // fills the field, no NUL
    logs[1].Add(REC_CUSTOM_UNINSTALL, longer);                // 600 bytes, not 520
    logs[2].AddHead(REC_CUSTOM_UNINSTALL, 520);               // the log ends 100 bytes into it
    logs[2].AddBytes(Bytes(100, 'p'));
    for (InstallLogWriter &log : logs) {
        KolvuRun run;
        ASSERT_TRUE(run.StartLog(dir, log));
        // the whole log is refused before any program runs
        EXPECT_EQ(kDamagedLogText, run.AnswerBox(IDOK));
        EXPECT_EQ(kExitDamagedLog, run.Exit());
        EXPECT_TRUE(PathExists(dir + "\\app.txt"));
        EXPECT_TRUE(PathExists(dir + "\\uninst.log"));
    }
}

// The last application record names the uninstall key and the destination.
TEST(Removal, SecondApplicationRecordCounts)
{
    std::string dir = FreshCaseDir("twoapps");
    std::string first = dir + "\\First", second = dir + "\\Second", mark = dir + "\\mark.txt";
    CreateDirectoryA(first.c_str(), NULL);
    CreateDirectoryA(second.c_str(), NULL);
    std::string firstKey = std::string(kUninstallRoot) + "ZxRunFirst";
    std::string secondKey = std::string(kUninstallRoot) + "ZxRunSecond";
    RegSetString(HKEY_LOCAL_MACHINE, firstKey.c_str(), "DisplayName", "first");
    RegSetString(HKEY_LOCAL_MACHINE, secondKey.c_str(), "DisplayName", "second");
    InstallLogWriter log;
    log.AddApp("ZxRunFirst", first);
    log.AddApp("ZxRunSecond", second);
    log.AddCustomUninstall(CustomProgram(), "0 \"" + mark + "\" two");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_EQ(std::vector<std::string>{"two|" + second}, MarkLines(mark));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, secondKey.c_str()));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, firstKey.c_str()));
    DeleteRegTree(HKEY_LOCAL_MACHINE, firstKey.c_str());
}

// Unregistration loads a module by its extension only, and not at all with the
// log's flags against it: "data.dll.bak" is a backup whose code must not run.
TEST(ComServers, OnlyModulesByExtensionAndOnlyWhenAsked)
{
    const struct { uint32_t flags; const char *name; DWORD calls; } cases[] = {
        {LOGF_UNREGISTER, "data.dll.bak", 0},
        {0, "Server.dll", 0},
        {LOGF_UNREGISTER, "Server.dll", 1},
    };
    for (const auto &c : cases) {
        std::string dir = FreshCaseDir("modules");   // the run took it with the log
        std::string module = dir + "\\" + c.name;
        ASSERT_TRUE(CopyFixture("ComServerFixture.dll", module));
        InstallLogWriter log;
        log.SetFlags(c.flags);
        log.AddFile(module);
        DWORD dwBefore = RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls");
        KolvuRun run;
        ASSERT_TRUE(run.StartLog(dir, log));
        EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
        EXPECT_EQ(0u, run.Exit());
        EXPECT_EQ(dwBefore + c.calls, RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls")) << c.name;
        EXPECT_FALSE(PathExists(module));
    }
}

// What the user put into and beside the installation is not ours: it stays, is
// not scheduled for the next start, and keeps its folders.
TEST(Removal, FilesTheUserAddedStayWithTheirFolders)
{
    std::string dir = FreshCaseDir("userfiles");
    std::string app = dir + "\\App", data = app + "\\Data";
    CreateDirectoryA(app.c_str(), NULL);
    CreateDirectoryA(data.c_str(), NULL);
    const std::string ours[] = {app + "\\app.exe", data + "\\data.dat"};
    const std::string theirs[] = {app + "\\notes.txt", data + "\\mine.dat", dir + "\\beside.txt"};
    InstallLogWriter log;
    for (const std::string &path : ours) {
        WriteTextFile(path);
        log.AddFile(path);
    }
    for (const std::string &path : theirs)
        WriteTextFile(path);
    log.AddDirectory(data);
    log.AddDirectory(app);

    KolvuRun run;
    ASSERT_TRUE(run.StartLog(app, log));
    EXPECT_EQ(kDirNotEmptyText, run.AnswerBox(IDOK));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    std::string pending = PendingRenamesLower();
    for (const std::string &path : ours)
        EXPECT_FALSE(PathExists(path)) << path;
    for (const std::string &path : theirs) {
        EXPECT_TRUE(PathExists(path)) << path;
        EXPECT_EQ(std::string::npos, pending.find(path.substr(path.rfind('\\')))) << path;
    }
    EXPECT_FALSE(PathExists(app + "\\uninst.log"));
}

// Paths that are not full paths, and device names, act nowhere: run from a working
// folder full of files, every one of them stays and nothing is scheduled.
TEST(Removal, RecordsWithoutAFullPathActNowhere)
{
    std::string dir = FreshCaseDir("relative");
    std::string work = dir + "\\Work", logDir = dir + "\\Log";
    CreateDirectoryA(work.c_str(), NULL);
    CreateDirectoryA((work + "\\Sub").c_str(), NULL);
    CreateDirectoryA(logDir.c_str(), NULL);
    const std::string kept[] = {work + "\\rel.txt", work + "\\a.txt", work + "\\shared.txt", dir + "\\x.txt",
                                work + "\\COM0.txt"};
    for (const std::string &path : kept)
        WriteTextFile(path);
    RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, "shared.txt", 1);
    InstallLogWriter log;
    for (const char *path : {"rel.txt", "C:a.txt", "..\\x.txt", "CON", "aux.txt", "NUL"})
        log.AddFile(path);
    // Wine opens COM0.txt as a file, but Windows reserves the name: it stays too.
    log.AddFile(work + "\\COM1");
    log.AddFile(work + "\\COM0.txt");
    log.AddSystemFile("shared.txt");
    for (const char *path : {".", "..", "C:", "Sub"})
        log.AddDirectory(path);
    ASSERT_TRUE(log.Save(logDir + "\\uninst.log"));

    KolvuRun run;
    ASSERT_TRUE(run.Start(Quoted(logDir + "\\uninst.log") + " /yes", "Kolvu.exe", work.c_str()));
    EXPECT_EQ(IncompleteText(13), run.AnswerBox(IDOK)) << "every record was left";
    EXPECT_EQ(kExitIncomplete, run.Exit());
    for (const std::string &path : kept)
        EXPECT_TRUE(PathExists(path)) << path;
    EXPECT_TRUE(PathExists(work + "\\Sub"));
    EXPECT_EQ(std::string::npos, PendingRenamesLower().find("\\relative"));
    EXPECT_EQ(1u, RegGetDword(HKEY_LOCAL_MACHINE, kSharedDlls, "shared.txt"));
    EXPECT_TRUE(PathExists(logDir + "\\uninst.log")) << "kept for another run";
    RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, "shared.txt", 0);
}

// Ended from outside while it removes thousands of files, then started again with
// the same log: the second run finishes the job.
TEST(Removal, RunKilledPartWayFinishesWhenStartedAgain)
{
    std::string dir = FreshCaseDir("killed");
    std::string app = dir + "\\App", logDir = dir + "\\Log";
    CreateDirectoryA(app.c_str(), NULL);
    CreateDirectoryA(logDir.c_str(), NULL);
    const int kFiles = 4000;
    InstallLogWriter log;
    for (int i = 0; i < kFiles; ++i) {
        std::string path = app + "\\file" + std::to_string(i) + ".txt";
        WriteTextFile(path);
        log.AddFile(path);
    }
    log.AddDirectory(app);
    std::string firstFile = app + "\\file0.txt", lastFile = app + "\\file" + std::to_string(kFiles - 1) + ".txt";

    KolvuRun killed;
    ASSERT_TRUE(killed.StartLog(logDir, log));
    DWORD dwStart = GetTickCount();
    while (PathExists(firstFile) && GetTickCount() - dwStart < 20000)
        Sleep(1);
    killed.Kill();
    ASSERT_FALSE(PathExists(firstFile)) << "the removal never started";
    ASSERT_TRUE(PathExists(lastFile)) << "killed too late to be part-way";

    KolvuRun again;
    ASSERT_TRUE(again.Start(Quoted(logDir + "\\uninst.log") + " /yes"));
    EXPECT_EQ(kSuccessText, again.AnswerBox(IDOK, 60000));
    EXPECT_EQ(0u, again.Exit());
    EXPECT_FALSE(PathExists(app));
    EXPECT_FALSE(PathExists(logDir));
}

// A log in a drive's root: the cut leaves "C:", which is the current folder of
// drive C (here an empty one, handed down through "=C:"), never the log's.
TEST(Finishing, LogInADriveRootRemovesNoFolder)
{
    std::string work = FreshCaseDir("rootlog");
    std::string path = "C:\\zxrootlog.log";
    ASSERT_TRUE(InstallLogWriter().Save(path));
    KolvuRun run;
    SetEnvironmentVariableA("=C:", work.c_str());
    bool bStarted = run.Start(path + " /yes");   // from the bin directory on another drive
    SetEnvironmentVariableA("=C:", NULL);
    ASSERT_TRUE(bStarted);
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(path));
    EXPECT_TRUE(PathExists(work));
}

// A shared COM server keeps its registration while other installations count on
// it; the run that gives up its last use unregisters it just before removing it.
TEST(SharedFiles, ServerIsUnregisteredOnlyWithItsLastUse)
{
    std::string dir = FreshCaseDir("sharedocx");
    std::string server = dir + "\\Shared.ocx";
    ASSERT_TRUE(CopyFixture("ComServerFixture.dll", server));
    InstallLogWriter log;
    log.SetFlags(LOGF_UNREGISTER);
    log.AddSystemFile(server);
    for (DWORD count : {3u, 1u}) {
        RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, server.c_str(), count);
        DWORD dwBefore = RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls");
        KolvuRun run;
        ASSERT_TRUE(run.StartLog(dir, log));
        EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
        EXPECT_EQ(0u, run.Exit());
        EXPECT_EQ(dwBefore + (count == 1), RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls")) << count;
        EXPECT_EQ(count == 3, PathExists(server)) << count;
        EXPECT_EQ(count - 1, RegGetDword(HKEY_LOCAL_MACHINE, kSharedDlls, server.c_str(), 0)) << count;
    }
}

// Without a readable count nobody knows who else uses the file: the value, the
// file and its registration stay as they are, and the removal is not incomplete.
TEST(SharedFiles, MissingOrUnreadableCountLeavesEverythingAsItWas)
{
    std::string dir = FreshCaseDir("nocount");
    std::string missing = dir + "\\missing.ocx", text = dir + "\\text.ocx";
    ASSERT_TRUE(CopyFixture("ComServerFixture.dll", missing));
    ASSERT_TRUE(CopyFixture("ComServerFixture.dll", text));
    RegSetString(HKEY_LOCAL_MACHINE, kSharedDlls, text.c_str(), "three");
    InstallLogWriter log;
    log.SetFlags(LOGF_UNREGISTER);
    log.AddSystemFile(missing);
    log.AddSystemFile(text);
    DWORD dwBefore = RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls");

    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log));
    EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kSharedDlls, missing.c_str()));
    char szValue[16] = "";
    DWORD cb = sizeof(szValue), dwType = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, kSharedDlls, text.c_str(), RRF_RT_ANY, &dwType,
                                          szValue, &cb));
    EXPECT_EQ((DWORD)REG_SZ, dwType);
    EXPECT_STREQ("three", szValue);
    EXPECT_TRUE(PathExists(missing));
    EXPECT_TRUE(PathExists(text));
    EXPECT_EQ(dwBefore, RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls"));
    RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, text.c_str(), 0);
}

// A record that could not be acted on makes the removal incomplete: the user is
// told how many items remain, and the log and the uninstall key stay for a second
// run, which finishes once the log is whole.
TEST(Outcome, IncompleteRemovalKeepsLogAndKeyForAnotherRun)
{
    std::string dir = FreshCaseDir("incomplete");
    std::string app = dir + "\\App", logDir = dir + "\\Log";
    CreateDirectoryA(app.c_str(), NULL);
    CreateDirectoryA(logDir.c_str(), NULL);
    WriteTextFile(app + "\\app.txt");
    std::string key = std::string(kUninstallRoot) + "ZxIncomplete";
    RegSetString(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName", "incomplete");
    InstallLogWriter log;
    log.AddApp("ZxIncomplete", app + "\\");
    log.AddFile("app.txt");
    log.AddFile(app + "\\app.txt");

    KolvuRun run;
    ASSERT_TRUE(run.StartLog(logDir, log));
    ASSERT_TRUE(run.WaitBox() != NULL);
    SaveScreenshot("kolvu-incomplete");
    EXPECT_EQ(IncompleteText(1), run.AnswerBox(IDOK));
    EXPECT_TRUE(run.NoBoxFor(500)) << "no success message after it";
    EXPECT_EQ(kExitIncomplete, run.Exit());
    EXPECT_FALSE(PathExists(app + "\\app.txt"));
    EXPECT_TRUE(PathExists(logDir + "\\uninst.log"));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, key.c_str()));

    InstallLogWriter whole;
    whole.AddApp("ZxIncomplete", app + "\\");
    whole.AddFile(app + "\\app.txt");
    KolvuRun again;
    ASSERT_TRUE(again.StartLog(logDir, whole));
    EXPECT_EQ(kSuccessText, again.AnswerBox(IDOK));
    EXPECT_EQ(0u, again.Exit());
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key.c_str()));
    EXPECT_FALSE(PathExists(logDir));
}

// An INI entry whose path is not a full one (an empty destination sends "x.ini"
// to the Windows folder) and a custom program named without a full path are not
// acted on, and count as left.
TEST(Outcome, IniAndProgramWithoutAFullPathAreLeft)
{
    std::string dir = FreshCaseDir("inirel");
    std::string ini = WindowsPath("zxinirel.ini"), mark = dir + "\\mark.txt";
    WritePrivateProfileStringA("Settings", "Path", "theirs", ini.c_str());
    InstallLogWriter log;   // no application record: the destination is empty
    log.AddIniEntry(0, "zxinirel.ini", "Settings", "Path");
    log.AddCustomUninstall("CustomUninstall.exe", "0 \"" + mark + "\" relative");
    KolvuRun run;   // in the bin directory, where CustomUninstall.exe lies
    ASSERT_TRUE(run.StartLog(dir, log));
    EXPECT_EQ(IncompleteText(2), run.AnswerBox(IDOK));
    EXPECT_EQ(kExitIncomplete, run.Exit());
    char szValue[16];
    GetPrivateProfileStringA("Settings", "Path", "gone", szValue, sizeof(szValue), ini.c_str());
    EXPECT_STREQ("theirs", szValue);
    EXPECT_FALSE(PathExists(mark)) << "the program never ran";
    EXPECT_TRUE(PathExists(dir + "\\uninst.log"));
    DeleteFileA(ini.c_str());
}

// A folder that stays keeps its attributes, and a record naming a drive root
// neither touches nor schedules it.
TEST(Outcome, FolderAttributesStayAndRootsAreLeftAlone)
{
    std::string dir = FreshCaseDir("attrroot");
    std::string kept = dir + "\\Kept";
    CreateDirectoryA(kept.c_str(), NULL);
    WriteTextFile(kept + "\\user.txt");
    const DWORD dwMarks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesA(kept.c_str(), dwMarks));
    ASSERT_EQ(dwMarks, GetFileAttributesA(kept.c_str()) & dwMarks);
    InstallLogWriter log;
    log.AddFile("C:\\");
    log.AddDirectory(kept);
    log.AddDirectory("C:\\");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log));
    EXPECT_EQ(IncompleteText(2), run.AnswerBox(IDOK));
    EXPECT_EQ(kExitIncomplete, run.Exit());
    EXPECT_EQ(dwMarks, GetFileAttributesA(kept.c_str()) & dwMarks);
    std::string pending = PendingRenamesLower();
    EXPECT_NE(std::string::npos, pending.find("\\attrroot\\kept")) << "the folder itself is scheduled";
    EXPECT_EQ(std::string::npos, pending.find("\\??\\c:\\\n")) << "the drive is not";
    SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A run with a language DLL read no language file: a LEXA1.LDB beside its log
// belongs to another product, whose log uses it, and stays.
TEST(Finishing, LanguageDllRunLeavesLanguageFilesItDidNotRead)
{
    std::string dir = FreshCaseDir("foreignlexa");
    WriteTextFile(dir + "\\app.txt");
    ASSERT_TRUE(CopyFileA(LanguageFixture("english", "LEXA1.LDB").c_str(), (dir + "\\LEXA1.LDB").c_str(), FALSE));
    InstallLogWriter log;
    log.SetLanguageImage(ReadFileBytes(BinDir() + "\\ZxLangGerman.dll"));
    log.AddFile(dir + "\\app.txt");
    KolvuRun run;
    ASSERT_TRUE(run.StartLog(dir, log));
    EXPECT_NE("<no box>", run.AnswerBox(IDOK));
    EXPECT_EQ(0u, run.Exit());
    EXPECT_FALSE(PathExists(dir + "\\app.txt"));
    EXPECT_FALSE(PathExists(dir + "\\uninst.log"));
    EXPECT_TRUE(PathExists(dir + "\\LEXA1.LDB"));
}

// /log: writes one line per record with what became of it, then the totals and the
// outcome the user saw with the exit code; each line is checked against the disk
// and the registry. A damaged log gets a report too, with nothing run.
TEST(Report, EveryLineTellsWhatBecameOfItsRecord)
{
    std::string dir = FreshCaseDir("report");
    std::string app = dir + "\\App", keep = app + "\\Keep", report = dir + "\\report.txt";
    std::string gone = app + "\\gone.txt", locked = app + "\\locked.txt", shared = dir + "\\shared3.dat";
    std::string nocount = dir + "\\nocount.dat", iniDir = dir + "\\settings.ini", mark = dir + "\\mark.txt";
    CreateDirectoryA(app.c_str(), NULL);
    CreateDirectoryA(keep.c_str(), NULL);
    CreateDirectoryA(iniDir.c_str(), NULL);   // a folder where the INI file should be: the deletion fails
    for (const std::string &path : {gone, locked, shared, nocount, keep + "\\user.txt"})
        WriteTextFile(path);
    RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, shared.c_str(), 3);
    RegSetString(HKEY_CURRENT_USER, kTestKey, "Path", "x");
    std::string key = std::string(kUninstallRoot) + "ZxReport";
    RegSetString(HKEY_LOCAL_MACHINE, key.c_str(), "DisplayName", "report");
    InstallLogWriter log;
    log.AddApp("ZxReport", app + "\\");
    log.AddCustomUninstall(CustomProgram(), "0 \"" + mark + "\" report");
    log.AddFile(gone);
    log.AddFile(locked);
    log.AddFile("rel.txt");
    log.AddSystemFile(shared);
    log.AddSystemFile(nocount);
    log.AddRegEntry(1, kTestKey, "Path");
    log.AddIniEntry(3, iniDir, "Settings", "Path");
    log.AddDirectory(keep);
    log.AddFile(app + "\\missing.txt");
    ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
    FileLock lock;
    ASSERT_TRUE(lock.Hold({locked}));

    KolvuRun run;
    ASSERT_TRUE(run.Start(Quoted(dir + "\\uninst.log") + " /yes /log:\"" + report + "\""));
    EXPECT_EQ(IncompleteText(2), run.AnswerBox(IDOK));
    HWND hRestart = run.WaitDialog("Restart");
    ASSERT_TRUE(hRestart != NULL) << "the scheduled file is still offered a restart";
    UiPressButton(hRestart, IDCANCEL);
    EXPECT_EQ(kExitIncomplete, run.Exit());
    lock.Release();

    std::vector<ReportLine> lines = ReportRecords(report);
    std::string pending = PendingRenamesLower();
    auto expect = [&](const std::string &subject, const char *type, const std::string &fate, bool there) {
        ReportLine line = ReportFor(lines, subject);
        EXPECT_EQ(type, line.type) << subject;
        EXPECT_EQ(fate, line.fate) << subject;
        if (line.type.find("file") != std::string::npos || line.type == "folder") {
            EXPECT_EQ(there, PathExists(subject)) << subject;
        }
    };
    expect(CustomProgram(), "custom program", "ran (exit code 0)", true);
    EXPECT_EQ(1u, MarkLines(mark).size());
    expect(gone, "file", "removed", false);
    expect(app + "\\missing.txt", "file", "absent (already gone)", false);
    expect(locked, "file", "scheduled for the next start", true);
    EXPECT_NE(std::string::npos, pending.find("\\report\\app\\locked.txt"));
    expect("rel.txt", "file", "skipped (not a full path)", false);
    expect(shared, "shared file", "kept (shared, count 2 left)", true);
    EXPECT_EQ(2u, RegGetDword(HKEY_LOCAL_MACHINE, kSharedDlls, shared.c_str()));
    expect(nocount, "shared file", "kept (no readable count)", true);
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kSharedDlls, nocount.c_str()));
    expect(std::string("HKEY_CURRENT_USER\\") + kTestKey + " [Path]", "registry value", "removed", false);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kTestKey, "Path"));
    ReportLine ini = ReportFor(lines, iniDir + " [Settings] Path");
    EXPECT_EQ("INI entry", ini.type);
    EXPECT_EQ(0u, ini.fate.find("failed (error ")) << ini.fate;
    expect(keep, "folder", "kept (folder not empty)", true);
    expect("ZxReport", "uninstall key", "kept (removal incomplete)", true);
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, key.c_str()));
    EXPECT_EQ(3u, ReportFor(lines, gone).record) << "numbered by the place in the log";
    std::vector<std::string> tail = ReportTail(report);
    ASSERT_EQ(2u, tail.size());
    EXPECT_EQ("Totals: 2 removed, 1 scheduled, 4 kept, 1 skipped, 1 failed, 1 absent", tail[0]);
    std::string told = IncompleteText(2);
    told.replace(told.find("\n\n"), 2, " ");   // the message on one line
    EXPECT_EQ("Outcome (exit code 1): " + told, tail[1]);

    // The damaged log: every record it shows is listed, none was acted on.
    InstallLogWriter damaged;
    damaged.AddFile(gone);
    damaged.AddFile(locked);
    damaged.AddHead(REC_FILE, 5000);
    ASSERT_TRUE(damaged.Save(dir + "\\uninst.log"));
    KolvuRun refused;
    ASSERT_TRUE(refused.Start(Quoted(dir + "\\uninst.log") + " /yes /log:" + report));
    EXPECT_EQ(kDamagedLogText, refused.AnswerBox(IDOK));
    EXPECT_EQ(kExitDamagedLog, refused.Exit());
    lines = ReportRecords(report);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("not run (damaged log)", ReportFor(lines, locked).fate);
    EXPECT_TRUE(PathExists(locked));
    EXPECT_EQ(std::string("Outcome (exit code 3): ") + kDamagedLogText, ReportTail(report)[1]);

    DeleteRegTree(HKEY_CURRENT_USER, kTestKey);
    DeleteRegTree(HKEY_LOCAL_MACHINE, key.c_str());
    RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, shared.c_str(), 0);
}

// A report may not replace what the run reads, starts or removes, nor guess where an
// unquoted blank splits its path, nor be missing: each is refused before anything
// runs, with a box (none with /quiet), and the target stays as it was.
TEST(Report, TargetsTheRunNeedsOrRemovesAreRefused)
{
    std::string dir = FreshCaseDir("hostile"), app = dir + "\\app.txt", program = dir + "\\cleanup.exe";
    std::string lexa = dir + "\\LEXA1.LDB", my = dir + "\\My", mark = dir + "\\mark.txt";
    CreateDirectoryA((dir + "\\My Reports").c_str(), NULL);
    CreateDirectoryA((dir + "\\sub").c_str(), NULL);
    struct Row {
        std::string target, kept;
        DWORD exitCode;
    };
    const Row rows[] = {
        {Quoted(lexa), lexa, kExitReportRefused},
        {program, program, kExitReportRefused},
        {my + " Reports\\r.txt", my, kExitReportRefused},
        {app, app, kExitReportRefused},
        {dir + "\\sub", "", kExitReportRefused},
        {dir + "\\none\\r.txt", "", kExitReportRefused},
        {Quoted(my + " Reports\\r.txt"), my, 0},
    };
    for (const Row &row : rows) {
        WriteTextFile(app, "app");
        WriteTextFile(my, "mine");
        ASSERT_TRUE(CopyFixture("CustomUninstall.exe", program));
        ASSERT_TRUE(CopyFileA(LanguageFixture("english", "LEXA1.LDB").c_str(), lexa.c_str(), FALSE));
        std::string before = row.kept.empty() ? "" : ReadWholeFile(row.kept);
        InstallLogWriter log;
        log.SetLanguageFiles(LANGF_FIRST_FILE);
        log.AddCustomUninstall(program, "0 " + Quoted(mark));
        log.AddFile(app);
        log.AddFile(program);
        log.AddDirectory(dir + "\\sub");
        // the first row is answered by hand: the refusal shows its box
        bool bQuiet = &row != &rows[0];
        KolvuRun run;
        ASSERT_TRUE(run.StartLog(dir, log, bQuiet ? " /quiet /log:" + row.target : " /yes /log:" + row.target));
        if (!bQuiet) {
            EXPECT_NE(std::string::npos, run.AnswerBox(IDOK).find("/log:"));
        }
        EXPECT_EQ(row.exitCode, run.Exit()) << row.target;
        if (!row.kept.empty()) {
            EXPECT_EQ(before, ReadWholeFile(row.kept)) << row.target;
        }
        if (row.exitCode == kExitReportRefused) {
            EXPECT_TRUE(PathExists(app) && PathExists(dir + "\\uninst.log")) << row.target;
            EXPECT_FALSE(PathExists(mark)) << "nothing ran: " << row.target;
        } else {
            EXPECT_EQ(std::string("file"), ReportFor(ReportRecords(dir + "\\My Reports\\r.txt"), app).type);
        }
    }
}

// A file in use whose scheduling the system refuses stays for good: the run is
// incomplete and keeps its log, restart offer or not. (Wine refuses to add to a
// pending-operations value that is not a list of texts.)
TEST(Outcome, RefusedSchedulingIsAFailure)
{
    const char *const kSession = "System\\CurrentControlSet\\Control\\Session Manager";
    const char *const kPending = "PendingFileRenameOperations";
    std::string dir = FreshCaseDir("refused"), locked = dir + "\\locked.txt";
    InstallLogWriter log;
    FileLock lock;
    ASSERT_TRUE(HoldRecordedFile(locked, dir, log, lock));
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kSession, &hKey));
    DWORD dwType = 0, cb = 0;
    std::vector<BYTE> saved;
    bool bHadValue = RegQueryValueExA(hKey, kPending, NULL, &dwType, NULL, &cb) == ERROR_SUCCESS;
    if (bHadValue) {
        saved.resize(cb + 2);
        RegQueryValueExA(hKey, kPending, NULL, &dwType, saved.data(), &cb);
    }
    RegSetValueExA(hKey, kPending, 0, REG_SZ, (const BYTE *)"x", 2);

    KolvuRun run;
    ASSERT_TRUE(run.Start(Quoted(dir + "\\uninst.log") + " /yes"));
    EXPECT_EQ(IncompleteText(1), run.AnswerBox(IDOK));
    HWND hRestart = run.WaitDialog("Restart", 5000);
    if (hRestart)
        UiPressButton(hRestart, IDCANCEL);
    EXPECT_EQ(kExitIncomplete, run.Exit());
    EXPECT_TRUE(PathExists(dir + "\\uninst.log"));
    if (bHadValue)
        RegSetValueExA(hKey, kPending, 0, dwType, saved.data(), cb);
    else
        RegDeleteValueA(hKey, kPending);
    RegCloseKey(hKey);
}
