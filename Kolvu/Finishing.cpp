// Finishing.cpp -- the end of an uninstall run: the log, the outcome or the restart offer, and the clean-up.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "FileRemoval.h"
#include "LanguageDll.h"
#include "RecordPath.h"
#include "RemovalReport.h"
#include "RunProgress.h"
#include <string.h>

static const UINT OUTCOME_BOX = MB_SYSTEMMODAL | MB_ICONEXCLAMATION;
// The string table has no number for this one: it is English unless the files translate it.
static const RunText DIR_NOT_EMPTY = {"Uninstall|DirNotEmpty", 0,
                                      "Some directories are not empty and could not be removed."};
static const RunText SUCCESS = {"Uninstall|Success", 10006, NULL};
static const RunText ABORTED = {"Uninstall|Incomplete", 10003, NULL};
static const RunText ITEMS_LEFT = {"Uninstall|ItemsLeft", 10013, NULL};
static const RunText RESTART_DUE = {"Uninstall|Restart2", 10009, NULL};

// Told whenever items remain, before any restart offer: the restart finishes
// only what was scheduled, not what was skipped or refused.
static void ShowIncomplete(DWORD dwLeft)
{
    char szAborted[RES_STRING_SIZE], szLeft[RES_STRING_SIZE], szText[RES_STRING_SIZE * 2 + 4];
    RunTextUtf8(ABORTED, szAborted, sizeof(szAborted));
    RunTextUtf8(ITEMS_LEFT, szLeft, sizeof(szLeft), dwLeft);
    lstrcpynA(szText, szAborted, sizeof(szText));
    lstrcatA(szText, "\n\n");
    lstrcpynA(szText + lstrlenA(szText), szLeft, (int)(sizeof(szText) - lstrlenA(szText)));
    Utf8MessageBox(szText, OUTCOME_BOX);
}

static void ShowOutcome()
{
    if (UninstallState.DirectoryNotEmpty && !UninstallState.Quiet)
        RunMessageBox(DIR_NOT_EMPTY, OUTCOME_BOX);
    if (UninstallState.Quiet || RunMessageBox(SUCCESS, OUTCOME_BOX) != 0) {
        char szSuccess[RES_STRING_SIZE];
        RunTextUtf8(SUCCESS, szSuccess, sizeof(szSuccess));
        NoteOutcomeMessage(szSuccess);
    }
}

int FinishUninstall(char *pszInstallLogPath, int nQuitCode)
{
    if (nQuitCode == -1 || nQuitCode == -2) {
        // Declined or stopped early: the log, the language files and the
        // directory stay for another try.
        DisposeTempLanguageDll();
        return nQuitCode == -2 ? EXIT_STOPPED : EXIT_DONE;
    }

    CloseInstallLog();
    DWORD dwLeft = ItemsLeft();
    // A log held open elsewhere is scheduled and listed like any locked file. Its
    // progress goes after it, never before: a log without its progress would give
    // the shared counts back a second time.
    if (dwLeft == 0) {
        RemoveFileOrSchedule(pszInstallLogPath);
        ActionDone();
        RemoveRunProgress();
        ActionDone();
    } else {
        ShowIncomplete(dwLeft);
    }

    int bRestartDue = UninstallState.RestartNeeded && (UninstallState.RestartDialog || UninstallState.Quiet);
    if (bRestartDue && dwLeft == 0) {
        // The restart offer is the last word the user sees, or would have seen.
        char szDue[RES_STRING_SIZE];
        RunTextUtf8(RESTART_DUE, szDue, sizeof(szDue));
        NoteOutcomeMessage(szDue);
    }
    // Without the dialog nothing would ever end its loop: then the outcome is told instead.
    if (bRestartDue && !UninstallState.Quiet) {
        ShowRestartDialog();
        RunMessageLoop();
    } else if (dwLeft == 0 && !bRestartDue) {
        ShowOutcome();
    }

    if (dwLeft == 0) {
        DeleteLanguageFiles(pszInstallLogPath);
        char *pszLastBackslash = strrchr(pszInstallLogPath, '\\');
        if (pszLastBackslash) {
            *pszLastBackslash = '\0';
            // The cut leaves "C:" for a log in a drive's root, ".." or "sub" for a
            // relative one: the current folder of some drive, never ours to remove.
            if (IsRemovablePath(pszInstallLogPath) && !RemoveDirectoryA(pszInstallLogPath)) {
                // A just-finished custom uninstall program or the shell may still
                // hold the directory for a moment.
                Sleep(2500);
                RemoveDirectoryA(pszInstallLogPath);
            }
        }
    }

    DisposeTempLanguageDll();
    if (dwLeft != 0)
        return EXIT_INCOMPLETE;
    // A script that asked for no window learns this way that a restart must follow.
    return bRestartDue && UninstallState.Quiet ? EXIT_RESTART_NEEDED : EXIT_DONE;
}
