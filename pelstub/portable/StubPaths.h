// StubPaths.h -- bounded path building for the destination and the files in it.
#pragma once

#include <stddef.h>

// dst = directory, one backslash, name. Fails (0) and leaves dst empty when the
// result would not fit dstSize bytes with its terminator.
int StubJoinPath(char *dst, size_t dstSize, const char *directory, const char *name);

// The custom directory placed under the Program Files folder. A drive
// ("D:\Apps") or a UNC share ("\\srv\share\Apps") in front of the custom text
// can't follow another path, so only what comes after it is kept.
int StubUnderProgramFiles(char *dst, size_t dstSize, const char *programFiles, const char *custom);

// Drops trailing backslashes, but keeps the one of a drive root ("C:\").
void StubTrimSeparators(char *path);
