// StubChecksum.cpp -- reflected CRC-32 eight bytes at a time, register from 0, no final inversion.
#include "StubChecksum.h"

void StubChecksumInit(StubChecksumTable *table)
{
    uint32_t(*t)[256] = table->entry;
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][i] = c;
    }
    for (int k = 1; k < 8; k++) {
        for (uint32_t i = 0; i < 256; i++)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
}

uint32_t StubChecksum(const StubChecksumTable *table, uint32_t crc, const void *data, size_t length)
{
    const uint32_t(*t)[256] = table->entry;
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
