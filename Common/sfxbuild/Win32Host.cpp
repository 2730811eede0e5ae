// Win32Host.cpp -- Windows files, folders and the partial output for the build run; packing by KANTOR.EXE.
#include "Win32Host.h"

#include <stdio.h>
#include <string.h>

#include "Compressor.h"

namespace {

HANDLE Raw(BuildHandle h)
{
    return (HANDLE)h;
}

// NULL stands for no file in the run; CreateFileA's failure is INVALID_HANDLE_VALUE.
BuildHandle Handle(HANDLE h)
{
    return h == INVALID_HANDLE_VALUE ? NULL : (BuildHandle)h;
}

// The path as the settings file's folder sees it, without making that folder
// current: "\x" is the root of its drive, "D:x" relative only on its own drive.
size_t Resolve(void *, const char *base, const char *text, char *full, size_t size)
{
    int slash = text[0] == '\\' || text[0] == '/';
    int drive = text[0] && text[1] == ':';
    int sameDrive = drive && (base[0] | 0x20) == (text[0] | 0x20) && base[1] == ':';
    int rootOfBase = slash && !(text[1] == '\\' || text[1] == '/') && base[1] == ':';
    char joined[3 * MAX_PATH];
    if (rootOfBase)
        snprintf(joined, sizeof(joined), "%.2s%s", base, text);
    else if (slash || (drive && (text[2] == '\\' || text[2] == '/' || !sameDrive)))
        snprintf(joined, sizeof(joined), "%s", text);
    else
        snprintf(joined, sizeof(joined), "%s%s%s", base, base[0] && base[strlen(base) - 1] == '\\' ? "" : "\\",
                 sameDrive ? text + 2 : text);
    DWORD n = GetFullPathNameA(joined, (DWORD)size, full, NULL);
    return n;
}

// The system matches the pattern, 8.3 names too, as the user's own dir command would.
int List(void *, const char *folder, const char *pattern, BuildFoundName found, void *context)
{
    char path[MAX_PATH];
    size_t n = strlen(folder);
    int written = snprintf(path, sizeof(path), "%s%s%s", folder, n && folder[n - 1] == '\\' ? "" : "\\", pattern);
    if (written < 0 || (size_t)written >= sizeof(path))
        return 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int ok = 1;
    do
        ok = found(context, data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    while (ok && FindNextFileA(find, &data));
    FindClose(find);
    return ok;
}

// A Windows name is stored as the ANSI bytes it is.
int StoredName(void *, const char *name, char *out, size_t size)
{
    size_t n = strlen(name);
    if (n >= size)
        return 0;
    memcpy(out, name, n + 1);
    return 1;
}

void Describe(const BY_HANDLE_FILE_INFORMATION *data, BuildFileInfo *info)
{
    info->kind = data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? BUILD_KIND_FOLDER : BUILD_KIND_FILE;
    info->size = ((unsigned long long)data->nFileSizeHigh << 32) | data->nFileSizeLow;
    info->volume = data->dwVolumeSerialNumber;
    info->index = ((unsigned long long)data->nFileIndexHigh << 32) | data->nFileIndexLow;
}

// The attributes alone unless the identity is asked for: then a handle with
// no access asked for, so that a file open without sharing still tells who it
// is, whatever name (short, long, any letter case, a hard link) reaches it.
void Identify(void *, const char *path, int withIdentity, BuildFileInfo *info)
{
    memset(info, 0, sizeof(*info));
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &attributes))
        return;
    info->kind = attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? BUILD_KIND_FOLDER : BUILD_KIND_FILE;
    info->size = ((unsigned long long)attributes.nFileSizeHigh << 32) | attributes.nFileSizeLow;
    if (!withIdentity)
        return;
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, NULL);
    BY_HANDLE_FILE_INFORMATION data;
    if (h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &data))
        Describe(&data, info);
    else
        info->kind = BUILD_KIND_OTHER;
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

// Shared for reading only: nobody changes a file between its check and its packing.
BuildHandle Open(void *, const char *path, BuildFileInfo *info)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    BY_HANDLE_FILE_INFORMATION data;
    if (h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &data)) {
        Describe(&data, info);
        return Handle(h);
    }
    DWORD why = GetLastError();
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    SetLastError(why);
    return NULL;
}

