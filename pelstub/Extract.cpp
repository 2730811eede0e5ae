// Extract.cpp -- the two walks over the archive: checking everything first, then writing the files.
#include "Stub.h"

#include "StubPaths.h"
#include "WorkStream.h"
#include "resource.h"

namespace {

int CountEntry(void *context, const SfxFileEntry *entry)
{
    (void)context;
    Stub.entryCount++;
    Stub.totalBytes += entry->size;
    size_t length = strlen(entry->name);
    if (length > Stub.longestName)
        Stub.longestName = length;
    Stub.nameBytes += length + 1;
    return 1;
}

struct ExtractContext {
    HANDLE output;            // NULL while a skipped file's contents go by
    char path[MAX_PATH];
    uint64_t done;
    int failed;
};

void ReportFailure(ExtractContext *c, const char *format, const char *argument)
{
    ShowStubMessage(format, argument);
    c->failed = 1;
}

// Names are kept in capitals and compared byte for byte, the way the file
// system tells names apart; lstrcmpi's word sort would call "ae" and "\xE6" equal.
void UpperName(const char *name, char *upper)
{
    lstrcpynA(upper, name, SFX_PATH_FIELD);
    CharUpperBuffA(upper, lstrlenA(upper));
}

int WasWritten(const char *name)
{
    char upper[SFX_PATH_FIELD];
    UpperName(name, upper);
    for (const char *p = Stub.written; p && p < Stub.written + Stub.writtenUsed; p += strlen(p) + 1) {
        if (strcmp(p, upper) == 0)
            return 1;
    }
    return 0;
}

void NoteWritten(const char *name)
{
    size_t length = strlen(name) + 1;
    if (!WasWritten(name) && Stub.writtenUsed + length <= Stub.nameBytes) {
        UpperName(name, Stub.written + Stub.writtenUsed);
        // A staged run's files are moved to their names as stored.
        if (Stub.staged)
            memcpy(Stub.staged + Stub.writtenUsed, name, length);
        Stub.writtenUsed += length;
    }
}

// Whether an existing file is replaced, following the mode in force; the
// "to all" answers become the mode for the rest of the run.
int ShouldReplace(const char *name)
{
    if (Stub.overwriteMode == SFX_OVERWRITE_ALL)
        return 1;
    if (Stub.overwriteMode == SFX_OVERWRITE_NONE)
        return 0;
    // Unattended: whoever runs /s wants the archive's files in place.
    if (Stub.switches.silent)
        return 1;
    switch (AskOverwrite(name)) {
    case IDYES:
        return 1;
    case IDC_YESTOALL:
        Stub.overwriteMode = SFX_OVERWRITE_ALL;
        return 1;
    case IDC_NOTOALL:
        Stub.overwriteMode = SFX_OVERWRITE_NONE;
        return 0;
    default:
        return 0;
    }
}

}  // namespace

int ReplaceExisting(const char *path, const char *name, int ours)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 1;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ShowStubMessage("The file could not be written because a folder has its name:\n%s", path);
        return -1;
    }
    if (!ours && !ShouldReplace(name))
        return 0;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return 1;
}

