// SfxFormat.cpp -- encoding and bounds-checked decoding of the archive header and work stream.
#include "SfxFormat.h"

#include <string.h>

#include "ByteReader.h"
#include "Text.h"

namespace {

void PutU32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

// A fixed text field, bytes as they are; the caller checks r->ok once.
void TakeField(ByteReader *r, char *field, size_t size)
{
    const uint8_t *p = r->Take(size);
    if (p)
        memcpy(field, p, size);
}

}  // namespace

void SfxInitHeader(SfxHeader *header)
{
    memset(header, 0, sizeof(*header));
    memcpy(header->version, "2.00", 4);
    header->overwriteMode = SFX_OVERWRITE_ASK;
}

void SfxEncodeHeader(const SfxHeader *h, uint8_t out[SFX_HEADER_SIZE])
{
    memcpy(out + 0, h->version, 4);
    PutU32(out + 4, h->packedFlag);
    PutU32(out + 8, h->packedSize);
    PutU32(out + 12, h->packedCrc);
    PutU32(out + 16, h->showDialog);
    PutU32(out + 20, h->addProgramFiles);
    memcpy(out + 24, h->destination, SFX_PATH_FIELD);
    PutU32(out + 284, h->reserved);
    memcpy(out + 288, h->launchFile, SFX_PATH_FIELD);
    memcpy(out + 548, h->commandLine, SFX_SHORT_FIELD);
    memcpy(out + 628, h->appName, SFX_SHORT_FIELD);
    PutU32(out + 708, h->moduleType);
    PutU32(out + 712, h->overwriteMode);
}

int SfxDecodeHeader(const uint8_t *data, size_t length, SfxHeader *h)
{
    ByteReader r(data, length);
    const uint8_t *version = r.Take(4);
    if (!h || !version || memcmp(version, "2.00", 4) != 0)
        return 0;
    memcpy(h->version, version, 4);
    h->packedFlag = r.Le32();
    h->packedSize = r.Le32();
    h->packedCrc = r.Le32();
    h->showDialog = r.Le32();
    h->addProgramFiles = r.Le32();
    TakeField(&r, h->destination, SFX_PATH_FIELD);
    h->reserved = r.Le32();
    TakeField(&r, h->launchFile, SFX_PATH_FIELD);
    TakeField(&r, h->commandLine, SFX_SHORT_FIELD);
    TakeField(&r, h->appName, SFX_SHORT_FIELD);
    h->moduleType = r.Le32();
    h->overwriteMode = r.Le32();
    return r.ok;
}

int SfxDestinationKind(const SfxHeader *header)
{
    switch ((uint8_t)header->destination[0]) {
    case 0x00:
        return SFX_DEST_TEMP;
    case SFX_MARK_CURRENT:
        return SFX_DEST_CURRENT;
    case SFX_MARK_FOURTH:
        return SFX_DEST_FOURTH;
    default:
        return SFX_DEST_CUSTOM;
    }
}

void SfxCopyField(char *dst, size_t dstSize, const char *field, size_t fieldSize)
{
    if (!dst || dstSize == 0)
        return;
    size_t n = 0;
    while (n < fieldSize && n + 1 < dstSize && field[n] != '\0')
        n++;
    memcpy(dst, field, n);
    dst[n] = '\0';
}

void SfxEncodeEntryHead(const SfxFileEntry *entry, uint8_t out[SFX_ENTRY_HEAD_SIZE])
{
    memcpy(out, entry->name, SFX_PATH_FIELD);
    PutU32(out + 260, entry->size);
    PutU32(out + 264, entry->reserved);
}

int SfxDecodeEntryHead(const uint8_t *data, size_t length, SfxFileEntry *entry)
{
    ByteReader r(data, length);
    const uint8_t *name = r.Take(SFX_PATH_FIELD);
    uint32_t size = r.Le32();
    uint32_t reserved = r.Le32();
    if (!entry || !r.ok || !memchr(name, 0, SFX_PATH_FIELD))
        return 0;
    memcpy(entry->name, name, SFX_PATH_FIELD);
    entry->size = size;
    entry->reserved = reserved;
    return 1;
}

int SfxIsSafeStoredName(const char *name)
{
    if (!name)
        return 0;
    size_t length = strlen(name);
    if (length == 0 || length >= SFX_PATH_FIELD)
        return 0;
    // Windows drops trailing dots and blanks, so "a." would land on "a"; this
    // also covers "." and "..". Inner dots ("v1..2.zip") are plain characters.
    if (name[length - 1] == '.' || name[length - 1] == ' ')
        return 0;
    for (const char *p = name; *p; p++) {
        if ((unsigned char)*p < 0x20)
            return 0;
    }
    return !strpbrk(name, "\\/:<>\"|?*") && !TextIsDeviceName(name, length);
}

int SfxIsLaunchFileInside(const char *launchFile)
{
    if (!launchFile || !launchFile[0])
        return 1;
    if (launchFile[1] == ':' || launchFile[0] == '\\' || launchFile[0] == '/')
        return 1;
    int depth = 0;
    const char *p = launchFile;
    while (*p) {
        const char *end = p;
        int onlyDots = 1;
        while (*end && *end != '\\' && *end != '/') {
            onlyDots = onlyDots && (*end == '.' || *end == ' ');
            end++;
        }
        size_t length = (size_t)(end - p);
        // Anything of dots and blanks but "." may be taken as ".." by some
        // path parser on the way: count it as a step up.
        if (length > 0 && !(length == 1 && *p == '.'))
            depth += onlyDots ? -1 : 1;
        if (depth < 0)
            return 0;
        p = *end ? end + 1 : end;
    }
    return 1;
}
