// RepeatRunTest.cpp -- Kolvu.exe run again on the same log, after a kill at any point, and from scripts with /quiet.
#include <gtest/gtest.h>

#include <windows.h>

#include "InstallLogWriter.h"
#include "KolvuDriver.h"
#include "UiTest.h"

namespace {

const char *const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZxRepeat";
const char *const kTestKey = "Software\\Velmor\\ZxRepeatTest";

// One installation with every kind of record, one of them not a full path, so that
// every run is incomplete and keeps its log: the same command can always be run again.
struct Installation {
    std::string dir, app, bin, cleanup, mark, shared1, shared2, locked, ini, outside;
    InstallLogWriter log;
    FileLock lock;
    DWORD unregisterBefore;

    Installation()
    {
        dir = FreshCaseDir("repeat");
        app = dir + "\\App";
        bin = app + "\\bin";
        cleanup = bin + "\\cleanup.exe";
        mark = dir + "\\mark.txt";
        shared1 = dir + "\\Shared1.ocx";
        shared2 = dir + "\\shared2.dat";
        locked = app + "\\locked.txt";
        ini = dir + "\\app.ini";
        outside = dir + "\\outside.txt";
        CreateDirectoryA(app.c_str(), NULL);
        CreateDirectoryA(bin.c_str(), NULL);
        CopyFixture("CustomUninstall.exe", cleanup);
        CopyFixture("ComServerFixture.dll", shared1);
        for (const std::string &path : {app + "\\a.txt", shared2, locked, outside})
            WriteTextFile(path);
        WriteTextFile(ini, "[Settings]\r\nPath=x\r\nOther=y\r\n");
        RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, shared1.c_str(), 1);
        RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, shared2.c_str(), 2);
        RegSetString(HKEY_CURRENT_USER, kTestKey, "Path", "x");
        RegSetString(HKEY_CURRENT_USER, kTestKey, "Version", "1");
        RegSetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "repeat");
        unregisterBefore = RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls");
        log.SetFlags(LOGF_UNREGISTER);
        log.AddApp("ZxRepeat", app + "\\");
        log.AddCustomUninstall(cleanup, "0 " + Quoted(mark) + " cleanup");
        log.AddFile(app + "\\a.txt");
        log.AddFile(cleanup);
        log.AddFile("rel.txt");
        log.AddFile(locked);
        log.AddSystemFile(shared1);
        log.AddSystemFile(shared2);
        log.AddRegEntry(1, kTestKey, "Path");
        log.AddRegEntry(1, kTestKey, "Version");
        log.AddIniEntry(3, ini, "Settings", "Path");
        log.AddDirectory(bin);
        log.AddDirectory(app);
        log.Save(dir + "\\uninst.log");
        lock.Hold({locked});
    }
    ~Installation()
    {
        lock.Release();
        DeleteRegTree(HKEY_CURRENT_USER, kTestKey);
        DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        RegSetDword(HKEY_LOCAL_MACHINE, kSharedDlls, shared2.c_str(), 0);
    }

    std::string Command() const { return Quoted(dir + "\\uninst.log") + " /quiet"; }

    // Disk and registry as far as the log reaches, and what lies beside it.
    std::string State() const
    {
        std::string state;
        for (const std::string &path : {app + "\\a.txt", cleanup, locked, shared1, shared2, bin, app, outside, ini,
                                        dir + "\\uninst.log"})
            state += path + (PathExists(path) ? " there\n" : " gone\n");
        for (const std::string &path : {shared1, shared2})
            state += "count " + std::to_string(RegGetDword(HKEY_LOCAL_MACHINE, kSharedDlls, path.c_str(), 99)) + "\n";
        for (const char *pszValue : {"Path", "Version"})
            state += std::string(pszValue) + (RegValueExists(HKEY_CURRENT_USER, kTestKey, pszValue) ? " there\n" : " gone\n");
        char szValue[16];
        for (const char *pszKey : {"Path", "Other"}) {
            GetPrivateProfileStringA("Settings", pszKey, "-", szValue, sizeof(szValue), ini.c_str());
            state += std::string("ini ") + pszKey + "=" + szValue + "\n";
        }
        state += RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) ? "key there\n" : "key gone\n";
        state += "custom runs " + std::to_string(ReadTextLines(mark).size()) + "\n";
        state += "unregistered " +
                 std::to_string(RegGetDword(HKEY_CURRENT_USER, kComMarks, "UnregisterCalls") - unregisterBefore) + "\n";
        return state;
    }
};

DWORD RunQuiet(const std::string &arguments, const char *pszExe = "Kolvu.exe")
{
    KolvuRun run;
    if (!run.Start(arguments, pszExe))
        return UI_STILL_RUNNING;
    bool bShown = false;
    DWORD dwExit = run.ExitUnseen(&bShown);
    EXPECT_FALSE(bShown) << arguments;
    return dwExit;
}

} // namespace

