// SfxWriter.cpp -- collects the header and the work stream of one build and writes the output.
#include "SfxWriter.h"

#include <string.h>

#include "BuildChecks.h"
#include "SfxBuild.h"
#include "SfxChecksum.h"

namespace {

// GetTempFileNameA with unique number 0 creates the file, empty, as it makes
// the name, so two builds can never pick the same name.
int MakeTempFile(char szPath[MAX_PATH])
{
    char szDir[MAX_PATH];
    DWORD n = GetTempPathA(sizeof(szDir), szDir);
    if (n == 0 || n >= sizeof(szDir))
        return 0;
    return GetTempFileNameA(szDir, "SFXL", 0, szPath) != 0;
}

void CopyBounded(char *dst, size_t dstSize, const char *src)
{
    memset(dst, 0, dstSize);
    if (src)
        strncpy(dst, src, dstSize - 1);
}

// WriteFile in one call, but a short count is a failure too.
int WriteAll(HANDLE h, const void *data, DWORD size)
{
    DWORD written = 0;
    if (size == 0)
        return 1;
    return WriteFile(h, data, size, &written, NULL) && written == size;
}

void *Alloc(DWORD size)
{
    // One byte at least, so that an empty file still gets a buffer to free.
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void Free(void *p)
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

}  // namespace

SfxWriter *SfxWriterCreate(const char *pszOutputPath)
{
    SfxWriter *writer = (SfxWriter *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SfxWriter));
    if (!writer)
        return NULL;
    writer->hWorkFile = INVALID_HANDLE_VALUE;
    CopyBounded(writer->szOutputPath, sizeof(writer->szOutputPath), pszOutputPath);
    SfxInitHeader(&writer->header);

    if (!MakeTempFile(writer->szWorkPath)) {
        HeapFree(GetProcessHeap(), 0, writer);
        return NULL;
    }
    writer->hWorkFile = CreateFileA(writer->szWorkPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_ARCHIVE, NULL);
    if (writer->hWorkFile == INVALID_HANDLE_VALUE) {
        DeleteFileA(writer->szWorkPath);  // the name was already made on disk
        HeapFree(GetProcessHeap(), 0, writer);
        return NULL;
    }
    return writer;
}

int SfxWriterSetShowDialog(SfxWriter *writer, int value)
{
    if (!writer)
        return 0;
    writer->header.showDialog = (uint32_t)value;
    return 1;
}

int SfxWriterSetAppName(SfxWriter *writer, const char *pszAppName)
{
    if (!writer || !pszAppName)
        return 0;
    size_t len = strlen(pszAppName);
    if (len > SFX_SHORT_FIELD)
        return 0;
    // Exactly 80 characters fill the field with no terminator: the format allows it.
    memset(writer->header.appName, 0, SFX_SHORT_FIELD);
    memcpy(writer->header.appName, pszAppName, len);
    return 1;
}

int SfxWriterSetModule(SfxWriter *writer, int moduleType, int overwriteMode)
{
    if (!writer)
        return 0;
    writer->header.moduleType = (uint32_t)moduleType;
    writer->header.overwriteMode = (uint32_t)overwriteMode;
    return 1;
}

int SfxWriterSetLaunch(SfxWriter *writer, const char *pszLaunchFile, const char *pszCommandLine, int value)
{
    if (!writer)
        return 0;
    CopyBounded(writer->header.launchFile, SFX_PATH_FIELD, pszLaunchFile);
    CopyBounded(writer->header.commandLine, SFX_SHORT_FIELD, pszCommandLine);
    writer->header.reserved = (uint32_t)value;
    return 1;
}

int SfxWriterSetDestination(SfxWriter *writer, int kind, const char *pszCustom, int addProgramFiles)
{
    if (!writer)
        return 0;
    char *dest = writer->header.destination;
    switch (kind) {
    case SFX_DEST_TEMP:
        dest[0] = 0x00;
        break;
    case SFX_DEST_CURRENT:
        dest[0] = (char)SFX_MARK_CURRENT;
        break;
    case SFX_DEST_FOURTH:
        dest[0] = (char)SFX_MARK_FOURTH;
        break;
    case SFX_DEST_CUSTOM: {
        if (!pszCustom)
            return 0;
        size_t len = strlen(pszCustom);
        if (len == 0 || len >= SFX_PATH_FIELD)
            return 0;
        memset(dest, 0, SFX_PATH_FIELD);
        memcpy(dest, pszCustom, len);
        writer->header.addProgramFiles = (uint32_t)addProgramFiles;
        break;
    }
    default:
        break;
    }
    return 1;
}

