// FileLocker.cpp -- holds files open without delete sharing, so that they count as
// in use, until its release event is signalled (or a time limit passes).
//
//   FileLocker.exe <tag> <path>...
//
// Both sides create the manual-reset events "ZendrixLocker.<tag>.held" and
// "ZendrixLocker.<tag>.release"; whoever comes first makes them. The locker sets
// "held" once every file is open. Exit code 0 after a release, 1 when a file could
// not be opened, 2 for a bad command line, 3 when the time limit ended the wait.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static const DWORD kMaxWaitMs = 120000; // a forgotten locker must not outlive the test run

static HANDLE OpenLockerEvent(const char *pszTag, const char *pszSuffix)
{
    char szName[MAX_PATH];
    snprintf(szName, sizeof(szName), "ZendrixLocker.%s.%s", pszTag, pszSuffix);
    return CreateEventA(NULL, TRUE, FALSE, szName);
}

int main(int argc, char **argv)
{
    if (argc < 3 || argc - 2 > 32) {
        fprintf(stderr, "usage: FileLocker <tag> <path>... (at most 32 paths)\n");
        return 2;
    }
    HANDLE hHeld = OpenLockerEvent(argv[1], "held");
    HANDLE hRelease = OpenLockerEvent(argv[1], "release");
    if (hHeld == NULL || hRelease == NULL)
        return 2;

    HANDLE hFiles[32];
    int nFiles = 0;
    for (int i = 2; i < argc; ++i) {
        // Read sharing only: no delete, no write, so DeleteFile fails with a sharing error.
        HANDLE h = CreateFileA(argv[i], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
        if (h == INVALID_HANDLE_VALUE) {
            fprintf(stderr, "FileLocker: cannot open %s (error %lu)\n", argv[i],
                    (unsigned long)GetLastError());
            for (int j = 0; j < nFiles; ++j)
                CloseHandle(hFiles[j]);
            return 1;
        }
        hFiles[nFiles++] = h;
    }

    SetEvent(hHeld);
    DWORD dwWait = WaitForSingleObject(hRelease, kMaxWaitMs);
    for (int j = 0; j < nFiles; ++j)
        CloseHandle(hFiles[j]);
    CloseHandle(hHeld);
    CloseHandle(hRelease);
    return dwWait == WAIT_OBJECT_0 ? 0 : 3;
}
