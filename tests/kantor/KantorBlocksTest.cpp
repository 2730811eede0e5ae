// KantorBlocksTest.cpp -- blocks deflated apart and joined read back as one zlib stream, about as small as one pass.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "KantorBlocks.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// What KANTOR.EXE's threads do, one block after the other.
Bytes Pack(const Bytes &in, size_t blockSize = KANTOR_BLOCK_SIZE)
{
    Bytes out(KANTOR_HEADER_SIZE);
    KantorJoin join;
    KantorJoinStart(&join, out.data());
    KantorDeflater d;
    if (!KantorDeflaterInit(&d))
        return Bytes();
    Bytes prev(KANTOR_DICT_SIZE + blockSize), cur(prev.size()), packed(KantorBlockBound(blockSize));
    size_t prevDict = 0, prevSize = 0, pos = 0;
    for (int n = 0, last = 0; !last; n++) {
        size_t dict = n ? KantorCarryDictionary(prev.data(), prevDict, prevSize, cur.data()) : 0;
        size_t size = std::min(blockSize, in.size() - pos);
        if (size)
            memcpy(cur.data() + dict, in.data() + pos, size);
        pos += size;
        last = size < blockSize;
        size_t packedSize = 0;
        unsigned long adler = 0;
        if (!KantorDeflateBlock(&d, cur.data(), dict, size, last, packed.data(), packed.size(), &packedSize, &adler)) {
            KantorDeflaterEnd(&d);
            return Bytes();
        }
        out.insert(out.end(), packed.begin(), packed.begin() + packedSize);
        KantorJoinAdd(&join, adler, size);
        prev.swap(cur);
        prevDict = dict;
        prevSize = size;
    }
    KantorDeflaterEnd(&d);
    out.resize(out.size() + KANTOR_TRAILER_SIZE);
    KantorJoinFinish(&join, &out[out.size() - KANTOR_TRAILER_SIZE]);
    return out;
}

// inflate checks the header and the adler32 at the end of the stream itself.
bool Unpack(const Bytes &packed, size_t expect, Bytes *out)
{
    out->assign(expect + 1, 0);
    z_stream zs;
    memset(&zs, 0, sizeof(zs));
    if (inflateInit(&zs) != Z_OK)
        return false;
    zs.next_in = const_cast<unsigned char *>(packed.data());
    zs.avail_in = (uInt)packed.size();
    zs.next_out = out->data();
    zs.avail_out = (uInt)out->size();
    int rc = inflate(&zs, Z_FINISH);
    out->resize(zs.total_out);
    bool whole = rc == Z_STREAM_END && zs.avail_in == 0;
    inflateEnd(&zs);
    return whole;
}

// Lines of words, as in the benchmark's documents, with a stretch of noise in the middle.
Bytes Sample(size_t size)
{
    static const char *const words[] = {"setup ", "install ", "file ", "folder ", "registry ", "value ",
                                        "the ", "of ", "and ", "window ", "dialog ", "error\r\n"};
    Bytes b(size);
    unsigned x = 12345;
    for (size_t i = 0; i < size;) {
        x = x * 1103515245u + 12345u;
        if (i > size / 3 && i < size / 2) {
            b[i++] = (unsigned char)(x >> 16);
            continue;
        }
        for (const char *w = words[(x >> 16) % 12]; *w && i < size; w++)
            b[i++] = (unsigned char)*w;
    }
    return b;
}

uLong AdlerOf(const Bytes &b)
{
    return adler32(adler32(0, Z_NULL, 0), b.data(), (uInt)b.size());
}

uLong TrailerOf(const Bytes &packed)
{
    const unsigned char *t = &packed[packed.size() - KANTOR_TRAILER_SIZE];
    return (uLong)t[0] << 24 | (uLong)t[1] << 16 | (uLong)t[2] << 8 | t[3];
}

}  // namespace

TEST(KantorBlocks, EverySizeAroundTheBlockSeamsComesBackWhole)
{
    const size_t B = KANTOR_BLOCK_SIZE;
    for (size_t size : {(size_t)0, (size_t)1, B - 1, B, B + 1, 2 * B + 54321}) {
        Bytes in = Sample(size), back;
        Bytes packed = Pack(in);
        ASSERT_GT(packed.size(), (size_t)KANTOR_HEADER_SIZE + KANTOR_TRAILER_SIZE) << size;
        EXPECT_EQ(0x78, packed[0]);
        EXPECT_EQ(0xDA, packed[1]);
        EXPECT_EQ(AdlerOf(in), TrailerOf(packed)) << size;
        ASSERT_TRUE(Unpack(packed, size, &back)) << size;
        EXPECT_TRUE(in == back) << size;
    }
}

TEST(KantorBlocks, DictionaryReachesBackOverBlocksSmallerThanItself)
{
    // Blocks of 1000 bytes: a block's dictionary is cut from several blocks before it,
    // and its matches point into them. A wrong cut reads back as other bytes.
    for (size_t size : {(size_t)999, (size_t)1000, (size_t)40000, (size_t)100001}) {
        Bytes in = Sample(size), back;
        Bytes packed = Pack(in, 1000);
        ASSERT_TRUE(Unpack(packed, size, &back)) << size;
        EXPECT_TRUE(in == back) << size;
        EXPECT_EQ(AdlerOf(in), TrailerOf(packed)) << size;
    }
}

TEST(KantorBlocks, AtMostHalfAPercentLargerThanOnePassAtLevel9)
{
    // Blocks of 64 KB, seams 16 times as often as KANTOR's own: without the carried
    // dictionary they come out nearly 3% larger than one pass.
    Bytes in = Sample(KANTOR_BLOCK_SIZE + 777);
    Bytes one(compressBound((uLong)in.size()));
    uLongf oneSize = (uLongf)one.size();
    ASSERT_EQ(Z_OK, compress2(one.data(), &oneSize, in.data(), (uLong)in.size(), Z_BEST_COMPRESSION));
    EXPECT_LE(Pack(in, 65536).size(), oneSize + oneSize / 200);
}
