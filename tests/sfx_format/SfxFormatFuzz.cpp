// SfxFormatFuzz.cpp -- feeds arbitrary bytes to the header decoder and the work-stream walk.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "SfxChecksum.h"
#include "SfxFormat.h"

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
    SfxWorkReader r;
    SfxWorkReaderInit(&r, data, size);
    SfxFileEntry e;
    const uint8_t *contents = NULL;
    uint32_t sum = 0;
    int n = 0;
    while (SfxWorkReaderNext(&r, &e, &contents) == SFX_WALK_ENTRY && n++ < 1000) {
        (void)SfxIsSafeStoredName(e.name);
        sum = SfxChecksum(sum, contents, e.size);
    }
    return 0;
}
