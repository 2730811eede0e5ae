// NativeInputs.h -- the [Files] lines of a settings file as Linux files, each checked before the build.
//
// The decisions that make a Linux build store what BroltBuild.exe stores:
// '\' and '/' both separate folders; a pattern's last part matches names
// without case (Windows-1252 letters); the stored name is the file's UTF-8
// name in Windows-1252, and a name it can't be written in is refused by the
// stored-name rule; links are followed; a folder a pattern matches is left out
// and any other kind of entry (a pipe, a device, a broken link) can't be read.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <sys/types.h>

#include "BuildSettings.h"
#include "SfxFormat.h"

enum { NATIVE_PATH = 4096 };

struct NativeFile {
    char *path;                     // full path, on the heap
    char name[SFX_PATH_FIELD];      // the stored name in Windows-1252; "" when it can't be written so
    unsigned line;                  // the settings line that named it
    uint32_t size;
};

struct NativeList {
    NativeFile *files;
    size_t count;
    size_t capacity;
    unsigned long long totalBytes;
};

// What a file is, whatever name or link reaches it.
struct NativeIdentity {
    dev_t device;
    ino_t inode;
};

int GetNativeIdentity(const char *path, NativeIdentity *id);

// A settings path made full from base (the settings file's folder): '\' read
// as '/', "." and ".." taken away as written, without asking the disk. 0 when
// the result would not fit in size bytes.
int NativeResolve(const char *base, const char *text, char *full, size_t size);

// "/a/b/c.ini" -> "/a/b"; "/c.ini" -> "/".
void NativeFolderOf(const char *path, char *dir, size_t size);

// Adds the files one [Files] line names (text as written, base the settings
// file's folder); a pattern's matches in name order.
int AddNativeLine(NativeList *list, const char *base, unsigned line, const char *text, size_t *foldersSkipped,
                  BuildError *error);

// Not too many files, every stored name once and one the stub extracts, every
// file readable now, and none of them the output (when it exists already).
int CheckNativeList(const NativeList *list, unsigned filesLine, const NativeIdentity *output, unsigned outputLine,
                    const char *outputText, BuildError *error);

void FreeNativeList(NativeList *list);
