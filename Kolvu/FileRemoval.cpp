// FileRemoval.cpp -- deletes files and directories, or schedules them for the next start.
#include "FileRemoval.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "Platform.h"
#include "RestartDialogIds.h"
#include "UninstallState.h"

// The 95 family has no pending-operations store in the kernel: its start-up program
// processes this section, where a "NUL" destination means "delete".
static const char kWininitName[] = "WININIT.INI";

static int ScheduleOnNt(const char *pszShortPath)
{
    return MoveFileExA(pszShortPath, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
}

static int ScheduleInWininit(const char *pszShortPath)
{
    char szWinDir[MAX_PATH];
    UINT cchDir = GetWindowsDirectoryA(szWinDir, sizeof(szWinDir));
    if (cchDir == 0 || cchDir >= sizeof(szWinDir))
        return 0;
    // A Windows directory at a drive's root already ends in a backslash.
    const char *pszSep = (szWinDir[cchDir - 1] == '\\') ? "" : "\\";
    char szWininit[MAX_PATH + 16];
    int cch = snprintf(szWininit, sizeof(szWininit), "%s%s%s", szWinDir, pszSep, kWininitName);
    if (cch < 0 || (size_t)cch >= sizeof(szWininit))
        return 0;
    // The profile write replaces the section's one "NUL" key, so only the object
    // scheduled last goes at the next start; the restart list still names them all.
    return WritePrivateProfileStringA("Rename", "NUL", pszShortPath, szWininit) ? 1 : 0;
}

int RemoveFileOrSchedule(const char *pszPath)
{
    if (pszPath == NULL || pszPath[0] == '\0')
        return 1;

    // Most files go at the first try; only a refused one pays for clearing
    // read-only, hidden and system and trying again.
    if (DeleteFileA(pszPath))
        return 1;
    SetFileAttributesA(pszPath, FILE_ATTRIBUTE_ARCHIVE);
    if (DeleteFileA(pszPath))
        return 1;
    // A file record may name an empty directory.
    if (RemoveDirectoryA(pszPath))
        return 1;

    DWORD dwAttributes = GetFileAttributesA(pszPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return 1;

    // The 95 family's WININIT.INI processing runs before long names are available,
    // so both stores are given the 8.3 form.
    char szShortPath[MAX_PATH];
    DWORD cchShort = GetShortPathNameA(pszPath, szShortPath, sizeof(szShortPath));
    if (cchShort == 0 || cchShort >= sizeof(szShortPath)) {
        // No short form to be had: the path as given is the best name for the object.
        if (strlen(pszPath) >= sizeof(szShortPath))
            szShortPath[0] = '\0';
        else
            strcpy(szShortPath, pszPath);
    }

    int nResult = 0;
    if (szShortPath[0] != '\0')
        nResult = IsWindowsNT() ? ScheduleOnNt(szShortPath) : ScheduleInWininit(szShortPath);

    // Taken again after scheduling, but an object that vanished meanwhile must not be
    // mistaken for a directory by the all-ones "invalid" value.
    DWORD dwNow = GetFileAttributesA(pszPath);
    if (dwNow != INVALID_FILE_ATTRIBUTES)
        dwAttributes = dwNow;
    if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        UninstallState.DirectoryNotEmpty = TRUE;
    } else {
        UninstallState.RestartNeeded = TRUE;
        // The user recognises the long name, not the 8.3 form the store was given.
        SendDlgItemMessageA(UninstallState.RestartDialog, IDC_LOCKED_FILES, LB_ADDSTRING, 0,
                            (LPARAM)pszPath);
    }
    return nResult;
}
