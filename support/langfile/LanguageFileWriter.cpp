// LanguageFileWriter.cpp -- serialises language-file contents into the on-disk layout.
#include "LanguageFileWriter.h"

#include <stdio.h>

#include "LanguageFileFormat.h"

void AppendLe32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int i = 0; i < 4; i++)
        bytes.push_back((uint8_t)(value >> (8 * i)));
}

void PutLe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; i++)
        bytes.at(offset + i) = (uint8_t)(value >> (8 * i));
}

static void PutAnsiBlock(std::vector<uint8_t>& bytes, size_t offset, const std::string& text) {
    for (size_t i = 0; i < text.size() && i < LANGFILE_ANSI_TEXT_SIZE; i++)
        bytes[offset + i] = (uint8_t)text[i];
}

static void PutWideBlock(std::vector<uint8_t>& bytes, size_t offset, const std::u16string& text) {
    for (size_t i = 0; i < text.size() && i < LANGFILE_WIDE_TEXT_UNITS; i++) {
        bytes[offset + 2 * i] = (uint8_t)(text[i] & 0xFF);
        bytes[offset + 2 * i + 1] = (uint8_t)(text[i] >> 8);
    }
}

std::vector<uint8_t> BuildLanguageFile(const LanguageFileContents& contents) {
    std::vector<uint8_t> bytes(LANGFILE_HEADER_SIZE, 0);
    PutAnsiBlock(bytes, offsetof(LanguageFileHeader, Identification), LANGFILE_IDENTIFICATION);
    PutAnsiBlock(bytes, offsetof(LanguageFileHeader, AnsiText1), contents.ansiHeader1);
    PutAnsiBlock(bytes, offsetof(LanguageFileHeader, AnsiText2), contents.ansiHeader2);
    PutWideBlock(bytes, offsetof(LanguageFileHeader, WideText1), contents.wideHeader1);
    PutWideBlock(bytes, offsetof(LanguageFileHeader, WideText2), contents.wideHeader2);
    PutLe32(bytes, offsetof(LanguageFileHeader, EntryCount), (uint32_t)contents.entries.size());
    PutLe32(bytes, offsetof(LanguageFileHeader, HeaderWord), contents.headerWord);
    for (const auto& entry : contents.entries) {
        AppendLe32(bytes, (uint32_t)entry.first.size());
        bytes.insert(bytes.end(), entry.first.begin(), entry.first.end());
        AppendLe32(bytes, (uint32_t)entry.second.size());
        for (char16_t unit : entry.second) {
            bytes.push_back((uint8_t)(unit & 0xFF));
            bytes.push_back((uint8_t)(unit >> 8));
        }
    }
    return bytes;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    size_t i = 0;
    while (i < utf8.size()) {
        uint8_t lead = (uint8_t)utf8[i];
        uint32_t cp;
        size_t extra;
        if (lead < 0x80) {
            cp = lead;
            extra = 0;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F;
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F;
            extra = 2;
        } else {
            cp = lead & 0x07;
            extra = 3;
        }
        i++;
        for (size_t k = 0; k < extra && i < utf8.size(); k++, i++)
            cp = (cp << 6) | ((uint8_t)utf8[i] & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back((char16_t)(0xD800 + (cp >> 10)));
            out.push_back((char16_t)(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back((char16_t)cp);
        }
    }
    return out;
}

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool ReadBytesFromFile(const std::string& path, std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes.clear();
    uint8_t buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    fclose(f);
    return true;
}
