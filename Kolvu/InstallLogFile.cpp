// InstallLogFile.cpp -- which file is the install log, opening it with its header, and closing it after a failed start.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "CommandLine.h"
#include "InstallLog.h"
#include "RemovalReport.h"
#include "RunProgress.h"
#include <fcntl.h>
#include <io.h>
#include <string.h>

void StartupMessage(const char *pszText)
{
    if (!UninstallState.Quiet)
        MessageBoxA(NULL, pszText, "Uninstall", MB_OK | MB_ICONEXCLAMATION);
    // our own English texts, plain ASCII, which is already UTF-8
    NoteOutcomeMessage(pszText);
}

void StartupWarning(const char *pszText)
{
    if (!UninstallState.Quiet)
        MessageBoxA(NULL, pszText, "Uninstall", MB_OK | MB_ICONEXCLAMATION);
    ReportWarning(pszText);
}

void CloseInstallLog()
{
    _close(UninstallState.LogFile);
    UninstallState.LogFile = -1;
}

int FailWithLogClosed(const char *pszText)
{
    StartupMessage(pszText);
    CloseInstallLog();
    return 0;
}

static int IsExistingFile(const char *pszPath)
{
    DWORD dwAttributes = GetFileAttributesA(pszPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

int ChooseInstallLog(char *pszOut, size_t cbOut)
{
    // An unquoted path with blanks is split into several arguments, so the line
    // without its switches is asked first: when it names a file, that is the file
    // the user named. A first word that happens to exist ("C:\Program" planted
    // beside "C:\Program Files") must never win over it. A folder is never the log.
    char szLine[MAX_PATH];
    const char *pszLine = Arguments.CommandLine;
    if (pszLine == NULL || !LineWithoutTrailingSwitches(pszLine, szLine, sizeof(szLine)))
        szLine[0] = '\0';
    const char *apszCandidates[3] = {szLine, Arguments.Count > 0 ? Arguments.Items[0] : "", pszLine ? pszLine : ""};
    for (const char *pszCandidate : apszCandidates) {
        if (pszCandidate[0] != '\0' && strlen(pszCandidate) < cbOut && IsExistingFile(pszCandidate)) {
            strcpy(pszOut, pszCandidate);
            return 1;
        }
    }
    pszOut[0] = '\0';
    return 0;
}

int OpenInstallLog(LogHeader *pHeader)
{
    // Only the one name: a log that exists but will not open must not make way
    // for some other file that would.
    int bOpened = ChooseInstallLog(UninstallState.LogPath, sizeof(UninstallState.LogPath));
    if (bOpened) {
        UninstallState.LogFile = _open(UninstallState.LogPath, _O_RDONLY | _O_BINARY);
        bOpened = UninstallState.LogFile != -1;
    }
    if (!bOpened) {
        StartupMessage("Unable to locate Setup logfile.");
        return 0;
    }
    if (!ReadLogHeader(UninstallState.LogFile, pHeader))
        return FailWithLogClosed("Invalid installation log.");
    // The records start where the header says, whatever a later step reads first.
    // An image said to reach past the end leaves no records: the language step
    // then tells what is wrong with the log.
    __int64 nLength = _filelengthi64(UninstallState.LogFile);
    __int64 nFirst = (__int64)FirstRecordOffsetOf(*pHeader);
    UninstallState.FirstRecordOffset = (LONG)(nFirst < nLength ? nFirst : nLength);
    UninstallState.SkipUnregister = SkipUnregisterFromFlags(pHeader->Flags);
    if (!LoadRunProgress(UninstallState.LogPath, UninstallState.LogFile))
        return FailWithLogClosed("The progress of an earlier removal, kept beside the install log, cannot be read. "
                                 "Nothing was removed.");
    // Before a language file is read or anything is run: the report must not replace either.
    if (!StartReport(1)) {
        RefuseReport();
        CloseInstallLog();
        return 0;
    }
    return 1;
}
