// ReportTarget.cpp -- whether the file named by /log: may be written: never one the run needs or removes.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "CommandLine.h"
#include "InstallLog.h"
#include "Owners.h"
#include "RemovalReport.h"
#include "RunProgress.h"
#include <stdio.h>
#include <string.h>

static const char REFUSED_TEXT[] =
    "The removal report cannot be written to the file given with /log: (a path with blanks needs quotes, and "
    "the report may not replace the log, its language files or anything the log names). Nothing was removed.";

static char TargetPath[MAX_PATH];   // full path of the report, empty for none
static int TargetDone;              // checked and created, or refused: never twice

// Ambiguous: an unquoted blank split the value, so that some words follow it as
// arguments of their own ("/log:C:\My Reports\r.txt" would write "C:\My").
static int IsSplitValue()
{
    for (DWORD i = 0; i < Arguments.Count; i++) {
        if (OptionValue(Arguments.Items[i], "log") == NULL)
            continue;
        for (DWORD j = i + 1; j < Arguments.Count; j++) {
            const char *pszNext = Arguments.Items[j];
            if (pszNext[0] != '/' && pszNext[0] != '-')
                return 1;
        }
    }
    return 0;
}

int ChooseReportTarget()
{
    const char *pszValue = OptionValueOf("log");
    TargetPath[0] = '\0';
    if (pszValue == NULL)
        return 1;
    // The value may come quoted inside the switch: /log:"C:\a b\report.txt".
    char szValue[MAX_PATH];
    if (strlen(pszValue) >= sizeof(szValue) || IsSplitValue())
        return 0;
    strcpy(szValue, pszValue);
    StripOuterQuotes(szValue);
    if (szValue[0] == '\0')
        return 1;
    DWORD cch = GetFullPathNameA(szValue, sizeof(TargetPath), TargetPath, NULL);
    if (cch == 0 || cch >= sizeof(TargetPath)) {
        TargetPath[0] = '\0';
        return 0;
    }
    // The long form, so that a short name of a logged file is still that file.
    char szLong[MAX_PATH];
    cch = GetLongPathNameA(TargetPath, szLong, sizeof(szLong));
    if (cch != 0 && cch < sizeof(szLong))
        strcpy(TargetPath, szLong);
    DWORD dwAttributes = GetFileAttributesA(TargetPath);
    return dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

static int IsSameFile(const char *pszA, const char *pszB)
{
    FileHandle hA(CreateFileA(pszA, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, NULL));
    FileHandle hB(CreateFileA(pszB, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, NULL));
    BY_HANDLE_FILE_INFORMATION a, b;
    return hA.IsValid() && hB.IsValid() && GetFileInformationByHandle(hA, &a) && GetFileInformationByHandle(hB, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

// The same path once both are made full, letters in any case.
static int IsTargetPath(const char *pszPath)
{
    char szFull[MAX_PATH];
    DWORD cch = GetFullPathNameA(pszPath, sizeof(szFull), szFull, NULL);
    return cch != 0 && cch < sizeof(szFull) && lstrcmpiA(szFull, TargetPath) == 0;
}

// A file the run reads or starts: by path, and by identity for another spelling.
static int IsTargetFile(const char *pszPath)
{
    return pszPath[0] != '\0' && (IsTargetPath(pszPath) || IsSameFile(pszPath, TargetPath));
}

// The INI file of an entry, composed as the removal will compose it.
static int IsTargetIniFile(const IniEntryRecord &entry, const char *pszDestination)
{
    char szDir[MAX_PATH] = "";
    if (entry.Location == INI_LOCATION_DESTPATH)
        lstrcpynA(szDir, pszDestination, sizeof(szDir));
    else if (entry.Location == INI_LOCATION_WINDIR)
        GetWindowsDirectoryA(szDir, sizeof(szDir));
    else if (entry.Location == INI_LOCATION_WINSYSDIR)
        GetSystemDirectoryA(szDir, sizeof(szDir));
    char szPath[MAX_PATH * 2];
    snprintf(szPath, sizeof(szPath), "%s%s", szDir, entry.FileName);
    return IsTargetPath(szPath);
}

// Files and folders by path: the log may name thousands of them. Custom programs
// run before anything goes, so their identity is asked too.
static int LogNamesTarget()
{
    const uint32_t uCodes = RecordMask(REC_APP) | RecordMask(REC_FILE) | RecordMask(REC_SYSTEM_FILE) |
                            RecordMask(REC_DIRECTORY) | RecordMask(REC_INI_ENTRY) | RecordMask(REC_CUSTOM_UNINSTALL);
    char szDestination[APP_DESTINATION_MAX + 1] = "";
    int bNamed = 0, bIniEntries = 0;
    for (int nWalk = 0; nWalk < 2 && !bNamed; nWalk++) {
        // The second walk only for INI entries, once the last destination is known.
        if (nWalk == 1 && !bIniEntries)
            break;
        RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset, uCodes,
                   [&](const RecordHead &head, const RecordBody *body) {
                       if (!body)
                           return 1;
                       switch (RecordCode(head)) {
                       case REC_APP: lstrcpynA(szDestination, body->App.DestinationDir, sizeof(szDestination)); break;
                       case REC_FILE:
                       case REC_SYSTEM_FILE:
                       case REC_DIRECTORY: bNamed = nWalk == 0 && IsTargetPath(body->File.Path); break;
                       case REC_CUSTOM_UNINSTALL: bNamed = nWalk == 0 && IsTargetFile(body->CustomUninstall.Program); break;
                       case REC_INI_ENTRY:
                           bIniEntries = 1;
                           bNamed = nWalk == 1 && IsTargetIniFile(body->IniEntry, szDestination);
                           break;
                       }
                       return bNamed ? 0 : 1;
                   });
    }
    return bNamed;
}

// The files beside the log that a run reads or writes.
static int IsBesideLog(const char *pszName)
{
    const char *pszLastBackslash = strrchr(UninstallState.LogPath, '\\');
    size_t cchDir = pszLastBackslash ? (size_t)(pszLastBackslash - UninstallState.LogPath) + 1 : 0;
    char szPath[MAX_PATH];
    if (cchDir + strlen(pszName) >= sizeof(szPath))
        return 0;
    memcpy(szPath, UninstallState.LogPath, cchDir);
    strcpy(szPath + cchDir, pszName);
    return IsTargetFile(szPath);
}

static int IsTargetFree(int bLogRead)
{
    if (UninstallState.LogPath[0] != '\0' &&
        (IsTargetFile(UninstallState.LogPath) || IsBesideLog("LEXA1.LDB") || IsBesideLog("LEXA2.LDB")))
        return 0;
    if (RunProgressPath()[0] != '\0' && IsTargetFile(RunProgressPath()))
        return 0;
    return !bLogRead || !LogNamesTarget();
}

int StartReport(int bLogRead)
{
    if (TargetDone || TargetPath[0] == '\0')
        return 1;
    TargetDone = 1;
    return IsTargetFree(bLogRead) && CreateRemovalReport(TargetPath, UninstallState.LogPath[0] ? UninstallState.LogPath : NULL);
}

void RefuseReport()
{
    TargetDone = 1;
    UninstallState.ReportRefused = TRUE;
    if (!UninstallState.Quiet)
        MessageBoxA(NULL, REFUSED_TEXT, "Uninstall", MB_OK | MB_ICONEXCLAMATION);
}
