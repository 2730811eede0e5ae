// RemovalEngine.cpp -- undoes one installation: custom programs, files and entries, directories, the uninstall key.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "InstallLog.h"
#include "LanguageDll.h"
#include "PathVariables.h"
#include "RecordPath.h"
#include "RemovalActions.h"
#include "RemovalReport.h"
#include "RunProgress.h"
#include "Text.h"
#include "resource.h"
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

// The caption line by key in language-file mode, else in English: the string
// table has no numbers for these, so a language DLL does not translate them.
static const RunText CAPTION_FILE = {"Uninstall|RemovingFile", 0, "Removing File:"};
static const RunText CAPTION_SYSTEM_FILE = {"Uninstall|SystemFile", 0, "System File"};
static const RunText CAPTION_REG_ENTRY = {"Uninstall|RegEntry", 0, "Removing System Registry Entries"};
static const RunText CAPTION_INI_ENTRY = {"Uninstall|INIEntry", 0, "Removing INI Entries"};
static const RunText CAPTION_DIRECTORY = {"Uninstall|Directory", 0, "Removing Directory:"};
static const RunText CAPTION_UNINSTALL_KEY = {"Uninstall|UIKey", 0, "Deleting Uninstall Key"};
static const RunText CUSTOM_FAILED = {NULL, 10004, NULL};

void (*AfterEachAction)() = NULL;

void ActionDone()
{
    if (AfterEachAction)
        AfterEachAction();
}

// Every write into the dialog is a call into the main thread, which paints the
// change at once; with thousands of records these, not the removal, would set
// the pace. So a write that would not change what is shown is skipped, and the
// detail line and the bar, which change with nearly every file, are sent at most
// once per VIEW_INTERVAL_MS: what changes faster is never read on the screen
// anyway. What is held back is sent before anything that may take long and at the
// end of each pass; a new caption shows its first record at once.
static const DWORD VIEW_INTERVAL_MS = 100;

struct ProgressView {
    HWND hDlg;
    HWND hBar;
    const RunText *pCaption;   // last caption set, NULL before the first
    char szDetail[MAX_PATH];   // the detail line as shown, or held back when bDetailHeld
    int bDetailSent;           // something was sent at all
    int bDetailHeld;           // szDetail is newer than what the dialog shows
    int bSendNextDetail;       // the caption just changed: show its record at once
    DWORD dwDetailSentAt;
    UINT uPosition;            // last bar position set
    int bPositionSet;
    int bPositionHeld;         // uPosition is newer than what the bar shows
    DWORD dwPositionSentAt;
};

UINT ProgressPosition(DWORD handled, DWORD total)
{
    if (total == 0)
        return 0;
    // 64 bits: handled * 100 must not wrap for a log of more than 42 million records
    return (UINT)((unsigned long long)handled * 100u / total);
}

static void SetCaption(ProgressView &view, const RunText &caption)
{
    if (view.hDlg == NULL || view.pCaption == &caption)
        return;
    view.pCaption = &caption;
    view.bSendNextDetail = 1;
    SetRunText(GetDlgItem(view.hDlg, IDC_PROGRESS_CAPTION), caption);
}

static void SendDetail(ProgressView &view)
{
    SetDlgItemTextA(view.hDlg, IDC_PROGRESS_DETAIL, view.szDetail);
    view.bDetailSent = 1;
    view.bDetailHeld = 0;
    view.bSendNextDetail = 0;
    view.dwDetailSentAt = GetTickCount();
}

static void SetDetail(ProgressView &view, const char *pszText)
{
    if (view.hDlg == NULL)
        return;
    if (view.bDetailSent && !view.bDetailHeld && strcmp(view.szDetail, pszText) == 0)
        return;
    lstrcpynA(view.szDetail, pszText, sizeof(view.szDetail));
    view.bDetailHeld = 1;
    if (!view.bDetailSent || view.bSendNextDetail || GetTickCount() - view.dwDetailSentAt >= VIEW_INTERVAL_MS)
        SendDetail(view);
}

