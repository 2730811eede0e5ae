// SfxArchiveCheck.h -- reads back a built SFX file whole and checks it is sound.
#pragma once

#include <string>
#include <vector>

#include "SfxFormat.h"

struct ArchivedFile {
    std::string name;
    std::string contents;
};

struct SfxArchive {
    SfxHeader header;
    std::vector<ArchivedFile> files;
};

// Reads the SFX file whose stub is stubSize bytes long. Fills *why and fails
// unless the file is exactly stub + 716 + packedSize bytes, packedFlag is 1,
// the checksum matches, the block expands and its records fill it exactly.
bool ReadSfxArchive(const char *path, size_t stubSize, SfxArchive *archive, std::string *why);

// Whole file as bytes; empty when it can't be read.
std::string ReadWholeFile(const char *path);
bool WriteWholeFile(const char *path, const std::string &bytes);
