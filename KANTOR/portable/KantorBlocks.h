// KantorBlocks.h -- one zlib stream made of blocks deflated apart, so that every processor can take one.
//
// The stream, as any inflater reads it:
//   2 bytes   zlib header 78 DA (deflate, 32 KB window, best compression, no dictionary)
//   blocks    raw deflate, one per input block of KANTOR_BLOCK_SIZE bytes. Every block but
//             the last ends with a sync flush (an empty stored block), so it ends on a byte
//             boundary and the next block's bits simply follow; the last one sets the final bit.
//   4 bytes   adler32 of the whole input, big-endian: the blocks' own values combined
//
// The last block is the first one shorter than KANTOR_BLOCK_SIZE: an input of a whole
// number of blocks ends with an empty one. Each block is deflated with the 32 KB of input before it as
// its preset dictionary, so its matches reach back across the seam as they would in one pass;
// the inflater holds those bytes in its window already and needs no dictionary.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <zlib.h>

enum {
    KANTOR_BLOCK_SIZE = 1 << 20,
    KANTOR_DICT_SIZE = 32768,
    // Each block is taken in chunks of this size; a chunk of packed bytes is stored, not deflated.
    KANTOR_CHUNK_SIZE = 65536,
    KANTOR_PROBE_BITS = 14,
    KANTOR_PROBE_SLOTS = 1 << KANTOR_PROBE_BITS,
    KANTOR_HEADER_SIZE = 2,
    KANTOR_TRAILER_SIZE = 4,
};

// One per thread, reused for every block that thread deflates.
struct KantorDeflater {
    z_stream zs;
    int ready;
    int level;                            // what the stream deflates at now
    uint32_t newest[KANTOR_PROBE_SLOTS];  // the chunk probe's table of 4-byte strings
};

int KantorDeflaterInit(KantorDeflater *d);
void KantorDeflaterEnd(KantorDeflater *d);

// Room the deflated form of a block of size bytes needs at most.
size_t KantorBlockBound(size_t size);

// Deflates in[dictSize, dictSize + size), with in[0, dictSize) (at most KANTOR_DICT_SIZE
// bytes, the input just before the block) as its dictionary, into out. Sets *packedSize
// and *adler (the block's own adler32). Fails when out has less than KantorBlockBound(size).
int KantorDeflateBlock(KantorDeflater *d, const unsigned char *in, size_t dictSize, size_t size, int last,
                       unsigned char *out, size_t outSize, size_t *packedSize, unsigned long *adler);

// Copies the dictionary of the next block, the last bytes of the previous block's buffer
// (its dictionary and data), to the front of next; returns its size.
size_t KantorCarryDictionary(const unsigned char *prev, size_t prevDictSize, size_t prevSize, unsigned char *next);

// The check value of the blocks joined so far.
struct KantorJoin {
    unsigned long adler;
};

void KantorJoinStart(KantorJoin *j, unsigned char header[KANTOR_HEADER_SIZE]);
void KantorJoinAdd(KantorJoin *j, unsigned long blockAdler, size_t blockSize);
void KantorJoinFinish(const KantorJoin *j, unsigned char trailer[KANTOR_TRAILER_SIZE]);