void SfxWriterAddFile(SfxWriter *writer, const char *pszSourcePath, const char *pszStoredName)
{
    if (!writer || !pszSourcePath || !pszStoredName || writer->hWorkFile == INVALID_HANDLE_VALUE)
        return;
    HANDLE hSource = CreateFileA(pszSourcePath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    if (hSource == INVALID_HANDLE_VALUE)
        return;
    // A name the stub would refuse makes the whole archive refuse to extract,
    // so it fails the build here, where the user can still rename the file.
    if (!SfxIsSafeStoredName(pszStoredName)) {
        CloseHandle(hSource);
        writer->workWriteFailed = 1;
        return;
    }

    SfxFileEntry entry;
    memset(&entry, 0, sizeof(entry));
    strncpy(entry.name, pszStoredName, SFX_PATH_FIELD - 1);
    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(hSource, &sizeHigh);
    // The record's size field has 32 bits; a larger file would be stored cut
    // short under a wrong length, so it is left out like an unreadable one.
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || sizeHigh != 0) {
        CloseHandle(hSource);
        return;
    }
    entry.size = size;

    void *buffer = Alloc(size);
    if (!buffer) {
        CloseHandle(hSource);
        return;
    }
    DWORD got = 0;
    BOOL readOk = size == 0 || ReadFile(hSource, buffer, size, &got, NULL);
    CloseHandle(hSource);
    if (!readOk || got != size) {
        Free(buffer);
        return;
    }

    uint8_t head[SFX_ENTRY_HEAD_SIZE];
    SfxEncodeEntryHead(&entry, head);
    // A record cut short by a full disk would shift every later record, so a
    // failed write marks the whole work stream bad and the build fails.
    if (!WriteAll(writer->hWorkFile, head, sizeof(head)) || !WriteAll(writer->hWorkFile, buffer, size))
        writer->workWriteFailed = 1;
    else
        writer->filesAdded++;
    Free(buffer);
}

int SfxWriterFinish(SfxWriter *writer)
{
    if (!writer)
        return 0;
    if (writer->hWorkFile != INVALID_HANDLE_VALUE) {
        CloseHandle(writer->hWorkFile);
        writer->hWorkFile = INVALID_HANDLE_VALUE;
    }
    if (writer->workWriteFailed || writer->szWorkPath[0] == '\0')
        return 0;

    char szPackedPath[MAX_PATH];
    if (!MakeTempFile(szPackedPath))
        return 0;
    // Exit code 0 is the compressor's own failure; 0xC0000000 and up is a
    // crash, whatever it left behind. Either way only a block that expands to
    // the work stream is taken.
    unsigned long exitCode = RunCompressor(writer->szWorkPath, szPackedPath);
    if (exitCode == 0 || exitCode >= 0xC0000000ul || !PackedBlockMatches(szPackedPath, writer->szWorkPath)) {
        DeleteFileA(szPackedPath);
        return 0;
    }

    HANDLE hStub = CreateFileA("pelstub.bin", GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hStub == INVALID_HANDLE_VALUE) {
        DeleteFileA(szPackedPath);
        return 0;
    }
    DWORD stubHigh = 0;
    DWORD stubSize = GetFileSize(hStub, &stubHigh);
    void *stub = (stubSize == INVALID_FILE_SIZE || stubHigh != 0) ? NULL : Alloc(stubSize);
    DWORD got = 0;
    BOOL stubRead = stub && (stubSize == 0 || ReadFile(hStub, stub, stubSize, &got, NULL));
    CloseHandle(hStub);
    if (!stubRead || got != stubSize) {
        Free(stub);
        DeleteFileA(szPackedPath);
        return 0;
    }

    CopyFileA("pelstub.bin", writer->szOutputPath, FALSE);
    HANDLE hOut = CreateFileA(writer->szOutputPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hOut == INVALID_HANDLE_VALUE) {
        Free(stub);
        DeleteFileA(szPackedPath);
        return 0;
    }
    int stubWritten = WriteAll(hOut, stub, stubSize);
    Free(stub);
    if (!stubWritten) {
        CloseHandle(hOut);
        DeleteFileA(szPackedPath);
        return 0;
    }

    HANDLE hPacked = CreateFileA(szPackedPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD packedHigh = 0;
    DWORD packedSize = hPacked == INVALID_HANDLE_VALUE ? 0 : GetFileSize(hPacked, &packedHigh);
    void *packed = NULL;
    if (hPacked != INVALID_HANDLE_VALUE && packedSize != INVALID_FILE_SIZE && packedHigh == 0)
        packed = Alloc(packedSize);
    if (!packed) {
        if (hPacked != INVALID_HANDLE_VALUE)
            CloseHandle(hPacked);
        CloseHandle(hOut);
        DeleteFileA(szPackedPath);
        SetLastError(ERROR_OUTOFMEMORY);
        return 0;
    }

    DWORD packedRead = 0;
    if (packedSize != 0 && !ReadFile(hPacked, packed, packedSize, &packedRead, NULL))
        packedRead = 0;

    int ok = 0;
    // A short read would put a checksum over bytes that are not the block; stop before the header.
    if (packedRead == packedSize) {
        writer->header.packedSize = packedSize;
        writer->header.packedFlag = 1;
        writer->header.packedCrc = SfxChecksum(0, packed, packedSize);
        uint8_t image[SFX_HEADER_SIZE];
        SfxEncodeHeader(&writer->header, image);
        ok = WriteAll(hOut, image, sizeof(image)) && WriteAll(hOut, packed, packedSize);
        StampFileTimes(hOut);
    }

    Free(packed);
    CloseHandle(hPacked);
    CloseHandle(hOut);
    DeleteFileA(szPackedPath);
    return ok;
}

int SfxWriterDestroy(SfxWriter *writer)
{
    if (!writer)
        return 0;
    if (writer->hWorkFile != INVALID_HANDLE_VALUE)
        CloseHandle(writer->hWorkFile);
    if (writer->szWorkPath[0] != '\0')
        DeleteFileA(writer->szWorkPath);
    HeapFree(GetProcessHeap(), 0, writer);
    return 1;
}
