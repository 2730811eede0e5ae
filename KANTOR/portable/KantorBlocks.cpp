// KantorBlocks.cpp -- deflates one block of the compressor's stream and joins the blocks' check values.
#include "KantorBlocks.h"

#include <stdint.h>
#include <string.h>

int KantorDeflaterInit(KantorDeflater *d)
{
    memset(d, 0, sizeof(*d));
    // Raw deflate: the one zlib header and trailer are the joiner's.
    d->ready = deflateInit2(&d->zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    d->level = Z_BEST_COMPRESSION;
    return d->ready;
}

namespace {

enum {
    // Below this many bytes a chunk is always deflated: too few for the counts to tell.
    MIN_PROBE = 4096,
};

// Whether deflate would gain next to nothing on in[start, start + size), which has
// start bytes of history before it: bytes spread evenly over all 256 values (an
// order-0 deficit under about 0.006 bits a byte, where Huffman codes can't gain)
// and hardly a 4-byte string seen before within the window. Packed files (archives,
// images, media) look like that, and deflating them at level 9 costs as much as
// text. Integers only: KANTOR.EXE and broltbuild must decide alike on every build.
int IsIncompressible(uint32_t newest[KANTOR_PROBE_SLOTS], const unsigned char *in, size_t start, size_t size)
{
    if (size < MIN_PROBE)
        return 0;
    const unsigned char *p = in + start;
    uint32_t counts[256] = {0};
    for (size_t i = 0; i < size; i++)
        counts[p[i]]++;
    // 256 x chi-square against an even spread, below 512 (random bytes give about 255).
    unsigned long long spread = 0;
    for (int v = 0; v < 256; v++) {
        long long diff = 256 * (long long)counts[v] - (long long)size;
        spread += (unsigned long long)(diff * diff);
    }
    if (spread >= 131072ull * size)
        return 0;
    // The newest position of each hashed 4-byte string, in the window and the chunk.
    memset(newest, 0xFF, KANTOR_PROBE_SLOTS * sizeof(newest[0]));
    size_t from = start > (size_t)KANTOR_DICT_SIZE ? start - KANTOR_DICT_SIZE : 0;
    size_t end = start + size - 3, repeats = 0;
    for (size_t i = from; i < end; i++) {
        uint32_t four = (uint32_t)in[i] | (uint32_t)in[i + 1] << 8 | (uint32_t)in[i + 2] << 16 | (uint32_t)in[i + 3] << 24;
        uint32_t h = (four * 2654435761u) >> (32 - KANTOR_PROBE_BITS);
        uint32_t seen = newest[h];
        newest[h] = (uint32_t)i;
        if (i >= start && seen != 0xFFFFFFFFu && i - seen <= KANTOR_DICT_SIZE && memcmp(in + seen, in + i, 4) == 0)
            repeats++;
    }
    // One string in 1024 may repeat: a 4-byte match saves at most a few bits.
    return repeats * 1024 < size;
}

// Deflates in[start, start + size) at the level it asks for, the input consumed whole.
int DeflateChunk(KantorDeflater *d, const unsigned char *in, size_t start, size_t size)
{
    int level = IsIncompressible(d->newest, in, start, size) ? Z_NO_COMPRESSION : Z_BEST_COMPRESSION;
    // Changing the level first ends the pending deflate block at a byte-exact point of the input.
    if (level != d->level) {
        if (deflateParams(&d->zs, level, Z_DEFAULT_STRATEGY) != Z_OK)
            return 0;
        d->level = level;
    }
    d->zs.next_in = const_cast<unsigned char *>(in + start);
    d->zs.avail_in = (uInt)size;
    return deflate(&d->zs, Z_NO_FLUSH) == Z_OK && d->zs.avail_in == 0;
}

}  // namespace

void KantorDeflaterEnd(KantorDeflater *d)
{
    if (d->ready)
        deflateEnd(&d->zs);
    d->ready = 0;
}

size_t KantorBlockBound(size_t size)
{
    // compressBound counts the 6 bytes of a zlib wrapper that a raw block does not
    // write; the sync flush's empty stored block takes 5, and so may the end of each
    // chunk where the level changes. The rest is spare.
    return compressBound((uLong)size) + 16 + 5 * (size / KANTOR_CHUNK_SIZE + 1);
}

int KantorDeflateBlock(KantorDeflater *d, const unsigned char *in, size_t dictSize, size_t size, int last,
                       unsigned char *out, size_t outSize, size_t *packedSize, unsigned long *adler)
{
    if (!d->ready || dictSize > KANTOR_DICT_SIZE || size > KANTOR_BLOCK_SIZE || outSize < KantorBlockBound(size))
        return 0;
    if (deflateReset(&d->zs) != Z_OK)
        return 0;
    // Every block starts at level 9, whatever the one before ended with.
    if (d->level != Z_BEST_COMPRESSION && deflateParams(&d->zs, Z_BEST_COMPRESSION, Z_DEFAULT_STRATEGY) != Z_OK)
        return 0;
    d->level = Z_BEST_COMPRESSION;
    if (dictSize && deflateSetDictionary(&d->zs, in, (uInt)dictSize) != Z_OK)
        return 0;
    d->zs.avail_in = 0;
    d->zs.next_out = out;
    d->zs.avail_out = (uInt)outSize;
    for (size_t done = 0; done < size; done += KANTOR_CHUNK_SIZE) {
        size_t n = size - done < (size_t)KANTOR_CHUNK_SIZE ? size - done : (size_t)KANTOR_CHUNK_SIZE;
        if (!DeflateChunk(d, in, dictSize + done, n))
            return 0;
    }
    d->zs.avail_in = 0;
    int rc = deflate(&d->zs, last ? Z_FINISH : Z_SYNC_FLUSH);
    // A sync flush that filled the buffer may be incomplete; the bound leaves room, so that is a fault.
    int whole = last ? rc == Z_STREAM_END : rc == Z_OK && d->zs.avail_in == 0 && d->zs.avail_out > 0;
    if (!whole)
        return 0;
    *packedSize = outSize - d->zs.avail_out;
    *adler = adler32(adler32(0, Z_NULL, 0), in + dictSize, (uInt)size);
    return 1;
}

size_t KantorCarryDictionary(const unsigned char *prev, size_t prevDictSize, size_t prevSize, unsigned char *next)
{
    size_t total = prevDictSize + prevSize;
    size_t keep = total < (size_t)KANTOR_DICT_SIZE ? total : (size_t)KANTOR_DICT_SIZE;
    memcpy(next, prev + total - keep, keep);
    return keep;
}

void KantorJoinStart(KantorJoin *j, unsigned char header[KANTOR_HEADER_SIZE])
{
    // What deflateInit at level 9 writes: CMF 0x78, FLG 0xDA (FLEVEL 3, no
    // dictionary, header divisible by 31).
    header[0] = 0x78;
    header[1] = 0xDA;
    j->adler = adler32(0, Z_NULL, 0);
}

void KantorJoinAdd(KantorJoin *j, unsigned long blockAdler, size_t blockSize)
{
    j->adler = adler32_combine(j->adler, blockAdler, (z_off_t)blockSize);
}

void KantorJoinFinish(const KantorJoin *j, unsigned char trailer[KANTOR_TRAILER_SIZE])
{
    for (int i = 0; i < KANTOR_TRAILER_SIZE; i++)
        trailer[i] = (unsigned char)(j->adler >> (8 * (KANTOR_TRAILER_SIZE - 1 - i)));
}
