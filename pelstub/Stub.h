// Stub.h -- the loader stub's process-wide record and the steps that share it.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "SfxFormat.h"
#include "StubSwitches.h"

// Exit codes. A Setup module that ran its program exits with that program's code.
enum {
    STUB_EXIT_OK = 0,
    STUB_EXIT_DAMAGED = 1,     // archive missing, damaged or refused as unsafe
    STUB_EXIT_CANCELLED = 2,   // the user cancelled
    STUB_EXIT_WRITE = 3,       // the destination or a file in it could not be written
    STUB_EXIT_LAUNCH = 4,      // the program to launch could not be started
};

struct StubState {
    char selfPath[MAX_PATH];
    HANDLE selfFile;
    uint64_t headerOffset;        // where the archive header sits in selfFile
    SfxHeader header;
    char appName[SFX_SHORT_FIELD + 1];
    char launchFile[SFX_PATH_FIELD];
    char commandLine[SFX_SHORT_FIELD + 1];
    StubSwitches switches;

    // What the checking pass learned about the work stream.
    uint32_t entryCount;
    uint64_t totalBytes;
    size_t longestName;
    size_t nameBytes;             // room for the written list: every name with its terminator

    // The expanded work stream as the checking pass saw it, when it fit in
    // STUB_KEEP_LIMIT: the files are then written from it without a second
    // expansion. NULL: expanded again while writing.
    uint8_t *kept;
    size_t keptUsed;
    size_t keptCommitted;
    // Set when the checking pass stopped at STUB_KEEP_LIMIT: the stream is
    // then checked while its files are written into a staging folder, and
    // moved into place only once all of it has passed (Staging.cpp).
    int staging;
    uint64_t packedDone;          // packed bytes read so far: a staged run's progress
    char *staged;                 // the written list's names as stored, at the same offsets

    // Names of the files written in this run, each with its terminator: a name
    // stored twice replaces its own first copy without a question, and a Setup
    // module deletes exactly these files.
    char *written;
    size_t writtenUsed;

    char destination[MAX_PATH];   // where the files go
    char freshDestination[MAX_PATH];  // the new folder offered by default; made new if still chosen
    int ownsDestination;          // a fresh folder of ours: removed after a Setup run
    // A folder this run made, held open until the end; NULL for a folder that is
    // someone else's, and on the 95 family, which has nothing to hold it with.
    HANDLE folder;
    BY_HANDLE_FILE_INFORMATION folderInfo;  // its volume and number, to know it again
    int overwriteMode;            // 1 all, 2 none, 3 ask; "to all" answers change it

    HWND progressDialog;
    int cancelled;
};

extern StubState Stub;

// SafeLoad.cpp
void RestrictDllSearch(void);
HMODULE LoadSystemLibrary(const char *name);
void InitCommonControlsAtRunTime(void);
void PreloadDialogHelpers(void);

// Messages.cpp: boxes without owner; none at all when silent.
void ShowStubMessage(const char *format, const char *argument);
const char *StubCaption(void);

// SelfArchive.cpp
int OpenSelfArchive(void);
void CloseSelfArchive(void);

// Expand.cpp
struct SfxWorkSink;
struct SfxWorkParser;
enum {
    EXPAND_OK = 0,
    EXPAND_DAMAGED,      // not a valid zlib stream, or bytes after it
    EXPAND_WORK,         // the work stream was refused: see the parser's error
    EXPAND_READ,         // the file could not be read
    EXPAND_MEMORY,
    EXPAND_LARGE,        // keeping stopped at the limit: checked while staged instead
    EXPAND_CHECKSUM,     // the packed block is not the one the header sums
};
// What the stub keeps of the expanded stream: its peak memory whatever the
// archive's size. A bigger work stream, or one the system can't hold, is
// staged instead (or, on systems without the native file calls, expanded twice).
enum { STUB_KEEP_LIMIT = 32 * 1024 * 1024 };
// With keep set, the expanded data is also kept in Stub.kept while it fits;
// past that, where staging is possible, the expansion stops (EXPAND_LARGE).
// An expansion that reads the whole block checks its checksum too, so the
// pass that checks the records checks the packed bytes with them.
int ExpandArchive(const SfxWorkSink *sink, SfxWorkParser *parser, int keep);
// Walks the kept work stream as ExpandArchive would, then releases it.
int ExpandKept(const SfxWorkSink *sink, SfxWorkParser *parser);
void ReleaseKept(void);
// Whether a stream too large to keep can be staged: only with the native file calls.
int CanStage(void);

// Extract.cpp
int CheckArchive(void);
int ExtractArchive(void);
// The message for an archive refused while expanding, and "Nothing was extracted".
void ReportRefused(int result, const SfxWorkParser *parser);
// For a file that may exist at path (ours: written earlier in this run): 1
// write it (nothing there, or a file whose attributes were cleared), 0 keep
// the file there under the overwrite rules, -1 a folder has its name (a
// message was shown).
int ReplaceExisting(const char *path, const char *name, int ours);

// Staging.cpp: a staged run swaps its staging folder in as Stub.folder, so
// that files are made, replaced and deleted there as in a Setup module's
// folder; EndStaging moves them into place when code is STUB_EXIT_OK, removes
// what is left, swaps back and returns the run's exit code.
int BeginStaging(void);
int EndStaging(int code);

// Destination.cpp: the default is 0 when it can't be made (a message was shown).
// FreshFolder: a name in base that does not exist yet (make 0), or a folder
// made new there and held as Stub.folder, with the run's own access list
// (make 1) or what it inherits (make 2).
int FreshFolder(const char *base, char *path, size_t size, int make);
int ChooseDefaultDestination(char *path, size_t size);
int PrepareDestination(void);

// OpenDialog.cpp
int ShowOpenDialog(void);

// ProgressDialog.cpp
void ShowProgressDialog(void);
void SetProgressFile(const char *name);
// Moves the bar and serves the window, both at most every few hundredths of a second.
void AdvanceProgress(uint64_t done);
void PumpMessages(void);
void CloseProgressDialog(void);

// OverwriteDialog.cpp: IDYES, IDNO, IDC_YESTOALL or IDC_NOTOALL.
int AskOverwrite(const char *name);

// Launch.cpp
int CheckLaunchFile(void);
int LaunchProgram(int waitForAll, DWORD *exitCode);

// WorkFolder.cpp. CreateOwnFolder makes path, which ends in a fresh name of 11
// characters, new and holds it (restricted: with an access list of the run's
// own): 1 made, -1 the name exists, 0 failed.
int CreateOwnFolder(const char *path, int restricted);
// Whether the destination's path still leads to the folder that was made.
int FolderIsStillOurs(void);
void CloseOwnFolder(void);
// Files by name inside the held folder: made new; opened for reading, shared
// for reading only; deleted when they are the run's own (1 when gone or left).
HANDLE CreateInOwnFolder(const char *name);
HANDLE OpenInOwnFolder(const char *name);
int DeleteThroughHandle(HANDLE file);
int DeleteOwnFile(const char *name);

// Cleanup.cpp
void RemoveWrittenFiles(const char *folder);
