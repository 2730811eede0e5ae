// UninstallState.h -- the one process-wide record of an uninstall run, shared by
// the start-up, the worker thread, the removal actions and the finishing steps.
#pragma once
#include <windows.h>

struct UninstallStateRecord {
    HINSTANCE Instance;           // the program's module, stored first by WinMain: every dialog comes from it
    char LogPath[MAX_PATH];       // the install log as chosen from the command line; the finishing cuts it
    int LogFile;                  // install log, low-level descriptor, open for the whole run
    LONG FirstRecordOffset;       // position of the first record head
    DWORD RecordCount;            // record heads of every type
    BOOL SkipUnregister;          // from the log's flags: leave COM registrations alone
    char UninstallKeyName[256];   // application name of the last application record
    HWND ProgressDialog;          // "UNINSTDLG", modeless
    HWND RestartDialog;           // "RESTARTDLG", modeless, lists the scheduled files when shown
    BOOL RestartNeeded;           // a locked file was scheduled for the next start
    BOOL DirectoryNotEmpty;       // a directory could not be removed
    BOOL ConfirmRemoval;          // ask before removing; starts as 1
    char TempLanguageDllPath[260];// restored language DLL, empty when none was made
    HANDLE TempLanguageDllHold;   // that file, held open so that nobody can change it; NULL when not
    BOOL LogDamaged;              // the start-up found the records damaged: nothing is acted on
    BOOL Quiet;                   // /quiet: no window at all, no restart; the exit code tells
    BOOL ReportRefused;           // the /log: target was refused: nothing is run or written
};

// Defined once, in UninstallState.cpp, with LogFile = -1 and ConfirmRemoval = 1.
extern UninstallStateRecord UninstallState;
