// NativePack.h -- the work stream deflated in process by KANTOR's blocks on every processor.
#pragma once

#include "BuildRun.h"

// Writes the packed block of the work stream to outFd at its current
// position: the very bytes KANTOR.EXE makes of the same work file, whatever
// the number of threads. Memory stays flat: a fixed ring of 1 MB blocks.
// Nonzero when the whole block was written.
int PackStream(BuildStream *stream, int outFd, BuildPacked *packed);

// How many threads PackStream deflates on.
int PackThreads();
