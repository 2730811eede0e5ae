// RunProgress.h -- the steps of a removal that must never be done twice, kept beside the log.
//
// A run that is killed, loses power or leaves items behind is run again with the
// same log. Deleting a file or a value again changes nothing, but giving back a
// shared count again takes another installation's use, and a custom program run
// again may find its own file gone. So these steps are noted in "<log>.progress",
// written through to the disk: a custom program once it ended well, a shared count
// before it is written and again after. The next run on the same log reads them
// and does only what is still missing.
//
//   offset 0    "ZXRP", then the log's size (low 32 bits) and last write time (8 bytes)
//   offset 16   steps of 16 bytes: record number, kind, count before, count after
//
// A record that names another log (a new installation under the same name) counts
// for nothing; a step cut short by a kill is no step.
#pragma once
#include <windows.h>

enum ProgressKind {
    STEP_CUSTOM_DONE = 1,     // the custom program ended with exit code 0
    STEP_SHARED_BEGIN = 2,    // the count is about to go from Before to After
    STEP_SHARED_DONE = 3,     // it went
};

struct ProgressStep {
    DWORD Record;   // the record's place in the log, from 1
    DWORD Kind;
    DWORD Before;
    DWORD After;
};

// Reads the progress record beside the open log. 0 when one exists but cannot be
// read: a step could then be done twice, so the run must not start.
int LoadRunProgress(const char *pszLogPath, int fdLog);
// The step of that kind an earlier run noted for the record, NULL when none.
const ProgressStep *FindProgressStep(DWORD nRecord, DWORD dwKind);
// Appends the step and writes it through to the disk; 0 (with the system's error
// set) when it is not safely there.
int NoteProgressStep(DWORD nRecord, DWORD dwKind, DWORD dwBefore = 0, DWORD dwAfter = 0);
// Deletes the record (or schedules it, as the log itself may have been): only once
// the log is gone, so that no run can ever see the log without its progress.
void RemoveRunProgress();
// Full path of the progress record, empty before LoadRunProgress found a name.
const char *RunProgressPath();
