// BuildChecks.h -- what a build verifies on disk: which file a name reaches, and the packed block as it is copied.
#pragma once

#include <windows.h>
#include <stdint.h>

// An existing file as the file system knows it, whatever name (short, long,
// any letter case, \\?\, a mapped drive, a hard link) reaches it.
struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

int GetFileIdentity(const char *path, FileIdentity *id);
int SameFile(const FileIdentity *a, const FileIdentity *b);

struct PackedCopy {
    unsigned long long size;
    uint32_t checksum;  // SfxChecksum of the block
};

// Copies the packed file to out from the current positions, piece by piece,
// and is nonzero only when it was one complete zlib stream, with nothing after
// it, that expands to exactly the bytes of the work file: the check, the copy
// and the checksum in one pass.
int CopyPackedBlock(HANDLE packed, HANDLE work, HANDLE out, PackedCopy *copy);
