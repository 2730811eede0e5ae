// NativeInputs.cpp -- expanding the [Files] lines on Linux and checking the list the way BroltBuild.exe does.
#include "NativeInputs.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "BuildList.h"
#include "BuildNames.h"

namespace {

int Fail(BuildError *error, int problem, unsigned line, const char *where, const char *text)
{
    SetBuildError(error, problem, line, where, text);
    return 0;
}

int TooLong(BuildError *error, unsigned line, const char *text, size_t length)
{
    SetBuildError(error, BUILD_TOO_LONG, line, "[Files]", text);
    error->number = (unsigned long)length;
    error->limit = NATIVE_PATH - 1;
    return 0;
}

const char *LastPart(const char *path)
{
    const char *slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// Sorted by stored name as Windows compares it, then by the bytes, so that the
// order never depends on the order the directory lists its names in.
int ByName(const void *a, const void *b)
{
    const NativeFile *x = (const NativeFile *)a, *y = (const NativeFile *)b;
    int order = BuildCompareNames(x->name, y->name);
    return order ? order : strcmp(LastPart(x->path), LastPart(y->path));
}

int Append(NativeList *list, const char *path, unsigned line, uint32_t size)
{
    if (list->count == list->capacity) {
        size_t capacity = list->capacity ? list->capacity * 2 : 256;
        void *grown = realloc(list->files, capacity * sizeof(NativeFile));
        if (!grown)
            return 0;
        list->files = (NativeFile *)grown;
        list->capacity = capacity;
    }
    char *copy = strdup(path);
    if (!copy)
        return 0;
    NativeFile *f = &list->files[list->count++];
    memset(f, 0, sizeof(*f));
    f->path = copy;
    // An unwritable name stays empty; the check refuses it with its line.
    if (!BuildUtf8To1252(LastPart(copy), f->name, sizeof(f->name)))
        f->name[0] = '\0';
    f->line = line;
    f->size = size;
    list->totalBytes += size;
    return 1;
}

// One existing entry: a plain file goes in, anything else is an error.
int AddEntry(NativeList *list, unsigned line, const char *path, const char *text, BuildError *error)
{
    struct stat st;
    if (stat(path, &st) != 0) {
        int missing = errno == ENOENT || errno == ENOTDIR;
        // A link whose target is gone is there, yet can't be read.
        struct stat link;
        if (missing && lstat(path, &link) != 0)
            return Fail(error, BUILD_NO_SUCH_FILE, line, "[Files]", text);
        return Fail(error, BUILD_UNREADABLE, line, "[Files]", path);
    }
    if (S_ISDIR(st.st_mode))
        return Fail(error, BUILD_IS_FOLDER, line, "[Files]", text);
    if (!S_ISREG(st.st_mode))
        return Fail(error, BUILD_UNREADABLE, line, "[Files]", path);
    if ((unsigned long long)st.st_size > 0xFFFFFFFFull)
        return Fail(error, BUILD_FILE_TOO_BIG, line, "[Files]", path);
    if (!Append(list, path, line, (uint32_t)st.st_size))
        return Fail(error, BUILD_NO_MEMORY, line, "[Files]", text);
    return 1;
}

struct DirCloser {
    DIR *d;
    ~DirCloser() { if (d) closedir(d); }
};

int AddPattern(NativeList *list, unsigned line, const char *text, const char *full, size_t *foldersSkipped,
               BuildError *error)
{
    char dir[NATIVE_PATH];
    NativeFolderOf(full, dir, sizeof(dir));
    const char *rawPattern = LastPart(full);
    char pattern[NATIVE_PATH];
    if (!BuildUtf8To1252(rawPattern, pattern, sizeof(pattern)))
        snprintf(pattern, sizeof(pattern), "%s", rawPattern);
    size_t first = list->count;
    DirCloser d = {opendir(dir)};
    for (struct dirent *e = d.d ? readdir(d.d) : NULL; e; e = readdir(d.d)) {
        if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, ".."))
            continue;
        char name[NATIVE_PATH];
        if (!BuildUtf8To1252(e->d_name, name, sizeof(name)))
            snprintf(name, sizeof(name), "%s", e->d_name);
        if (!BuildWildcardMatch(pattern, name))
            continue;
        char path[NATIVE_PATH];
        size_t length = strlen(dir) + (strcmp(dir, "/") ? 1 : 0) + strlen(e->d_name);
        if (length >= sizeof(path))
            return TooLong(error, line, e->d_name, length);
        snprintf(path, sizeof(path), "%s%s%s", dir, strcmp(dir, "/") ? "/" : "", e->d_name);
        struct stat st;
        if (stat(path, &st) == 0 && S_ISDIR(st.st_mode)) {
            (*foldersSkipped)++;
            continue;
        }
        if (!AddEntry(list, line, path, text, error))
            return 0;
    }
    if (list->count == first)
        return Fail(error, BUILD_NO_MATCH, line, "[Files]", text);
    qsort(list->files + first, list->count - first, sizeof(NativeFile), ByName);
    return 1;
}

}  // namespace

