// Compressor.h -- packing by KANTOR.EXE: the work file, the compressor run hidden, its block checked as it is copied.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "BuildRun.h"

// Starts program (NULL: the command line's first word, by the system's search
// order) hidden and waits without a time limit; returns the process's exit
// code, or 0 when it could not be started.
unsigned long RunHiddenAndWait(const char *program, const char *commandLine);

// Runs the compressor at its full path with "KANTOR.EXE /I:<input> /O:<output>";
// the compressor answers nonzero on success. 0 too when the command line would
// not fit in 260 bytes.
unsigned long RunCompressor(const char *compressorPath, const char *inputPath, const char *outputPath);

struct PackedCopy {
    unsigned long long size;
    uint32_t checksum;  // SfxChecksum of the block
};

// Copies the packed file to out from the current positions, piece by piece,
// and is nonzero only when it was one complete zlib stream, with nothing after
// it, that expands to exactly the bytes of the work file: the check, the copy
// and the checksum in one pass.
int CopyPackedBlock(HANDLE packed, HANDLE work, HANDLE out, PackedCopy *copy);

// The work stream into a work file in the temporary folder, packed by the
// compressor, and its block copied to out as it is checked. Nonzero when the
// whole block was written.
int PackWithCompressor(const char *compressorPath, BuildStream *stream, HANDLE out, BuildPacked *packed);
