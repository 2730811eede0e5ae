// UninstallRun.h -- the uninstall run, file by file in the order the steps run:
// arguments, install log, language, record scan, dialogs, worker, removal, finishing.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

struct LogHeader;

// --- Arguments.cpp ---
// The command line split into arguments: one heap string each, outer quotes removed.
struct ArgumentList {
    char *CommandLine;   // as WinMain got it; not owned
    char **Items;
    DWORD Count;
};
extern ArgumentList Arguments;
// Splits the command line into Arguments and traces each argument to the debugger
// ("Parameter: ", the argument, "\n"); 0 when an allocation failed.
int ReadArguments(char *pszCommandLine);
// Nonzero when some argument is "/" or "-" and the option name, in any case.
int HasOption(const char *pszOption);
// The value of "/<option>:<value>" among the arguments, NULL when absent.
const char *OptionValueOf(const char *pszOption);
void FreeArguments();

// --- ReportTarget.cpp ---
// Takes the /log: value as a full path; 0 when it must be refused at once: split
// by an unquoted blank, too long, or a folder.
int ChooseReportTarget();
// Checks the target against the log, its language files, its progress record and,
// once the log's header is read (bLogRead), everything the log names; then creates
// the report. 0 when refused or not created. Only the first call acts.
int StartReport(int bLogRead);
// Tells that the report was refused (no box with /quiet) and marks the run so.
void RefuseReport();

// --- InstallLogFile.cpp ---
// Of the command line without the switches that end it, the first argument and the
// whole command line, the first that names an existing file (never a folder) goes
// into pszOut; 0 and an empty text when none does or the name does not fit.
int ChooseInstallLog(char *pszOut, size_t cbOut);
// Chooses the log into UninstallState.LogPath, opens it into LogFile, reads the
// header and the first record's offset, the progress of earlier runs and starts the
// /log: report. 0 after the failure was shown (or the report refused).
int OpenInstallLog(LogHeader *pHeader);
// A start-up failure: message box with the exclamation icon (none with /quiet),
// noted as the outcome.
void StartupMessage(const char *pszText);
// The same for a warning the run goes on after: a line of its own in the report.
void StartupWarning(const char *pszText);
void CloseInstallLog();
// StartupMessage, then the log closes. Returns 0.
int FailWithLogClosed(const char *pszText);

// --- LanguageStartup.cpp ---
// The language every later text is shown in: the language files beside the log, or
// the uninstaller's own strings and then the language DLL the log carries. 0 after
// the failure was shown.
int PrepareLanguage(const LogHeader &header);
// Releases the language module and deletes a restored temporary language DLL.
void DisposeTempLanguageDll();

// --- RecordScan.cpp ---
// Checks the whole record area from UninstallState.FirstRecordOffset, then counts the
// records and takes the application record. 0 after a damaged log was reported,
// shown and closed (LogDamaged set).
int ScanRecords();

// --- LanguageMode.cpp ---
// Nonzero when the start-up loaded the table of LEXA1.LDB: texts are then taken by key.
int IsLanguageFileMode();
// Reads LEXA1.LDB / LEXA2.LDB beside the log as the LANGF_* bits ask into the table
// slots (none beside a log path without a directory); returns IsLanguageFileMode().
int ReadLanguageFiles(const char *pszLogPath, uint32_t uLanguageData);
// Deletes the language files beside the log that this run read (none with a language DLL).
void DeleteLanguageFiles(const char *pszLogPath);
// One text of the run: by key in language-file mode, else string uStringId of the
// language module, else (uStringId 0) the fixed English text.
struct RunText {
    const char *pszKey;
    UINT uStringId;
    const char *pszEnglish;
};
// Puts the text on a window; 0 and nothing changed for a key the tables lack.
int SetRunText(HWND hWnd, const RunText &text);
// Message box without owner, caption "Uninstall"; the button pressed, 0 (no box) without text.
int RunMessageBox(const RunText &text, UINT uType);

// --- MainLoop.cpp ---
// Pumps the calling thread's messages until WM_QUIT and returns that message's wParam.
int RunMessageLoop();

// --- ProgressDialog.cpp ---
// Creates "UNINSTDLG" hidden, before any language is prepared; 0 when it could not be
// made. With /quiet none is made: 1 and no dialog.
int CreateProgressDialog();

// --- RestartDialog.cpp ---
// Creates "RESTARTDLG" hidden, its texts in the language just prepared (none with /quiet).
void CreateRestartDialog();
// Lists every file reported locked (LockedFiles.h) and shows the dialog.
void ShowRestartDialog();

// --- UninstallThread.cpp ---
// Starts the worker: confirmation, removal, then WM_QUIT to the calling (main)
// thread (wParam 0 when the removal went through, -1 when declined, -2 when a
// custom uninstall program failed and nothing was removed). 0 when it could not start.
int StartWorker();
// Nonzero when the user answered Yes to the confirmation question.
int ConfirmUninstall();

// --- RemovalEngine.cpp ---
// Called after each record's action and each finishing step; NULL in the program.
// A test build stops the process there, to prove that a run repeated after a kill
// at any of these points ends where one whole run ends.
extern void (*AfterEachAction)();
// One action is done: calls AfterEachAction when it is set.
void ActionDone();
// The three passes over the log and the uninstall key: 1 when done (items may
// remain: ItemsLeft), 0 when a custom uninstall program failed and nothing was removed.
int RunRemoval();
// Progress position after `handled` of `total` records: handled * 100 / total.
UINT ProgressPosition(DWORD handled, DWORD total);

// --- RunAndWait.cpp ---
// Starts a program through the shell, which shows no box of its own, and waits for
// its end. TRUE when a process ran and ended (its exit code then goes to
// *pdwExitCode when that is given); FALSE with the system's error code set otherwise.
BOOL RunAndWait(HWND hOwner, LPCSTR pszVerb, LPCSTR pszFile, LPCSTR pszParameters,
                LPCSTR pszDirectory, int nShow, DWORD *pdwExitCode);

// --- Finishing.cpp ---
// After the main loop: deletes the log and the language files, tells the outcome or
// offers the restart, removes the log's directory, disposes of a temporary language DLL.
// Nothing goes while items remain: the log, its language files and the uninstall key
// are what a second run needs. pszInstallLogPath is cut in place at its last
// backslash. Returns the run's exit code (RemovalReport.h).
int FinishUninstall(char *pszInstallLogPath, int nQuitCode);

// --- RestartWindows.cpp ---
// Asks the system to restart (with the shutdown privilege on NT); 0 when the
// process token could not be opened.
int RestartWindows();
