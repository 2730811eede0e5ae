// InputFiles.cpp -- expanding the [Files] lines and checking the list, so that nothing is left out silently.
#include "InputFiles.h"

#include <stdlib.h>
#include <string.h>

#include "SfxFormat.h"

namespace {

// Names compare as the file system does: letters of the ANSI code page without case.
const unsigned char *UpperTable()
{
    static unsigned char table[256];
    static int made;
    if (!made) {
        for (int i = 0; i < 256; i++)
            table[i] = (unsigned char)i;
        CharUpperBuffA((char *)table + 1, 255);
        made = 1;
    }
    return table;
}

int CompareNames(const char *a, const char *b)
{
    const unsigned char *upper = UpperTable();
    const unsigned char *x = (const unsigned char *)a, *y = (const unsigned char *)b;
    while (*x && upper[*x] == upper[*y]) {
        x++;
        y++;
    }
    return (int)upper[*x] - (int)upper[*y];
}

int ByName(const void *a, const void *b)
{
    const InputFile *x = (const InputFile *)a, *y = (const InputFile *)b;
    int order = CompareNames(x->name, y->name);
    return order ? order : strcmp(x->name, y->name);
}

// Sorted by name, then by list position, so that the first of two equal names comes first.
int ByNameThenPlace(const void *a, const void *b)
{
    const InputFile *x = *(const InputFile *const *)a, *y = *(const InputFile *const *)b;
    int order = CompareNames(x->name, y->name);
    return order ? order : (x < y ? -1 : x > y);
}

int Append(InputList *list, const char *path, unsigned line, DWORD size)
{
    if (list->count == list->capacity) {
        size_t capacity = list->capacity ? list->capacity * 2 : 256;
        void *grown = list->files ? HeapReAlloc(GetProcessHeap(), 0, list->files, capacity * sizeof(InputFile))
                                  : HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(InputFile));
        if (!grown)
            return 0;
        list->files = (InputFile *)grown;
        list->capacity = capacity;
    }
    size_t length = strlen(path);
    char *copy = (char *)HeapAlloc(GetProcessHeap(), 0, length + 1);
    if (!copy)
        return 0;
    memcpy(copy, path, length + 1);
    InputFile *f = &list->files[list->count++];
    f->path = copy;
    const char *slash = strrchr(copy, '\\');
    f->name = slash ? slash + 1 : copy;
    f->line = line;
    f->size = size;
    list->totalBytes += size;
    return 1;
}

int Fail(BuildError *error, int problem, unsigned line, const char *where, const char *text)
{
    SetBuildError(error, problem, line, where, text);
    return 0;
}

int AddPattern(InputList *list, unsigned line, const char *text, const char *full, size_t *foldersSkipped,
               BuildError *error)
{
    char dir[MAX_PATH];
    lstrcpynA(dir, full, sizeof(dir));
    *strrchr(dir, '\\') = '\0';
    size_t first = list->count;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(full, &found);
    if (find != INVALID_HANDLE_VALUE) {
        int ok = 1;
        do {
            if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, ".."))
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                (*foldersSkipped)++;
                continue;
            }
            char path[MAX_PATH];
            if (lstrlenA(dir) + 1 + lstrlenA(found.cFileName) >= MAX_PATH) {
                SetBuildError(error, BUILD_TOO_LONG, line, "[Files]", found.cFileName);
                error->number = (unsigned long)(lstrlenA(dir) + 1 + lstrlenA(found.cFileName));
                error->limit = MAX_PATH - 1;
                ok = 0;
                break;
            }
            wsprintfA(path, "%s\\%s", dir, found.cFileName);
            if (found.nFileSizeHigh != 0) {
                ok = Fail(error, BUILD_FILE_TOO_BIG, line, "[Files]", path);
                break;
            }
            if (!Append(list, path, line, found.nFileSizeLow)) {
                ok = Fail(error, BUILD_NO_MEMORY, line, "[Files]", text);
                break;
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
        if (!ok)
            return 0;
    }
    if (list->count == first)
        return Fail(error, BUILD_NO_MATCH, line, "[Files]", text);
    // The file system's own order differs between FAT and NTFS; a build should not.
    qsort(list->files + first, list->count - first, sizeof(InputFile), ByName);
    return 1;
}

}  // namespace

int GetFileIdentity(const char *path, FileIdentity *id)
{
    memset(id, 0, sizeof(*id));
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (ok) {
        id->volume = info.dwVolumeSerialNumber;
        id->indexHigh = info.nFileIndexHigh;
        id->indexLow = info.nFileIndexLow;
    }
    return ok;
}

