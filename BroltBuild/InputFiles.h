// InputFiles.h -- the [Files] lines of a settings file turned into the files to store, each checked before the build.
#pragma once

#include <windows.h>

#include "BuildSettings.h"

struct InputFile {
    char *path;        // full path, on the process heap
    const char *name;  // the stored name: the text after the path's last backslash
    unsigned line;     // the settings line that named it
    DWORD size;
};

struct InputList {
    InputFile *files;
    size_t count;
    size_t capacity;
    unsigned long long totalBytes;
};

// An existing file as the file system knows it, whatever name (short, long,
// any letter case, a link) reaches it.
struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

int GetFileIdentity(const char *path, FileIdentity *id);
int SameFile(const FileIdentity *a, const FileIdentity *b);

// Full path of a path from the settings, taken from the current directory
// (the settings file's folder); 0 when it would not fit in MAX_PATH.
int ResolvePath(const char *text, char full[MAX_PATH]);

// Adds the files one [Files] line names; a pattern's matches in name order.
// *foldersSkipped counts the folders a pattern matched: the archive holds files only.
int AddInputLine(InputList *list, unsigned line, const char *text, size_t *foldersSkipped, BuildError *error);

// Not too many files, every stored name once and one the stub extracts, every
// file readable now, and none of them the output (when it exists already).
int CheckInputList(const InputList *list, unsigned filesLine, const FileIdentity *output, unsigned outputLine,
                   const char *outputText, BuildError *error);

void FreeInputList(InputList *list);
