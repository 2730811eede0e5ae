// WorkStream.cpp -- record-by-record walk over the work stream as it is expanded.
#include "WorkStream.h"

#include <string.h>

namespace {

int Fail(SfxWorkParser *parser, int error)
{
    parser->error = error;
    return error;
}

int EndEntry(SfxWorkParser *parser, const SfxWorkSink *sink)
{
    parser->inContents = 0;
    parser->headFill = 0;
    if (sink && sink->onEntryEnd && !sink->onEntryEnd(sink->context, &parser->entry))
        return Fail(parser, SFX_WORK_STOPPED);
    return SFX_WORK_OK;
}

// The head is complete: judge it before a single content byte goes anywhere.
int BeginEntry(SfxWorkParser *parser, const SfxWorkSink *sink)
{
    if (parser->entryCount >= SFX_MAX_ENTRIES)
        return Fail(parser, SFX_WORK_TOO_MANY);
    if (!SfxDecodeEntryHead(parser->head, sizeof(parser->head), &parser->entry)) {
        // Keep what there is of the name for the message.
        SfxCopyField(parser->entry.name, sizeof(parser->entry.name), (const char *)parser->head,
                     SFX_PATH_FIELD);
        return Fail(parser, SFX_WORK_BAD_NAME);
    }
    if (!SfxIsSafeStoredName(parser->entry.name))
        return Fail(parser, SFX_WORK_BAD_NAME);
    parser->entryCount++;
    parser->remaining = parser->entry.size;
    parser->inContents = 1;
    if (sink && sink->onEntry && !sink->onEntry(sink->context, &parser->entry))
        return Fail(parser, SFX_WORK_STOPPED);
    if (parser->remaining == 0)
        return EndEntry(parser, sink);
    return SFX_WORK_OK;
}

}  // namespace

void SfxWorkInit(SfxWorkParser *parser)
{
    memset(parser, 0, sizeof(*parser));
}

int SfxWorkFeed(SfxWorkParser *parser, const SfxWorkSink *sink, const uint8_t *data, size_t length)
{
    if (parser->error)
        return parser->error;
    while (length > 0) {
        if (!parser->inContents) {
            size_t take = sizeof(parser->head) - parser->headFill;
            if (take > length)
                take = length;
            memcpy(parser->head + parser->headFill, data, take);
            parser->headFill += take;
            data += take;
            length -= take;
            if (parser->headFill == sizeof(parser->head) && BeginEntry(parser, sink) != SFX_WORK_OK)
                return parser->error;
            continue;
        }
        size_t take = parser->remaining < length ? parser->remaining : length;
        if (sink && sink->onData && !sink->onData(sink->context, data, take))
            return Fail(parser, SFX_WORK_STOPPED);
        parser->remaining -= (uint32_t)take;
        data += take;
        length -= take;
        if (parser->remaining == 0 && EndEntry(parser, sink) != SFX_WORK_OK)
            return parser->error;
    }
    return SFX_WORK_OK;
}

int SfxWorkFinish(SfxWorkParser *parser)
{
    if (parser->error)
        return parser->error;
    if (parser->inContents || parser->headFill != 0)
        return Fail(parser, SFX_WORK_TRUNCATED);
    return SFX_WORK_OK;
}
