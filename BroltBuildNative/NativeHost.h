// NativeHost.h -- the build run's host calls on Linux: POSIX files and folders, KANTOR's blocks in process.
//
// The decisions that make a Linux build store what BroltBuild.exe stores:
// '\' and '/' both separate folders; a pattern's last part matches names
// without case (Windows-1252 letters); the stored name is the file's UTF-8
// name in Windows-1252, and a name it can't be written in is refused by the
// stored-name rule; links are followed; a folder a pattern matches is left out
// and any other kind of entry (a pipe, a device, a broken link) can't be read.
#pragma once

#include "BuildRun.h"

// The host's table; a partial output is removed even when a signal stops the run.
void MakeNativeHost(BuildHost *host);

// A path made full from base: '\' read as '/', "." and ".." taken away as
// written, without asking the disk. Its length, even when it does not fit in size.
size_t NativeResolve(const char *base, const char *text, char *full, size_t size);
