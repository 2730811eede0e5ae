// InstallLog.cpp -- install-log header read, record decoding and the record walk.
#include "InstallLog.h"

#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#define _read read
#define _lseek lseek
#endif
#include <stdio.h>   // SEEK_SET, SEEK_CUR, SEEK_END

static uint32_t ReadLE32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Copies a fixed text field and tells whether its NUL lies inside the field;
// a field without one is never read past its end.
static int CopyText(char *out, const uint8_t *in, size_t size)
{
    memcpy(out, in, size);
    return memchr(in, 0, size) != NULL;
}

// Reads until n bytes came or the file ended; a short count means end of file.
static size_t ReadFully(int fd, void *buffer, size_t n)
{
    size_t done = 0;
    while (done < n) {
        int got = (int)_read(fd, (char *)buffer + done, (unsigned)(n - done));
        if (got <= 0)
            break;
        done += (size_t)got;
    }
    return done;
}

uint32_t RecordBodySize(uint8_t code)
{
    switch (code) {
    case REC_APP: return sizeof(AppRecord);
    case REC_FILE:
    case REC_SYSTEM_FILE:
    case REC_DIRECTORY: return sizeof(PathRecord);
    case REC_REG_ENTRY: return sizeof(RegEntryRecord);
    case REC_INI_ENTRY: return sizeof(IniEntryRecord);
    case REC_CUSTOM_UNINSTALL: return sizeof(CustomUninstallRecord);
    default: return 0;
    }
}

int DecodeLogHeader(const uint8_t *bytes, LogHeader *header)
{
    memcpy(header->Unused1, bytes, sizeof(header->Unused1));
    header->Version = ReadLE32(bytes + 84);
    header->Flags = ReadLE32(bytes + 88);
    memcpy(header->Unused2, bytes + 92, sizeof(header->Unused2));
    header->LanguageData = ReadLE32(bytes + 112);
    return header->Version == LOG_VERSION;
}

int ReadLogHeader(int fd, LogHeader *header)
{
    uint8_t bytes[LOG_HEADER_SIZE];
    memset(header, 0, sizeof(*header));
    if (ReadFully(fd, bytes, sizeof(bytes)) != sizeof(bytes))
        return 0;
    return DecodeLogHeader(bytes, header);
}

int DecodeRecordBody(uint8_t code, const uint8_t *bytes, RecordBody *body)
{
    switch (code) {
    case REC_APP:
        return CopyText(body->App.Name, bytes, sizeof(body->App.Name)) &
               CopyText(body->App.DestinationDir, bytes + 80, sizeof(body->App.DestinationDir));
    case REC_FILE:
    case REC_SYSTEM_FILE:
    case REC_DIRECTORY:
        return CopyText(body->File.Path, bytes, sizeof(body->File.Path));
    case REC_REG_ENTRY: {
        RegEntryRecord *r = &body->RegEntry;
        r->RootCode = bytes[0];
        int sound = CopyText(r->SubKey, bytes + 1, sizeof(r->SubKey)) &
                    CopyText(r->ValueName, bytes + 268, sizeof(r->ValueName));
        return sound && IsValidRootCode(r->RootCode);
    }
    case REC_INI_ENTRY: {
        IniEntryRecord *r = &body->IniEntry;
        r->Location = ReadLE32(bytes);
        int sound = CopyText(r->FileName, bytes + 4, sizeof(r->FileName)) &
                    CopyText(r->Section, bytes + 264, sizeof(r->Section)) &
                    CopyText(r->Key, bytes + 524, sizeof(r->Key));
        return sound && IsValidIniLocation(r->Location);
    }
    case REC_CUSTOM_UNINSTALL: {
        CustomUninstallRecord *r = &body->CustomUninstall;
        return CopyText(r->Program, bytes, sizeof(r->Program)) &
               CopyText(r->Parameters, bytes + 260, sizeof(r->Parameters));
    }
    default:
        return 0;
    }
}

// The log is read in large pieces: a removal walks it three times, and a read
// and a seek for every head and body were a noticeable share of the time an
// uninstall of many small files takes.
enum { WALK_BUFFER_SIZE = 32768 };

struct WalkBuffer {
    int fd;
    int64_t start;  // file position of data[0]
    size_t length;  // bytes held
    uint8_t *data;
};

// Copies n bytes found at position into out. 1 when they were there, 0 when
// the file ends first, -1 when the descriptor could not be positioned.
static int ReadAt(WalkBuffer *buffer, int64_t position, void *out, size_t n)
{
    if (position < buffer->start ||
        position + (int64_t)n > buffer->start + (int64_t)buffer->length) {
        // Positioned afresh for every piece: a visitor may have moved the descriptor.
        if ((int64_t)_lseek(buffer->fd, (long)position, SEEK_SET) != position)
            return -1;
        buffer->start = position;
        buffer->length = ReadFully(buffer->fd, buffer->data, WALK_BUFFER_SIZE);
        if (n > buffer->length)
            return 0;
    }
    memcpy(out, buffer->data + (position - buffer->start), n);
    return 1;
}

int RecordWalk(int fd, int64_t firstRecordOffset, uint32_t handledCodes,
               RecordVisitor visitor, void *context)
{
    // The end of the file bounds every step, so no length field can send the
    // walk backwards, round in a loop or into a body that is not there.
    int64_t fileEnd = (int64_t)_lseek(fd, 0, SEEK_END);
    if (fileEnd < 0 || firstRecordOffset < 0 || firstRecordOffset > 0x7FFFFFFF)
        return -1;

    WalkBuffer buffer = {fd, 0, 0, (uint8_t *)malloc(WALK_BUFFER_SIZE)};
    if (buffer.data == NULL)
        return -1;

    int64_t position = firstRecordOffset;
    uint8_t headBytes[RECORD_HEAD_SIZE];
    uint8_t bodyBytes[sizeof(RecordBody)];
    RecordBody body;
    int result;
    for (;;) {
        result = ReadAt(&buffer, position, headBytes, sizeof(headBytes));
        if (result <= 0) {
            result = result < 0 ? -1 : 1;
            break;
        }
        RecordHead head;
        head.Type = ReadLE32(headBytes);
        head.BodyLength = ReadLE32(headBytes + 4);
        position += RECORD_HEAD_SIZE;
        if (head.BodyLength >= 0x80000000u || (int64_t)head.BodyLength > fileEnd - position) {
            // Still visited, bodiless: a pass that must not go on past a damaged
            // record of its kind (a custom program's) learns of it.
            result = visitor(context, head, NULL) ? 1 : 0;
            break;
        }

        uint8_t code = RecordCode(head);
        uint32_t size = RecordBodySize(code);
        const RecordBody *decoded = NULL;
        if ((handledCodes & RecordMask(code)) && size != 0 && head.BodyLength == size) {
            result = ReadAt(&buffer, position, bodyBytes, size);
            if (result <= 0) {
                result = result < 0 ? -1 : 1;
                break;
            }
            if (DecodeRecordBody(code, bodyBytes, &body))
                decoded = &body;
        }
        position += head.BodyLength;

        if (!visitor(context, head, decoded)) {
            result = 0;
            break;
        }
    }
    free(buffer.data);
    return result;
}