long Read(void *, BuildHandle file, void *buffer, size_t size)
{
    DWORD got = 0, want = size > 0x40000000 ? 0x40000000 : (DWORD)size;
    return ReadFile(Raw(file), buffer, want, &got, NULL) ? (long)got : -1;
}

void Close(void *, BuildHandle file)
{
    CloseHandle(Raw(file));
}

// A read-only earlier output is one its owner keeps: MoveFileEx would refuse it too, after the whole build.
int MayReplace(void *, const char *output)
{
    DWORD attributes = GetFileAttributesA(output);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return 1;
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

BuildHandle CreatePartial(void *, const char *folder, char *path, size_t size)
{
    if (size < MAX_PATH || !GetTempFileNameA(folder, "SFX", 0, path))
        return NULL;
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD why = GetLastError();
        DeleteFileA(path);  // the name was already made on disk
        SetLastError(why);
    }
    return Handle(h);
}

int Write(void *, BuildHandle file, const void *data, size_t size)
{
    DWORD written = 0;
    return size == 0 || (WriteFile(Raw(file), data, (DWORD)size, &written, NULL) && written == size);
}

int WriteAt(void *context, BuildHandle file, unsigned long long offset, const void *data, size_t size)
{
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)offset;
    return SetFilePointerEx(Raw(file), at, NULL, FILE_BEGIN) && Write(context, file, data, size);
}

// Creation, last access and last write all the moment it is finished.
int Seal(void *, BuildHandle file)
{
    SYSTEMTIME now;
    FILETIME ft;
    GetSystemTime(&now);
    int ok = SystemTimeToFileTime(&now, &ft) && SetFileTime(Raw(file), &ft, &ft, &ft);
    DWORD why = GetLastError();
    ok = CloseHandle(Raw(file)) && ok;
    if (!ok)
        SetLastError(why);
    return ok;
}

int Rename(void *, const char *from, const char *to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

void Discard(void *, BuildHandle file, const char *path)
{
    if (file)
        CloseHandle(Raw(file));
    DeleteFileA(path);
}

int Pack(void *context, BuildStream *stream, BuildHandle out, BuildPacked *packed)
{
    return PackWithCompressor(((Win32Host *)context)->compressor, stream, Raw(out), packed);
}

unsigned long LastError(void *)
{
    return GetLastError();
}

const char *ErrorText(void *, unsigned long code)
{
    return SystemErrorText(code);
}

unsigned long Milliseconds(void *)
{
    return GetTickCount();
}

}  // namespace

const char *SystemErrorText(unsigned long code)
{
    static char text[300];
    text[0] = '\0';
    if (code == 0 || !FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0, text,
                                     sizeof(text), NULL)) {
        if (code != 0)
            snprintf(text, sizeof(text), "system error %lu", code);
        return text;
    }
    size_t n = strlen(text);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ' || text[n - 1] == '.'))
        text[--n] = '\0';
    return text;
}

void MakeWin32Host(Win32Host *w, const char *compressor, void (*say)(void *, int, const char *), BuildRun *run)
{
    memset(w, 0, sizeof(*w));
    snprintf(w->compressor, sizeof(w->compressor), "%s", compressor ? compressor : "");
    DWORD n = GetModuleFileNameA(NULL, w->self, sizeof(w->self));
    if (n == 0 || n >= sizeof(w->self))
        w->self[0] = '\0';
    BuildHost *h = &w->host;
    h->context = w;
    h->separator = '\\';
    h->pathLimit = MAX_PATH;
    // Under Wine every open file is a descriptor of the server's, within its
    // limit (often 1024): beyond these, a file is opened again when packed.
    h->keepOpen = 256;
    h->resolve = Resolve;
    h->list = List;
    h->storedName = StoredName;
    h->identify = Identify;
    h->open = Open;
    h->read = Read;
    h->close = Close;
    h->mayReplace = MayReplace;
    h->createPartial = CreatePartial;
    h->write = Write;
    h->writeAt = WriteAt;
    h->seal = Seal;
    h->rename = Rename;
    h->discard = Discard;
    h->pack = Pack;
    h->lastError = LastError;
    h->errorText = ErrorText;
    h->say = say;
    h->milliseconds = Milliseconds;
    run->host = h;
    // Replacing the compressor or this program would break this build or every later one.
    run->tools[0] = w->compressor;
    run->tools[1] = w->self;
}
