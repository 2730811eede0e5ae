// LanguageFileWriter.h -- builds language files from (key, UTF-16 value) pairs for tests and fixtures.
#pragma once
#include <stdint.h>

#include <string>
#include <utility>
#include <vector>

struct LanguageFileContents {
    std::string ansiHeader1;      // cut to 128 bytes; exactly 128 leaves no NUL
    std::string ansiHeader2;
    std::u16string wideHeader1;   // cut to 128 units
    std::u16string wideHeader2;
    uint32_t headerWord = 0;
    std::vector<std::pair<std::string, std::u16string>> entries;
};

std::vector<uint8_t> BuildLanguageFile(const LanguageFileContents& contents);

// Raw pieces, for files that lie about their lengths.
void AppendLe32(std::vector<uint8_t>& bytes, uint32_t value);
void PutLe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value);

// UTF-8 source text (as written in the fixture tables) to UTF-16.
std::u16string Utf8ToUtf16(const std::string& utf8);

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool ReadBytesFromFile(const std::string& path, std::vector<uint8_t>& bytes);

// The committed fixture set: each file's path below the fixture folder and its contents.
struct LanguageFixture {
    const char* relativePath;
    LanguageFileContents contents;
};
std::vector<LanguageFixture> LanguageFixtures();

// Text keys the uninstaller looks up, in the order its messages appear.
extern const char* const kUninstallerTextKeys[];
extern const size_t kUninstallerTextKeyCount;