static void SendBar(ProgressView &view)
{
    // Nothing here needs to wait for the paint. Sent messages reach the dialog in
    // the order sent, so anyone asking the bar later still learns this position.
    SendNotifyMessageA(view.hBar, PBM_SETPOS, view.uPosition, 0);
    view.bPositionHeld = 0;
    view.dwPositionSentAt = GetTickCount();
}

static void SetBar(ProgressView &view, DWORD dwHandled)
{
    if (view.hDlg == NULL)
        return;
    UINT uPosition = ProgressPosition(dwHandled, UninstallState.RecordCount);
    if (view.bPositionSet && view.uPosition == uPosition)
        return;
    int bFirst = !view.bPositionSet;
    view.bPositionSet = 1;
    view.uPosition = uPosition;
    view.bPositionHeld = 1;
    if (bFirst || GetTickCount() - view.dwPositionSentAt >= VIEW_INTERVAL_MS)
        SendBar(view);
}

static void FlushView(ProgressView &view)
{
    if (view.bDetailHeld)
        SendDetail(view);
    if (view.bPositionHeld)
        SendBar(view);
}

static int WillUnregister(const char *pszLowerPath)
{
    // By extension only: loading "x.dll.bak" would run whatever code a backup holds.
    return !UninstallState.SkipUnregister && IsModulePath(pszLowerPath);
}

static void Report(DWORD nRecord, const char *pszType, const char *pszSubject, int nFate, DWORD dwValue = 0)
{
    ItemOutcome outcome = {nFate, dwValue};
    ReportRecord(nRecord, pszType, pszSubject, outcome);
}

static void RemoveFileRecord(ProgressView &view, DWORD nRecord, const PathRecord &file, int bShared)
{
    const char *pszType = bShared ? "shared file" : "file";
    SetCaption(view, bShared ? CAPTION_SYSTEM_FILE : CAPTION_FILE);
    SetDetail(view, file.Path);
    // a relative path would act on wherever we happen to run, a root on a whole volume
    if (!IsRemovablePath(file.Path)) {
        Report(nRecord, pszType, file.Path, FATE_SKIPPED);
        return;
    }
    char szPath[sizeof(file.Path)];
    strcpy(szPath, file.Path);
    TextLowerInPlace(szPath);
    int bUnregister = WillUnregister(szPath);
    // the module's own code runs now, for as long as it likes
    if (bUnregister)
        FlushView(view);
    ItemOutcome outcome;
    if (bShared) {
        // unregistered only when this run gives up the file's last use
        GiveBackSharedFile(nRecord, szPath, bUnregister, &outcome);
    } else {
        if (bUnregister)
            UnregisterComServer(szPath);
        RemoveFileOrSchedule(szPath, file.Path, &outcome);
    }
    ReportRecord(nRecord, pszType, file.Path, outcome);
}

static void RemoveRegistryRecord(DWORD nRecord, const RegEntryRecord &entry)
{
    char szSubject[sizeof(entry.SubKey) + sizeof(entry.ValueName) + 32];
    const char *pszRoot = RegistryRootName(entry.RootCode);
    snprintf(szSubject, sizeof(szSubject), "%s\\%s [%s]", pszRoot ? pszRoot : "?", entry.SubKey,
             entry.ValueName);
    DWORD dwError = 0;
    int bAbsent = 0;
    RemoveRegistryEntry(entry.RootCode, entry.SubKey, entry.ValueName, &dwError, &bAbsent);
    Report(nRecord, "registry value", szSubject, dwError ? FATE_FAILED : bAbsent ? FATE_ABSENT : FATE_REMOVED,
           dwError);
}

