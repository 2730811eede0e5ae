// Floor.cpp -- the least any self-extractor must do: inflate the packed block and write its files.
//
//   bench_sfx_floor.exe <self-extractor> <folder>
//
// The same zlib call as the stub (inflateBack over the same 64 KiB reads),
// plain CreateFile/WriteFile, and nothing else: no checksum, no name rule, no
// dialog, no staging. A GUI program like the stub that loads user32 as the
// stub does (for wsprintfA), so both pay the same start-up: under Wine that
// alone costs more than extracting a small archive.
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include "SfxFormat.h"
#include "StubImage.h"

namespace {

struct Floor {
    HANDLE in;
    unsigned char input[64 * 1024];
    DWORD left;
    const char *folder;
    unsigned char head[SFX_ENTRY_HEAD_SIZE];
    size_t headFill;
    uint32_t remaining;
    HANDLE out;
};

unsigned Input(void *context, z_const unsigned char **buffer)
{
    Floor *f = (Floor *)context;
    DWORD take = f->left < sizeof(f->input) ? f->left : (DWORD)sizeof(f->input), got = 0;
    if (!take || !ReadFile(f->in, f->input, take, &got, NULL))
        return 0;
    f->left -= got;
    *buffer = f->input;
    return got;
}

int Output(void *context, unsigned char *data, unsigned length)
{
    Floor *f = (Floor *)context;
    while (length > 0) {
        if (f->headFill < sizeof(f->head)) {
            size_t take = sizeof(f->head) - f->headFill < length ? sizeof(f->head) - f->headFill : length;
            memcpy(f->head + f->headFill, data, take);
            f->headFill += take;
            data += take;
            length -= (unsigned)take;
            if (f->headFill < sizeof(f->head))
                break;
            char path[1024];
            f->head[259] = 0;
            wsprintfA(path, "%s\\%s", f->folder, (const char *)f->head);
            f->remaining = f->head[260] | f->head[261] << 8 | f->head[262] << 16 | (uint32_t)f->head[263] << 24;
            f->out = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        }
        DWORD take = f->remaining < length ? f->remaining : length, written = 0;
        if (take)
            WriteFile(f->out, data, take, &written, NULL);
        data += take;
        length -= take;
        f->remaining -= take;
        if (f->remaining == 0) {
            CloseHandle(f->out);
            f->headFill = 0;
        }
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 3)
        return 2;
    static Floor f;
    f.folder = __argv[2];
    f.in = CreateFileA(__argv[1], GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    uint8_t probe[STUB_IMAGE_PROBE], bytes[SFX_HEADER_SIZE];
    DWORD got = 0, high = 0;
    uint64_t size = GetFileSize(f.in, &high) | (uint64_t)high << 32, offset = 0;
    SfxHeader header;
    if (f.in == INVALID_HANDLE_VALUE || !ReadFile(f.in, probe, sizeof(probe), &got, NULL) ||
        !StubFindImageEnd(probe, got, size, &offset))
        return 1;
    LONG at = (LONG)(offset >> 32);
    SetFilePointer(f.in, (LONG)(DWORD)offset, &at, FILE_BEGIN);
    if (!ReadFile(f.in, bytes, sizeof(bytes), &got, NULL) || !SfxDecodeHeader(bytes, got, &header))
        return 1;
    unsigned char frame[2];
    ReadFile(f.in, frame, 2, &got, NULL);
    f.left = header.packedSize - 2;
    static unsigned char window[32768];
    z_stream stream;
    memset(&stream, 0, sizeof(stream));
    inflateBackInit(&stream, 15, window);
    int status = inflateBack(&stream, Input, &f, Output, &f);
    inflateBackEnd(&stream);
    return status == Z_STREAM_END ? 0 : 1;
}
