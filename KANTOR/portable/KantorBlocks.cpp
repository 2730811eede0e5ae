// KantorBlocks.cpp -- deflates one block of the compressor's stream and joins the blocks' check values.
#include "KantorBlocks.h"

#include <string.h>

int KantorDeflaterInit(KantorDeflater *d)
{
    memset(d, 0, sizeof(*d));
    // Raw deflate: the one zlib header and trailer are the joiner's.
    d->ready = deflateInit2(&d->zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    return d->ready;
}

void KantorDeflaterEnd(KantorDeflater *d)
{
    if (d->ready)
        deflateEnd(&d->zs);
    d->ready = 0;
}

size_t KantorBlockBound(size_t size)
{
    // compressBound counts the 6 bytes of a zlib wrapper that a raw block does not
    // write; the sync flush's empty stored block takes 5. The rest is spare.
    return compressBound((uLong)size) + 16;
}

int KantorDeflateBlock(KantorDeflater *d, const unsigned char *in, size_t dictSize, size_t size, int last,
                       unsigned char *out, size_t outSize, size_t *packedSize, unsigned long *adler)
{
    if (!d->ready || dictSize > KANTOR_DICT_SIZE || size > KANTOR_BLOCK_SIZE || outSize < KantorBlockBound(size))
        return 0;
    if (deflateReset(&d->zs) != Z_OK)
        return 0;
    if (dictSize && deflateSetDictionary(&d->zs, in, (uInt)dictSize) != Z_OK)
        return 0;
    d->zs.next_in = const_cast<unsigned char *>(in + dictSize);
    d->zs.avail_in = (uInt)size;
    d->zs.next_out = out;
    d->zs.avail_out = (uInt)outSize;
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