namespace {

int BeginFile(void *context, const SfxFileEntry *entry)
{
    ExtractContext *c = (ExtractContext *)context;
    PumpMessages();
    if (Stub.cancelled)
        return 0;
    c->output = NULL;
    if (!StubJoinPath(c->path, sizeof(c->path), Stub.destination, entry->name)) {
        ReportFailure(c, "The destination folder name is too long for the file \"%s\".", entry->name);
        return 0;
    }
    SetProgressFile(entry->name);
    if (Stub.folder) {
        // The folder is new and held: a name found there already is this
        // archive's earlier copy, replaced, or something planted, refused.
        c->output = CreateInOwnFolder(entry->name);
        if (!c->output && WasWritten(entry->name) && DeleteOwnFile(entry->name))
            c->output = CreateInOwnFolder(entry->name);
        if (!c->output) {
            ReportFailure(c, "The file could not be written:\n%s", c->path);
            return 0;
        }
        NoteWritten(entry->name);
        return 1;
    }
    // Most names are new in the folder: made in one call. Any name that is
    // there already, or that can't be made, goes the careful way below.
    c->output = CreateFileA(c->path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (c->output != INVALID_HANDLE_VALUE) {
        NoteWritten(entry->name);
        return 1;
    }
    c->output = NULL;
    // The archive's own earlier copy of a name stored twice is no one's file to ask about.
    int replace = ReplaceExisting(c->path, entry->name, WasWritten(entry->name));
    if (replace <= 0) {
        c->failed = replace < 0;
        return !c->failed;
    }
    c->output = CreateFileA(c->path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (c->output == INVALID_HANDLE_VALUE) {
        c->output = NULL;
        ReportFailure(c, "The file could not be written:\n%s", c->path);
        return 0;
    }
    NoteWritten(entry->name);
    return 1;
}

int WriteData(void *context, const uint8_t *data, size_t length)
{
    ExtractContext *c = (ExtractContext *)context;
    if (c->output) {
        DWORD written = 0;
        if (!WriteFile(c->output, data, (DWORD)length, &written, NULL) || written != length) {
            ReportFailure(c, "The file could not be written (is the disk full?):\n%s", c->path);
            return 0;
        }
    }
    c->done += length;
    AdvanceProgress(Stub.staging ? Stub.packedDone : c->done);
    return !Stub.cancelled;
}

int EndFile(void *context, const SfxFileEntry *entry)
{
    (void)entry;
    ExtractContext *c = (ExtractContext *)context;
    if (c->output) {
        CloseHandle(c->output);
        c->output = NULL;
    }
    return 1;
}

}  // namespace

void ReportRefused(int result, const SfxWorkParser *parser)
{
    const char *text = "The archive in this program is damaged: its data ends before its files do."
                       "\n\nNothing was extracted.";
    if (result == EXPAND_MEMORY)
        text = "There is not enough memory to extract the archive.";
    else if (result == EXPAND_CHECKSUM)
        text = "The archive in this program is damaged (its checksum does not match).\n\n"
               "Please obtain the file again.";
    else if (result == EXPAND_WORK && parser->error == SFX_WORK_BAD_NAME)
        text = "The archive holds a file name that is not allowed:\n\"%s\"\n\nNothing was extracted.";
    else if (result == EXPAND_WORK && parser->error == SFX_WORK_TOO_MANY)
        text = "The archive holds more files than an archive can.\n\nNothing was extracted.";
    ShowStubMessage(text, parser->entry.name);
}

int CheckArchive(void)
{
    SfxWorkSink sink = {NULL, CountEntry, NULL, NULL};
    SfxWorkParser parser;
    SfxWorkInit(&parser);
    Stub.entryCount = 0;
    Stub.totalBytes = 0;
    Stub.longestName = 0;
    Stub.nameBytes = 0;
    // Stored blocks add 5 bytes to each 64 KiB: a packed block longer than the
    // limit and a little more expands to more than it, and the first 32 MiB
    // would be expanded only to be let go.
    int large = CanStage() && Stub.header.packedSize > STUB_KEEP_LIMIT + STUB_KEEP_LIMIT / 1024;
    int result = large ? EXPAND_LARGE : ExpandArchive(&sink, &parser, 1);
    if (result == EXPAND_LARGE) {
        // The rest is checked while staged; progress then goes by the packed bytes.
        // Room for every name an archive can hold, twice: only what is written
        // to is ever backed by memory.
        Stub.staging = 1;
        Stub.totalBytes = Stub.header.packedSize;
        Stub.nameBytes = (size_t)SFX_MAX_ENTRIES * SFX_PATH_FIELD;
        result = EXPAND_OK;
    }
    if (result == EXPAND_OK) {
        Stub.written = (char *)HeapAlloc(GetProcessHeap(), 0, (Stub.staging ? 2 : 1) * Stub.nameBytes + 1);
        if (Stub.written) {
            if (Stub.staging)
                Stub.staged = Stub.written + Stub.nameBytes;
            return 1;
        }
        result = EXPAND_MEMORY;
    }
    ReportRefused(result, &parser);
    return 0;
}

int ExtractArchive(void)
{
    ExtractContext c;
    ZeroMemory(&c, sizeof(c));
    SfxWorkSink sink = {&c, BeginFile, WriteData, EndFile};
    SfxWorkParser parser;
    if (Stub.staging && !BeginStaging())
        return STUB_EXIT_WRITE;
    int result = Stub.kept ? ExpandKept(&sink, &parser) : ExpandArchive(&sink, &parser, 0);
    if (c.output) {
        // A file cut short must not pass for a complete one.
        if (Stub.folder)
            DeleteThroughHandle(c.output);
        CloseHandle(c.output);
        if (!Stub.folder)
            DeleteFileA(c.path);
    }
    int code = STUB_EXIT_WRITE;
    if (result == EXPAND_OK)
        code = STUB_EXIT_OK;
    else if (Stub.cancelled)
        code = STUB_EXIT_CANCELLED;
    else if (c.failed)
        code = STUB_EXIT_WRITE;
    else if (Stub.staging) {
        // Staged: the rest of the stream was checked only now, and nothing is in place yet.
        ReportRefused(result, &parser);
        code = STUB_EXIT_DAMAGED;
    } else
        ShowStubMessage("The archive could not be read to its end; the extraction was stopped.", NULL);
    return Stub.staging ? EndStaging(code) : code;
}
