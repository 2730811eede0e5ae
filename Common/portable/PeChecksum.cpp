// PeChecksum.cpp -- the standard PE image checksum in our own code: old
// systems lack the helper DLL that computes it.
#include "PeChecksum.h"

#include <string.h>

#include "ByteReader.h"

int PeChecksumFieldOffset(const uint8_t *data, size_t size, uint32_t *fieldOffset)
{
    ByteReader r(data, size);
    const uint8_t *mz = r.Take(2);
    r.Seek(0x3C);
    uint32_t pe = r.Le32();
    r.Seek(pe);
    const uint8_t *signature = r.Take(4);
    // file header (20) + optional header up to the field (64) + the field (4)
    r.Skip(20 + 64 + 4);
    if (!r.ok || memcmp(mz, "MZ", 2) != 0 || memcmp(signature, "PE\0\0", 4) != 0)
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
    return ReadLe32(data + fieldOffset);
}
