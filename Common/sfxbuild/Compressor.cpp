// Compressor.cpp -- runs the compressor hidden and stamps the finished output's times.
#include "Compressor.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "Owners.h"

unsigned long RunHiddenAndWait(const char *program, const char *commandLine)
{
    if (!commandLine)
        return 0;
    // CreateProcessA may write into its command line, so hand it a private copy.
    size_t len = strlen(commandLine);
    HeapBlock<char> command(len + 1);
    if (!command)
        return 0;
    memcpy(command, commandLine, len + 1);

    STARTUPINFOA si;
    memset(&si, 0, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(program, command, NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi))
        return 0;
    KernelHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process, INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process, &exitCode))
        exitCode = 0;
    return exitCode;
}

unsigned long RunCompressor(const char *compressorPath, const char *inputPath, const char *outputPath)
{
    if (!compressorPath || !inputPath || !outputPath)
        return 0;
    char szCommand[MAX_PATH];
    // A cut command line would hand the compressor a wrong output path: refuse it.
    int n = snprintf(szCommand, sizeof(szCommand), "KANTOR.EXE /I:%s /O:%s", inputPath, outputPath);
    if (n < 0 || (size_t)n >= sizeof(szCommand))
        return 0;
    // The program by its full path, so that no folder that happens to be
    // current can put another KANTOR.EXE in its place; the command line keeps
    // the bare name the compressor has always been given.
    return RunHiddenAndWait(compressorPath, szCommand);
}

int StampFileTimes(void *fileHandle)
{
    SYSTEMTIME now;
    FILETIME ft;
    GetSystemTime(&now);
    if (!SystemTimeToFileTime(&now, &ft))
        return 0;
    return SetFileTime((HANDLE)fileHandle, &ft, &ft, &ft) != 0;
}
