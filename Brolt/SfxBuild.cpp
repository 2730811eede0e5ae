// SfxBuild.cpp -- the build driver: settings into a writer, the compressor run and the output's time stamps.
#include "SfxBuild.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "BuildChecks.h"
#include "SfxWriter.h"

namespace {

// Settings texts are fixed buffers; never read past one even if it lacks its terminator.
const char *Terminated(const char *text, size_t size, char *copy)
{
    size_t n = 0;
    while (n + 1 < size && text[n] != '\0')
        n++;
    memcpy(copy, text, n);
    copy[n] = '\0';
    return copy;
}

}  // namespace

unsigned long RunHiddenAndWait(const char *commandLine)
{
    if (!commandLine)
        return 0;
    // CreateProcessA may write into its command line, so hand it a private copy.
    size_t len = strlen(commandLine);
    char *pszCommand = (char *)HeapAlloc(GetProcessHeap(), 0, len + 1);
    if (!pszCommand)
        return 0;
    memcpy(pszCommand, commandLine, len + 1);

    STARTUPINFOA si;
    memset(&si, 0, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi;
    memset(&pi, 0, sizeof(pi));
    BOOL started = CreateProcessA(NULL, pszCommand, NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi);
    HeapFree(GetProcessHeap(), 0, pszCommand);
    if (!started)
        return 0;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(pi.hProcess, &exitCode))
        exitCode = 0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return exitCode;
}

unsigned long RunCompressor(const char *inputPath, const char *outputPath)
{
    if (!inputPath || !outputPath)
        return 0;
    char szCommand[MAX_PATH];
    // A cut command line would hand the compressor a wrong output path: refuse it.
    int n = snprintf(szCommand, sizeof(szCommand), "KANTOR.EXE /I:%s /O:%s", inputPath, outputPath);
    if (n < 0 || (size_t)n >= sizeof(szCommand))
        return 0;
    return RunHiddenAndWait(szCommand);
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

int BuildSfx(const SfxSettingsRecord *settings)
{
    if (!settings)
        return 0;
    char szOutput[MAX_PATH];
    const char *paths[SFX_MAX_FILES];
    for (int i = 0; i < SFX_MAX_FILES; i++)
        paths[i] = settings->files[i];
    return BuildSfxFiles(settings, Terminated(settings->outputFile, sizeof(settings->outputFile), szOutput), paths,
                         SFX_MAX_FILES, NULL);
}

int BuildSfxFiles(const SfxSettingsRecord *settings, const char *pszOutput, const char *const *paths, size_t count,
                  size_t *pAdded)
{
    if (pAdded)
        *pAdded = 0;
    if (!settings || !pszOutput || (count && !paths))
        return 0;
    char szText[MAX_PATH];
    char szText2[MAX_PATH];
    // Replacing the compressor, the stub, this program or a listed file would
    // break this build or every later one.
    if (OutputReplacesInput(pszOutput, paths, count))
        return 0;

    SfxWriter *writer = SfxWriterCreate(pszOutput);
    if (!writer)
        return 0;

    SfxWriterSetShowDialog(writer, settings->showDialog);
    SfxWriterSetAppName(writer, Terminated(settings->appName, sizeof(settings->appName), szText));
    SfxWriterSetModule(writer, settings->moduleType, settings->overwriteMode);
    SfxWriterSetLaunch(writer, Terminated(settings->launchFile, sizeof(settings->launchFile), szText),
                       Terminated(settings->commandLine, sizeof(settings->commandLine), szText2), 0);
    SfxWriterSetDestination(writer, settings->destKind,
                            Terminated(settings->customDest, sizeof(settings->customDest), szText),
                            settings->addProgramFiles);

    for (size_t i = 0; i < count; i++) {
        // A path is read no further than a settings slot holds, terminated or not.
        const char *pszPath = Terminated(paths[i] ? paths[i] : "", MAX_PATH, szText);
        const char *pszName = strrchr(pszPath, '\\');
        pszName = pszName ? pszName + 1 : pszPath;
        SfxWriterAddFile(writer, pszPath, pszName);
    }

    int ok = SfxWriterFinish(writer);
    if (pAdded)
        *pAdded = writer->filesAdded;
    SfxWriterDestroy(writer);
    return ok;
}
