// LockedFiles.h -- the files the removal could only schedule for the next start, as the restart offer lists them.
#pragma once
#include <windows.h>

// Keeps the path exactly as given, in the order given; 0 when there was no memory
// for it (the file is scheduled all the same, only the list lacks it).
int ReportLockedFile(const char *pszPath);
// The first path kept when pszAfter is NULL, else the one after pszAfter; NULL
// after the last. A pointer stays good until the next ReportLockedFile.
const char *NextLockedFile(const char *pszAfter);
