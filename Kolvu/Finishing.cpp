// Finishing.cpp -- the end of an uninstall run: the log, the outcome or the restart offer, and the clean-up.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "FileRemoval.h"
#include "LanguageDll.h"
#include "RecordPath.h"
#include <io.h>
#include <string.h>

static const UINT OUTCOME_BOX = MB_SYSTEMMODAL | MB_ICONEXCLAMATION;
// The string table has no number for this one: it is English unless the files translate it.
static const RunText DIR_NOT_EMPTY = {"Uninstall|DirNotEmpty", 0,
                                      "Some directories are not empty and could not be removed."};
static const RunText SUCCESS = {"Uninstall|Success", 10006, NULL};

static void DisposeTempLanguageDll()
{
    if (UninstallState.TempLanguageDllPath[0] == '\0')
        return;
    // The module must be released before its file can go.
    FreeLanguageDll();
    RemoveFileOrSchedule(UninstallState.TempLanguageDllPath);
}

static void ShowOutcome()
{
    if (UninstallState.DirectoryNotEmpty)
        RunMessageBox(DIR_NOT_EMPTY, OUTCOME_BOX);
    RunMessageBox(SUCCESS, OUTCOME_BOX);
}

int FinishUninstall(char *pszInstallLogPath, int nQuitCode)
{
    if (nQuitCode == -1) {
        // Declined or stopped early: the log, the language files and the
        // directory stay for another try.
        DisposeTempLanguageDll();
        return 0;
    }

    _close(UninstallState.LogFile);
    UninstallState.LogFile = -1;
    // A log held open elsewhere is scheduled and listed like any locked file.
    RemoveFileOrSchedule(pszInstallLogPath);

    // Without the dialog nothing would ever end its loop: then the outcome is told instead.
    if (UninstallState.RestartNeeded && UninstallState.RestartDialog) {
        ShowWindow(UninstallState.RestartDialog, SW_SHOW);
        RunMessageLoop();
    } else {
        ShowOutcome();
    }

    // Both files go whatever the mode: nothing of the installation may stay behind.
    DeleteLanguageFiles(pszInstallLogPath);

    char *pszLastBackslash = strrchr(pszInstallLogPath, '\\');
    if (pszLastBackslash) {
        *pszLastBackslash = '\0';
        // The cut leaves "C:" for a log in a drive's root, ".." or "sub" for a
        // relative one: the current folder of some drive, never ours to remove.
        if (IsActionablePath(pszInstallLogPath) && !RemoveDirectoryA(pszInstallLogPath)) {
            // A just-finished custom uninstall program or the shell may still
            // hold the directory for a moment.
            Sleep(2500);
            RemoveDirectoryA(pszInstallLogPath);
        }
    }

    DisposeTempLanguageDll();
    return 0;
}
