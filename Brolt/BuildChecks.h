// BuildChecks.h -- checks a build makes before it writes the output.
#pragma once

#include <stddef.h>

// Nonzero when the output is, in any letter case and in
// long or short form, a file the build needs or reads: KANTOR.EXE beside this
// program or in the current directory, pelstub.bin, this program, or a listed file.
int OutputReplacesInput(const char *pszOutput, const char *const *paths, size_t count);

// Nonzero when the packed file is one complete zlib stream, with nothing after
// it, that expands to exactly the bytes of the work file.
int PackedBlockMatches(const char *packedPath, const char *workPath);
