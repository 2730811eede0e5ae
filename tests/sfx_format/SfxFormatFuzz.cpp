// SfxFormatFuzz.cpp -- feeds arbitrary bytes to the header decoder and the work-stream reader.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "SfxChecksum.h"
#include "SfxFormat.h"
#include "WorkStream.h"

static int CountData(void *context, const uint8_t *data, size_t length)
{
    *(uint32_t *)context = SfxChecksum(*(uint32_t *)context, data, length);
    return 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SfxHeader h;
    if (SfxDecodeHeader(data, size, &h)) {
        char text[SFX_PATH_FIELD + 1];
        SfxCopyField(text, sizeof(text), h.destination, sizeof(h.destination));
        SfxCopyField(text, sizeof(text), h.appName, sizeof(h.appName));
        (void)SfxDestinationKind(&h);
        uint8_t back[SFX_HEADER_SIZE];
        SfxEncodeHeader(&h, back);
        if (memcmp(back, data, SFX_HEADER_SIZE) != 0)
            __builtin_trap();
    }
    // The work stream through the one reader, checksumming every byte handed on.
    uint32_t sum = 0;
    SfxWorkSink sink = {&sum, NULL, CountData, NULL};
    SfxWorkParser parser;
    SfxWorkInit(&parser);
    SfxWorkFeed(&parser, &sink, data, size);
    SfxWorkFinish(&parser);
    return 0;
}
