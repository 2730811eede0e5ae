// UiTest.h -- drives the windows of a program under test the way a person would.
//
// Usage (link the `uitest` library):
//
//   PROCESS_INFORMATION pi;
//   ASSERT_TRUE(UiStartProcess("Kolvu.exe C:\\app\\install.log", &pi));
//   HWND box = UiWaitWindow("Uninstall", pi.dwProcessId, 10000, UI_DIALOG_CLASS);
//   ASSERT_TRUE(box != NULL);
//   EXPECT_EQ("Do you really want ...", UiMessageBoxText(box));
//   UiPressButton(box, IDYES);
//   EXPECT_EQ(0u, UiWaitExit(&pi, 30000));           // closes both handles
//
// A process id of 0 matches windows of any process; a NULL class matches any class.
// Texts are read with messages, so they work across processes; wide texts come back
// as UTF-8 through the *W / Utf8 forms. Everything waits with a timeout, never forever,
// stretched by ZX_TIME_SCALE (see TestWaitMs).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The class of dialogs and message boxes.
#define UI_DIALOG_CLASS "#32770"
// Exit code UiWaitExit reports when the process did not end in time.
enum : DWORD { UI_STILL_RUNNING = 0xFFFFFFFEu };

// Visible or hidden top-level window with exactly this caption, owned by the process.
HWND UiFindWindow(const char *pszCaption, DWORD dwProcessId, const char *pszClass = NULL);
// Like UiFindWindow, but only visible windows, polling until one shows or the time is up.
HWND UiWaitWindow(const char *pszCaption, DWORD dwProcessId, DWORD dwTimeoutMs,
                  const char *pszClass = NULL);
// Every visible top-level window of the process with the class (any caption).
std::vector<HWND> UiProcessWindows(DWORD dwProcessId, const char *pszClass = NULL);
// Waits until the window is destroyed or hidden; true when it went in time.
bool UiWaitGone(HWND hWnd, DWORD dwTimeoutMs);

// Window or control text in the system code page, and the same read in wide form as UTF-8.
std::string UiWindowText(HWND hWnd);
std::string UiWindowTextUtf8(HWND hWnd);
std::string UiItemText(HWND hDlg, int nId);
// The message of a message box (its static control 65535).
std::string UiMessageBoxText(HWND hBox);
// The lines of a list box, read in wide form (the ANSI form is unreliable across processes).
std::vector<std::string> UiListBoxLines(HWND hList);
// Is the dialog item enabled / visible.
bool UiItemEnabled(HWND hDlg, int nId);
bool UiItemVisible(HWND hDlg, int nId);

// Presses a button by posting BM_CLICK, as a click would; false when there is no such item.
bool UiPressButton(HWND hDlg, int nId);

// Starts a program with this exact command line (in the current directory unless given),
// with CreateProcess's creation flags (DEBUG_ONLY_THIS_PROCESS, say).
bool UiStartProcess(const char *pszCommandLine, PROCESS_INFORMATION *pPi,
                    const char *pszDirectory = NULL, DWORD dwCreationFlags = 0);
// Waits for the process, closes both handles, and returns its full exit code
// (UI_STILL_RUNNING, after terminating it, when it did not end in time).
DWORD UiWaitExit(PROCESS_INFORMATION *pPi, DWORD dwTimeoutMs);

// A started process that is ended when a failed assertion leaves it running:
// one waiting in a dialog would otherwise hold the whole test program.
struct UiProcess : PROCESS_INFORMATION {
    UiProcess() : PROCESS_INFORMATION() {}
    ~UiProcess() { if (hProcess) UiWaitExit(this, 0); }
    UiProcess(const UiProcess &) = delete;
    UiProcess &operator=(const UiProcess &) = delete;
};

// Writes the whole screen as a 24-bit BMP file; for looking at a failure afterwards.
bool UiScreenshot(const char *pszBmpPath);
// UTF-16 to UTF-8, for comparing wide texts.
std::string UiUtf8(const wchar_t *pszWide);
