// StubChecksum.cpp -- reflected CRC-32 four bytes at a time, register from 0, no final inversion.
#include "StubChecksum.h"

namespace {

uint32_t Table[4][256];
int TableBuilt;

void BuildTable(void)
{
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        Table[0][i] = c;
    }
    // Table[k][i]: byte i followed by k zero bytes.
    for (int k = 1; k < 4; k++) {
        for (uint32_t i = 0; i < 256; i++)
            Table[k][i] = (Table[k - 1][i] >> 8) ^ Table[0][Table[k - 1][i] & 0xFF];
    }
    TableBuilt = 1;
}

}  // namespace

uint32_t StubChecksum(uint32_t crc, const void *data, size_t length)
{
    if (!TableBuilt)
        BuildTable();
    const uint8_t *p = static_cast<const uint8_t *>(data);
    for (; length >= 4; length -= 4, p += 4) {
        crc ^= (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
        crc = Table[3][crc & 0xFF] ^ Table[2][(crc >> 8) & 0xFF] ^ Table[1][(crc >> 16) & 0xFF] ^ Table[0][crc >> 24];
    }
    for (; length > 0; length--, p++)
        crc = (crc >> 8) ^ Table[0][(crc ^ *p) & 0xFF];
    return crc;
}
