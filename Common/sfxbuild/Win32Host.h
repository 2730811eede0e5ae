// Win32Host.h -- the build run's host calls on Windows: ANSI paths, FindFirstFile, packing by KANTOR.EXE.
#pragma once

#include <windows.h>

#include "BuildRun.h"

struct Win32Host {
    BuildHost host;
    char compressor[MAX_PATH];
    char self[MAX_PATH];
};

// Fills the table, with say (NULL: the run says nothing), and gives the run
// the files it must not replace besides the stub: the compressor and this program.
void MakeWin32Host(Win32Host *w, const char *compressor, void (*say)(void *, int, const char *), BuildRun *run);

// The system's text for an error code, without its line break.
const char *SystemErrorText(unsigned long code);