static void RemoveIniRecord(DWORD nRecord, const IniEntryRecord &entry)
{
    char szIniPath[INI_PATH_SIZE];
    int bComposed = ComposeIniPath(entry.Location, entry.FileName, szIniPath);
    char szSubject[INI_PATH_SIZE + sizeof(entry.Section) + sizeof(entry.Key) + 8];
    snprintf(szSubject, sizeof(szSubject), "%s [%s] %s", bComposed ? szIniPath : entry.FileName, entry.Section,
             entry.Key);
    // An empty destination would send "app.ini" to the Windows folder, where
    // some other program's file of that name would lose the key.
    if (!bComposed || !IsRemovablePath(szIniPath)) {
        Report(nRecord, "INI entry", szSubject, FATE_SKIPPED);
        return;
    }
    // A key that is not there is told apart: the default comes back only for a missing key.
    char szValue[4];
    int bAbsent = GetPrivateProfileStringA(entry.Section, entry.Key, "\x01", szValue, sizeof(szValue), szIniPath) ==
                      1 && szValue[0] == '\x01';
    DWORD dwError = 0;
    RemoveIniEntry(INI_LOCATION_FULL_PATH, szIniPath, entry.Section, entry.Key, &dwError);
    Report(nRecord, "INI entry", szSubject, dwError ? FATE_FAILED : bAbsent ? FATE_ABSENT : FATE_REMOVED, dwError);
}

// A pass whose walk could not go on leaves the rest of the log undone.
static void CheckWalk(int nWalkResult)
{
    if (nWalkResult < 0)
        Report(0, "install log", "", FATE_FAILED, GetLastError() ? GetLastError() : ERROR_READ_FAULT);
}

// First pass: every custom uninstall program, in file order, each to its end.
// Returns 0 (after the message) when one failed, could not be started at all or
// its record is damaged: what it had to do before the removal did not happen.
static int RunCustomPrograms()
{
    int bFailed = 0;
    DWORD nRecord = 0;
    int nWalk = RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset,
                           RecordMask(REC_CUSTOM_UNINSTALL), [&](const RecordHead &head, const RecordBody *body) {
        nRecord++;
        if (RecordCode(head) != REC_CUSTOM_UNINSTALL)
            return 1;
        if (!body) {
            Report(nRecord, "custom program", "", FATE_NOT_RUN);
            bFailed = 1;
            return 0;
        }
        const char *pszProgram = body->CustomUninstall.Program;
        // A relative name would start whatever program of that name the search finds.
        if (!IsRemovablePath(pszProgram)) {
            Report(nRecord, "custom program", pszProgram, FATE_SKIPPED);
            ActionDone();
            return 1;
        }
        // Its work is done, and its file may be gone with the files of the log.
        if (FindProgressStep(nRecord, STEP_CUSTOM_DONE)) {
            Report(nRecord, "custom program", pszProgram, FATE_RAN_BEFORE);
            ActionDone();
            return 1;
        }
        DWORD dwExitCode = 0;
        if (!RunAndWait(NULL, NULL, pszProgram, body->CustomUninstall.Parameters, GetPathVariable("SEL_DESTPATH"),
                        SW_SHOW, &dwExitCode)) {
            DWORD dwError = GetLastError();
            Report(nRecord, "custom program", pszProgram, FATE_FAILED, dwError ? dwError : ERROR_GEN_FAILURE);
            bFailed = 1;
            return 0;
        }
        // Noted before anything else goes: a run that cannot note it stops here, and the
        // next one starts the program again while its file is still there.
        if (dwExitCode == 0 && !NoteProgressStep(nRecord, STEP_CUSTOM_DONE)) {
            DWORD dwError = GetLastError();
            Report(nRecord, "custom program", pszProgram, FATE_FAILED, dwError ? dwError : ERROR_WRITE_FAULT);
            bFailed = 1;
            return 0;
        }
        Report(nRecord, "custom program", pszProgram, dwExitCode ? FATE_EXIT_CODE : FATE_RAN, dwExitCode);
        bFailed = dwExitCode != 0;
        if (!bFailed)
            ActionDone();
        return bFailed ? 0 : 1;
    });
    if (bFailed) {
        // The numbered string in language-file mode too: this message has no text key.
        OutcomeMessageBox(CUSTOM_FAILED, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    CheckWalk(nWalk);
    return 1;
}

// Second pass: files, shared files, registry values and INI entries.
static void RemoveFilesAndEntries(ProgressView &view, DWORD &dwHandled)
{
    const uint32_t uCodes = RecordMask(REC_FILE) | RecordMask(REC_SYSTEM_FILE) | RecordMask(REC_REG_ENTRY) |
                            RecordMask(REC_INI_ENTRY);
    DWORD nRecord = 0;
    int nWalk = RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset, uCodes,
                           [&](const RecordHead &head, const RecordBody *body) {
                   nRecord++;
                   SetBar(view, dwHandled);
                   if (!body)
                       return 1;
                   switch (RecordCode(head)) {
                   case REC_FILE:
                   case REC_SYSTEM_FILE:
                       RemoveFileRecord(view, nRecord, body->File, RecordCode(head) == REC_SYSTEM_FILE);
                       break;
                   case REC_REG_ENTRY:
                       SetCaption(view, CAPTION_REG_ENTRY);
                       SetDetail(view, "");
                       RemoveRegistryRecord(nRecord, body->RegEntry);
                       break;
                   case REC_INI_ENTRY:
                       SetCaption(view, CAPTION_INI_ENTRY);
                       SetDetail(view, "");
                       RemoveIniRecord(nRecord, body->IniEntry);
                       break;
                   }
                   dwHandled++;
                   SetBar(view, dwHandled);
                   ActionDone();
                   return 1;
               });
    FlushView(view);
    CheckWalk(nWalk);
}