// Stopped after each action in turn, then started again with the same command: the
// end is the end of one whole run, which a second whole run does not change. Each
// shared count goes down once, the custom program runs once although its own file
// goes with the log's files, and nothing beside the log is touched.
TEST(RepeatedRun, EndsAsOneRunAfterAStopAtEveryAction)
{
    std::string reference;
    {
        Installation once;
        ASSERT_EQ(kExitIncomplete, RunQuiet(once.Command()));
        reference = once.State();
        EXPECT_NE(std::string::npos, reference.find("count 1\n")) << reference;
        ASSERT_EQ(kExitIncomplete, RunQuiet(once.Command()));
        EXPECT_EQ(reference, once.State()) << "run twice";
    }
    unsigned nStops = 0;
    for (unsigned nActions = 1;; ++nActions) {
        Installation stopped;
        SetEnvironmentVariableA("ZX_STOP_AFTER", std::to_string(nActions).c_str());
        DWORD dwStopped = RunQuiet(stopped.Command(), "KolvuStop.exe");
        SetEnvironmentVariableA("ZX_STOP_AFTER", NULL);
        if (dwStopped != 99) {
            EXPECT_EQ(kExitIncomplete, dwStopped) << "past the last action";
            break;
        }
        ++nStops;
        EXPECT_EQ(kExitIncomplete, RunQuiet(stopped.Command())) << "after " << nActions;
        EXPECT_EQ(reference, stopped.State()) << "stopped after " << nActions << " actions";
        ASSERT_LT(nActions, 40u);
    }
    // every record but the application record and the uninstall key, which an incomplete run keeps
    EXPECT_EQ(12u, nStops);
}

// /quiet: no window ever, no restart, and the exit code and the report agree.
TEST(QuietRun, EndsByItselfWithTheExitCodeAndReport)
{
    std::string dir = FreshCaseDir("quiet"), report = dir + "\\report.txt", mark = dir + "\\mark.txt";
    std::string file = dir + "\\app.txt", locked = dir + "\\locked.txt";
    const std::string program = BinDir() + "\\CustomUninstall.exe";
    struct Row {
        const char *name;
        DWORD exitCode;
        std::string fate, outcome;
    };
    const Row rows[] = {
        {"clean", 0, "removed", kSuccessText},
        {"program fails", kExitStopped, "failed (exit code 3)", kCustomFailedText},
        {"program missing", kExitStopped, "failed (error 2)", kCustomFailedText},
        {"damaged log", kExitDamagedLog, "not run (damaged log)", kDamagedLogText},
        {"locked file", kExitRestartNeeded, "scheduled for the next start", kRestartDueText},
        {"report refused", kExitReportRefused, "", ""},
    };
    for (const Row &row : rows) {
        std::string name = row.name;
        WriteTextFile(file);
        DeleteFileA(report.c_str());
        InstallLogWriter log;
        if (name == "program fails")
            log.AddCustomUninstall(program, "3 " + Quoted(mark));
        if (name == "program missing")
            log.AddCustomUninstall(dir + "\\missing.exe", "");
        log.AddFile(file);
        if (name == "damaged log")
            log.AddHead(REC_FILE, 5000);
        FileLock lock;
        if (name == "locked file") {
            ASSERT_TRUE(HoldRecordedFile(locked, dir, log, lock));
        }
        ASSERT_TRUE(log.Save(dir + "\\uninst.log"));
        std::string target = name == "report refused" ? dir + "\\uninst.log" : report;
        DWORD dwStart = GetTickCount();
        EXPECT_EQ(row.exitCode, RunQuiet(Quoted(dir + "\\uninst.log") + " /quiet /log:" + Quoted(target))) << name;
        EXPECT_LT(GetTickCount() - dwStart, 20000u) << name;
        lock.Release();
        if (name == "report refused") {
            EXPECT_FALSE(PathExists(report));
            EXPECT_TRUE(PathExists(dir + "\\uninst.log")) << "the log is kept whole";
            EXPECT_EQ(log.GetBytes().size(), ReadWholeFile(dir + "\\uninst.log").size());
            continue;
        }
        std::vector<ReportLine> lines = ReportRecords(report);
        ASSERT_FALSE(lines.empty()) << name;
        std::string subject = name == "locked file" ? locked : name.find("program") == 0 ? lines[0].subject : file;
        EXPECT_EQ(row.fate, ReportFor(lines, subject).fate) << name;
        std::vector<std::string> tail = ReportTail(report);
        ASSERT_EQ(2u, tail.size());
        EXPECT_EQ("Outcome (exit code " + std::to_string((int)row.exitCode) + "): " + row.outcome, tail[1]) << name;
    }
}
