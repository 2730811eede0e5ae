// Staging.cpp -- a stream too large to keep: checked while its files are written into a staging folder, then moved into place.
//
// Expanding it a second time to write it would inflate every byte twice.
// Instead it is expanded once, each file written under its own name in a
// folder this run makes new inside the destination and holds (as a Setup
// module holds its working folder), and only when the whole stream has passed
// every check are the files moved to their places, each by its handle, under
// the overwrite rules. A failure, or a kill part-way, leaves no file under an
// archive's name that the archive did not complete, and nothing outside the
// destination: at most the staging folder, whose name is no file of the archive's.
#include "Stub.h"

#include "StubPaths.h"
#include "WorkStream.h"

namespace {

struct StageContext {
    HANDLE destination;   // held: Stub.folder, or the destination opened by its path
    HANDLE staging;       // the folder made new inside it
    HANDLE file;          // the file being written, NULL between files
    char path[MAX_PATH];  // the file's final path, for the messages
    char *names;          // each staged name once, as stored
    size_t namesUsed;
    size_t namesSize;
    int failed;
};

void ReportFailure(StageContext *c, const char *format, const char *argument)
{
    ShowStubMessage(format, argument);
    c->failed = 1;
}

int StageFile(void *context, const SfxFileEntry *entry)
{
    StageContext *c = (StageContext *)context;
    PumpMessages();
    if (Stub.cancelled)
        return 0;
    if (!StubJoinPath(c->path, sizeof(c->path), Stub.destination, entry->name)) {
        ReportFailure(c, "The destination folder name is too long for the file \"%s\".", entry->name);
        return 0;
    }
    SetProgressFile(entry->name);
    // A name stored twice replaces the copy this run staged earlier.
    int again = WasWritten(entry->name);
    if (again)
        DeleteFileIn(c->staging, entry->name);
    c->file = CreateFileIn(c->staging, entry->name);
    if (!c->file || (!again && (!NoteWritten(entry->name) ||
                                !AppendName(&c->names, &c->namesUsed, &c->namesSize, entry->name)))) {
        ReportFailure(c, "The file could not be written:\n%s", c->path);
        return 0;
    }
    return 1;
}

int WriteStaged(void *context, const uint8_t *data, size_t length)
{
    StageContext *c = (StageContext *)context;
    DWORD written = 0;
    if (!WriteFile(c->file, data, (DWORD)length, &written, NULL) || written != length) {
        ReportFailure(c, "The file could not be written (is the disk full?):\n%s", c->path);
        return 0;
    }
    AdvanceProgress(Stub.packedDone);
    return !Stub.cancelled;
}

int EndStaged(void *context, const SfxFileEntry *entry)
{
    (void)entry;
    StageContext *c = (StageContext *)context;
    CloseHandle(c->file);
    c->file = NULL;
    return 1;
}

// Every file checked: each goes to its place, or stays out under the
// overwrite rules. Returns the exit code.
int MoveIntoPlace(StageContext *c)
{
    for (const char *name = c->names; name && name < c->names + c->namesUsed; name += strlen(name) + 1) {
        StubJoinPath(c->path, sizeof(c->path), Stub.destination, name);
        int replace = 0;
        // A folder the run made new holds only what it put there: a name
        // found there is planted, and the move refuses to replace it.
        DWORD attributes = Stub.folder ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(c->path);
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                ReportFailure(c, "The file could not be written because a folder has its name:\n%s", c->path);
                return STUB_EXIT_WRITE;
            }
            if (!ShouldReplace(name))
                continue;
            if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
                SetFileAttributesA(c->path, FILE_ATTRIBUTE_NORMAL);
            replace = 1;
        }
        if (!MoveFileInto(c->staging, name, c->destination, replace)) {
            ReportFailure(c, "The file could not be written:\n%s", c->path);
            return STUB_EXIT_WRITE;
        }
    }
    return STUB_EXIT_OK;
}

// What is left in the staging folder goes, by the cleanup rule, and the
// folder with it once empty.
void RemoveStaging(StageContext *c)
{
    if (c->file) {
        DeleteThroughHandle(c->file);
        CloseHandle(c->file);
    }
    for (const char *name = c->names; name && name < c->names + c->namesUsed; name += strlen(name) + 1)
        DeleteFileIn(c->staging, name);
    DeleteThroughHandle(c->staging);
    CloseHandle(c->staging);
}

}  // namespace

int ExtractStaged(void)
{
    StageContext c;
    ZeroMemory(&c, sizeof(c));
    c.destination = Stub.folder ? Stub.folder : OpenFolderByPath(Stub.destination);
    for (int attempt = 0; c.destination && !c.staging && attempt < 100; attempt++) {
        char name[16];
        wsprintfA(name, "ZXS%08X", (unsigned)RandomBits());
        c.staging = MakeFolderIn(c.destination, name);
    }
    if (!c.staging) {
        ShowStubMessage("The files could not be written in the destination folder:\n%s", Stub.destination);
        if (c.destination && c.destination != Stub.folder)
            CloseHandle(c.destination);
        return STUB_EXIT_WRITE;
    }
    SfxWorkSink sink = {&c, StageFile, WriteStaged, EndStaged};
    SfxWorkParser parser;
    int expanded = ExpandArchive(&sink, &parser, 0);
    int result = STUB_EXIT_OK;
    if (expanded == EXPAND_OK) {
        result = MoveIntoPlace(&c);
    } else if (Stub.cancelled) {
        result = STUB_EXIT_CANCELLED;
    } else if (c.failed) {
        result = STUB_EXIT_WRITE;
    } else {
        ReportRefused(expanded, &parser);
        result = STUB_EXIT_DAMAGED;
    }
    RemoveStaging(&c);
    if (c.destination != Stub.folder)
        CloseHandle(c.destination);
    if (c.names)
        HeapFree(GetProcessHeap(), 0, c.names);
    return result;
}
