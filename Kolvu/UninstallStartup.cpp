// UninstallStartup.cpp -- the first half of the uninstall run: log, language, record scan, dialogs, worker thread.
#include "UninstallApplication.h"
#include "UninstallRun.h"
#include "UninstallState.h"
#include "InstallLog.h"
#include "LanguageDll.h"
#include "MultiLang.h"
#include "PathVariables.h"
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

DWORD MainThreadId;

// The tables of LEXA1.LDB and LEXA2.LDB; the first one decides the language mode.
static LanguageTable *FirstLanguageTable;
static LanguageTable *SecondLanguageTable;

int IsLanguageFileMode()
{
    return FirstLanguageTable != NULL;
}

static void StartupMessage(const char *pszText)
{
    MessageBoxA(NULL, pszText, "Uninstall", MB_OK | MB_ICONEXCLAMATION);
}

static void CloseLog()
{
    _close(UninstallState.LogFile);
    UninstallState.LogFile = -1;
}

// The language files lie beside the log. A log path without a directory part
// gives no name at all: the log itself must never be read as a language file.
int LanguageFilePath(char *pszOut, size_t cbOut, const char *pszLogPath, const char *pszName)
{
    const char *pszLastBackslash = strrchr(pszLogPath, '\\');
    if (!pszLastBackslash)
        return 0;
    size_t cchDir = (size_t)(pszLastBackslash - pszLogPath);
    size_t cchName = strlen(pszName);
    if (cchDir + cchName >= cbOut)
        return 0;
    memcpy(pszOut, pszLogPath, cchDir);
    memcpy(pszOut + cchDir, pszName, cchName + 1);
    return 1;
}

static void ReadLanguageFileBesideLog(LanguageTable **ppTable, const char *pszLogPath, const char *pszName)
{
    char szPath[MAX_PATH];
    if (LanguageFilePath(szPath, sizeof(szPath), pszLogPath, pszName))
        ReadLanguageFile(ppTable, szPath);
}

static int PrepareLanguageFiles(const LogHeader &header, const char *pszLogPath)
{
    if (header.LanguageData & LANGF_FIRST_FILE) {
        ReadLanguageFileBesideLog(&FirstLanguageTable, pszLogPath, "\\LEXA1.LDB");
        SetPrimaryLanguageTable(FirstLanguageTable);
    }
    if (header.LanguageData & LANGF_SECOND_FILE) {
        ReadLanguageFileBesideLog(&SecondLanguageTable, pszLogPath, "\\LEXA2.LDB");
        SetSecondaryLanguageTable(SecondLanguageTable);
    }
    if (!FirstLanguageTable) {
        StartupMessage("Unable to load language file. Uninstall failed !");
        CloseLog();
        return 0;
    }
    return 1;
}

static int ReadWhole(int fd, unsigned char *pBuffer, uint32_t cbWanted)
{
    uint32_t cbDone = 0;
    while (cbDone < cbWanted) {
        uint32_t cbChunk = cbWanted - cbDone;
        if (cbChunk > 0x100000)
            cbChunk = 0x100000;
        int cbRead = _read(fd, pBuffer + cbDone, cbChunk);
        if (cbRead <= 0)
            return 0;
        cbDone += (uint32_t)cbRead;
    }
    return 1;
}

// Copies the language DLL image that follows the header into a "ZNX" file in the
// temporary directory; its name goes into TempLanguageDllPath.
static int RestoreLanguageDll(uint32_t cbImage)
{
    // The size comes from the file: never allocate more than the file still holds.
    __int64 nHere = _telli64(UninstallState.LogFile);
    __int64 nLength = _filelengthi64(UninstallState.LogFile);
    if (nHere < 0 || nLength < 0 || (uint64_t)(nLength - nHere) < cbImage) {
        StartupMessage("Invalid installation log. Unable to restore language DLL.");
        CloseLog();
        return 0;
    }
    unsigned char *pImage = (unsigned char *)malloc(cbImage);
    if (!pImage) {
        StartupMessage("Out of memory. Unable to restore language DLL.");
        CloseLog();
        return 0;
    }
    if (!ReadWhole(UninstallState.LogFile, pImage, cbImage)) {
        StartupMessage("Invalid installation log. Unable to restore language DLL.");
        CloseLog();
        free(pImage);
        return 0;
    }
    char szTempDir[MAX_PATH];
    GetTempPathA(MAX_PATH, szTempDir);
    GetTempFileNameA(szTempDir, "ZNX", 0, UninstallState.TempLanguageDllPath);
    int fdDll = _open(UninstallState.TempLanguageDllPath, _O_CREAT | _O_TRUNC | _O_BINARY | _O_RDWR,
                      _S_IREAD | _S_IWRITE);
    if (fdDll == -1) {
        StartupMessage("Unable to restore language DLL.");
        CloseLog();
        free(pImage);
        return 0;
    }
    // A short write leaves a damaged module, which the load below rejects.
    _write(fdDll, pImage, cbImage);
    _close(fdDll);
    free(pImage);
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
        StartupMessage("Unable to access internal string resources. Corrupt executable ! Uninstall failed !");
        return 0;
    }
    if (UninstallState.TempLanguageDllPath[0] != '\0' && !LoadLanguageDll(UninstallState.TempLanguageDllPath))
        StartupMessage("The language DLL selected for this uninstall could not be located. "
                       "Uninstall will use English instead.");
    return 1;
}

// One walk to count every record and to take the last application record's
// name and destination directory.
static void ScanRecords()
{
    RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset, RecordMask(REC_APP),
               [](const RecordHead &head, const RecordBody *body) {
                   UninstallState.RecordCount++;
                   if (body && RecordCode(head) == REC_APP) {
                       // the body decoder guarantees the name ends inside its 80 bytes
                       strcpy(UninstallState.UninstallKeyName, body->App.Name);
                       SetPathVariable("SEL_DESTPATH", body->App.DestinationDir);
                   }
                   return 1;
               });
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
    // The progress bar class of "UNINSTDLG" lives there.
    LoadLibraryA("COMCTL32.DLL");
    InitPathVariables();

    UninstallState.ProgressDialog =
        CreateDialogParamA(AppInstance, "UNINSTDLG", NULL, ProgressDialogProc, 0);
    if (!UninstallState.ProgressDialog)
        return 0;

    if (!OpenInstallLog()) {
        StartupMessage("Unable to locate Setup logfile.");
        return 0;
    }

    LogHeader header;
    if (!ReadLogHeader(UninstallState.LogFile, &header)) {
        StartupMessage("Invalid installation log.");
        CloseLog();
        return 0;
    }
    UninstallState.SkipUnregister = SkipUnregisterFromFlags(header.Flags);

    if (header.Flags & LOGF_LANGUAGE_FILES) {
        if (!PrepareLanguageFiles(header, installLogPath))
            return 0;
    } else if (!PrepareLanguageDll(header)) {
        return 0;
    }

    UninstallState.FirstRecordOffset = _lseek(UninstallState.LogFile, 0, SEEK_CUR);
    ScanRecords();

    UninstallState.RestartNeeded = FALSE;
    UninstallState.RestartDialog = CreateDialogParamA(AppInstance, "RESTARTDLG", NULL, RestartDialogProc, 0);
    UninstallState.ConfirmRemoval = !HasOption("yes");

    MainThreadId = GetCurrentThreadId();
    // Nothing would ever end the main loop without the worker, so a thread that
    // cannot start ends the run like any other start-up failure.
    if (_beginthread(UninstallThread, 10000, (void *)(UINT_PTR)MainThreadId) == (uintptr_t)-1)
        return 0;
    return 1;
}
