// LanguageStartup.cpp -- the run's language, from the files beside the log or from the language DLL the log carries.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "InstallLog.h"
#include "LanguageDll.h"
#include "FileRemoval.h"
#include "Owners.h"
#include <io.h>
#include <stdio.h>
#include <string.h>

static const char INVALID_LOG_DLL[] = "Invalid installation log. Unable to restore language DLL.";

// 1 when the open file holds exactly the image, read from its start.
static int HoldsImage(HANDLE hFile, const unsigned char *pImage, uint32_t cbImage)
{
    unsigned char buffer[16384];
    uint32_t done = 0;
    while (done < cbImage) {
        DWORD cbWant = (DWORD)((cbImage - done) < sizeof(buffer) ? cbImage - done : sizeof(buffer));
        DWORD cbRead = 0;
        if (!ReadFile(hFile, buffer, cbWant, &cbRead, NULL) || cbRead != cbWant ||
            memcmp(buffer, pImage + done, cbWant) != 0)
            return 0;
        done += cbWant;
    }
    DWORD cbMore = 0;
    return ReadFile(hFile, buffer, 1, &cbMore, NULL) && cbMore == 0;
}

// Copies the language DLL image that follows the header into a "ZNX" file in the
// temporary directory; its name goes into TempLanguageDllPath. On failure the file
// stays for the process end, as everything else of a failed start does.
// The temporary directory is open to every process of the user: the file is
// written without sharing, then held open without write or delete sharing and
// checked against the image before it is loaded, so nobody can put other code
// under its name in between.
static int RestoreLanguageDll(uint32_t cbImage)
{
    // The image follows the header, wherever an earlier step left the file position.
    __int64 nHere = _lseeki64(UninstallState.LogFile, LOG_HEADER_SIZE, SEEK_SET);
    // The size comes from the file: never allocate more than the file still holds.
    __int64 nLength = _filelengthi64(UninstallState.LogFile);
    if (nHere < 0 || nLength < 0 || (uint64_t)(nLength - nHere) < cbImage)
        return FailWithLogClosed(INVALID_LOG_DLL);
    HeapBlock<unsigned char> pImage(cbImage);
    if (!pImage)
        return FailWithLogClosed("Out of memory. Unable to restore language DLL.");
    if (ReadFully(UninstallState.LogFile, pImage, cbImage) != cbImage)
        return FailWithLogClosed(INVALID_LOG_DLL);
    char szTempDir[MAX_PATH];
    GetTempPathA(MAX_PATH, szTempDir);
    GetTempFileNameA(szTempDir, "ZNX", 0, UninstallState.TempLanguageDllPath);
    FileHandle hWrite(CreateFileA(UninstallState.TempLanguageDllPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL));
    if (!hWrite.IsValid())
        return FailWithLogClosed("Unable to restore language DLL.");
    DWORD cbWritten = 0;
    int bWritten = WriteFile(hWrite, pImage, cbImage, &cbWritten, NULL) && cbWritten == cbImage;
    hWrite.Reset();
    // The loader opens the file for reading and executing; it shares both.
    HANDLE hHold = CreateFileA(UninstallState.TempLanguageDllPath, GENERIC_READ, FILE_SHARE_READ, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hHold == INVALID_HANDLE_VALUE)
        return FailWithLogClosed("Unable to restore language DLL.");
    UninstallState.TempLanguageDllHold = hHold;
    if (!bWritten || !HoldsImage(hHold, pImage, cbImage))
        return FailWithLogClosed("Unable to restore language DLL.");
    return 1;
}

static int PrepareLanguageDll(const LogHeader &header)
{
    UninstallState.TempLanguageDllPath[0] = '\0';
    if (header.LanguageData != 0 && !RestoreLanguageDll(header.LanguageData))
        return 0;
    // Our own string table is the language until a better one loads.
    char szSelf[MAX_PATH];
    GetModuleFileNameA(NULL, szSelf, MAX_PATH);
    if (!LoadLanguageDll(szSelf)) {
        // The log stays open: the process ends at once.
        StartupMessage("Unable to access internal string resources. Corrupt executable ! Uninstall failed !");
        return 0;
    }
    if (UninstallState.TempLanguageDllPath[0] != '\0' && !LoadLanguageDll(UninstallState.TempLanguageDllPath))
        StartupWarning("The language DLL selected for this uninstall could not be located. "
                       "Uninstall will use English instead.");
    return 1;
}

int PrepareLanguage(const LogHeader &header)
{
    if (!(header.Flags & LOGF_LANGUAGE_FILES))
        return PrepareLanguageDll(header);
    if (!ReadLanguageFiles(UninstallState.LogPath, header.LanguageData))
        return FailWithLogClosed("Unable to load language file. Uninstall failed !");
    return 1;
}

void DisposeTempLanguageDll()
{
    if (UninstallState.TempLanguageDllPath[0] == '\0')
        return;
    // The module must be released before its file can go, and our hold too.
    FreeLanguageDll();
    if (UninstallState.TempLanguageDllHold != NULL) {
        CloseHandle(UninstallState.TempLanguageDllHold);
        UninstallState.TempLanguageDllHold = NULL;
    }
    RemoveFileOrSchedule(UninstallState.TempLanguageDllPath);
}
