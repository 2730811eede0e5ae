// SfxChecksum.cpp -- the packed block's CRC-32 variant, eight bytes a step.
//
// The stub sums every packed byte before it expands any, and a byte at a time
// that pass took longer than the expansion. The tables are filled at run time:
// built at compile time they would cost the stub's file 8 KiB.
#include "SfxChecksum.h"

namespace {

// entry[k][i]: byte i followed by k zero bytes; entry[0] is the standard table.
uint32_t gTable[8][256];
int gTableReady;

void FillTable(void)
{
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        gTable[0][i] = c;
    }
    for (int k = 1; k < 8; k++) {
        for (uint32_t i = 0; i < 256; i++)
            gTable[k][i] = (gTable[k - 1][i] >> 8) ^ gTable[0][gTable[k - 1][i] & 0xFF];
    }
    gTableReady = 1;
}

}  // namespace

uint32_t SfxChecksum(uint32_t crc, const void *data, size_t length)
{
    if (!gTableReady)
        FillTable();
    const uint32_t(*t)[256] = gTable;
    const uint8_t *p = static_cast<const uint8_t *>(data);
    for (; length >= 8; length -= 8, p += 8) {
        crc ^= (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
        crc = t[7][crc & 0xFF] ^ t[6][(crc >> 8) & 0xFF] ^ t[5][(crc >> 16) & 0xFF] ^ t[4][crc >> 24] ^
              t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; length > 0; length--, p++)
        crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
    return crc;
}
