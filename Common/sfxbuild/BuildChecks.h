// BuildChecks.h -- what a build verifies on disk: which file a name reaches, and the packed block.
#pragma once

#include <windows.h>

// An existing file as the file system knows it, whatever name (short, long,
// any letter case, \\?\, a mapped drive, a hard link) reaches it.
struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

int GetFileIdentity(const char *path, FileIdentity *id);
int SameFile(const FileIdentity *a, const FileIdentity *b);

// Nonzero when the packed file is one complete zlib stream, with nothing after
// it, that expands to exactly the bytes of the work file.
int PackedBlockMatches(const char *packedPath, const char *workPath);
