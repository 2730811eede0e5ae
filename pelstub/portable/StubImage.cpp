// StubImage.cpp -- locating the end of the stub's own image from its section table.
#include "StubImage.h"

namespace {

uint32_t ReadU16(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8);
}

uint32_t ReadU32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

const uint32_t kSectionHeaderSize = 40;
const uint32_t kSecurityDirectory = 4;

}  // namespace

int StubFindImageEnd(const uint8_t *head, size_t headLength, uint64_t fileSize, uint64_t *imageEnd)
{
    if (!head || !imageEnd || headLength < 0x40 || head[0] != 'M' || head[1] != 'Z')
        return 0;
    uint64_t pe = ReadU32(head + 0x3C);
    if (pe + 24 > headLength || ReadU32(head + pe) != 0x00004550)  // "PE\0\0"
        return 0;
    const uint8_t *fileHeader = head + pe + 4;
    uint32_t sectionCount = ReadU16(fileHeader + 2);
    uint32_t optionalSize = ReadU16(fileHeader + 16);
    uint64_t optional = pe + 24;
    uint64_t sections = optional + optionalSize;
    if (sectionCount == 0 || sections + (uint64_t)sectionCount * kSectionHeaderSize > headLength)
        return 0;

    uint64_t end = 0;
    for (uint32_t i = 0; i < sectionCount; i++) {
        const uint8_t *s = head + sections + (uint64_t)i * kSectionHeaderSize;
        uint64_t rawSize = ReadU32(s + 16);
        uint64_t rawOffset = ReadU32(s + 20);
        if (rawSize != 0 && rawOffset + rawSize > end)
            end = rawOffset + rawSize;
    }
    // The headers alone are an image too, if an odd one.
    if (end < sections + (uint64_t)sectionCount * kSectionHeaderSize)
        return 0;

    // Data directories: PE32 keeps them at 96, PE32+ at 112 into the optional header.
    uint32_t magic = optionalSize >= 2 ? ReadU16(head + optional) : 0;
    uint64_t directories = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
    if (directories != 0 && optionalSize >= directories) {
        uint32_t count = ReadU32(head + optional + directories - 4);
        uint64_t entry = optional + directories + (uint64_t)kSecurityDirectory * 8;
        if (count > kSecurityDirectory && entry + 8 <= optional + optionalSize) {
            // Unlike other directories this one holds a file offset, not an address.
            uint64_t certOffset = ReadU32(head + entry);
            uint64_t certSize = ReadU32(head + entry + 4);
            if (certSize != 0 && certOffset == end)
                end += (certSize + 7) & ~(uint64_t)7;
        }
    }
    if (end > fileSize)
        return 0;
    *imageEnd = end;
    return 1;
}
