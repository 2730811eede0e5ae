// SfxBuild.cpp -- the build driver: every check first, then the settings and the file list into a writer.
#include "SfxBuild.h"

#include <windows.h>
#include <string.h>

#include "BuildChecks.h"
#include "BuildHeader.h"
#include "BuildList.h"
#include "BuildNames.h"
#include "Owners.h"
#include "SfxWriter.h"

namespace {

// Settings texts are fixed buffers; never read past one even if it lacks its terminator.
const char *Terminated(const char *text, size_t size, char *copy)
{
    size_t n = 0;
    while (n + 1 < size && text[n] != '\0')
        n++;
    memcpy(copy, text, n);
    copy[n] = '\0';
    return copy;
}

int Refuse(BuildError *error, int problem, unsigned line, const char *where, const char *text)
{
    SetBuildError(error, problem, line, where, text);
    return 0;
}

// Replacing the stub, the compressor or this program would break this build or every later one.
int OutputIsTool(const SfxBuildJob *job, const FileIdentity *output)
{
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, self, sizeof(self));
    const char *tools[] = {job->stub, job->compressor, n && n < sizeof(self) ? self : NULL, job->alsoRead};
    for (const char *tool : tools) {
        FileIdentity id;
        if (tool && GetFileIdentity(tool, &id) && SameFile(&id, output))
            return 1;
    }
    return 0;
}

// What opening a listed file the way the build opens it found.
struct Opened {
    int readable;
    FileIdentity id;
};

void OpenEach(const SfxBuildJob *job, Opened *opened, BuildEntry *entries)
{
    for (size_t i = 0; i < job->count; i++) {
        const SfxBuildFile *f = &job->files[i];
        entries[i] = {f->name, f->path, f->line, 0};
        FileHandle h(CreateFileA(f->path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 NULL));
        BY_HANDLE_FILE_INFORMATION info;
        opened[i].readable = h.IsValid() && GetFileInformationByHandle(h, &info);
        if (!opened[i].readable)
            continue;
        entries[i].size = ((unsigned long long)info.nFileSizeHigh << 32) | info.nFileSizeLow;
        opened[i].id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    }
}

// The list: names and sizes first, then, in list order, a file that can't be
// read or that the output would replace.
int CheckFiles(const SfxBuildJob *job, const FileIdentity *output, BuildError *error)
{
    size_t n = job->count ? job->count : 1;
    HeapBlock<Opened> opened(n * sizeof(Opened));
    HeapBlock<BuildEntry> entries(n * sizeof(BuildEntry));
    if (!opened || !entries)
        return Refuse(error, BUILD_NO_MEMORY, 0, "[Files]", NULL);
    OpenEach(job, opened, entries);
    if (!CheckBuildEntries(entries, job->count, 0, BuildCompareNames, error))
        return 0;
    for (size_t i = 0; i < job->count; i++) {
        if (!opened[i].readable)
            return Refuse(error, BUILD_UNREADABLE, job->files[i].line, "[Files]", job->files[i].path);
        if (output && SameFile(&opened[i].id, output))
            return Refuse(error, BUILD_OUTPUT_IS_READ, 0, "Output", job->output);
    }
    return 1;
}

}  // namespace

int CheckSfxBuild(const SfxBuildJob *job, BuildError *error)
{
    SetBuildError(error, BUILD_OK, 0, NULL, NULL);
    if (!job || !job->settings || !job->output || !job->stub || !job->compressor || (job->count && !job->files))
        return Refuse(error, BUILD_NO_MEMORY, 0, NULL, NULL);
    const BuildSettings *s = job->settings;
    BuildChoices choices = {s->moduleType, s->destKind, s->customFolder, s->launchFile, job->output};
    if (!CheckBuildChoices(&choices, NULL, error))
        return 0;
    FileIdentity output;
    int exists = GetFileIdentity(job->output, &output);
    if (exists && OutputIsTool(job, &output))
        return Refuse(error, BUILD_OUTPUT_IS_READ, 0, "Output", job->output);
    return CheckFiles(job, exists ? &output : NULL, error);
}

int BuildSfxFiles(const SfxBuildJob *job, BuildError *error)
{
    if (!CheckSfxBuild(job, error))
        return 0;
    SfxWriter *writer = SfxWriterCreate(job->output);
    if (!writer)
        return 0;
    SfxWriterSetTools(writer, job->stub, job->compressor);
    FillSfxHeader(job->settings, &writer->header);
    // A file that went away or changed after the checks would be missing from
    // the archive without a word: the first one stops the build, by its name.
    int ok = 1;
    for (size_t i = 0; ok && i < job->count; i++) {
        SfxWriterAddFile(writer, job->files[i].path, job->files[i].name);
        ok = writer->filesAdded == i + 1;
        if (!ok && (writer->readFailed || !writer->workWriteFailed))
            SetBuildError(error, BUILD_UNREADABLE, job->files[i].line, "[Files]", job->files[i].path);
    }
    ok = ok && SfxWriterFinish(writer);
    if (writer->packedTooBig) {
        SetBuildError(error, BUILD_PACKED_TOO_BIG, 0, NULL, NULL);
        error->number = (unsigned long)(writer->packedTooBig >> 20);
        error->limit = 4096;
    }
    SfxWriterDestroy(writer);
    return ok;
}

int BuildSfx(const SfxSettingsRecord *settings, const char *stub, const char *compressor, BuildError *error)
{
    SetBuildError(error, BUILD_OK, 0, NULL, NULL);
    if (!settings)
        return 0;
    BuildSettings build;
    SfxSettingsToBuild(settings, &build);
    const char *typed = build.output;
    char output[MAX_PATH];
    // Checked as typed: the full path below has lost a trailing dot already.
    if (!BuildIsWindowsFileName(typed))
        return Refuse(error, BUILD_OUTPUT_NAME_REFUSED, 0, "Output", typed);
    DWORD n = GetFullPathNameA(typed, sizeof(output), output, NULL);
    if (!typed[0] || n == 0 || n >= sizeof(output))
        return 0;
    // The stored name is the text after the last backslash, made here once for the checks and the writer.
    char paths[SFX_MAX_FILES][sizeof(settings->files[0])];
    SfxBuildFile files[SFX_MAX_FILES];
    size_t count = 0;
    for (int i = 0; i < SFX_MAX_FILES; i++) {
        const char *path = Terminated(settings->files[i], sizeof(settings->files[i]), paths[count]);
        if (!path[0])
            continue;
        const char *slash = strrchr(path, '\\');
        files[count] = {path, slash ? slash + 1 : path, 0};
        count++;
    }
    SfxBuildJob job = {&build, output, files, count, stub, compressor, NULL};
    if (!CheckSfxBuild(&job, error))
        return 0;
    // Built under a name of its own beside the output, as BroltBuild.exe builds:
    // a build that fails half-way leaves an earlier output as it was.
    char dir[MAX_PATH];
    lstrcpynA(dir, output, sizeof(dir));
    char *slash = strrchr(dir, '\\');
    if (!slash)
        return 0;
    slash[slash == dir + 2 && dir[1] == ':' ? 1 : 0] = '\0';
    TempFile partial;
    if (!partial.Create(dir, "SFX"))
        return 0;
    job.output = partial;
    if (!BuildSfxFiles(&job, error) || !MoveFileExA(partial, output, MOVEFILE_REPLACE_EXISTING))
        return 0;
    partial.Keep();
    return 1;
}
