// CustomUninstall.cpp -- a custom uninstall program for tests: leaves a mark and exits with a given code.
//
//   CustomUninstall.exe <exit code> <mark file> [tag]
//
// Appends one line "<tag>|<working directory>" to the mark file, so that a test
// sees which programs ran, in which order and where. A GUI program, so that
// being started "shown" through the shell opens no console window.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc < 3)
        return 2;
    int nExitCode = atoi(__argv[1]);
    char szDir[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, szDir);
    FILE *f = fopen(__argv[2], "a");
    if (!f)
        return 3;
    fprintf(f, "%s|%s\n", __argc > 3 ? __argv[3] : "", szDir);
    fclose(f);
    return nExitCode;
}
