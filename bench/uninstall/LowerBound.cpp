// LowerBound.cpp -- the least any uninstaller must do for the benchmark tree: delete each file, then each directory and the root.
//
//   bench_lowerbound.exe <root> <directories> <files per directory>
//
// Names follow the benchmark's layout: <root>\d<NN>\f<NNNN>.dat. A GUI program
// like Kolvu.exe, so both pay the same start-up.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 4)
        return 2;
    const char *pszRoot = __argv[1];
    int nDirs = atoi(__argv[2]), nFiles = atoi(__argv[3]);
    char szPath[MAX_PATH];
    int nFailed = 0;
    for (int d = 0; d < nDirs; ++d) {
        for (int f = 0; f < nFiles; ++f) {
            snprintf(szPath, sizeof(szPath), "%s\\d%02d\\f%04d.dat", pszRoot, d, d * nFiles + f);
            if (!DeleteFileA(szPath))
                nFailed++;
        }
        snprintf(szPath, sizeof(szPath), "%s\\d%02d", pszRoot, d);
        if (!RemoveDirectoryA(szPath))
            nFailed++;
    }
    if (!RemoveDirectoryA(pszRoot))
        nFailed++;
    return nFailed == 0 ? 0 : 1;
}
