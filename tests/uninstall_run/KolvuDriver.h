// KolvuDriver.h -- runs the real Kolvu.exe in tests and answers it like a user would.
//
//   std::string dir = FreshCaseDir("clean");                 // C:\ZxRun\clean, empty
//   InstallLogWriter log; log.AddApp(...); ...; log.Save(dir + "\\uninst.log");
//   KolvuRun run;
//   ASSERT_TRUE(run.Start("\"" + dir + "\\uninst.log\" /yes"));
//   EXPECT_EQ(kSuccessText, run.AnswerBox(IDOK));            // text of the box it pressed
//   EXPECT_EQ(0u, run.Exit());
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "InstallLogWriter.h"
#include "SystemTest.h"

// The exit code -1 as GetExitCodeProcess reports it.
const DWORD kExitFailed = 0xFFFFFFFFu;

const char *const kConfirmText = "Do you really want to remove the selected application from your computer ?";
const char *const kSuccessText = "Uninstall has successfully removed the selected application.";
const char *const kDirNotEmptyText = "Some directories are not empty and could not be removed.";
const char *const kCustomFailedText = "Custom uninstall run failed. Zendrix will stop application removal.";
const char *const kDamagedLogText = "The installation log is damaged. Nothing was removed; the log is kept.";

// Exit codes past the start: items remain, a custom program stopped it, the log is
// damaged, a restart must finish it (/quiet), the /log: target was refused.
const DWORD kExitIncomplete = 1, kExitStopped = 2, kExitDamagedLog = 3, kExitRestartNeeded = 4,
            kExitReportRefused = 5;
const char *const kRestartDueText = "Your system has to be restarted to remove these locked files.";
// Where the shared counts stand, and where the COM server fixture marks its calls.
const char *const kSharedDlls = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char *const kComMarks = "Software\\Velmor\\ZendrixTests\\ComServerFixture";

inline std::string Quoted(const std::string &path)
{
    return "\"" + path + "\"";
}

// The message of a removal that left n items.
std::string IncompleteText(unsigned n);
// The report's record lines "<n>  <type>  <fate>  <subject>", each cut into those four
// (type and fate as written, blanks trimmed), and its last two lines (totals, outcome).
struct ReportLine {
    unsigned record;
    std::string type, fate, subject;
};
std::vector<ReportLine> ReportRecords(const std::string &path);
std::vector<std::string> ReportTail(const std::string &path);
// The record line for the subject, or a line with record 0 and empty texts.
ReportLine ReportFor(const std::vector<ReportLine> &lines, const std::string &subject);

// C:\ZxRun\<name>, removed with everything in it and made again, empty.
std::string FreshCaseDir(const std::string &name);
// Full path of a file in the Windows directory.
std::string WindowsPath(const char *pszName);
// A committed language file, e.g. LanguageFixture("german", "LEXA1.LDB").
std::string LanguageFixture(const char *pszSet, const char *pszFile);
// Copies a fixture from the bin directory; false when it failed.
bool CopyFixture(const char *pszName, const std::string &to);
// A whole-screen shot under the build folder's screenshots directory, as BMP.
void SaveScreenshot(const std::string &name);

class KolvuRun {
public:
    KolvuRun();
    ~KolvuRun();
    // Starts <bin>\<exe> with the exact command line "<exe path> <arguments>",
    // in the bin directory unless another working directory is given.
    bool Start(const std::string &arguments, const char *pszExe = "Kolvu.exe", const char *pszDirectory = NULL);
    // Starts Kolvu.exe the same way with the test as its debugger; Trace() then holds
    // what it sent to the debugger, whole once Exit() has returned.
    bool StartTraced(const std::string &arguments);
    const std::string &Trace() const { return trace_; }
    // Saves the log as <dir>\uninst.log and starts Kolvu on it, quoted, with the switches.
    bool StartLog(const std::string &dir, const InstallLogWriter &log, const std::string &switches = " /yes");
    // Starts Kolvu with the arguments and waits for its restart dialog: NULL when either failed.
    HWND StartToRestart(const std::string &arguments, const char *pszExe = "Kolvu.exe");
    // Ends the process from outside, as a crash or the task manager would.
    void Kill();
    DWORD ProcessId() const { return pi_.dwProcessId; }

    // The next visible message box with the caption (NULL after the timeout).
    HWND WaitBox(DWORD dwTimeoutMs = 20000, const char *pszCaption = "Uninstall");
    // Waits for the next box, reads its text (UTF-8), presses the button and waits
    // until the box is gone. "<no box>" when none came.
    std::string AnswerBox(int nButton, DWORD dwTimeoutMs = 20000);
    // The visible dialog with the caption, NULL after the timeout.
    HWND WaitDialog(const char *pszCaption, DWORD dwTimeoutMs = 20000);
    // The progress dialog ("UNINSTDLG"), visible or not.
    HWND ProgressDialog();
    // Exit code after the process ended; UI_STILL_RUNNING (after killing it) when it did not.
    DWORD Exit(DWORD dwTimeoutMs = 30000);
    // True when no message box or dialog of the process shows within the time.
    bool NoBoxFor(DWORD dwMs);
    // Exit code of a run that must show nothing: *pbShown becomes true when any
    // window of the process was visible while it ran.
    DWORD ExitUnseen(bool *pbShown, DWORD dwTimeoutMs = 30000);

private:
    bool Launch(const std::string &arguments, const char *pszExe, const char *pszDirectory, bool bTraced);
    static DWORD WINAPI TraceThread(LPVOID pRun);

    PROCESS_INFORMATION pi_;
    bool running_;
    std::string cmd_, dir_, trace_;
    HANDLE hTracer_, hStarted_;
};

// The file in use of a restart case: written, recorded last in the log, the log saved
// as <dir>\\uninst.log, and the file held by the lock; false when a step failed.
bool HoldRecordedFile(const std::string &path, const std::string &dir, InstallLogWriter &log, FileLock &lock);
// The restart dialog's locked-file list (item 1002).
std::vector<std::string> RestartListLines(HWND hDlg);
// The pending operations of the next start (NT family), as one lower-case text.
std::string PendingRenamesLower();

// Text of a message box in UTF-8 (static item 65535).
std::string BoxText(HWND hBox);
// Position of the progress bar (item 131) of the progress dialog.
int ProgressPos(HWND hDlg);
// Restored language DLLs ("ZNX*.tmp") in the temporary directory.
int CountTempLanguageFiles();
