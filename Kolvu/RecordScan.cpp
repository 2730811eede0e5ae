// RecordScan.cpp -- the start-up's look at the records: the whole area checked, then counted once.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "InstallLog.h"
#include "PathVariables.h"
#include "RemovalReport.h"
#include <io.h>
#include <stdio.h>
#include <string.h>

static const RunText DAMAGED_LOG = {"Uninstall|DamagedLog", 10012, NULL};

// One walk to count every record and to take the last application record's
// name and destination directory. Returns 1 when the log has an INI entry.
static int CountRecords()
{
    int bIniEntries = 0;
    UninstallState.RecordCount = 0;
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

int ScanRecords()
{
    // Checked whole before anything runs: a damaged record may hide a custom
    // program that has to run first, or any number of records after it.
    if (CheckRecordArea(UninstallState.LogFile, UninstallState.FirstRecordOffset) != 1) {
        UninstallState.LogDamaged = TRUE;
        ReportDamagedLog();
        OutcomeMessageBox(DAMAGED_LOG, MB_OK | MB_ICONEXCLAMATION);
        CloseInstallLog();
        return 0;
    }
    // Only an INI entry's folder is read from the system's path variables, and
    // asking the shell for its nine folders is a good part of the start-up
    // time of a large removal: a log without INI entries goes without them.
    // None of them is SEL_DESTPATH, which the scan has just set.
    if (CountRecords())
        InitPathVariables();
    return 1;
}
