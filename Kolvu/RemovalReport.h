// RemovalReport.h -- what became of each record: the tallies behind the final message and the /log: report.
#pragma once
#include <windows.h>

// What became of one record.
enum ItemFate {
    FATE_REMOVED,          // gone now
    FATE_SCHEDULED,        // a file that goes at the next start
    FATE_KEPT_SHARED,      // other installations still count on it; value = the count left
    FATE_KEPT_FOLDER,      // a folder that is not empty, scheduled for the next start
    FATE_KEPT_NO_COUNT,    // a shared file without a readable count: left as it was
    FATE_KEPT_INCOMPLETE,  // the uninstall key, kept so that the removal can be repeated
    FATE_RAN,              // a custom program ended with exit code 0
    FATE_SKIPPED,          // not a full path: not acted on
    FATE_FAILED,           // value = the system's error code
    FATE_EXIT_CODE,        // a custom program ended with the non-zero exit code in value
    FATE_NOT_RUN,          // the log is damaged: nothing was acted on
    FATE_ABSENT,           // not there to begin with: an earlier run or someone else took it
    FATE_RAN_BEFORE,       // a custom program that an earlier run on the same log saw end well
    FATE_COUNT
};

struct ItemOutcome {
    int fate;
    DWORD value;
};

// Exit codes of a run; a run that never got past the start is -1.
enum {
    EXIT_DONE = 0,         // removed (a declined run too: nothing was asked of it)
    EXIT_INCOMPLETE = 1,   // some items remain; the log and the uninstall key stay
    EXIT_STOPPED = 2,      // a custom uninstall program failed; nothing was removed
    EXIT_DAMAGED_LOG = 3,  // the log is damaged; nothing was removed
    EXIT_RESTART_NEEDED = 4,  // /quiet only: removed, but files in use go only with a restart
    EXIT_REPORT_REFUSED = 5,  // the /log: target was refused; nothing was run or removed
    EXIT_STARTUP_FAILED = -1,
};

// Creates (or empties) the report file and writes its heading naming the log
// (NULL when none was opened); 0 when it cannot be created. Its target is checked
// before (ReportTarget.cpp).
int CreateRemovalReport(const char *pszPath, const char *pszLogPath);
// Counts the outcome and writes its line at once, so that a run killed part-way
// leaves a report up to where it stopped. nRecord is the record's place in the log
// (from 1), pszType a fixed word, pszSubject the path or name as recorded (ANSI).
void ReportRecord(DWORD nRecord, const char *pszType, const char *pszSubject, const ItemOutcome &outcome);
// Items that remain where the removal should have taken them: skipped or failed.
DWORD ItemsLeft();
// The message the user was shown last (UTF-8); the report ends with it.
void NoteOutcomeMessage(const char *pszUtf8);
// A message that does not end the run (UTF-8): a line of its own in the report.
void ReportWarning(const char *pszUtf8);
// Totals and the outcome with its exit code; closes the report.
void FinishRemovalReport(int nExitCode);

// A text of ours in the run's language as UTF-8: by key in language-file mode, the
// numbered string otherwise and for a key the files lack. Each "%u" takes the next
// of the values, in order; nothing else of the text is read as a format.
struct RunText;
void RunTextUtf8(const RunText &text, char *pszOut, size_t cbOut, DWORD dwValue1 = 0, DWORD dwValue2 = 0,
                 DWORD dwValue3 = 0, DWORD dwValue4 = 0, DWORD dwValue5 = 0, DWORD dwValue6 = 0);
// A message box without owner, caption "Uninstall", showing a UTF-8 text; noted as
// the outcome. With /quiet nothing shows and the answer is IDOK.
int Utf8MessageBox(const char *pszUtf8, UINT uType);
// The same for a text of our own that the language files may lack: their text when
// they have it, else the numbered string. Noted as the run's outcome.
int OutcomeMessageBox(const RunText &text, UINT uType, DWORD dwValue = 0);
