// WorkStream.h -- streaming, bounds-checked reader of the expanded work stream.
//
// The expanded data arrives in pieces of any size straight from the inflater,
// so nothing has to hold the whole stream (its length is recorded nowhere and
// a hostile archive could expand to gigabytes). Each record head is checked
// before any of its contents are handed on.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "SfxFormat.h"

enum {
    SFX_WORK_OK = 0,
    SFX_WORK_TRUNCATED,   // the stream ends inside a head or a file's contents
    SFX_WORK_BAD_NAME,    // unterminated, empty or unsafe stored name
    SFX_WORK_TOO_MANY,    // more records than an archive can hold
    SFX_WORK_STOPPED,     // the sink asked to stop
};

// Receives the records. Any callback may be NULL; returning 0 stops the walk.
struct SfxWorkSink {
    void *context;
    int (*onEntry)(void *context, const SfxFileEntry *entry);
    int (*onData)(void *context, const uint8_t *data, size_t length);
    int (*onEntryEnd)(void *context, const SfxFileEntry *entry);
};

struct SfxWorkParser {
    uint8_t head[SFX_ENTRY_HEAD_SIZE];
    size_t headFill;
    int inContents;
    uint32_t remaining;    // content bytes of the current record still to come
    uint32_t entryCount;
    int error;             // sticky: once set, every later call returns it
    SfxFileEntry entry;    // the record being read, or the one that was refused
};

void SfxWorkInit(SfxWorkParser *parser);

// Hands on the next piece of expanded data; returns SFX_WORK_OK or the error.
int SfxWorkFeed(SfxWorkParser *parser, const SfxWorkSink *sink, const uint8_t *data, size_t length);

// Call when the expanded data has ended: SFX_WORK_OK only at a record boundary.
int SfxWorkFinish(SfxWorkParser *parser);
