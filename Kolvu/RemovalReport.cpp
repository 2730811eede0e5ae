// RemovalReport.cpp -- tallies every record's outcome and writes the /log: report line by line.
#include "RemovalReport.h"
#include "UninstallRun.h"
#include "UninstallState.h"
#include "LanguageDll.h"
#include "MultiLang.h"
#include <io.h>
#include <stdio.h>
#include <string.h>

// Indexed by ItemFate.
static const RunText FATE_TEXTS[] = {
    {"Report|Removed", 10020, NULL},
    {"Report|Scheduled", 10021, NULL},
    {"Report|KeptShared", 10022, NULL},
    {"Report|KeptFolder", 10023, NULL},
    {"Report|KeptNoCount", 10024, NULL},
    {"Report|KeptIncomplete", 10025, NULL},
    {"Report|Ran", 10026, NULL},
    {"Report|Skipped", 10027, NULL},
    {"Report|Failed", 10028, NULL},
    {"Report|ExitCode", 10029, NULL},
    {"Report|NotRun", 10030, NULL},
    {"Report|Absent", 10035, NULL},
    {"Report|RanBefore", 10036, NULL},
};
static_assert(sizeof(FATE_TEXTS) / sizeof(FATE_TEXTS[0]) == FATE_COUNT, "one text per fate");
static const RunText HEADING = {"Report|Heading", 10031, NULL};
static const RunText TOTALS = {"Report|Totals", 10032, NULL};
static const RunText OUTCOME = {"Report|Outcome", 10033, NULL};
static const RunText WARNING = {"Report|Warning", 10037, NULL};

enum { TALLY_REMOVED, TALLY_SCHEDULED, TALLY_KEPT, TALLY_SKIPPED, TALLY_FAILED, TALLY_ABSENT, TALLY_NONE };

static HANDLE ReportFile = INVALID_HANDLE_VALUE;
static DWORD Tallies[TALLY_NONE];
static char LastMessage[RES_STRING_SIZE * 2];

static int TallyOf(int fate)
{
    switch (fate) {
    case FATE_REMOVED: return TALLY_REMOVED;
    case FATE_SCHEDULED: return TALLY_SCHEDULED;
    case FATE_KEPT_SHARED:
    case FATE_KEPT_FOLDER:
    case FATE_KEPT_NO_COUNT:
    case FATE_KEPT_INCOMPLETE: return TALLY_KEPT;
    case FATE_SKIPPED: return TALLY_SKIPPED;
    case FATE_FAILED:
    case FATE_EXIT_CODE: return TALLY_FAILED;
    case FATE_ABSENT: return TALLY_ABSENT;
    default: return TALLY_NONE;
    }
}

// Wide text to UTF-8 into a bounded buffer, always terminated.
static void WideToUtf8(const WCHAR *pwsz, char *pszOut, size_t cbOut)
{
    pszOut[0] = '\0';
    int cb = WideCharToMultiByte(CP_UTF8, 0, pwsz, -1, pszOut, (int)cbOut, NULL, NULL);
    if (cb <= 0)
        pszOut[0] = '\0';
    pszOut[cbOut - 1] = '\0';
}

static void AnsiToUtf8(const char *psz, char *pszOut, size_t cbOut)
{
    WCHAR wsz[RES_STRING_SIZE];
    if (MultiByteToWideChar(CP_ACP, 0, psz, -1, wsz, RES_STRING_SIZE) <= 0) {
        // too long for the buffer: the text as it is, cut
        lstrcpynA(pszOut, psz, (int)cbOut);
        return;
    }
    WideToUtf8(wsz, pszOut, cbOut);
}

// Replaces each "%u" (and "%d", signed) by the next value. A text from a language
// file is not ours: it is never handed to a printf-like function.
static void FillValues(const char *pszText, char *pszOut, size_t cbOut, const DWORD *pdwValues, int nValues)
{
    size_t used = 0;
    int nNext = 0;
    for (const char *p = pszText; *p != '\0' && used + 1 < cbOut; p++) {
        if (p[0] == '%' && (p[1] == 'u' || p[1] == 'd') && nNext < nValues) {
            char szNumber[16];
            if (p[1] == 'd')
                snprintf(szNumber, sizeof(szNumber), "%ld", (long)(LONG)pdwValues[nNext++]);
            else
                snprintf(szNumber, sizeof(szNumber), "%lu", (unsigned long)pdwValues[nNext++]);
            for (const char *n = szNumber; *n != '\0' && used + 1 < cbOut; n++)
                pszOut[used++] = *n;
            p++;
        } else {
            pszOut[used++] = *p;
        }
    }
    pszOut[used] = '\0';
}

void RunTextUtf8(const RunText &text, char *pszOut, size_t cbOut, DWORD dwValue1, DWORD dwValue2,
                 DWORD dwValue3, DWORD dwValue4, DWORD dwValue5, DWORD dwValue6)
{
    char szRaw[RES_STRING_SIZE * 2];
    const WCHAR *pwsz = (IsLanguageFileMode() && text.pszKey) ? GetLanguageText(text.pszKey) : NULL;
    if (pwsz != NULL) {
        WideToUtf8(pwsz, szRaw, sizeof(szRaw));
    } else {
        char szAnsi[RES_STRING_SIZE];
        LoadResString(text.uStringId, szAnsi, sizeof(szAnsi));
        AnsiToUtf8(szAnsi, szRaw, sizeof(szRaw));
    }
    const DWORD adwValues[6] = {dwValue1, dwValue2, dwValue3, dwValue4, dwValue5, dwValue6};
    FillValues(szRaw, pszOut, cbOut, adwValues, 6);
}

