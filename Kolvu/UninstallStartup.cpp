// UninstallStartup.cpp -- the first half of the uninstall run: log, language, record scan, dialogs, worker thread.
#include "UninstallApplication.h"
#include "UninstallRun.h"
#include "UninstallState.h"
#include "InstallLog.h"
#include "LanguageDll.h"
#include "Owners.h"
#include "PathVariables.h"
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

DWORD MainThreadId;

static void StartupMessage(const char *pszText)
{
    MessageBoxA(NULL, pszText, "Uninstall", MB_OK | MB_ICONEXCLAMATION);
}

// Every failure after the log opened: the message, then the log closes. Returns 0.
static int FailWithLogClosed(const char *pszText)
{
    StartupMessage(pszText);
    _close(UninstallState.LogFile);
    UninstallState.LogFile = -1;
    return 0;
}

static const char INVALID_LOG_DLL[] = "Invalid installation log. Unable to restore language DLL.";

// Copies the language DLL image that follows the header into a "ZNX" file in the
// temporary directory; its name goes into TempLanguageDllPath. On failure the file
// stays for the process end, as everything else of a failed start does.
static int RestoreLanguageDll(uint32_t cbImage)
{
    // The size comes from the file: never allocate more than the file still holds.
    __int64 nHere = _telli64(UninstallState.LogFile);
    __int64 nLength = _filelengthi64(UninstallState.LogFile);
    if (nHere < 0 || nLength < 0 || (uint64_t)(nLength - nHere) < cbImage)
        return FailWithLogClosed(INVALID_LOG_DLL);
    HeapBlock<unsigned char> pImage(cbImage);
    if (!pImage)
        return FailWithLogClosed("Out of memory. Unable to restore language DLL.");
    if (ReadFully(UninstallState.LogFile, pImage, cbImage) != cbImage)
        return FailWithLogClosed(INVALID_LOG_DLL);
    char szTempDir[MAX_PATH];
    GetTempPathA(MAX_PATH, szTempDir);
    GetTempFileNameA(szTempDir, "ZNX", 0, UninstallState.TempLanguageDllPath);
    int fdDll = _open(UninstallState.TempLanguageDllPath, _O_CREAT | _O_TRUNC | _O_BINARY | _O_RDWR,
                      _S_IREAD | _S_IWRITE);
    if (fdDll == -1)
        return FailWithLogClosed("Unable to restore language DLL.");
    // A short write leaves a damaged module, which the load below rejects.
    _write(fdDll, pImage, cbImage);
    _close(fdDll);
    return 1;
}

static int PrepareLanguageDll(const LogHeader &header)
{
    UninstallState.TempLanguageDllPath[0] = '\0';
    if (header.LanguageData != 0 && !RestoreLanguageDll(header.LanguageData))
        return 0;
    // Our own string table is the language until a better one loads.
    char szSelf[MAX_PATH];
    GetModuleFileNameA(NULL, szSelf, MAX_PATH);
    if (!LoadLanguageDll(szSelf)) {
        // The log stays open: the process ends at once.
        StartupMessage("Unable to access internal string resources. Corrupt executable ! Uninstall failed !");
        return 0;
    }
    if (UninstallState.TempLanguageDllPath[0] != '\0' && !LoadLanguageDll(UninstallState.TempLanguageDllPath))
        StartupMessage("The language DLL selected for this uninstall could not be located. "
                       "Uninstall will use English instead.");
    return 1;
}

// One walk to count every record and to take the last application record's
// name and destination directory. Returns 1 when the log has an INI entry.
static int ScanRecords()
{
    int bIniEntries = 0;
    RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset, RecordMask(REC_APP),
               [&](const RecordHead &head, const RecordBody *body) {
                   UninstallState.RecordCount++;
                   if (RecordCode(head) == REC_INI_ENTRY)
                       bIniEntries = 1;
                   if (body && RecordCode(head) == REC_APP) {
                       // the body decoder guarantees the name ends inside its 80 bytes
                       strcpy(UninstallState.UninstallKeyName, body->App.Name);
                       SetPathVariable("SEL_DESTPATH", body->App.DestinationDir);
                   }
                   return 1;
               });
    return bIniEntries;
}

// The name that opened the log becomes installLogPath: the language files, the
// log's own deletion and the removal of its folder all go by it, so a name that
// was merely chosen but did not open must never be used afterwards.
int UninstallApplication::OpenInstallLog()
{
    char *apszNames[2] = {argumentCount > 0 ? arguments[0] : NULL, commandLine};
    for (char *pszName : apszNames) {
        if (pszName == NULL)
            continue;
        DWORD dwAttributes = GetFileAttributesA(pszName);
        if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        UninstallState.LogFile = _open(pszName, _O_RDONLY | _O_BINARY);
        if (UninstallState.LogFile != -1) {
            installLogPath = pszName;
            return 1;
        }
    }
    return 0;
}

int UninstallApplication::StartUninstall()
{
    UninstallState.RecordCount = 0;
    // The progress bar class of "UNINSTDLG" lives there. Never released: the
    // dialog uses the class until the process ends.
    LoadLibraryA("COMCTL32.DLL");

    UninstallState.ProgressDialog =
        CreateDialogParamA(AppInstance, "UNINSTDLG", NULL, ProgressDialogProc, 0);
    if (!UninstallState.ProgressDialog)
        return 0;

    if (!OpenInstallLog()) {
        StartupMessage("Unable to locate Setup logfile.");
        return 0;
    }

    LogHeader header;
    if (!ReadLogHeader(UninstallState.LogFile, &header))
        return FailWithLogClosed("Invalid installation log.");
    UninstallState.SkipUnregister = SkipUnregisterFromFlags(header.Flags);

    if (header.Flags & LOGF_LANGUAGE_FILES) {
        if (!ReadLanguageFiles(installLogPath, header.LanguageData))
            return FailWithLogClosed("Unable to load language file. Uninstall failed !");
    } else if (!PrepareLanguageDll(header)) {
        return 0;
    }

    UninstallState.FirstRecordOffset = _lseek(UninstallState.LogFile, 0, SEEK_CUR);
    // Only an INI entry's folder is read from the system's path variables, and
    // asking the shell for its nine folders is a good part of the start-up
    // time of a large removal: a log without INI entries goes without them.
    // None of them is SEL_DESTPATH, which the scan has just set.
    if (ScanRecords())
        InitPathVariables();

    UninstallState.RestartNeeded = FALSE;
    UninstallState.RestartDialog = CreateDialogParamA(AppInstance, "RESTARTDLG", NULL, RestartDialogProc, 0);
    UninstallState.ConfirmRemoval = !HasOption("yes");

    MainThreadId = GetCurrentThreadId();
    // Nothing would ever end the main loop without the worker, so a thread that
    // cannot start ends the run like any other start-up failure. 10000 bytes, not a
    // round 10240, is the size the program has always asked for; the system rounds
    // it up to whole pages.
    if (_beginthread(UninstallThread, 10000, (void *)(UINT_PTR)MainThreadId) == (uintptr_t)-1)
        return 0;
    return 1;
}
