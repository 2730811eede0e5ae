// PeChecksum.cpp -- the standard PE image checksum in our own code: old
// systems lack the helper DLL that computes it.
#include "PeChecksum.h"

static uint32_t ReadLE32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

int PeChecksumFieldOffset(const uint8_t *data, size_t size, uint32_t *fieldOffset)
{
    if (size < 0x40 || data[0] != 'M' || data[1] != 'Z')
        return 0;
    uint32_t pe = ReadLE32(data + 0x3C);
    // signature (4) + file header (20) + optional header up to the field (64) + field (4)
    if (pe > size || size - pe < 4 + 20 + 64 + 4)
        return 0;
    if (data[pe] != 'P' || data[pe + 1] != 'E' || data[pe + 2] != 0 || data[pe + 3] != 0)
        return 0;
    *fieldOffset = pe + 4 + 20 + 64;
    return 1;
}

uint32_t PeChecksumAdd(uint32_t sum, const uint8_t *data, size_t size, uint64_t start,
                       uint32_t fieldOffset)
{
    for (size_t i = 0; i < size; i += 2) {
        uint64_t at = start + i;
        if (at == fieldOffset || at == (uint64_t)fieldOffset + 2)
            continue;
        uint32_t word = data[i];
        if (i + 1 < size)
            word |= (uint32_t)data[i + 1] << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum;
}

uint32_t PeChecksumFinish(uint32_t sum, uint64_t fileLength)
{
    sum = (sum & 0xFFFF) + (sum >> 16);
    return (uint32_t)(sum + fileLength);
}

uint32_t PeChecksum(const uint8_t *data, size_t size, uint32_t fieldOffset)
{
    return PeChecksumFinish(PeChecksumAdd(0, data, size, 0, fieldOffset), size);
}

uint32_t PeStoredChecksum(const uint8_t *data, uint32_t fieldOffset)
{
    return ReadLE32(data + fieldOffset);
}