// Third pass: directories in file order. A directory that will not go now is
// scheduled for the next start and reported at the end.
static void RemoveDirectories(ProgressView &view, DWORD dwHandled)
{
    DWORD nRecord = 0;
    int nWalk = RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset, RecordMask(REC_DIRECTORY),
               [&](const RecordHead &, const RecordBody *body) {
                   nRecord++;
                   SetBar(view, dwHandled);
                   if (!body)
                       return 1;
                   SetCaption(view, CAPTION_DIRECTORY);
                   SetDetail(view, body->File.Path);
                   ItemOutcome outcome = {FATE_REMOVED, 0};
                   if (!IsRemovablePath(body->File.Path))
                       outcome.fate = FATE_SKIPPED;
                   else if (!RemoveDirectoryA(body->File.Path))
                       RemoveFileOrSchedule(body->File.Path, NULL, &outcome);
                   ReportRecord(nRecord, "folder", body->File.Path, outcome);
                   ActionDone();
                   return 1;
               });
    FlushView(view);
    CheckWalk(nWalk);
}

// The uninstall key goes last, and only when nothing is left: it is how the user
// finds the removal again to repeat it.
static void RemoveUninstallKey(ProgressView &view)
{
    SetCaption(view, CAPTION_UNINSTALL_KEY);
    const char *pszName = UninstallState.UninstallKeyName;
    if (pszName[0] == '\0')
        return;
    if (ItemsLeft() != 0) {
        Report(0, "uninstall key", pszName, FATE_KEPT_INCOMPLETE);
        return;
    }
    DWORD dwError = 0;
    int bAbsent = 0;
    DeleteUninstallKey(pszName, &dwError, &bAbsent);
    Report(0, "uninstall key", pszName, dwError ? FATE_FAILED : bAbsent ? FATE_ABSENT : FATE_REMOVED, dwError);
    ActionDone();
}

int RunRemoval()
{
    HWND hDlg = UninstallState.ProgressDialog;
    if (hDlg)
        ShowWindow(hDlg, SW_SHOW);
    if (!RunCustomPrograms())
        return 0;

    ProgressView view;
    memset(&view, 0, sizeof(view));
    view.hDlg = hDlg;
    view.hBar = GetDlgItem(hDlg, IDC_PROGRESS_BAR);
    DWORD dwHandled = 0;
    RemoveFilesAndEntries(view, dwHandled);
    RemoveDirectories(view, dwHandled);

    RemoveUninstallKey(view);

    if (hDlg)
        EndDialog(hDlg, 0);
    return 1;
}
