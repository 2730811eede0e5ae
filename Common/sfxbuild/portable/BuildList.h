// BuildList.h -- the checks of the settings' choices every builder makes before it writes, where no disk is needed.
//
// The settings reader and the wizard's build call the same function, so that
// a setting one builder refuses is refused by all three. The list of files is
// checked by the build run (BuildRun.h).
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
