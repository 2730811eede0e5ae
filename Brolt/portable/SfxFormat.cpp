// SfxFormat.cpp -- encoding and bounds-checked decoding of the archive header and work stream.
#include "SfxFormat.h"

#include <string.h>

namespace {

void PutU32(uint8_t *p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

uint32_t GetU32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
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
    if (!data || !h || length < SFX_HEADER_SIZE)
        return 0;
    if (memcmp(data, "2.00", 4) != 0)
        return 0;
    memcpy(h->version, data, 4);
    h->packedFlag = GetU32(data + 4);
    h->packedSize = GetU32(data + 8);
    h->packedCrc = GetU32(data + 12);
    h->showDialog = GetU32(data + 16);
    h->addProgramFiles = GetU32(data + 20);
    memcpy(h->destination, data + 24, SFX_PATH_FIELD);
    h->reserved = GetU32(data + 284);
    memcpy(h->launchFile, data + 288, SFX_PATH_FIELD);
    memcpy(h->commandLine, data + 548, SFX_SHORT_FIELD);
    memcpy(h->appName, data + 628, SFX_SHORT_FIELD);
    h->moduleType = GetU32(data + 708);
    h->overwriteMode = GetU32(data + 712);
    return 1;
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
    if (!data || !entry || length < SFX_ENTRY_HEAD_SIZE)
        return 0;
    if (!memchr(data, 0, SFX_PATH_FIELD))
        return 0;
    memcpy(entry->name, data, SFX_PATH_FIELD);
    entry->size = GetU32(data + 260);
    entry->reserved = GetU32(data + 264);
    return 1;
}

namespace {

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

// "CON", "con.txt", "Com1 .log", "CONIN$" and the like open devices, not files:
// Windows looks at the text before the first dot, trailing blanks dropped.
int IsDeviceName(const char *name)
{
    static const char *const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    char base[16];
    size_t n = 0;
    while (name[n] && name[n] != '.') {
        if (n == sizeof(base) - 1)
            return 0;
        base[n] = UpperAscii(name[n]);
        n++;
    }
    while (n > 0 && base[n - 1] == ' ')
        n--;
    base[n] = '\0';
    for (const char *device : kDevices) {
        if (strcmp(base, device) == 0)
            return 1;
    }
    // COM0-9 and LPT0-9, and the superscript digits 1-3 of the ANSI code page.
    unsigned char digit = (unsigned char)base[3];
    return n == 4 && (memcmp(base, "COM", 3) == 0 || memcmp(base, "LPT", 3) == 0) &&
           ((digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3);
}

}  // namespace

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
    return !strpbrk(name, "\\/:<>\"|?*") && !IsDeviceName(name);
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

void SfxWorkReaderInit(SfxWorkReader *reader, const uint8_t *data, size_t length)
{
    reader->data = data;
    reader->length = data ? length : 0;
    reader->offset = 0;
}

int SfxWorkReaderNext(SfxWorkReader *reader, SfxFileEntry *entry, const uint8_t **contents)
{
    size_t remaining = reader->length - reader->offset;
    if (remaining == 0)
        return SFX_WALK_END;
    if (!SfxDecodeEntryHead(reader->data + reader->offset, remaining, entry))
        return SFX_WALK_BAD;
    remaining -= SFX_ENTRY_HEAD_SIZE;
    // Compare against what is left rather than adding to the offset, which could wrap.
    if (entry->size > remaining)
        return SFX_WALK_BAD;
    *contents = reader->data + reader->offset + SFX_ENTRY_HEAD_SIZE;
    reader->offset += SFX_ENTRY_HEAD_SIZE + (size_t)entry->size;
    return SFX_WALK_ENTRY;
}
