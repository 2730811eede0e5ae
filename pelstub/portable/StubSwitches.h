// StubSwitches.h -- the stub's command line: /s (silent) and /d:<dir> (destination).
#pragma once

#include <stddef.h>

enum { STUB_PATH = 260 };

struct StubSwitches {
    int silent;             // /s: no dialogs, the archive's defaults
    int haveDestination;    // /d:<dir> was given
    char destination[STUB_PATH];
};

// Reads the switches after the program name (TextSkipProgramName),
// case-insensitive, '-' or '/' in front; quotes group blanks ("/d:C:\My Dir"
// or /d:"C:\My Dir"). Unknown words are ignored. Fails (0) when a /d:
// directory is empty or does not fit STUB_PATH.
int StubParseSwitches(const char *arguments, StubSwitches *switches);
