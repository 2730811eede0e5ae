// RemovalEngine.cpp -- undoes one installation: custom programs, files and entries, directories, the uninstall key.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "InstallLog.h"
#include "LanguageDll.h"
#include "PathVariables.h"
#include "RecordPath.h"
#include "RemovalActions.h"
#include "resource.h"
#include <commctrl.h>
#include <string.h>

// The caption line by key in language-file mode, else in English: the string
// table has no numbers for these, so a language DLL does not translate them.
static const RunText CAPTION_FILE = {"Uninstall|RemovingFile", 0, "Removing File:"};
static const RunText CAPTION_SYSTEM_FILE = {"Uninstall|SystemFile", 0, "System File"};
static const RunText CAPTION_REG_ENTRY = {"Uninstall|RegEntry", 0, "Removing System Registry Entries"};
static const RunText CAPTION_INI_ENTRY = {"Uninstall|INIEntry", 0, "Removing INI Entries"};
static const RunText CAPTION_DIRECTORY = {"Uninstall|Directory", 0, "Removing Directory:"};
static const RunText CAPTION_UNINSTALL_KEY = {"Uninstall|UIKey", 0, "Deleting Uninstall Key"};

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
    if (view.pCaption == &caption)
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

// Only A-Z change: bytes above 127 belong to the code page and stay as they are.
static void LowerAscii(char *psz)
{
    for (; *psz; ++psz)
        if (*psz >= 'A' && *psz <= 'Z')
            *psz = (char)(*psz - 'A' + 'a');
}

static void UnregisterIfServer(ProgressView &view, const char *pszLowerPath)
{
    // By extension only: loading "x.dll.bak" would run whatever code a backup holds.
    if (!UninstallState.SkipUnregister && IsModulePath(pszLowerPath)) {
        // the module's own code runs now, for as long as it likes
        FlushView(view);
        UnregisterComServer(pszLowerPath);
    }
}

static void RemoveFileRecord(ProgressView &view, const PathRecord &file, int bShared)
{
    SetCaption(view, bShared ? CAPTION_SYSTEM_FILE : CAPTION_FILE);
    SetDetail(view, file.Path);
    // a relative path would act on wherever we happen to run
    if (!IsActionablePath(file.Path))
        return;
    char szPath[sizeof(file.Path)];
    strcpy(szPath, file.Path);
    LowerAscii(szPath);
    // unregistered first, also when other installations keep the file
    UnregisterIfServer(view, szPath);
    if (bShared)
        RemoveSharedFile(szPath);
    else
        RemoveFileOrSchedule(szPath, file.Path);
}

// First pass: every custom uninstall program, in file order, each to its end.
// Returns 0 (after the message) when one failed, could not be started at all or
// its record is damaged: what it had to do before the removal did not happen.
static int RunCustomPrograms()
{
    int bFailed = 0;
    RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset, RecordMask(REC_CUSTOM_UNINSTALL),
               [&](const RecordHead &head, const RecordBody *body) {
                   if (RecordCode(head) != REC_CUSTOM_UNINSTALL)
                       return 1;
                   DWORD dwExitCode = 0;
                   if (!body ||
                       !RunAndWait(NULL, NULL, body->CustomUninstall.Program, body->CustomUninstall.Parameters,
                                   GetPathVariable("SEL_DESTPATH"), SW_SHOW, &dwExitCode) ||
                       dwExitCode != 0) {
                       bFailed = 1;
                       return 0;
                   }
                   return 1;
               });
    if (bFailed) {
        // The numbered string in language-file mode too: this message has no text key.
        ShowResWarning(10004);
        return 0;
    }
    return 1;
}

// Second pass: files, shared files, registry values and INI entries.
static void RemoveFilesAndEntries(ProgressView &view, DWORD &dwHandled)
{
    const uint32_t uCodes = RecordMask(REC_FILE) | RecordMask(REC_SYSTEM_FILE) | RecordMask(REC_REG_ENTRY) |
                            RecordMask(REC_INI_ENTRY);
    RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset, uCodes,
               [&](const RecordHead &head, const RecordBody *body) {
                   SetBar(view, dwHandled);
                   if (!body)
                       return 1;
                   switch (RecordCode(head)) {
                   case REC_FILE:
                   case REC_SYSTEM_FILE:
                       RemoveFileRecord(view, body->File, RecordCode(head) == REC_SYSTEM_FILE);
                       break;
                   case REC_REG_ENTRY:
                       SetCaption(view, CAPTION_REG_ENTRY);
                       SetDetail(view, "");
                       RemoveRegistryEntry(body->RegEntry.RootCode, body->RegEntry.SubKey,
                                           body->RegEntry.ValueName);
                       break;
                   case REC_INI_ENTRY:
                       SetCaption(view, CAPTION_INI_ENTRY);
                       SetDetail(view, "");
                       RemoveIniEntry(body->IniEntry.Location, body->IniEntry.FileName, body->IniEntry.Section,
                                      body->IniEntry.Key);
                       break;
                   }
                   dwHandled++;
                   SetBar(view, dwHandled);
                   return 1;
               });
    FlushView(view);
}

// Third pass: directories in file order. A directory that will not go now is
// scheduled for the next start and reported at the end.
static void RemoveDirectories(ProgressView &view, DWORD dwHandled)
{
    RecordWalk(UninstallState.LogFile, UninstallState.FirstRecordOffset, RecordMask(REC_DIRECTORY),
               [&](const RecordHead &, const RecordBody *body) {
                   SetBar(view, dwHandled);
                   if (!body)
                       return 1;
                   SetCaption(view, CAPTION_DIRECTORY);
                   SetDetail(view, body->File.Path);
                   if (IsActionablePath(body->File.Path) && !RemoveDirectoryA(body->File.Path))
                       RemoveFileOrSchedule(body->File.Path);
                   return 1;
               });
    FlushView(view);
}

int RunRemoval()
{
    HWND hDlg = UninstallState.ProgressDialog;
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

    SetCaption(view, CAPTION_UNINSTALL_KEY);
    if (UninstallState.UninstallKeyName[0] != '\0')
        DeleteUninstallKey(UninstallState.UninstallKeyName);

    EndDialog(hDlg, 0);
    return 1;
}
