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

#include "ByteReader.h"

// Copies the next fixed text field and tells whether its NUL lies inside the
// field; a field without one is never read past its end.
template <size_t N>
static int TakeText(ByteReader &r, char (&out)[N])
{
    const uint8_t *in = r.Take(N);
    if (!in)
        return 0;
    memcpy(out, in, N);
    return memchr(in, 0, N) != NULL;
}

size_t ReadFully(int fd, void *buffer, size_t n)
{
    size_t done = 0;
    while (done < n) {
        // At most 1 MB a call: a count must stay far below what the int result can report.
        size_t piece = n - done < 0x100000 ? n - done : 0x100000;
        int got = (int)_read(fd, (char *)buffer + done, (unsigned)piece);
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
    ByteReader r(bytes, LOG_HEADER_SIZE);
    memcpy(header->Unused1, r.Take(sizeof(header->Unused1)), sizeof(header->Unused1));
    header->Version = r.Le32();
    header->Flags = r.Le32();
    memcpy(header->Unused2, r.Take(sizeof(header->Unused2)), sizeof(header->Unused2));
    header->LanguageData = r.Le32();
    return r.ok && header->Version == LOG_VERSION;
}

int ReadLogHeader(int fd, LogHeader *header)
{
    uint8_t bytes[LOG_HEADER_SIZE];
    memset(header, 0, sizeof(*header));
    if (ReadFully(fd, bytes, sizeof(bytes)) != sizeof(bytes))
        return 0;
    return DecodeLogHeader(bytes, header);
}

// Fields one statement each, in their on-disk order (the reader moves on with every
// one), and every field copied even after an unsound one.
int DecodeRecordBody(uint8_t code, const uint8_t *bytes, RecordBody *body)
{
    ByteReader r(bytes, RecordBodySize(code));
    int sound = 1;
    switch (code) {
    case REC_APP:
        sound &= TakeText(r, body->App.Name);
        sound &= TakeText(r, body->App.DestinationDir);
        return sound;
    case REC_FILE:
    case REC_SYSTEM_FILE:
    case REC_DIRECTORY:
        return TakeText(r, body->File.Path);
    case REC_REG_ENTRY:
        body->RegEntry.RootCode = r.U8();
        sound &= TakeText(r, body->RegEntry.SubKey);
        sound &= TakeText(r, body->RegEntry.ValueName);
        return sound && IsValidRootCode(body->RegEntry.RootCode);
    case REC_INI_ENTRY:
        body->IniEntry.Location = r.Le32();
        sound &= TakeText(r, body->IniEntry.FileName);
        sound &= TakeText(r, body->IniEntry.Section);
        sound &= TakeText(r, body->IniEntry.Key);
        return sound && IsValidIniLocation(body->IniEntry.Location);
    case REC_CUSTOM_UNINSTALL:
        sound &= TakeText(r, body->CustomUninstall.Program);
        sound &= TakeText(r, body->CustomUninstall.Parameters);
        return sound;
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

// Copies n bytes found at position into out and returns 0. Otherwise returns what
// the walk then returns: 1 when the file ends first, -1 when the descriptor could
// not be positioned.
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
            return 1;
    }
    memcpy(out, buffer->data + (position - buffer->start), n);
    return 0;
}

static RecordHead DecodeRecordHead(const uint8_t *bytes)
{
    ByteReader r(bytes, RECORD_HEAD_SIZE);
    RecordHead head;
    head.Type = r.Le32();
    head.BodyLength = r.Le32();
    return head;
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
        if (result != 0)
            break;
        RecordHead head = DecodeRecordHead(headBytes);
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
            if (result != 0)
                break;
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

int CheckRecordArea(int fd, int64_t firstRecordOffset)
{
    const uint32_t allKnown = RecordMask(REC_APP) | RecordMask(REC_FILE) | RecordMask(REC_SYSTEM_FILE) |
                              RecordMask(REC_DIRECTORY) | RecordMask(REC_REG_ENTRY) |
                              RecordMask(REC_INI_ENTRY) | RecordMask(REC_CUSTOM_UNINSTALL);
    // The walk treats a short final head and a length past the end as the end of
    // the records; only where it stopped tells them from a clean end.
    int64_t position = firstRecordOffset;
    int sound = 1;
    int result = RecordWalk(fd, firstRecordOffset, allKnown, [&](const RecordHead &head, const RecordBody *body) {
        position += RECORD_HEAD_SIZE + (int64_t)head.BodyLength;
        uint8_t code = RecordCode(head);
        if (RecordBodySize(code) != 0 &&
            (body == NULL || (code == REC_APP && strlen(body->App.DestinationDir) > APP_DESTINATION_MAX)))
            sound = 0;
        return sound;
    });
    if (result < 0)
        return -1;
    if (!sound)
        return 0;
    int64_t fileEnd = (int64_t)_lseek(fd, 0, SEEK_END);
    if (fileEnd < 0)
        return -1;
    // An empty record area (firstRecordOffset at or past the end) is sound.
    return position == fileEnd || (position == firstRecordOffset && firstRecordOffset >= fileEnd);
}
