// NativePack.h -- the work stream of the listed files, deflated in process by KANTOR's blocks on every processor.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "NativeInputs.h"

struct PackResult {
    uint64_t packedSize;
    uint32_t packedCrc;   // SfxChecksum of the packed block
    size_t filesAdded;    // records written whole
    int threads;
    int readFailed;       // a listed file could not be opened or read in full while packing
    size_t failedFile;    // which one, by its place in the list
    int readError;        // errno of that failure; 0 when the file changed under the build
    int writeError;       // errno of a failed write to the output, else 0
};

// Writes the packed block of the list's work stream to outFd at its current
// position: the very bytes KANTOR.EXE makes of the same work file, whatever
// the number of threads. Memory stays flat: a fixed ring of 1 MB blocks.
// Nonzero when the whole block was written.
int PackFiles(const NativeList *list, int outFd, PackResult *result);
