// Expand.cpp -- inflating the packed block piece by piece straight into the work-stream reader.
#include "Stub.h"

#include <zlib.h>

#include "PackedFrame.h"
#include "SfxChecksum.h"
#include "WorkStream.h"

namespace {

enum {
    kInputChunk = 64 * 1024,
    kCommitStep = 1024 * 1024,
    kKeptPiece = 1024 * 1024,  // what ExpandKept hands on at a time: the files' writes and the progress steps
};

struct ExpandContext {
    uint8_t *input;
    uint32_t inputLeft;      // packed bytes not yet read from the file
    const uint8_t *pending;  // bytes read but not yet taken
    uint32_t pendingLength;
    int readFailed;
    int keeping;             // the checking pass: it stops where keeping stops
    int tooLarge;
    uint32_t crc;            // the packed block's checksum over what was read
    uint32_t adler;
    SfxWorkParser *parser;
    const SfxWorkSink *sink;
};

int Refill(ExpandContext *c)
{
    if (c->pendingLength > 0)
        return 1;
    if (c->inputLeft == 0)
        return 0;
    DWORD take = c->inputLeft < (DWORD)kInputChunk ? c->inputLeft : (DWORD)kInputChunk;
    DWORD got = 0;
    if (!ReadFile(Stub.selfFile, c->input, take, &got, NULL) || got != take) {
        c->readFailed = 1;
        return 0;
    }
    c->inputLeft -= take;
    c->crc = SfxChecksum(c->crc, c->input, take);
    Stub.packedDone += take;
    c->pending = c->input;
    c->pendingLength = take;
    return 1;
}

// Takes exactly n bytes of the frame (head or trailer) outside the deflate data.
int TakeBytes(ExpandContext *c, uint8_t *out, uint32_t n)
{
    for (uint32_t i = 0; i < n; i++) {
        if (!Refill(c))
            return 0;
        out[i] = *c->pending++;
        c->pendingLength--;
    }
    return 1;
}

unsigned InflateInput(void *context, z_const unsigned char **buffer)
{
    ExpandContext *c = (ExpandContext *)context;
    if (!Refill(c))
        return 0;
    *buffer = (z_const unsigned char *)c->pending;
    unsigned n = c->pendingLength;
    c->pendingLength = 0;
    return n;
}

// Appends to the kept stream, committing memory as it grows; past the limit,
// or when the system has no more, the copy is given up and the caller expands again.
void Keep(const uint8_t *data, size_t length)
{
    if (!Stub.kept)
        return;
    if (length > STUB_KEEP_LIMIT - Stub.keptUsed) {
        ReleaseKept();
        return;
    }
    size_t need = Stub.keptUsed + length;
    if (need > Stub.keptCommitted) {
        size_t grow = (need - Stub.keptCommitted + kCommitStep - 1) / kCommitStep * kCommitStep;
        if (grow > STUB_KEEP_LIMIT - Stub.keptCommitted ||
            !VirtualAlloc(Stub.kept + Stub.keptCommitted, grow, MEM_COMMIT, PAGE_READWRITE)) {
            ReleaseKept();
            return;
        }
        Stub.keptCommitted += grow;
    }
    memcpy(Stub.kept + Stub.keptUsed, data, length);
    Stub.keptUsed = need;
}

int InflateOutput(void *context, unsigned char *data, unsigned length)
{
    ExpandContext *c = (ExpandContext *)context;
    c->adler = SfxAdler32(c->adler, data, length);
    Keep(data, length);
    if (c->keeping && !Stub.kept) {
        c->tooLarge = 1;
        return 1;
    }
    return SfxWorkFeed(c->parser, c->sink, data, length) != SFX_WORK_OK;
}

}  // namespace

int CanStage(void)
{
    return GetModuleHandleA("ntdll.dll") != NULL;
}

void ReleaseKept(void)
{
    if (Stub.kept)
        VirtualFree(Stub.kept, 0, MEM_RELEASE);
    Stub.kept = NULL;
    Stub.keptUsed = 0;
    Stub.keptCommitted = 0;
}

int ExpandKept(const SfxWorkSink *sink, SfxWorkParser *parser)
{
    SfxWorkInit(parser);
    int status = SFX_WORK_OK;
    for (size_t at = 0; status == SFX_WORK_OK && at < Stub.keptUsed; at += kKeptPiece) {
        size_t piece = Stub.keptUsed - at < (size_t)kKeptPiece ? Stub.keptUsed - at : (size_t)kKeptPiece;
        status = SfxWorkFeed(parser, sink, Stub.kept + at, piece);
    }
    if (status == SFX_WORK_OK)
        status = SfxWorkFinish(parser);
    ReleaseKept();
    return status == SFX_WORK_OK ? EXPAND_OK : EXPAND_WORK;
}

int ExpandArchive(const SfxWorkSink *sink, SfxWorkParser *parser, int keep)
{
    LONG high = (LONG)((Stub.headerOffset + SFX_HEADER_SIZE) >> 32);
    if (SetFilePointer(Stub.selfFile, (LONG)(DWORD)(Stub.headerOffset + SFX_HEADER_SIZE), &high,
                       FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return EXPAND_READ;

    ExpandContext c;
    ZeroMemory(&c, sizeof(c));
    c.inputLeft = Stub.header.packedSize;
    c.adler = 1;
    c.parser = parser;
    c.sink = sink;
    Stub.packedDone = 0;
    SfxWorkInit(parser);
    ReleaseKept();
    if (keep) {
        Stub.kept = (uint8_t *)VirtualAlloc(NULL, STUB_KEEP_LIMIT, MEM_RESERVE, PAGE_READWRITE);
        // The 95 family has no native file calls to stage with: the whole
        // stream is checked here and expanded again to be written.
        c.keeping = CanStage();
    }

    // One expansion at a time: the buffers need no allocation, nor a failure path.
    static uint8_t input[kInputChunk];
    static unsigned char window[32768];
    c.input = input;

    int result = EXPAND_DAMAGED;
    uint8_t frame[4];
    z_stream stream;
    ZeroMemory(&stream, sizeof(stream));
    if (TakeBytes(&c, frame, 2) && SfxPackedHeadOk(frame[0], frame[1])) {
        if (inflateBackInit(&stream, 15, window) != Z_OK) {
            result = EXPAND_MEMORY;
        } else {
            int status = inflateBack(&stream, InflateInput, &c, InflateOutput, &c);
            // inflateBack hands back what it read past the end of the deflate data.
            c.pending = stream.next_in;
            c.pendingLength = stream.next_in ? stream.avail_in : 0;
            inflateBackEnd(&stream);
            if (c.tooLarge)
                result = EXPAND_LARGE;
            else if (parser->error)
                result = EXPAND_WORK;
            else if (status == Z_STREAM_END && TakeBytes(&c, frame, 4) &&
                     SfxPackedTrailer(frame) == c.adler && c.pendingLength == 0 && c.inputLeft == 0)
                result = SfxWorkFinish(parser) == SFX_WORK_OK ? EXPAND_OK : EXPAND_WORK;
        }
    }
    // Unless stopped on purpose, the block is read to its end and its checksum
    // has the last word: damage is called by that name, whatever the
    // inflater or the records made of it.
    if (!c.tooLarge && result != EXPAND_MEMORY && parser->error != SFX_WORK_STOPPED) {
        do
            c.pendingLength = 0;
        while (Refill(&c));
        if (c.crc != Stub.header.packedCrc)
            result = EXPAND_CHECKSUM;
    }
    if (c.readFailed)
        result = EXPAND_READ;
    if (result != EXPAND_OK)
        ReleaseKept();
    return result;
}
