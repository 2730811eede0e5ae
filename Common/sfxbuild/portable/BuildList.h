// BuildList.h -- the checks every builder makes before it writes, where no disk is needed: the settings' choices and the list of files.
//
// Brolt, BroltBuild.exe and the native broltbuild call the same two functions,
// so that a setting or a list one of them refuses is refused by all three.
// Opening the files and comparing identities stays with each platform.
#pragma once

#include <stddef.h>

#include "BuildSettings.h"

// The settings the archive header carries that can make an archive that can't work.
struct BuildChoices {
    int moduleType;
    int destKind;
    const char *customFolder;
    const char *launchFile;
    const char *output;
};

// A setup module names a program; the program lies inside the destination; a
// custom folder does not begin with a destination mark; the output is a file,
// not a stream of one, under a name Windows gives a file. keyLine (NULL when there are no lines) gives the error its line.
int CheckBuildChoices(const BuildChoices *choices, const unsigned *keyLine, BuildError *error);

// The last part of a path names a file on Windows as written: no trailing dot
// or blank (which Windows drops) and no device name ("NUL", "con.exe"). A
// path that ends in a separator names no file and is left to the disk's checks.
int BuildIsWindowsFileName(const char *path);

struct BuildEntry {
    const char *name;         // the stored name, made once where the list is made
    const char *path;         // what a message shows
    unsigned line;            // where the file was named; 0 when nowhere
    unsigned long long size;
};

// <0, 0, >0 like strcmp, as the platform's file system compares names.
typedef int (*BuildNameOrder)(const char *a, const char *b);

// Not too many files, every stored name one the stub extracts, every file
// below the format's 4 GB, and no name twice as compareNames sees it.
int CheckBuildEntries(const BuildEntry *entries, size_t count, unsigned filesLine, BuildNameOrder compareNames,
                      BuildError *error);
