// SfxTestArchive.h -- writes self-extractors for the stub's tests, hostile ones included.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "SfxFormat.h"

struct TestFile {
    std::string name;              // stored as given, up to 260 bytes, no terminator check
    std::string contents;
    int64_t sizeOverride = -1;     // a size field that lies about the contents
};

struct TestArchive {
    SfxHeader header;              // SfxInitHeader'ed by the constructor; packed fields are filled on write
    std::vector<TestFile> files;
    int corruptCrc = 0;            // store a wrong packedCrc
    int level = 6;                 // zlib's level: 0 stores, the packed block as long as the stream
    int64_t packedSizeOverride = -1;
    std::string rawWorkStream;     // used instead of the files when not empty
    std::string trailing;          // bytes appended after the packed block

    TestArchive();
    void SetText(char *field, size_t fieldSize, const std::string &text);
    void SetDestinationMarker(uint8_t marker);
};

// The work stream of the archive's files.
std::string BuildWorkStream(const TestArchive &archive);

// pelstub.bin (read from the current directory), header, zlib-packed work
// stream. Returns false when the stub can't be read or the file written.
bool WriteTestSfx(const std::string &path, TestArchive archive);
