// PackedFrame.cpp -- checks of the packed block's zlib frame, for an inflater that leaves it to its caller.
#include "PackedFrame.h"

int SfxPackedHeadOk(uint8_t cmf, uint8_t flg)
{
    if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7)
        return 0;
    if ((((uint32_t)cmf << 8) | flg) % 31 != 0)
        return 0;
    return (flg & 0x20) == 0;
}

uint32_t SfxAdler32(uint32_t adler, const uint8_t *data, size_t length)
{
    const uint32_t kBase = 65521;
    uint32_t a = adler & 0xFFFF;
    uint32_t b = adler >> 16;
    while (length > 0) {
        // 5552 bytes is the most that can be summed before b could overflow.
        size_t block = length < 5552 ? length : 5552;
        length -= block;
        // Four at a time: the sums' dependency chain is the whole cost of the loop.
        for (; block >= 4; block -= 4, data += 4) {
            a += data[0];
            b += a;
            a += data[1];
            b += a;
            a += data[2];
            b += a;
            a += data[3];
            b += a;
        }
        while (block--) {
            a += *data++;
            b += a;
        }
        a %= kBase;
        b %= kBase;
    }
    return (b << 16) | a;
}

uint32_t SfxPackedTrailer(const uint8_t trailer[4])
{
    return ((uint32_t)trailer[0] << 24) | ((uint32_t)trailer[1] << 16) | ((uint32_t)trailer[2] << 8) |
           trailer[3];
}
