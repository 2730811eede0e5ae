// KantorMain.cpp -- KANTOR.EXE: compresses one file into one zlib stream for the SFX builder.
//
// Exit code 1 on success and 0 on failure: the builder reads it that way round.
#include <windows.h>
#include <string.h>
#include <zlib.h>

#include "KantorArgs.h"

namespace {

enum { CHUNK = 256 * 1024 };

int WriteAll(HANDLE h, const unsigned char *data, DWORD size)
{
    DWORD written = 0;
    return size == 0 || (WriteFile(h, data, size, &written, NULL) && written == size);
}

// Streams the input through deflate so that memory stays flat for any size.
int Compress(HANDLE hIn, HANDLE hOut)
{
    static unsigned char inBuf[CHUNK];
    static unsigned char outBuf[CHUNK];
    z_stream zs;
    memset(&zs, 0, sizeof(zs));
    if (deflateInit(&zs, Z_BEST_COMPRESSION) != Z_OK)
        return 0;
    int ok = 1;
    int flush = Z_NO_FLUSH;
    while (ok && flush != Z_FINISH) {
        DWORD got = 0;
        if (!ReadFile(hIn, inBuf, CHUNK, &got, NULL)) {
            ok = 0;
            break;
        }
        flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
        zs.next_in = inBuf;
        zs.avail_in = got;
        do {
            zs.next_out = outBuf;
            zs.avail_out = CHUNK;
            int rc = deflate(&zs, flush);
            if (rc == Z_STREAM_ERROR) {
                ok = 0;
                break;
            }
            if (!WriteAll(hOut, outBuf, CHUNK - zs.avail_out)) {
                ok = 0;
                break;
            }
        } while (zs.avail_out == 0);
    }
    deflateEnd(&zs);
    return ok;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char szInput[MAX_PATH];
    char szOutput[MAX_PATH];
    if (!KantorSplitCommandLine(GetCommandLineA(), szInput, sizeof(szInput), szOutput, sizeof(szOutput)))
        return 0;

    HANDLE hIn = CreateFileA(szInput, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (hIn == INVALID_HANDLE_VALUE)
        return 0;
    HANDLE hOut = CreateFileA(szOutput, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hOut == INVALID_HANDLE_VALUE) {
        CloseHandle(hIn);
        return 0;
    }
    int ok = Compress(hIn, hOut);
    CloseHandle(hIn);
    if (!CloseHandle(hOut))
        ok = 0;
    // A half-written stream is worse than none: whoever reads it would take it for the whole.
    if (!ok)
        DeleteFileA(szOutput);
    return ok ? 1 : 0;
}
