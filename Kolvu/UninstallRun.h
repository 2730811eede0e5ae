// UninstallRun.h -- the uninstall run: start-up helpers, worker thread, progress, removal engine, finishing.
#pragma once
#include <windows.h>
#include <stdint.h>

// --- UninstallStartup.cpp ---
// Identifier of the main thread, which owns both dialogs; the worker posts its WM_QUIT here.
extern DWORD MainThreadId;

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
// The same for a text of our own that the language files may lack: their text when
// they have it, else the numbered string. Noted as the run's outcome.
int OutcomeMessageBox(const RunText &text, UINT uType, DWORD dwValue = 0);

// --- MainLoop.cpp ---
// Pumps the calling thread's messages until WM_QUIT and returns that message's wParam.
int RunMessageLoop();

// --- UninstallThread.cpp ---
// Worker thread entry: confirmation, removal, then WM_QUIT to the main thread
// (wParam 0 when the removal went through, -1 when declined, -2 when a custom
// uninstall program failed and nothing was removed).
void __cdecl UninstallThread(void *pMainThreadId);
// Nonzero when the user answered Yes to the confirmation question.
int ConfirmUninstall();

// --- ProgressDialog.cpp / RestartDialog.cpp ---
INT_PTR CALLBACK ProgressDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RestartDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// --- CenterWindow.cpp ---
// Moves the window to the middle of the screen; the result of MoveWindow.
BOOL CenterWindow(HWND hWnd);

// --- RemovalEngine.cpp ---
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

// --- UninstallStartup.cpp ---
// Releases the language module and deletes a restored temporary language DLL.
void DisposeTempLanguageDll();

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
