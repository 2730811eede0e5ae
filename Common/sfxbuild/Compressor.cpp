// Compressor.cpp -- packing by KANTOR.EXE: the work file written, the compressor run hidden, its block checked as it is copied.
#include "Compressor.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <zlib.h>

#include "Owners.h"
#include "SfxChecksum.h"

namespace {

int ReadChunk(HANDLE file, unsigned char *buffer, DWORD size, DWORD *got)
{
    *got = 0;
    return ReadFile(file, buffer, size, got, NULL) != 0;
}

// GetTempFileNameA with unique number 0 creates the file, empty, as it makes
// the name, so two builds can never pick the same name.
int MakeTempFile(TempFile *file)
{
    char dir[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, dir);
    return n != 0 && n < MAX_PATH && file->Create(dir, "SFXL");
}

int Fail(BuildPacked *packed)
{
    packed->error = GetLastError();
    snprintf(packed->failure, sizeof(packed->failure),
             "KANTOR.EXE did not pack the files or the output could not be written%s",
             packed->error ? "" : " (no system error given)");
    return 0;
}

// The whole stream into the work file, piece by piece; 0 when the stream
// failed (the run names the file) or the work file could not be written.
int WriteWorkFile(BuildStream *stream, HANDLE work, BuildPacked *packed)
{
    enum { kChunk = 64 * 1024 };
    HeapBlock<unsigned char> buffer(kChunk);
    if (!buffer)
        return Fail(packed);
    for (;;) {
        long n = BuildStreamRead(stream, buffer, kChunk);
        DWORD written = 0;
        if (n < 0)
            return 0;
        if (n > 0 && (!WriteFile(work, buffer, (DWORD)n, &written, NULL) || written != (DWORD)n))
            return Fail(packed);
        if (n < kChunk)
            return 1;
    }
}

}  // namespace

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

int CopyPackedBlock(HANDLE packed, HANDLE work, HANDLE out, PackedCopy *copy)
{
    enum { kChunk = 64 * 1024 };
    memset(copy, 0, sizeof(*copy));
    HeapBlock<unsigned char> buffer(3 * kChunk);
    z_stream zs;
    memset(&zs, 0, sizeof(zs));
    int ok = buffer && inflateInit(&zs) == Z_OK;
    int zlibOpen = ok;
    unsigned char *in = buffer, *expanded = buffer + kChunk, *expected = buffer + 2 * kChunk;
    int status = Z_OK;
    int packedEnded = 0;
    // Each piece read is written and summed, then inflated and held against the same span of the work file.
    while (ok && status != Z_STREAM_END) {
        if (zs.avail_in == 0 && !packedEnded) {
            DWORD got = 0, written = 0;
            ok = ReadChunk(packed, in, kChunk, &got) && (got == 0 || (WriteFile(out, in, got, &written, NULL) &&
                                                                       written == got));
            packedEnded = got == 0;
            copy->checksum = SfxChecksum(copy->checksum, in, got);
            copy->size += got;
            zs.next_in = in;
            zs.avail_in = got;
        }
        zs.next_out = expanded;
        zs.avail_out = kChunk;
        status = ok ? inflate(&zs, Z_NO_FLUSH) : Z_DATA_ERROR;
        // No progress once the packed file has ended: the stream is cut short.
        ok = status == Z_OK || status == Z_STREAM_END || (status == Z_BUF_ERROR && !packedEnded);
        DWORD produced = kChunk - zs.avail_out, got = 0;
        if (ok && produced > 0)
            ok = ReadChunk(work, expected, produced, &got) && got == produced &&
                 memcmp(expanded, expected, produced) == 0;
    }
    if (ok) {
        // Nothing may follow: neither more packed bytes nor more of the work stream.
        DWORD got = 1;
        ok = zs.avail_in == 0 && ReadChunk(packed, in, 1, &got) && got == 0 && ReadChunk(work, expected, 1, &got) &&
             got == 0;
    }
    if (zlibOpen)
        inflateEnd(&zs);
    return ok;
}

int PackWithCompressor(const char *compressorPath, BuildStream *stream, HANDLE out, BuildPacked *packed)
{
    TempFile workFile, packedFile;
    if (!MakeTempFile(&workFile) || !MakeTempFile(&packedFile))
        return Fail(packed);
    {
        FileHandle work(CreateFileA(workFile, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_ARCHIVE, NULL));
        // Closed before the compressor runs: it reads the work file by its name.
        if (!work.IsValid())
            return Fail(packed);
        if (!WriteWorkFile(stream, work, packed))
            return 0;
    }
    // Exit code 0 is the compressor's own failure; 0xC0000000 and up is a
    // crash, whatever it left behind.
    SetLastError(0);
    unsigned long exitCode = RunCompressor(compressorPath, workFile, packedFile);
    if (exitCode == 0 || exitCode >= 0xC0000000ul)
        return Fail(packed);
    FileHandle packedIn(CreateFileA(packedFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    FileHandle work(CreateFileA(workFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    // The block goes to the output as it is checked against the work stream,
    // and its checksum is made on the way: one pass, flat memory.
    PackedCopy copy;
    if (!packedIn.IsValid() || !work.IsValid() || !CopyPackedBlock(packedIn, work, out, &copy))
        return Fail(packed);
    packed->size = copy.size;
    packed->checksum = copy.checksum;
    return 1;
}
