// SfxTestArchive.cpp -- test-side writer of self-extractors, able to break every rule on purpose.
#include "SfxTestArchive.h"

#include <windows.h>
#include <zlib.h>

#include <string.h>

#include "SfxChecksum.h"
#include "SystemTest.h"

TestArchive::TestArchive()
{
    SfxInitHeader(&header);
    header.showDialog = 0;
    header.overwriteMode = SFX_OVERWRITE_ALL;
}

void TestArchive::SetText(char *field, size_t fieldSize, const std::string &text)
{
    memset(field, 0, fieldSize);
    memcpy(field, text.data(), text.size() < fieldSize ? text.size() : fieldSize);
}

void TestArchive::SetDestinationMarker(uint8_t marker)
{
    memset(header.destination, 0, sizeof(header.destination));
    header.destination[0] = (char)marker;
}

std::string BuildWorkStream(const TestArchive &archive)
{
    std::string work;
    for (const TestFile &file : archive.files) {
        SfxFileEntry entry;
        memset(&entry, 0, sizeof(entry));
        memcpy(entry.name, file.name.data(), file.name.size() < sizeof(entry.name) ? file.name.size() : sizeof(entry.name));
        entry.size = file.sizeOverride >= 0 ? (uint32_t)file.sizeOverride : (uint32_t)file.contents.size();
        uint8_t head[SFX_ENTRY_HEAD_SIZE];
        SfxEncodeEntryHead(&entry, head);
        work.append((const char *)head, sizeof(head));
        work += file.contents;
    }
    return work;
}

bool WriteTestSfx(const std::string &path, TestArchive archive)
{
    std::string stub = ReadWholeFile("pelstub.bin");
    if (stub.empty())
        return false;
    std::string work = archive.rawWorkStream.empty() ? BuildWorkStream(archive) : archive.rawWorkStream;
    uLongf packedLength = compressBound((uLong)work.size());
    std::string packed(packedLength, '\0');
    if (compress2((Bytef *)&packed[0], &packedLength, (const Bytef *)work.data(), (uLong)work.size(), archive.level) != Z_OK)
        return false;
    packed.resize(packedLength);

    archive.header.packedFlag = 1;
    archive.header.packedSize =
        archive.packedSizeOverride >= 0 ? (uint32_t)archive.packedSizeOverride : (uint32_t)packed.size();
    archive.header.packedCrc = SfxChecksum(0, packed.data(), packed.size()) ^ (archive.corruptCrc ? 0x1u : 0u);
    uint8_t head[SFX_HEADER_SIZE];
    SfxEncodeHeader(&archive.header, head);
    return WriteTextFile(path, stub + std::string((const char *)head, sizeof(head)) + packed + archive.trailing);
}
