// StubImage.cpp -- locating the end of the stub's own image from its section table.
#include "StubImage.h"

#include "ByteReader.h"

namespace {

const uint32_t kSectionHeaderSize = 40;
const uint32_t kSecurityDirectory = 4;

}  // namespace

int StubFindImageEnd(const uint8_t *head, size_t headLength, uint64_t fileSize, uint64_t *imageEnd)
{
    ByteReader r(head, headLength);
    const uint8_t *mz = r.Take(2);
    if (!imageEnd || !mz || mz[0] != 'M' || mz[1] != 'Z')
        return 0;
    r.Seek(0x3C);
    r.Seek(r.Le32());
    uint32_t signature = r.Le32();  // "PE\0\0"
    r.Skip(2);                      // machine
    uint32_t sectionCount = r.Le16();
    r.Skip(12);                     // time stamp, symbol table, symbol count
    uint32_t optionalSize = r.Le16();
    r.Skip(2);                      // characteristics
    const uint8_t *optional = r.Take(optionalSize);
    const uint8_t *sections = r.Take((size_t)sectionCount * kSectionHeaderSize);
    if (!r.ok || signature != 0x00004550 || sectionCount == 0)
        return 0;

    uint64_t end = 0;
    for (uint32_t i = 0; i < sectionCount; i++) {
        const uint8_t *s = sections + (size_t)i * kSectionHeaderSize;
        uint64_t rawSize = ReadLe32(s + 16);
        uint64_t rawOffset = ReadLe32(s + 20);
        if (rawSize != 0 && rawOffset + rawSize > end)
            end = rawOffset + rawSize;
    }
    // The headers alone are an image too, if an odd one.
    if (end < r.offset)
        return 0;

    // Data directories: PE32 keeps them at 96, PE32+ at 112 into the optional header.
    uint32_t magic = optionalSize >= 2 ? ReadLe16(optional) : 0;
    uint32_t directories = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
    if (directories != 0 && optionalSize >= directories) {
        uint32_t count = ReadLe32(optional + directories - 4);
        uint32_t entry = directories + kSecurityDirectory * 8;
        if (count > kSecurityDirectory && entry + 8 <= optionalSize) {
            // Unlike other directories this one holds a file offset, not an address.
            uint64_t certOffset = ReadLe32(optional + entry);
            uint64_t certSize = ReadLe32(optional + entry + 4);
            if (certSize != 0 && certOffset == end)
                end += (certSize + 7) & ~(uint64_t)7;
        }
    }
    if (end > fileSize)
        return 0;
    *imageEnd = end;
    return 1;
}
