// SfxChecksum.cpp -- the packed block's CRC-32 variant, table built at compile time.
#include "SfxChecksum.h"

namespace {

struct CrcTable {
    uint32_t entry[256];
    constexpr CrcTable() : entry() {
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++)
                c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            entry[i] = c;
        }
    }
};

constexpr CrcTable kTable;

}  // namespace

uint32_t SfxChecksum(uint32_t crc, const void *data, size_t length)
{
    const uint8_t *p = static_cast<const uint8_t *>(data);
    for (size_t i = 0; i < length; i++)
        crc = (crc >> 8) ^ kTable.entry[(crc ^ p[i]) & 0xFF];
    return crc;
}
