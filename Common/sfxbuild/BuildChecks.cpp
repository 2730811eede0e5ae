// BuildChecks.cpp -- which file a name reaches, and the packed block copied to the output as it is checked against the work stream.
#include "BuildChecks.h"

#include <windows.h>
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

}  // namespace

int GetFileIdentity(const char *path, FileIdentity *id)
{
    memset(id, 0, sizeof(*id));
    // No access asked for: a file that is open without sharing still tells who it is.
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (ok) {
        id->volume = info.dwVolumeSerialNumber;
        id->indexHigh = info.nFileIndexHigh;
        id->indexLow = info.nFileIndexLow;
    }
    return ok;
}

int SameFile(const FileIdentity *a, const FileIdentity *b)
{
    return a->volume == b->volume && a->indexHigh == b->indexHigh && a->indexLow == b->indexLow;
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
