// ImageChecksum.h -- whether an executable file is intact, by the checksum stamped into its PE header.
#pragma once
#include <windows.h>

// 1 when the file's PE checksum is set and matches the one recomputed over its bytes.
int VerifyExecutableFile(LPCSTR pszPath);
