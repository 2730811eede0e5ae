// SfxWriter.cpp -- collects the header and the work stream of one build and writes the output.
#include "SfxWriter.h"

#include <string.h>

#include "BuildChecks.h"
#include "Compressor.h"
#include "Owners.h"
#include "SfxChecksum.h"

namespace {

int TempDirectory(char szDir[MAX_PATH])
{
    DWORD n = GetTempPathA(MAX_PATH, szDir);
    return n != 0 && n < MAX_PATH;
}

// GetTempFileNameA with unique number 0 creates the file, empty, as it makes
// the name, so two builds can never pick the same name.
int MakeTempFile(char szPath[MAX_PATH])
{
    char szDir[MAX_PATH];
    return TempDirectory(szDir) && GetTempFileNameA(szDir, "SFXL", 0, szPath) != 0;
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

// Pieces this size keep the build's memory flat, however large a file or the packed block.
const DWORD kChunk = 64 * 1024;

enum { COPIED, READ_FAILED, WRITE_FAILED };

// Exactly size bytes from one file to another, piece by piece; a short read is a failure.
int CopyBytes(HANDLE from, HANDLE to, unsigned long long size, uint8_t *buffer)
{
    while (size > 0) {
        DWORD want = size < kChunk ? (DWORD)size : kChunk, got = 0;
        if (!ReadFile(from, buffer, want, &got, NULL) || got != want)
            return READ_FAILED;
        if (!WriteAll(to, buffer, got))
            return WRITE_FAILED;
        size -= got;
    }
    return COPIED;
}

// Exit code 0 is the compressor's own failure; 0xC0000000 and up is a crash,
// whatever it left behind.
int Pack(const char *compressorPath, const char *workPath, const char *packedPath)
{
    unsigned long exitCode = RunCompressor(compressorPath, workPath, packedPath);
    return exitCode != 0 && exitCode < 0xC0000000ul;
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

int SfxWriterSetTools(SfxWriter *writer, const char *pszStubPath, const char *pszCompressorPath)
{
    if (!writer || !pszStubPath || !pszCompressorPath || strlen(pszStubPath) >= MAX_PATH ||
        strlen(pszCompressorPath) >= MAX_PATH)
        return 0;
    CopyBounded(writer->szStubPath, sizeof(writer->szStubPath), pszStubPath);
    CopyBounded(writer->szCompressorPath, sizeof(writer->szCompressorPath), pszCompressorPath);
    return 1;
}

void SfxWriterAddFile(SfxWriter *writer, const char *pszSourcePath, const char *pszStoredName)
{
    if (!writer || !pszSourcePath || !pszStoredName || writer->hWorkFile == INVALID_HANDLE_VALUE)
        return;
    FileHandle source(CreateFileA(pszSourcePath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    if (!source.IsValid())
        return;
    // A name the stub would refuse makes the whole archive refuse to extract,
    // so it fails the build here, where the user can still rename the file.
    if (!SfxIsSafeStoredName(pszStoredName)) {
        writer->workWriteFailed = 1;
        return;
    }
    // The record's size field has 32 bits: a larger file is refused like an unreadable one.
    DWORD high = 0, size = GetFileSize(source, &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0)
        return;
    HeapBlock<uint8_t> buffer(kChunk);
    if (!buffer)
        return;

    SfxFileEntry entry;
    memset(&entry, 0, sizeof(entry));
    strncpy(entry.name, pszStoredName, SFX_PATH_FIELD - 1);
    entry.size = size;
    uint8_t head[SFX_ENTRY_HEAD_SIZE];
    SfxEncodeEntryHead(&entry, head);
    // A record cut short (a full disk, a file that shrank under the build)
    // would shift every later record, so the whole work stream is bad then.
    int copied = WriteAll(writer->hWorkFile, head, sizeof(head)) ? CopyBytes(source, writer->hWorkFile, size, buffer)
                                                                   : WRITE_FAILED;
    writer->workWriteFailed = copied != COPIED;
    writer->readFailed = copied == READ_FAILED;
    if (copied == COPIED)
        writer->filesAdded++;
}

int SfxWriterFinish(SfxWriter *writer)
{
    if (!writer)
        return 0;
    // Closed for the compressor, which reads the work file by its name.
    int wasOpen = writer->hWorkFile != INVALID_HANDLE_VALUE;
    if (wasOpen) {
        CloseHandle(writer->hWorkFile);
        writer->hWorkFile = INVALID_HANDLE_VALUE;
    }
    if (!wasOpen || writer->workWriteFailed || !writer->szStubPath[0] || !writer->szCompressorPath[0])
        return 0;

    char szTempDir[MAX_PATH];
    TempFile packedFile;
    if (!TempDirectory(szTempDir) || !packedFile.Create(szTempDir, "SFXL") ||
        !Pack(writer->szCompressorPath, writer->szWorkPath, packedFile))
        return 0;
    FileHandle stub(CreateFileA(writer->szStubPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    FileHandle packed(CreateFileA(packedFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    FileHandle work(CreateFileA(writer->szWorkPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    DWORD stubHigh = 0, stubSize = stub.IsValid() ? GetFileSize(stub, &stubHigh) : INVALID_FILE_SIZE;
    HeapBlock<uint8_t> buffer(kChunk);
    if (!packed.IsValid() || !work.IsValid() || stubSize == INVALID_FILE_SIZE || stubHigh != 0 || !buffer)
        return 0;
    // A failure from here on leaves what was written: the build reports it.
    FileHandle out(CreateFileA(writer->szOutputPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    uint8_t image[SFX_HEADER_SIZE];
    memset(image, 0, sizeof(image));
    if (!out.IsValid() || CopyBytes(stub, out, stubSize, buffer) != COPIED || !WriteAll(out, image, sizeof(image)))
        return 0;
    buffer.Reset();

    // The block goes to the output as it is checked against the work stream,
    // and its checksum is made on the way: one pass, flat memory.
    PackedCopy copy;
    if (!CopyPackedBlock(packed, work, out, &copy))
        return 0;
    if (copy.size > 0xFFFFFFFFull) {
        writer->packedTooBig = copy.size;
        return 0;
    }
    writer->header.packedSize = (uint32_t)copy.size;
    writer->header.packedFlag = 1;
    writer->header.packedCrc = copy.checksum;
    SfxEncodeHeader(&writer->header, image);
    LARGE_INTEGER at;
    at.QuadPart = stubSize;
    int ok = SetFilePointerEx(out, at, NULL, FILE_BEGIN) && WriteAll(out, image, sizeof(image));
    StampFileTimes(out);
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