int GetNativeIdentity(const char *path, NativeIdentity *id)
{
    struct stat st;
    memset(id, 0, sizeof(*id));
    if (stat(path, &st) != 0)
        return 0;
    id->device = st.st_dev;
    id->inode = st.st_ino;
    return 1;
}

int NativeResolve(const char *base, const char *text, char *full, size_t size)
{
    char joined[2 * NATIVE_PATH + 2];
    if (strlen(base) + strlen(text) + 2 > sizeof(joined))
        return 0;
    snprintf(joined, sizeof(joined), "%s%s%s", text[0] == '/' || text[0] == '\\' ? "" : base,
             text[0] == '/' || text[0] == '\\' ? "" : "/", text);
    for (char *c = joined; *c; c++)
        if (*c == '\\')
            *c = '/';
    // Component by component into full; ".." takes the last one back off.
    size_t used = 0;
    const char *p = joined;
    while (*p) {
        while (*p == '/')
            p++;
        const char *end = p;
        while (*end && *end != '/')
            end++;
        size_t n = (size_t)(end - p);
        if (n == 0 || (n == 1 && p[0] == '.')) {
        } else if (n == 2 && p[0] == '.' && p[1] == '.') {
            while (used > 0 && full[used - 1] != '/')
                used--;
            if (used > 0)
                used--;
        } else {
            if (used + 1 + n + 1 > size)
                return 0;
            full[used++] = '/';
            memcpy(full + used, p, n);
            used += n;
        }
        p = end;
    }
    if (used == 0) {
        if (size < 2)
            return 0;
        full[used++] = '/';
    }
    full[used] = '\0';
    return 1;
}

void NativeFolderOf(const char *path, char *dir, size_t size)
{
    snprintf(dir, size, "%s", path);
    char *slash = strrchr(dir, '/');
    if (slash)
        slash[slash == dir ? 1 : 0] = '\0';
}

int AddNativeLine(NativeList *list, const char *base, unsigned line, const char *text, size_t *foldersSkipped,
                  BuildError *error)
{
    char full[NATIVE_PATH];
    if (!NativeResolve(base, text, full, sizeof(full)))
        return TooLong(error, line, text, strlen(base) + 1 + strlen(text));
    if (BuildHasWildcard(full))
        return AddPattern(list, line, text, full, foldersSkipped, error);
    return AddEntry(list, line, full, text, error);
}

int CheckNativeList(const NativeList *list, unsigned filesLine, const NativeIdentity *output, unsigned outputLine,
                    const char *outputText, BuildError *error)
{
    BuildEntry *entries = (BuildEntry *)calloc(list->count ? list->count : 1, sizeof(BuildEntry));
    if (!entries)
        return Fail(error, BUILD_NO_MEMORY, filesLine, "[Files]", NULL);
    for (size_t i = 0; i < list->count; i++)
        entries[i] = {list->files[i].name, list->files[i].path, list->files[i].line, list->files[i].size};
    int ok = CheckBuildEntries(entries, list->count, filesLine, BuildCompareNames, error);
    free(entries);
    if (!ok)
        return 0;

    // Opened the way the build opens them, so that a file this user may not
    // read fails here, with its line, and not half-way through the packing.
    for (size_t i = 0; i < list->count; i++) {
        const NativeFile *f = &list->files[i];
        int fd = open(f->path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return Fail(error, BUILD_UNREADABLE, f->line, "[Files]", f->path);
        struct stat st;
        int same = output && fstat(fd, &st) == 0 && st.st_dev == output->device && st.st_ino == output->inode;
        close(fd);
        if (same)
            return Fail(error, BUILD_OUTPUT_IS_READ, outputLine, "Output", outputText);
    }
    return 1;
}

void FreeNativeList(NativeList *list)
{
    for (size_t i = 0; i < list->count; i++)
        free(list->files[i].path);
    free(list->files);
    memset(list, 0, sizeof(*list));
}
