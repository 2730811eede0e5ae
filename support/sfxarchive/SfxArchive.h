// SfxArchive.h -- a self-extractor taken apart for tests, records read by the stub's own reader.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

#include "SfxFormat.h"
#include "WorkStream.h"

struct ArchivedFile {
    std::string name;
    std::string contents;
};

struct SfxArchive {
    SfxHeader header;
    std::vector<ArchivedFile> files;
};

// Expands one whole zlib stream; false unless it ends exactly at the end of the data.
bool InflateBlock(const uint8_t *data, size_t length, std::string *out);

// Feeds the expanded stream to the stub's reader in pieces of `piece` bytes;
// returns SFX_WORK_OK or the reader's error, *files the records it handed on.
int WalkWorkStream(const std::string &stream, size_t piece, std::vector<ArchivedFile> *files);

// The bytes of a file whose stub is stubSize bytes long. Fills *why and fails
// unless the file is exactly stub + 716 + packedSize bytes, packedFlag is 1,
// the checksum matches, the block expands whole and its records fill it exactly.
bool TakeApartSfx(const std::string &bytes, size_t stubSize, SfxArchive *archive, std::string *why);