int Utf8MessageBox(const char *pszUtf8, UINT uType)
{
    WCHAR wszText[RES_STRING_SIZE * 2];
    if (MultiByteToWideChar(CP_UTF8, 0, pszUtf8, -1, wszText, RES_STRING_SIZE * 2) <= 0)
        wszText[0] = L'\0';
    NoteOutcomeMessage(pszUtf8);
    if (UninstallState.Quiet)
        return IDOK;
    return MessageBoxW(NULL, wszText, L"Uninstall", uType);
}

int OutcomeMessageBox(const RunText &text, UINT uType, DWORD dwValue)
{
    char szText[RES_STRING_SIZE * 2];
    RunTextUtf8(text, szText, sizeof(szText), dwValue);
    return Utf8MessageBox(szText, uType);
}

void NoteOutcomeMessage(const char *pszUtf8)
{
    // One line in the report: each run of line breaks becomes one blank.
    size_t used = 0;
    for (const char *p = pszUtf8; *p != '\0' && used + 1 < sizeof(LastMessage); p++) {
        if (*p == '\r' || *p == '\n') {
            if (p[1] == '\r' || p[1] == '\n')
                continue;
            LastMessage[used++] = ' ';
        } else {
            LastMessage[used++] = *p;
        }
    }
    LastMessage[used] = '\0';
}

static void WriteText(const char *pszUtf8)
{
    if (ReportFile == INVALID_HANDLE_VALUE)
        return;
    DWORD cbWritten = 0;
    WriteFile(ReportFile, pszUtf8, (DWORD)strlen(pszUtf8), &cbWritten, NULL);
}

int CreateRemovalReport(const char *pszPath, const char *pszLogPath)
{
    ReportFile = CreateFileA(pszPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (ReportFile == INVALID_HANDLE_VALUE)
        return 0;
    char szHeading[RES_STRING_SIZE], szPath[MAX_PATH * 3];
    RunTextUtf8(HEADING, szHeading, sizeof(szHeading));
    AnsiToUtf8(pszLogPath ? pszLogPath : "", szPath, sizeof(szPath));
    WriteText(szHeading);
    WriteText(" ");
    WriteText(szPath);
    WriteText("\r\n\r\n");
    return 1;
}

void ReportWarning(const char *pszUtf8)
{
    char szWarning[RES_STRING_SIZE];
    RunTextUtf8(WARNING, szWarning, sizeof(szWarning));
    WriteText(szWarning);
    WriteText(" ");
    WriteText(pszUtf8);
    WriteText("\r\n\r\n");
}

void ReportRecord(DWORD nRecord, const char *pszType, const char *pszSubject, const ItemOutcome &outcome)
{
    int nTally = TallyOf(outcome.fate);
    if (nTally != TALLY_NONE)
        Tallies[nTally]++;
    if (ReportFile == INVALID_HANDLE_VALUE || outcome.fate < 0 || outcome.fate >= FATE_COUNT)
        return;
    char szFate[RES_STRING_SIZE], szSubject[MAX_PATH * 6], szLine[sizeof(szFate) + sizeof(szSubject) + 64];
    RunTextUtf8(FATE_TEXTS[outcome.fate], szFate, sizeof(szFate), outcome.value);
    AnsiToUtf8(pszSubject, szSubject, sizeof(szSubject));
    snprintf(szLine, sizeof(szLine), "%5lu  %-15s %-30s %s\r\n", (unsigned long)nRecord, pszType, szFate,
             szSubject);
    WriteText(szLine);
}

DWORD ItemsLeft()
{
    return Tallies[TALLY_SKIPPED] + Tallies[TALLY_FAILED];
}

void FinishRemovalReport(int nExitCode)
{
    // A run that ended before its log was read has not started the report yet.
    StartReport(0);
    if (ReportFile == INVALID_HANDLE_VALUE)
        return;
    char szTotals[RES_STRING_SIZE], szOutcome[RES_STRING_SIZE];
    RunTextUtf8(TOTALS, szTotals, sizeof(szTotals), Tallies[TALLY_REMOVED], Tallies[TALLY_SCHEDULED],
                Tallies[TALLY_KEPT], Tallies[TALLY_SKIPPED], Tallies[TALLY_FAILED], Tallies[TALLY_ABSENT]);
    RunTextUtf8(OUTCOME, szOutcome, sizeof(szOutcome), (DWORD)nExitCode);
    WriteText("\r\n");
    WriteText(szTotals);
    WriteText("\r\n");
    WriteText(szOutcome);
    WriteText(" ");
    WriteText(LastMessage);
    WriteText("\r\n");
    CloseHandle(ReportFile);
    ReportFile = INVALID_HANDLE_VALUE;
}
