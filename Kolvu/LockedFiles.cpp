// LockedFiles.cpp -- keeps the paths of the files scheduled for the next start until the restart dialog lists them.
#include "LockedFiles.h"

#include <string.h>

// The paths one after another, each with its NUL. Any number of files may be
// locked, so the block grows; it lives until the process ends.
static char *LockedPaths;
static size_t LockedUsed;
static size_t LockedSize;

int ReportLockedFile(const char *pszPath)
{
    size_t cb = strlen(pszPath) + 1;
    if (cb > LockedSize - LockedUsed) {
        size_t cbNew = LockedSize ? LockedSize : 4096;
        while (cbNew - LockedUsed < cb)
            cbNew *= 2;
        HANDLE heap = GetProcessHeap();
        char *pNew = (char *)(LockedPaths ? HeapReAlloc(heap, 0, LockedPaths, cbNew) : HeapAlloc(heap, 0, cbNew));
        if (pNew == NULL)
            return 0;
        LockedPaths = pNew;
        LockedSize = cbNew;
    }
    memcpy(LockedPaths + LockedUsed, pszPath, cb);
    LockedUsed += cb;
    return 1;
}

const char *NextLockedFile(const char *pszAfter)
{
    size_t at = pszAfter ? (size_t)(pszAfter - LockedPaths) + strlen(pszAfter) + 1 : 0;
    return at < LockedUsed ? LockedPaths + at : NULL;
}
