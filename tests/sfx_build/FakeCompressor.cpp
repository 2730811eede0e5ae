// FakeCompressor.cpp -- a compressor that copies its input to its output and then reports failure.
#include <windows.h>

#include "KantorArgs.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char szIn[MAX_PATH], szOut[MAX_PATH];
    if (KantorSplitCommandLine(GetCommandLineA(), szIn, sizeof(szIn), szOut, sizeof(szOut)))
        CopyFileA(szIn, szOut, FALSE);
    return 0;
}
