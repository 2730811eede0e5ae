// InputFiles.cpp -- expanding the [Files] lines into the files to store, each named by its line, so that nothing is left out silently.
#include "InputFiles.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "BuildChecks.h"
#include "BuildNames.h"

namespace {

int ByName(const void *a, const void *b)
{
    const SfxBuildFile *x = (const SfxBuildFile *)a, *y = (const SfxBuildFile *)b;
    int order = BuildCompareNames(x->name, y->name);
    return order ? order : strcmp(x->name, y->name);
}

int Append(InputList *list, const char *path, unsigned line, DWORD size)
{
    if (list->count == list->capacity) {
        size_t capacity = list->capacity ? list->capacity * 2 : 256;
        void *grown = list->files ? HeapReAlloc(GetProcessHeap(), 0, list->files, capacity * sizeof(SfxBuildFile))
                                  : HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(SfxBuildFile));
        if (!grown)
            return 0;
        list->files = (SfxBuildFile *)grown;
        list->capacity = capacity;
    }
    size_t length = strlen(path);
    char *copy = (char *)HeapAlloc(GetProcessHeap(), 0, length + 1);
    if (!copy)
        return 0;
    memcpy(copy, path, length + 1);
    // The stored name is made here, once, for the checks and the build alike.
    const char *slash = strrchr(copy, '\\');
    list->files[list->count++] = {copy, slash ? slash + 1 : copy, line};
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
    qsort(list->files + first, list->count - first, sizeof(SfxBuildFile), ByName);
    return 1;
}

}  // namespace

DWORD FullPathFrom(const char *base, const char *text, char *full, DWORD size)
{
    int slash = text[0] == '\\' || text[0] == '/';
    int drive = text[0] && text[1] == ':';
    int sameDrive = drive && (base[0] | 0x20) == (text[0] | 0x20) && base[1] == ':';
    int rootOfBase = slash && !(text[1] == '\\' || text[1] == '/') && base[1] == ':';
    char joined[3 * MAX_PATH];
    if (rootOfBase)
        snprintf(joined, sizeof(joined), "%.2s%s", base, text);  // the root of the settings file's drive
    else if (slash || (drive && (text[2] == '\\' || text[2] == '/' || !sameDrive)))
        snprintf(joined, sizeof(joined), "%s", text);
    else
        snprintf(joined, sizeof(joined), "%s%s%s", base, base[strlen(base) - 1] == '\\' ? "" : "\\",
                 sameDrive ? text + 2 : text);
    return GetFullPathNameA(joined, size, full, NULL);
}

int ResolvePath(const char *base, const char *text, char full[MAX_PATH])
{
    DWORD n = FullPathFrom(base, text, full, MAX_PATH);
    return n != 0 && n < MAX_PATH;
}

int AddInputLine(InputList *list, const char *base, unsigned line, const char *text, size_t *foldersSkipped,
                 BuildError *error)
{
    char full[MAX_PATH];
    if (!ResolvePath(base, text, full) || !strrchr(full, '\\')) {
        char longer[4 * MAX_PATH];
        DWORD n = FullPathFrom(base, text, longer, sizeof(longer));
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

void FreeInputList(InputList *list)
{
    for (size_t i = 0; i < list->count; i++)
        HeapFree(GetProcessHeap(), 0, (char *)list->files[i].path);
    if (list->files)
        HeapFree(GetProcessHeap(), 0, list->files);
    memset(list, 0, sizeof(*list));
}
