// FileRemoval.cpp -- deletes files and directories, or schedules them for the next start.
#include "FileRemoval.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "LockedFiles.h"
#include "Owners.h"
#include "Platform.h"
#include "RemovalReport.h"
#include "UninstallState.h"
#include "WininitSection.h"

// The 95 family has no pending-operations store in the kernel: its start-up program
// processes this section, where a "NUL" destination means "delete".
static const char kWininitName[] = "WININIT.INI";

static int ScheduleOnNt(const char *pszShortPath)
{
    return MoveFileExA(pszShortPath, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
}

// A file larger than this is not a WININIT.INI any setup wrote; leave it alone.
static const DWORD kWininitLimit = 1024 * 1024;

// Adds one "NUL=<short path>" line at the end of the [Rename] section (made when
// missing): one line per file, so that every file the restart dialog lists goes.
// Only the text from the insertion point on is written again; the file grows,
// so nothing before that point is touched even when the write fails.
// Inserts the line into the open file; 1 when all of it was written.
static int InsertWininitLine(HANDLE hFile, const char *pszShortPath)
{
    DWORD cbFile = GetFileSize(hFile, NULL);
    if (cbFile == INVALID_FILE_SIZE || cbFile > kWininitLimit)
        return 0;
    HeapBlock<char> pText(cbFile + 2 * MAX_PATH + 32);
    DWORD cbRead = 0;
    // A file with NUL bytes (a UTF-16 one, say) is no text our line may join.
    if (!pText || !ReadFile(hFile, pText, cbFile, &cbRead, NULL) || cbRead != cbFile ||
        memchr(pText, 0, cbFile) != NULL)
        return 0;
    int bFound = 0;
    size_t at = RenameSectionEnd(pText, cbFile, &bFound);
    // The new text is the old one's tail moved up behind the inserted lines.
    char szInsert[MAX_PATH + 32];
    int cchInsert = snprintf(szInsert, sizeof(szInsert), "%s%sNUL=%s\r\n",
                             (at > 0 && pText[at - 1] != '\n') ? "\r\n" : "",
                             bFound ? "" : "[Rename]\r\n", pszShortPath);
    if (cchInsert <= 0 || (size_t)cchInsert >= sizeof(szInsert))
        return 0;
    size_t cbTail = cbFile - at;
    memmove(pText + at + cchInsert, pText + at, cbTail);
    memcpy(pText + at, szInsert, (size_t)cchInsert);
    DWORD cbWrite = (DWORD)(cchInsert + cbTail);
    DWORD cbWritten = 0;
    return SetFilePointer(hFile, (LONG)at, NULL, FILE_BEGIN) == (DWORD)at &&
           WriteFile(hFile, pText + at, cbWrite, &cbWritten, NULL) && cbWritten == cbWrite;
}

static int AddWininitLine(const char *pszWininit, const char *pszShortPath)
{
    FileHandle hFile(CreateFileA(pszWininit, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL));
    if (!hFile.IsValid())
        return 0;
    int bCreated = GetLastError() != ERROR_ALREADY_EXISTS;
    int nResult = InsertWininitLine(hFile, pszShortPath);
    DWORD cbNow = GetFileSize(hFile, NULL);
    hFile.Reset();
    // A file made only to fail would be read at the next start for nothing.
    if (bCreated && (!nResult || cbNow == 0))
        DeleteFileA(pszWininit);
    return nResult;
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
    return AddWininitLine(szWininit, pszShortPath);
}

// Schedules the object for deletion at the next start; 1 when the store took it.
static int Schedule(const char *pszPath)
{
    // The 95 family's WININIT.INI processing runs before long names are available,
    // so both stores are given the 8.3 form.
    char szShortPath[MAX_PATH];
    DWORD cchShort = GetShortPathNameA(pszPath, szShortPath, sizeof(szShortPath));
    if (cchShort == 0 || cchShort >= sizeof(szShortPath)) {
        // No short form to be had: the path as given is the best name for the object.
        if (strlen(pszPath) >= sizeof(szShortPath))
            return 0;
        strcpy(szShortPath, pszPath);
    }
    return IsWindowsNT() ? ScheduleOnNt(szShortPath) : ScheduleInWininit(szShortPath);
}

static void SetOutcome(ItemOutcome *pOutcome, int nFate, DWORD dwValue = 0)
{
    if (pOutcome) {
        pOutcome->fate = nFate;
        pOutcome->value = dwValue;
    }
}

int RemoveFileOrSchedule(const char *pszPath, const char *pszCreatedName, ItemOutcome *pOutcome)
{
    SetOutcome(pOutcome, FATE_REMOVED);
    if (pszPath == NULL || pszPath[0] == '\0')
        return 1;

    // Most files go at the first try; only a refused one pays for clearing
    // read-only, hidden and system and trying again. The spelling a file was
    // created with is found at the first look: Wine on a case-sensitive host
    // scans the directory for any other spelling, once per path component.
    if (DeleteFileA(pszCreatedName != NULL ? pszCreatedName : pszPath))
        return 1;
    // A directory keeps its attributes: if it is not empty it stays, and a folder's
    // read-only or system bit is what makes the shell show it as customised.
    DWORD dwBefore = GetFileAttributesA(pszPath);
    if (dwBefore != INVALID_FILE_ATTRIBUTES && !(dwBefore & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(pszPath, FILE_ATTRIBUTE_ARCHIVE);
        if (DeleteFileA(pszPath))
            return 1;
    }
    // A file record may name an empty directory.
    if (RemoveDirectoryA(pszPath))
        return 1;

    DWORD dwAttributes = GetFileAttributesA(pszPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        // Nothing went by our hand: an earlier run, or the user, took it.
        if (dwBefore == INVALID_FILE_ATTRIBUTES)
            SetOutcome(pOutcome, FATE_ABSENT);
        return 1;
    }

    int nResult = Schedule(pszPath);
    DWORD dwError = nResult ? 0 : GetLastError();

    // Taken again after scheduling, but an object that vanished meanwhile must not be
    // mistaken for a directory by the all-ones "invalid" value.
    DWORD dwNow = GetFileAttributesA(pszPath);
    if (dwNow != INVALID_FILE_ATTRIBUTES)
        dwAttributes = dwNow;
    if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        UninstallState.DirectoryNotEmpty = TRUE;
        SetOutcome(pOutcome, FATE_KEPT_FOLDER);
    } else {
        UninstallState.RestartNeeded = TRUE;
        // The user recognises the long name, not the 8.3 form the store was given.
        ReportLockedFile(pszPath);
        SetOutcome(pOutcome, FATE_SCHEDULED);
    }
    // Neither store took it: it stays for good unless someone runs the removal again.
    if (!nResult)
        SetOutcome(pOutcome, FATE_FAILED, dwError ? dwError : ERROR_GEN_FAILURE);
    return nResult;
}