int SameFile(const FileIdentity *a, const FileIdentity *b)
{
    return a->volume == b->volume && a->indexHigh == b->indexHigh && a->indexLow == b->indexLow;
}

int ResolvePath(const char *text, char full[MAX_PATH])
{
    DWORD n = GetFullPathNameA(text, MAX_PATH, full, NULL);
    return n != 0 && n < MAX_PATH;
}

int AddInputLine(InputList *list, unsigned line, const char *text, size_t *foldersSkipped, BuildError *error)
{
    char full[MAX_PATH];
    if (!ResolvePath(text, full) || !strrchr(full, '\\')) {
        char longer[4 * MAX_PATH];
        DWORD n = GetFullPathNameA(text, sizeof(longer), longer, NULL);
        SetBuildError(error, BUILD_TOO_LONG, line, "[Files]", text);
        error->number = n ? n : (unsigned long)strlen(text);
        error->limit = MAX_PATH - 1;
        return 0;
    }
    if (BuildHasWildcard(full))
        return AddPattern(list, line, text, full, foldersSkipped, error);

    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(full, GetFileExInfoStandard, &data))
        return Fail(error, BUILD_NO_SUCH_FILE, line, "[Files]", text);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Fail(error, BUILD_IS_FOLDER, line, "[Files]", text);
    if (data.nFileSizeHigh != 0)
        return Fail(error, BUILD_FILE_TOO_BIG, line, "[Files]", text);
    if (!Append(list, full, line, data.nFileSizeLow))
        return Fail(error, BUILD_NO_MEMORY, line, "[Files]", text);
    return 1;
}

int CheckInputList(const InputList *list, unsigned filesLine, const FileIdentity *output, unsigned outputLine,
                   const char *outputText, BuildError *error)
{
    if (list->count > SFX_MAX_ENTRIES) {
        SetBuildError(error, BUILD_TOO_MANY_FILES, filesLine, "[Files]", NULL);
        error->number = (unsigned long)list->count;
        error->limit = SFX_MAX_ENTRIES;
        return 0;
    }
    for (size_t i = 0; i < list->count; i++)
        if (!SfxIsSafeStoredName(list->files[i].name))
            return Fail(error, BUILD_NAME_REFUSED, list->files[i].line, "[Files]", list->files[i].path);

    if (list->count > 1) {
        const InputFile **order = (const InputFile **)HeapAlloc(GetProcessHeap(), 0, list->count * sizeof(*order));
        if (!order)
            return Fail(error, BUILD_NO_MEMORY, filesLine, "[Files]", NULL);
        for (size_t i = 0; i < list->count; i++)
            order[i] = &list->files[i];
        qsort(order, list->count, sizeof(*order), ByNameThenPlace);
        const InputFile *first = NULL, *again = NULL;
        for (size_t i = 1; i < list->count && !again; i++)
            if (CompareNames(order[i - 1]->name, order[i]->name) == 0) {
                first = order[i - 1];
                again = order[i];
            }
        HeapFree(GetProcessHeap(), 0, order);
        if (again) {
            SetBuildError(error, BUILD_NAME_TWICE, again->line, "[Files]", again->path);
            error->number = first->line;
            return 0;
        }
    }

    // Opened the way the build opens them: a file another program holds shut
    // would otherwise be missing from the archive.
    for (size_t i = 0; i < list->count; i++) {
        const InputFile *f = &list->files[i];
        HANDLE h = CreateFileA(f->path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               NULL);
        if (h == INVALID_HANDLE_VALUE)
            return Fail(error, BUILD_UNREADABLE, f->line, "[Files]", f->path);
        BY_HANDLE_FILE_INFORMATION info;
        int same = output && GetFileInformationByHandle(h, &info) && info.dwVolumeSerialNumber == output->volume &&
                   info.nFileIndexHigh == output->indexHigh && info.nFileIndexLow == output->indexLow;
        CloseHandle(h);
        if (same)
            return Fail(error, BUILD_OUTPUT_IS_READ, outputLine, "Output", outputText);
    }
    return 1;
}

void FreeInputList(InputList *list)
{
    for (size_t i = 0; i < list->count; i++)
        HeapFree(GetProcessHeap(), 0, list->files[i].path);
    if (list->files)
        HeapFree(GetProcessHeap(), 0, list->files);
    memset(list, 0, sizeof(*list));
}
