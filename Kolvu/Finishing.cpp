// Finishing.cpp -- the end of an uninstall run: the log, the outcome or the restart offer, and the clean-up.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "FileRemoval.h"
#include "LanguageDll.h"
#include "MultiLang.h"
#include <io.h>
#include <string.h>

static const UINT OUTCOME_BOX = MB_SYSTEMMODAL | MB_ICONEXCLAMATION;

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
    if (UninstallState.DirectoryNotEmpty) {
        if (IsLanguageFileMode())
            MessageBoxByKey(NULL, "Uninstall|DirNotEmpty", L"Uninstall", OUTCOME_BOX);
        else
            MessageBoxA(NULL, "Some directories are not empty and could not be removed.", "Uninstall",
                        OUTCOME_BOX);
    }
    if (IsLanguageFileMode())
        MessageBoxByKey(NULL, "Uninstall|Success", L"Uninstall", OUTCOME_BOX);
    else
        ResMessageBox(10006, OUTCOME_BOX);
}

// Deletes a language file beside the log; the files were read at start-up in
// either mode's place, so both are tried whatever the mode.
static void DeleteLanguageFile(const char *pszLogPath, const char *pszLastBackslash, const char *pszName)
{
    char szPath[MAX_PATH];
    size_t cchDir = (size_t)(pszLastBackslash - pszLogPath);
    size_t cchName = strlen(pszName);
    if (cchDir + cchName >= sizeof(szPath))
        return;
    memcpy(szPath, pszLogPath, cchDir);
    memcpy(szPath + cchDir, pszName, cchName + 1);
    DeleteFileA(szPath);
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

    if (UninstallState.RestartNeeded) {
        ShowWindow(UninstallState.RestartDialog, SW_SHOW);
        RunMessageLoop();
    } else {
        ShowOutcome();
    }

    char *pszLastBackslash = strrchr(pszInstallLogPath, '\\');
    if (pszLastBackslash) {
        DeleteLanguageFile(pszInstallLogPath, pszLastBackslash, "\\LEXA1.LDB");
        DeleteLanguageFile(pszInstallLogPath, pszLastBackslash, "\\LEXA2.LDB");
        *pszLastBackslash = '\0';
        if (!RemoveDirectoryA(pszInstallLogPath)) {
            // A just-finished custom uninstall program or the shell may still
            // hold the directory for a moment.
            Sleep(2500);
            RemoveDirectoryA(pszInstallLogPath);
        }
    }

    DisposeTempLanguageDll();
    return 0;
}
