// UninstallStartup.cpp -- the first half of the uninstall run: log, language, record scan, dialogs, worker thread.
#include "UninstallApplication.h"
#include "UninstallRun.h"
#include "UninstallState.h"
#include "InstallLog.h"
#include "LanguageDll.h"
#include "FileRemoval.h"
#include "Owners.h"
#include "PathVariables.h"
#include "RemovalReport.h"
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
    // our own English texts, plain ASCII, which is already UTF-8
    NoteOutcomeMessage(pszText);
}

static const RunText DAMAGED_LOG = {"Uninstall|DamagedLog", 10012, NULL};

// Every failure after the log opened: the message, then the log closes. Returns 0.
static int FailWithLogClosed(const char *pszText)
{
    StartupMessage(pszText);
    _close(UninstallState.LogFile);
    UninstallState.LogFile = -1;
    return 0;
}

static const char INVALID_LOG_DLL[] = "Invalid installation log. Unable to restore language DLL.";

// 1 when the open file holds exactly the image, read from its start.
static int HoldsImage(HANDLE hFile, const unsigned char *pImage, uint32_t cbImage)
{
    unsigned char buffer[16384];
    uint32_t done = 0;
    while (done < cbImage) {
        DWORD cbWant = (DWORD)((cbImage - done) < sizeof(buffer) ? cbImage - done : sizeof(buffer));
        DWORD cbRead = 0;
        if (!ReadFile(hFile, buffer, cbWant, &cbRead, NULL) || cbRead != cbWant ||
            memcmp(buffer, pImage + done, cbWant) != 0)
            return 0;
        done += cbWant;
    }
    DWORD cbMore = 0;
    return ReadFile(hFile, buffer, 1, &cbMore, NULL) && cbMore == 0;
}

// Copies the language DLL image that follows the header into a "ZNX" file in the
// temporary directory; its name goes into TempLanguageDllPath. On failure the file
// stays for the process end, as everything else of a failed start does.
// The temporary directory is open to every process of the user: the file is
// written without sharing, then held open without write or delete sharing and
// checked against the image before it is loaded, so nobody can put other code
// under its name in between.
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
    FileHandle hWrite(CreateFileA(UninstallState.TempLanguageDllPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL));
    if (!hWrite.IsValid())
        return FailWithLogClosed("Unable to restore language DLL.");
    DWORD cbWritten = 0;
    int bWritten = WriteFile(hWrite, pImage, cbImage, &cbWritten, NULL) && cbWritten == cbImage;
    hWrite.Reset();
    // The loader opens the file for reading and executing; it shares both.
    HANDLE hHold = CreateFileA(UninstallState.TempLanguageDllPath, GENERIC_READ, FILE_SHARE_READ, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hHold == INVALID_HANDLE_VALUE)
        return FailWithLogClosed("Unable to restore language DLL.");
    UninstallState.TempLanguageDllHold = hHold;
    if (!bWritten || !HoldsImage(hHold, pImage, cbImage))
        return FailWithLogClosed("Unable to restore language DLL.");
    return 1;
}

void DisposeTempLanguageDll()
{
    if (UninstallState.TempLanguageDllPath[0] == '\0')
        return;
    // The module must be released before its file can go, and our hold too.
    FreeLanguageDll();
    if (UninstallState.TempLanguageDllHold != NULL) {
        CloseHandle(UninstallState.TempLanguageDllHold);
        UninstallState.TempLanguageDllHold = NULL;
    }
    RemoveFileOrSchedule(UninstallState.TempLanguageDllPath);
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

// installLogPath names the log for everything after: the language files, the
// log's own deletion and the removal of its folder all go by it.
int UninstallApplication::OpenInstallLog()
{
    // Only the one name: a log that exists but will not open must not make way
    // for some other file that would.
    DWORD dwAttributes = GetFileAttributesA(installLogPath);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    UninstallState.LogFile = _open(installLogPath, _O_RDONLY | _O_BINARY);
    return UninstallState.LogFile != -1;
}

// Every record gets its line, none an action: the report shows what the log held.
static void ReportDamagedLog()
{
    const uint32_t uAllKnown = RecordMask(REC_APP) | RecordMask(REC_FILE) | RecordMask(REC_SYSTEM_FILE) |
                               RecordMask(REC_DIRECTORY) | RecordMask(REC_REG_ENTRY) | RecordMask(REC_INI_ENTRY) |
                               RecordMask(REC_CUSTOM_UNINSTALL);
    DWORD nRecord = 0;
    const ItemOutcome notRun = {FATE_NOT_RUN, 0};
    RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset, uAllKnown,
               [&](const RecordHead &head, const RecordBody *body) {
                   nRecord++;
                   char szType[24];
                   const char *pszSubject = "";
                   switch (RecordCode(head)) {
                   case REC_FILE: lstrcpyA(szType, "file"); break;
                   case REC_SYSTEM_FILE: lstrcpyA(szType, "shared file"); break;
                   case REC_DIRECTORY: lstrcpyA(szType, "folder"); break;
                   case REC_REG_ENTRY: lstrcpyA(szType, "registry value"); break;
                   case REC_INI_ENTRY: lstrcpyA(szType, "INI entry"); break;
                   case REC_CUSTOM_UNINSTALL: lstrcpyA(szType, "custom program"); break;
                   case REC_APP: lstrcpyA(szType, "application"); break;
                   default: wsprintfA(szType, "record type %u", (unsigned)RecordCode(head)); break;
                   }
                   if (body) {
                       switch (RecordCode(head)) {
                       case REC_FILE:
                       case REC_SYSTEM_FILE:
                       case REC_DIRECTORY: pszSubject = body->File.Path; break;
                       case REC_REG_ENTRY: pszSubject = body->RegEntry.SubKey; break;
                       case REC_INI_ENTRY: pszSubject = body->IniEntry.FileName; break;
                       case REC_CUSTOM_UNINSTALL: pszSubject = body->CustomUninstall.Program; break;
                       case REC_APP: pszSubject = body->App.Name; break;
                       }
                   }
                   ReportRecord(nRecord, szType, pszSubject, notRun);
                   return 1;
               });
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

    int bOpened = OpenInstallLog();
    StartRemovalReport(bOpened ? UninstallState.LogFile : -1, bOpened ? installLogPath : NULL);
    if (!bOpened) {
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
    // Checked whole before anything runs: a damaged record may hide a custom
    // program that has to run first, or any number of records after it.
    if (CheckRecordArea(UninstallState.LogFile, UninstallState.FirstRecordOffset) != 1) {
        UninstallState.LogDamaged = TRUE;
        ReportDamagedLog();
        OutcomeMessageBox(DAMAGED_LOG, MB_OK | MB_ICONEXCLAMATION);
        _close(UninstallState.LogFile);
        UninstallState.LogFile = -1;
        return 0;
    }
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
