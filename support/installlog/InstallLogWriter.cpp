// InstallLogWriter.cpp -- the test-side install-log writer.
#include "InstallLogWriter.h"

#include <stdio.h>
#include <string.h>

static void PutLE32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

static uint32_t GetLE32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Bytes after the NUL are junk on purpose, so a reader that looks past it shows.
static void PutText(Bytes &body, size_t offset, size_t size, const std::string &text)
{
    memset(&body[offset], 0xCD, size);
    size_t n = text.size() < size ? text.size() : size;
    memcpy(&body[offset], text.data(), n);
    if (n < size)
        body[offset + n] = 0;
}

InstallLogWriter::InstallLogWriter()
{
    for (size_t i = 0; i < sizeof(header_); i++)
        header_[i] = (uint8_t)(0xA0 + i % 16);
    SetVersion(LOG_VERSION);
    SetFlags(0);
    SetLanguageData(0);
}

void InstallLogWriter::SetVersion(uint32_t version) { PutLE32(header_ + 84, version); }
void InstallLogWriter::SetFlags(uint32_t flags) { PutLE32(header_ + 88, flags); }
void InstallLogWriter::SetLanguageData(uint32_t value) { PutLE32(header_ + 112, value); }

void InstallLogWriter::SetLanguageImage(const Bytes &image)
{
    image_ = image;
    SetFlags(GetLE32(header_ + 88) & ~(uint32_t)LOGF_LANGUAGE_FILES);
    SetLanguageData((uint32_t)image.size());
}

void InstallLogWriter::SetLanguageFiles(uint32_t bits)
{
    image_.clear();
    SetFlags(GetLE32(header_ + 88) | LOGF_LANGUAGE_FILES);
    SetLanguageData(bits);
}

void InstallLogWriter::AddHead(uint32_t type, uint32_t bodyLength)
{
    uint8_t head[RECORD_HEAD_SIZE];
    PutLE32(head, type);
    PutLE32(head + 4, bodyLength);
    records_.insert(records_.end(), head, head + sizeof(head));
}

void InstallLogWriter::Add(uint32_t type, const Bytes &body)
{
    AddHead(type, (uint32_t)body.size());
    AddBytes(body);
}

void InstallLogWriter::AddBytes(const Bytes &bytes)
{
    records_.insert(records_.end(), bytes.begin(), bytes.end());
}

Bytes InstallLogWriter::AppBody(const std::string &name, const std::string &destination)
{
    Bytes body(sizeof(AppRecord));
    PutText(body, 0, 80, name);
    PutText(body, 80, 268, destination);
    return body;
}

Bytes InstallLogWriter::PathBody(const std::string &path)
{
    Bytes body(sizeof(PathRecord));
    PutText(body, 0, 260, path);
    return body;
}

Bytes InstallLogWriter::RegEntryBody(uint8_t root, const std::string &subKey,
                                     const std::string &valueName)
{
    Bytes body(sizeof(RegEntryRecord));
    body[0] = root;
    PutText(body, 1, 267, subKey);
    PutText(body, 268, 776, valueName);
    return body;
}

Bytes InstallLogWriter::IniEntryBody(uint32_t location, const std::string &fileName,
                                     const std::string &section, const std::string &key)
{
    Bytes body(sizeof(IniEntryRecord));
    PutLE32(&body[0], location);
    PutText(body, 4, 260, fileName);
    PutText(body, 264, 260, section);
    PutText(body, 524, 524, key);
    return body;
}

Bytes InstallLogWriter::CustomUninstallBody(const std::string &program,
                                            const std::string &parameters)
{
    Bytes body(sizeof(CustomUninstallRecord));
    PutText(body, 0, 260, program);
    PutText(body, 260, 260, parameters);
    return body;
}

void InstallLogWriter::AddApp(const std::string &name, const std::string &destination)
{
    Add(REC_APP, AppBody(name, destination));
}
void InstallLogWriter::AddFile(const std::string &path) { Add(REC_FILE, PathBody(path)); }
void InstallLogWriter::AddSystemFile(const std::string &path) { Add(REC_SYSTEM_FILE, PathBody(path)); }
void InstallLogWriter::AddDirectory(const std::string &path) { Add(REC_DIRECTORY, PathBody(path)); }
void InstallLogWriter::AddRegEntry(uint8_t root, const std::string &subKey,
                                   const std::string &valueName)
{
    Add(REC_REG_ENTRY, RegEntryBody(root, subKey, valueName));
}
void InstallLogWriter::AddIniEntry(uint32_t location, const std::string &fileName,
                                   const std::string &section, const std::string &key)
{
    Add(REC_INI_ENTRY, IniEntryBody(location, fileName, section, key));
}
void InstallLogWriter::AddCustomUninstall(const std::string &program, const std::string &parameters)
{
    Add(REC_CUSTOM_UNINSTALL, CustomUninstallBody(program, parameters));
}

uint32_t InstallLogWriter::FirstRecordOffset() const
{
    return LOG_HEADER_SIZE + (uint32_t)image_.size();
}

Bytes InstallLogWriter::GetBytes() const
{
    Bytes out(header_, header_ + sizeof(header_));
    out.insert(out.end(), image_.begin(), image_.end());
    out.insert(out.end(), records_.begin(), records_.end());
    return out;
}

bool InstallLogWriter::Save(const std::string &path) const
{
    return WriteFileBytes(path, GetBytes());
}

Bytes ReadFileBytes(const std::string &path)
{
    Bytes out;
    FILE *f = fopen(path.c_str(), "rb");
    if (f == NULL)
        return out;
    uint8_t chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), f)) > 0)
        out.insert(out.end(), chunk, chunk + got);
    fclose(f);
    return out;
}

bool WriteFileBytes(const std::string &path, const Bytes &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (f == NULL)
        return false;
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (fclose(f) == 0) && ok;
    return ok;
}
