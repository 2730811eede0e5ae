// BuildRun.cpp -- the one build run: read and parse the settings, expand and check the files, stream, pack, finish.
#include "BuildRun.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "BuildHeader.h"
#include "BuildList.h"
#include "BuildNames.h"
#include "BuildReport.h"

struct BuildStream {
    BuildRun *run;
    size_t next;                        // the next item to open
    BuildHandle file;                   // the item whose contents are being read, or NULL
    uint8_t head[SFX_ENTRY_HEAD_SIZE];
    size_t headLeft;                    // bytes of head still to hand on
    unsigned long long contentsLeft;
    int failed;
    unsigned long error;                // the host's error of the failure, 0 when the file changed
    size_t added;                       // records handed on whole
};

namespace {

// A settings file with a million lines is still far below this.
const unsigned long long kMaxSettingsBytes = 64ull * 1024 * 1024;

#ifdef __MINGW_PRINTF_FORMAT
#define ZX_RUN_PRINTF __MINGW_PRINTF_FORMAT
#else
#define ZX_RUN_PRINTF printf
#endif

void Say(const BuildRun *run, int problem, const char *format, ...) __attribute__((format(ZX_RUN_PRINTF, 3, 4)));
void Say(const BuildRun *run, int problem, const char *format, ...)
{
    if (!run->host->say)
        return;
    char text[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    run->host->say(run->host->context, problem, text);
}

const char *ErrorText(const BuildRun *run, unsigned long code)
{
    return run->host->errorText(run->host->context, code);
}

const char *LastErrorText(const BuildRun *run)
{
    return ErrorText(run, run->host->lastError(run->host->context));
}

int Refuse(BuildError *error, int problem, unsigned line, const char *where, const char *text)
{
    SetBuildError(error, problem, line, where, text);
    return 0;
}

int TooLong(const BuildRun *run, BuildError *error, unsigned line, const char *where, const char *text, size_t length)
{
    SetBuildError(error, BUILD_TOO_LONG, line, where, text);
    error->number = (unsigned long)length;
    error->limit = (unsigned long)(run->host->pathLimit - 1);
    return 0;
}

const char *LastPart(const char *path, char separator)
{
    const char *slash = strrchr(path, separator);
    return slash ? slash + 1 : path;
}

// Only a file or folder the host could describe has an identity to compare.
int SameFile(const BuildFileInfo *a, const BuildFileInfo *b)
{
    int known = (a->kind == BUILD_KIND_FILE || a->kind == BUILD_KIND_FOLDER) &&
                (b->kind == BUILD_KIND_FILE || b->kind == BUILD_KIND_FOLDER);
    return known && a->volume == b->volume && a->index == b->index;
}

// Two full paths Windows takes for one file: letters without case, compared
// in Windows-1252 where the names can be written so.
int SameOnWindows(const char *a, const char *b)
{
    char x[BUILD_RUN_PATH], y[BUILD_RUN_PATH];
    if (BuildUtf8To1252(a, x, sizeof(x)) && BuildUtf8To1252(b, y, sizeof(y)))
        return BuildCompareNames(x, y) == 0;
    return strcmp(a, b) == 0;
}

int Append(BuildRun *run, const char *path, unsigned line, const BuildFileInfo *info)
{
    if (run->count == run->capacity) {
        size_t capacity = run->capacity ? run->capacity * 2 : 256;
        void *grown = realloc(run->items, capacity * sizeof(BuildItem));
        if (!grown)
            return 0;
        run->items = (BuildItem *)grown;
        run->capacity = capacity;
    }
    size_t length = strlen(path);
    char *copy = (char *)malloc(length + 1);
    if (!copy)
        return 0;
    memcpy(copy, path, length + 1);
    BuildItem *item = &run->items[run->count++];
    memset(item, 0, sizeof(*item));
    item->path = copy;
    item->line = line;
    item->info = *info;
    // Made here, once, for the checks and the records alike; an unwritable
    // name stays empty and the checks refuse it with its line.
    const BuildHost *h = run->host;
    if (!h->storedName(h->context, LastPart(copy, h->separator), item->name, sizeof(item->name)))
        item->name[0] = '\0';
    return 1;
}

// Sorted by stored name as Windows compares it, then by the bytes (the
// matches share their folder), so that the order never depends on the order
// the directory lists its names in.
int ByName(const void *a, const void *b)
{
    const BuildItem *x = (const BuildItem *)a, *y = (const BuildItem *)b;
    int order = BuildCompareNames(x->name, y->name);
    return order ? order : strcmp(x->path, y->path);
}

struct Scan {
    BuildRun *run;
    unsigned line;
    const char *text;
    const char *folder;
    BuildError *error;
    int failed;
};

int OnFound(void *context, const char *name, int isFolder)
{
    Scan *s = (Scan *)context;
    BuildRun *run = s->run;
    const BuildHost *h = run->host;
    if (!strcmp(name, ".") || !strcmp(name, ".."))
        return 1;
    char path[BUILD_RUN_PATH];
    size_t n = strlen(s->folder);
    const char separator[2] = {n > 0 && s->folder[n - 1] == h->separator ? '\0' : h->separator, '\0'};
    int length = snprintf(path, sizeof(path), "%s%s%s", s->folder, separator, name);
    BuildFileInfo info;
    memset(&info, 0, sizeof(info));
    if (!isFolder && length >= 0 && (size_t)length < h->pathLimit)
        h->identify(h->context, path, 0, &info);
    // The archive holds files only: a folder a pattern matches is left out and counted.
    if (isFolder || info.kind == BUILD_KIND_FOLDER) {
        run->foldersSkipped++;
        return 1;
    }
    if (length < 0 || (size_t)length >= h->pathLimit)
        s->failed = !TooLong(run, s->error, s->line, "[Files]", name, length < 0 ? strlen(name) : (size_t)length);
    else if (info.kind != BUILD_KIND_FILE)
        s->failed = !Refuse(s->error, BUILD_UNREADABLE, s->line, "[Files]", path);
    else if (!Append(run, path, s->line, &info))
        s->failed = !Refuse(s->error, BUILD_NO_MEMORY, s->line, "[Files]", s->text);
    return !s->failed;
}

int AddPattern(BuildRun *run, unsigned line, const char *text, const char *full, BuildError *error)
{
    const BuildHost *h = run->host;
    char folder[BUILD_RUN_PATH];
    BuildFolderOf(full, h->separator, folder, sizeof(folder));
    size_t first = run->count;
    Scan scan = {run, line, text, folder, error, 0};
    h->list(h->context, folder, LastPart(full, h->separator), OnFound, &scan);
    if (scan.failed)
        return 0;
    if (run->count == first)
        return Refuse(error, BUILD_NO_MATCH, line, "[Files]", text);
    qsort(run->items + first, run->count - first, sizeof(BuildItem), ByName);
    return 1;
}

// The files one [Files] line names; a pattern's matches in name order.
int AddLine(BuildRun *run, unsigned line, const char *text, BuildError *error)
{
    const BuildHost *h = run->host;
    char full[BUILD_RUN_PATH];
    size_t n = h->resolve(h->context, run->base, text, full, sizeof(full));
    if (n == 0 || n >= h->pathLimit)
        return TooLong(run, error, line, "[Files]", text, n ? n : strlen(text));
    if (BuildHasWildcard(full))
        return AddPattern(run, line, text, full, error);
    BuildFileInfo info;
    h->identify(h->context, full, 0, &info);
    if (info.kind == BUILD_ABSENT)
        return Refuse(error, BUILD_NO_SUCH_FILE, line, "[Files]", text);
    if (info.kind == BUILD_KIND_FOLDER)
        return Refuse(error, BUILD_IS_FOLDER, line, "[Files]", text);
    if (info.kind != BUILD_KIND_FILE)
        return Refuse(error, BUILD_UNREADABLE, line, "[Files]", full);
    if (!Append(run, full, line, &info))
        return Refuse(error, BUILD_NO_MEMORY, line, "[Files]", text);
    return 1;
}

// The [Files] lines wait until the whole text is parsed, so that a wrong key
// further down is reported before any disk work.
struct Pending {
    unsigned line;
    char *text;  // on the heap: a long list of short lines stays small
};

struct PendingLines {
    Pending *lines;
    size_t count;
    size_t capacity;
};

int KeepLine(void *context, unsigned line, const char *text, BuildError *error)
{
    PendingLines *p = (PendingLines *)context;
    if (p->count == p->capacity) {
        size_t capacity = p->capacity ? p->capacity * 2 : 64;
        void *grown = realloc(p->lines, capacity * sizeof(Pending));
        if (!grown)
            return Refuse(error, BUILD_NO_MEMORY, line, "[Files]", text);
        p->lines = (Pending *)grown;
        p->capacity = capacity;
    }
    size_t length = strlen(text);
    char *copy = (char *)malloc(length + 1);
    if (!copy)
        return Refuse(error, BUILD_NO_MEMORY, line, "[Files]", text);
    memcpy(copy, text, length + 1);
    p->lines[p->count++] = {line, copy};
    return 1;
}

int AddLines(BuildRun *run, const PendingLines *pending)
{
    for (size_t i = 0; i < pending->count; i++) {
        const Pending *p = &pending->lines[i];
        size_t filesBefore = run->count, foldersBefore = run->foldersSkipped;
        if (!AddLine(run, p->line, p->text, &run->error))
            return 0;
        if (BuildHasWildcard(p->text)) {
            char text[BUILD_PATH_TEXT + 128];
            FormatPatternLine(p->line, p->text, (unsigned long)(run->count - filesBefore),
                              (unsigned long)(run->foldersSkipped - foldersBefore), text, sizeof(text));
            Say(run, 0, "%s", text);
        }
    }
    return 1;
}

// The whole settings file, read as untrusted bytes of a bounded size.
char *ReadSettings(BuildRun *run, size_t *length)
{
    const BuildHost *h = run->host;
    BuildFileInfo info;
    BuildHandle f = h->open(h->context, run->settingsPath, &info);
    if (!f) {
        Say(run, 1, "%s: can't be read: %s\n", run->settingsPath, LastErrorText(run));
        return NULL;
    }
    if (info.size > kMaxSettingsBytes) {
        h->close(h->context, f);
        SetBuildError(&run->error, BUILD_SETTINGS_TOO_BIG, 0, NULL, NULL);
        run->error.number = (unsigned long)(kMaxSettingsBytes / (1024 * 1024));
        return NULL;
    }
    size_t size = (size_t)info.size, got = 0;
    char *text = (char *)malloc(size ? size : 1);
    long n = 1;
    while (text && got < size && (n = h->read(h->context, f, text + got, size - got)) > 0)
        got += (size_t)n;
    unsigned long why = h->lastError(h->context);
    h->close(h->context, f);
    if (!text || got != size) {
        Say(run, 1, "%s: can't be read: %s\n", run->settingsPath, text ? ErrorText(run, why) : "no memory");
        free(text);
        return NULL;
    }
    *length = size;
    return text;
}

// The output must not replace anything this run reads or runs: by its name as
// Windows would take it, and by identity, so that no other spelling, link or
// hard link of one of them gets through.
int OutputIsRead(const BuildRun *run, BuildFileInfo *output)
{
    const BuildHost *h = run->host;
    const char *needed[BUILD_RUN_TOOLS + 2] = {run->stub, run->settingsPath};
    memcpy(needed + 2, run->tools, sizeof(run->tools));
    for (const char *path : needed)
        if (path && path[0] && SameOnWindows(path, run->output))
            return 1;
    for (size_t i = 0; i < run->count; i++)
        if (SameOnWindows(run->items[i].path, run->output))
            return 1;
    h->identify(h->context, run->output, 1, output);
    if (output->kind == BUILD_ABSENT)
        return 0;
    for (const char *path : needed) {
        BuildFileInfo id;
        if (path && path[0] && (h->identify(h->context, path, 1, &id), SameFile(&id, output)))
            return 1;
    }
    return 0;
}

// Items by stored name as Windows compares it, then by place, so that the
// first of two equal names comes first: a merge sort, as qsort is not stable.
void SortByName(const BuildItem **order, const BuildItem **spare, size_t count)
{
    for (size_t width = 1; width < count; width *= 2) {
        for (size_t left = 0; left < count; left += 2 * width) {
            size_t mid = left + width < count ? left + width : count;
            size_t right = mid + width < count ? mid + width : count;
            size_t a = left, b = mid, out = left;
            while (a < mid || b < right) {
                int takeA = b == right || (a < mid && BuildCompareNames(order[a]->name, order[b]->name) <= 0);
                spare[out++] = takeA ? order[a++] : order[b++];
            }
        }
        memcpy(order, spare, count * sizeof(*order));
    }
}

// The format's limits and the stub's rules, said here once for every builder:
// not more files than an archive holds, every stored name one the stub
// extracts, every file below 4 GB, and no name twice.
int CheckList(BuildRun *run)
{
    BuildError *error = &run->error;
    if (run->count > SFX_MAX_ENTRIES) {
        SetBuildError(error, BUILD_TOO_MANY_FILES, run->settings.filesLine, "[Files]", NULL);
        error->number = (unsigned long)run->count;
        error->limit = SFX_MAX_ENTRIES;
        return 0;
    }
    for (size_t i = 0; i < run->count; i++) {
        const BuildItem *item = &run->items[i];
        if (!SfxIsSafeStoredName(item->name))
            return Refuse(error, BUILD_NAME_REFUSED, item->line, "[Files]", item->path);
        if (item->info.size > 0xFFFFFFFFull)
            return Refuse(error, BUILD_FILE_TOO_BIG, item->line, "[Files]", item->path);
    }
    if (run->count < 2)
        return 1;
    const BuildItem **order = (const BuildItem **)malloc(2 * run->count * sizeof(*order));
    if (!order)
        return Refuse(error, BUILD_NO_MEMORY, run->settings.filesLine, "[Files]", NULL);
    for (size_t i = 0; i < run->count; i++)
        order[i] = &run->items[i];
    SortByName(order, order + run->count, run->count);
    const BuildItem *first = NULL, *again = NULL;
    for (size_t i = 1; i < run->count && !again; i++)
        if (BuildCompareNames(order[i - 1]->name, order[i]->name) == 0) {
            first = order[i - 1];
            again = order[i];
        }
    free(order);
    if (!again)
        return 1;
    SetBuildError(error, BUILD_NAME_TWICE, again->line, "[Files]", again->path);
    error->number = first->line;
    return 0;
}

// Each file opened once, the way the build reads it, and kept while the host
// allows: a file this user may not read fails here, with its line, and not
// half-way through the packing. Names and sizes are checked first, then, in
// list order, a file that can't be read or that the output would replace.
int CheckFiles(BuildRun *run, const BuildFileInfo *output)
{
    const BuildHost *h = run->host;
    unsigned outputLine = run->settings.keyLine[BUILD_KEY_OUTPUT];
    char *readable = (char *)calloc(run->count ? run->count : 1, 1);
    if (!readable)
        return Refuse(&run->error, BUILD_NO_MEMORY, run->settings.filesLine, "[Files]", NULL);
    run->totalBytes = 0;
    // A list over the format's limit is refused by its count alone, not opened.
    for (size_t i = 0; run->count <= SFX_MAX_ENTRIES && i < run->count; i++) {
        BuildItem *item = &run->items[i];
        BuildFileInfo info;
        BuildHandle f = h->open(h->context, item->path, &info);
        readable[i] = f != NULL;
        if (f) {
            item->info = info;
            if (i < h->keepOpen)
                item->file = f;
            else
                h->close(h->context, f);
        }
        run->totalBytes += item->info.size;
    }
    int ok = CheckList(run);
    for (size_t i = 0; ok && i < run->count; i++) {
        const BuildItem *item = &run->items[i];
        if (!readable[i])
            ok = Refuse(&run->error, BUILD_UNREADABLE, item->line, "[Files]", item->path);
        else if (SameFile(&item->info, output))
            ok = Refuse(&run->error, BUILD_OUTPUT_IS_READ, outputLine, "Output", run->settings.output);
    }
    free(readable);
    return ok;
}

// Opens the next file and makes its record head; a file past the ones kept
// open is opened now and must still be the file that was checked.
int OpenNext(BuildStream *s)
{
    const BuildHost *h = s->run->host;
    BuildItem *item = &s->run->items[s->next++];
    BuildHandle f = item->file;
    item->file = NULL;
    if (!f) {
        BuildFileInfo info;
        f = h->open(h->context, item->path, &info);
        if (!f) {
            s->error = h->lastError(h->context);
            return 0;
        }
        s->file = f;
        if (!SameFile(&info, &item->info) || info.size > 0xFFFFFFFFull)
            return 0;
        item->info = info;
    }
    s->file = f;
    SfxFileEntry entry;
    memset(&entry, 0, sizeof(entry));
    // Only the name and its terminator: the rest of the field stays zero, as
    // every byte of the output must come from the inputs.
    memcpy(entry.name, item->name, strnlen(item->name, sizeof(entry.name) - 1));
    entry.size = (uint32_t)item->info.size;
    SfxEncodeEntryHead(&entry, s->head);
    s->headLeft = sizeof(s->head);
    s->contentsLeft = entry.size;
    return 1;
}

void CloseStreamFile(BuildStream *s)
{
    if (s->file)
        s->run->host->close(s->run->host->context, s->file);
    s->file = NULL;
}

int CopyStub(BuildRun *run, BuildHandle out, unsigned long long *size)
{
    const BuildHost *h = run->host;
    BuildFileInfo info;
    BuildHandle stub = h->open(h->context, run->stub, &info);
    if (!stub) {
        Say(run, 1, "The build failed: the stub %s can't be read: %s\n", run->stub, LastErrorText(run));
        return 0;
    }
    // Piece by piece: a stub may be any file, however large.
    static unsigned char buffer[64 * 1024];
    long n;
    *size = 0;
    int written = 1;
    while (written && (n = h->read(h->context, stub, buffer, sizeof(buffer))) > 0) {
        written = h->write(h->context, out, buffer, (size_t)n);
        *size += (unsigned long long)n;
    }
    unsigned long why = h->lastError(h->context);
    h->close(h->context, stub);
    if (!written)
        Say(run, 1, "The build failed: the output could not be written (%s).\n", ErrorText(run, why));
    else if (n < 0)
        Say(run, 1, "The build failed: the stub %s can't be read: %s\n", run->stub, ErrorText(run, why));
    return written && n == 0;
}

// The packed block after the stub and a header of zeros, then the header
// filled in its place. Nonzero when the partial output is complete.
int WriteOutput(BuildRun *run, BuildHandle out, unsigned long long *stubSize, unsigned long long *packedSize)
{
    const BuildHost *h = run->host;
    uint8_t image[SFX_HEADER_SIZE];
    memset(image, 0, sizeof(image));
    if (!CopyStub(run, out, stubSize))
        return 0;
    if (!h->write(h->context, out, image, sizeof(image))) {
        Say(run, 1, "The build failed: the output could not be written (%s).\n", LastErrorText(run));
        return 0;
    }
    Say(run, 0, "Packing with %s ...\n", run->packingWith ? run->packingWith : "the compressor");
    BuildStream stream;
    memset(&stream, 0, sizeof(stream));
    stream.run = run;
    BuildPacked packed;
    memset(&packed, 0, sizeof(packed));
    int ok = h->pack(h->context, &stream, out, &packed);
    CloseStreamFile(&stream);
    if (stream.failed) {
        // The file and the line that named it, as the checks before would have told them.
        const BuildItem *item = &run->items[stream.next - 1];
        SetBuildError(&run->error, BUILD_UNREADABLE, item->line, "[Files]", item->path);
        char message[1024];
        FormatBuildError(&run->error, run->settingsPath, message, sizeof(message));
        Say(run, 1, "The build failed: %s while packing (%s).\n", message,
            stream.error ? ErrorText(run, stream.error) : "it changed while it was read");
        return 0;
    }
    if (!ok && packed.writeFailed) {
        Say(run, 1, "The build failed: the output could not be written (%s).\n", ErrorText(run, packed.error));
        return 0;
    }
    if (!ok || stream.added != run->count) {
        const char *why = packed.failure[0] ? packed.failure : "the files could not be packed";
        if (packed.error)
            Say(run, 1, "The build failed: %s (%s).\n", why, ErrorText(run, packed.error));
        else
            Say(run, 1, "The build failed: %s.\n", why);
        return 0;
    }
    if (packed.size > 0xFFFFFFFFull) {
        SetBuildError(&run->error, BUILD_PACKED_TOO_BIG, 0, NULL, NULL);
        run->error.number = (unsigned long)(packed.size >> 20);
        run->error.limit = 4096;
        char message[600];
        FormatBuildProblem(&run->error, message, sizeof(message));
        Say(run, 1, "The build failed: %s.\n", message);
        return 0;
    }
    SfxHeader header;
    FillSfxHeader(&run->settings, &header);
    header.packedFlag = 1;
    header.packedSize = (uint32_t)packed.size;
    header.packedCrc = packed.checksum;
    SfxEncodeHeader(&header, image);
    if (!h->writeAt(h->context, out, *stubSize, image, sizeof(image))) {
        Say(run, 1, "The build failed: the output could not be written (%s).\n", LastErrorText(run));
        return 0;
    }
    *packedSize = packed.size;
    return 1;
}

// Built under a name of its own beside the output, so that a failed build
// leaves an earlier output as it was and no partial file at all.
int Build(BuildRun *run)
{
    const BuildHost *h = run->host;
    unsigned long started = h->milliseconds(h->context);
    if (!h->mayReplace(h->context, run->output)) {
        Say(run, 1, "The build failed: %s can't be replaced: %s\n", run->output, LastErrorText(run));
        return BUILD_EXIT_FAILED;
    }
    char folder[BUILD_RUN_PATH], partial[BUILD_RUN_PATH];
    BuildFolderOf(run->output, h->separator, folder, sizeof(folder));
    BuildHandle out = h->createPartial(h->context, folder, partial, sizeof(partial));
    if (!out) {
        Say(run, 1, "The build failed: can't write in the folder %s: %s\n", folder, LastErrorText(run));
        return BUILD_EXIT_FAILED;
    }
    unsigned long long stubSize = 0, packedSize = 0;
    if (!WriteOutput(run, out, &stubSize, &packedSize)) {
        h->discard(h->context, out, partial);
        return BUILD_EXIT_FAILED;
    }
    if (!h->seal(h->context, out)) {
        Say(run, 1, "The build failed: the output could not be written (%s).\n", LastErrorText(run));
        h->discard(h->context, NULL, partial);
        return BUILD_EXIT_FAILED;
    }
    if (!h->rename(h->context, partial, run->output)) {
        Say(run, 1, "The build failed: %s can't be replaced: %s\n", run->output, LastErrorText(run));
        h->discard(h->context, NULL, partial);
        return BUILD_EXIT_FAILED;
    }
    char text[2048];
    FormatBuildSummary(run->output, (unsigned long)run->count, run->totalBytes, stubSize + SFX_HEADER_SIZE + packedSize,
                       stubSize, h->milliseconds(h->context) - started, text, sizeof(text));
    Say(run, 0, "%s", text);
    return BUILD_EXIT_BUILT;
}

// Every check on disk of the output and the files, before anything is
// written. A refusal leaves run->error set and returns BUILD_EXIT_SETTINGS.
int CheckOutputAndFiles(BuildRun *run, int fromFile)
{
    const BuildHost *h = run->host;
    const char *typed = run->settings.output;
    unsigned line = run->settings.keyLine[BUILD_KEY_OUTPUT];
    if (!typed[0])
        return BUILD_EXIT_FAILED;
    size_t n = h->resolve(h->context, run->base, typed, run->output, sizeof(run->output));
    if (n == 0 || n >= h->pathLimit)
        return TooLong(run, &run->error, line, "Output", typed, n ? n : strlen(typed)), BUILD_EXIT_SETTINGS;
    // The wizard's output folder is the one its page names; its build fails there as any write fails.
    char folder[BUILD_RUN_PATH];
    BuildFileInfo info;
    BuildFolderOf(run->output, h->separator, folder, sizeof(folder));
    h->identify(h->context, folder, 0, &info);
    if (fromFile && info.kind != BUILD_KIND_FOLDER)
        return Refuse(&run->error, BUILD_NO_OUTPUT_FOLDER, line, "Output", typed), BUILD_EXIT_SETTINGS;
    BuildFileInfo output;
    memset(&output, 0, sizeof(output));
    if (OutputIsRead(run, &output))
        return Refuse(&run->error, BUILD_OUTPUT_IS_READ, line, "Output", typed), BUILD_EXIT_SETTINGS;
    if (!CheckFiles(run, &output))
        return BUILD_EXIT_SETTINGS;
    return BUILD_EXIT_BUILT;
}

int ReportSettings(BuildRun *run)
{
    char message[1024];
    FormatBuildError(&run->error, run->settingsPath, message, sizeof(message));
    Say(run, 1, "%s\n", message);
    return BUILD_EXIT_SETTINGS;
}

}  // namespace

void BuildFolderOf(const char *path, char separator, char *dir, size_t size)
{
    snprintf(dir, size, "%s", path);
    char *slash = strrchr(dir, separator);
    if (slash)
        slash[slash == dir || (slash == dir + 2 && dir[1] == ':') ? 1 : 0] = '\0';
}

long BuildStreamRead(BuildStream *s, void *buffer, size_t size)
{
    const BuildHost *h = s->run->host;
    unsigned char *dst = (unsigned char *)buffer;
    size_t got = 0;
    while (got < size && !s->failed) {
        if (s->headLeft) {
            size_t n = s->headLeft < size - got ? s->headLeft : size - got;
            memcpy(dst + got, s->head + sizeof(s->head) - s->headLeft, n);
            s->headLeft -= n;
            got += n;
        } else if (s->contentsLeft) {
            size_t want = s->contentsLeft < size - got ? (size_t)s->contentsLeft : size - got;
            long n = h->read(h->context, s->file, dst + got, want);
            // A file cut short after its head was handed on can't be left out any more.
            if (n <= 0) {
                s->error = n < 0 ? h->lastError(h->context) : 0;
                s->failed = 1;
                break;
            }
            s->contentsLeft -= (unsigned long long)n;
            got += (size_t)n;
        } else if (s->file) {
            CloseStreamFile(s);
            s->added++;
        } else if (s->next < s->run->count) {
            s->failed = !OpenNext(s);
        } else {
            break;
        }
    }
    return s->failed ? -1 : (long)got;
}

int RunBuildFile(BuildRun *run)
{
    SetBuildError(&run->error, BUILD_OK, 0, NULL, NULL);
    size_t length = 0;
    char *text = ReadSettings(run, &length);
    if (!text)
        return run->error.problem ? ReportSettings(run) : BUILD_EXIT_SETTINGS;
    PendingLines pending = {NULL, 0, 0};
    int ok = ParseBuildSettings(text, length, &run->settings, KeepLine, &pending, &run->error);
    free(text);
    // Relative paths in the settings are the settings file's.
    BuildFolderOf(run->settingsPath, run->host->separator, run->base, sizeof(run->base));
    ok = ok && AddLines(run, &pending);
    for (size_t i = 0; i < pending.count; i++)
        free(pending.lines[i].text);
    free(pending.lines);
    int code = ok ? CheckOutputAndFiles(run, 1) : BUILD_EXIT_SETTINGS;
    if (code == BUILD_EXIT_SETTINGS)
        return ReportSettings(run);
    if (code != BUILD_EXIT_BUILT)
        return code;
    if (run->checkTools && !run->checkTools(run))
        return BUILD_EXIT_FAILED;
    char plan[2048];
    FormatBuildPlan(&run->settings, (unsigned long)run->count, run->totalBytes, run->output, plan, sizeof(plan));
    Say(run, 0, "%s", plan);
    return Build(run);
}

int RunBuildList(BuildRun *run, const char *const *paths, size_t count)
{
    SetBuildError(&run->error, BUILD_OK, 0, NULL, NULL);
    const BuildSettings *s = &run->settings;
    BuildChoices choices = {s->moduleType, s->destKind, s->customFolder, s->launchFile, s->output};
    if (!CheckBuildChoices(&choices, NULL, &run->error))
        return BUILD_EXIT_SETTINGS;
    BuildFileInfo unknown;
    memset(&unknown, 0, sizeof(unknown));
    for (size_t i = 0; i < count; i++)
        if (!Append(run, paths[i], 0, &unknown))
            return Refuse(&run->error, BUILD_NO_MEMORY, 0, "[Files]", NULL), BUILD_EXIT_SETTINGS;
    int code = CheckOutputAndFiles(run, 0);
    return code == BUILD_EXIT_BUILT ? Build(run) : code;
}

void FreeBuildRun(BuildRun *run)
{
    for (size_t i = 0; i < run->count; i++) {
        if (run->items[i].file)
            run->host->close(run->host->context, run->items[i].file);
        free(run->items[i].path);
    }
    free(run->items);
    run->items = NULL;
    run->count = run->capacity = 0;
}
