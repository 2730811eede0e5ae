// InputFiles.h -- the [Files] lines of a settings file turned into the files to store, each checked before the build.
#pragma once

#include <windows.h>

#include "BuildSettings.h"
#include "SfxBuild.h"

// The files to store, in storing order; each path on the process heap, each
// stored name the text after its path's last backslash.
struct InputList {
    SfxBuildFile *files;
    size_t count;
    size_t capacity;
    unsigned long long totalBytes;
};

// Full path of a path from the settings, taken from base (the settings file's
// folder) without making it current; 0 when it would not fit in MAX_PATH.
int ResolvePath(const char *base, const char *text, char full[MAX_PATH]);

// Adds the files one [Files] line names; a pattern's matches in name order.
// *foldersSkipped counts the folders a pattern matched: the archive holds files only.
int AddInputLine(InputList *list, const char *base, unsigned line, const char *text, size_t *foldersSkipped,
                 BuildError *error);

void FreeInputList(InputList *list);
