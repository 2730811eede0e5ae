// StubParseFuzz.cpp -- the stub's readers of untrusted bytes: image lookup, header, work stream, switches, paths.
#include <stdint.h>
#include <string.h>

#include <string>

#include "SfxFormat.h"
#include "StubImage.h"
#include "StubPaths.h"
#include "StubSwitches.h"
#include "WorkStream.h"

namespace {

int CountData(void *context, const uint8_t *data, size_t length)
{
    // Touch every byte handed on, so an overrun shows.
    uint32_t *sum = (uint32_t *)context;
    for (size_t i = 0; i < length; i++)
        *sum += data[i];
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint64_t end = 0;
    StubFindImageEnd(data, size < STUB_IMAGE_PROBE ? size : STUB_IMAGE_PROBE, size, &end);
    SfxHeader header;
    SfxDecodeHeader(data, size, &header);

    // The first byte picks the piece size, so pieces split heads anywhere.
    if (size == 0)
        return 0;
    size_t piece = (size_t)data[0] + 1;
    uint32_t sum = 0;
    SfxWorkSink sink = {&sum, NULL, CountData, NULL};
    SfxWorkParser parser;
    SfxWorkInit(&parser);
    for (size_t at = 1; at < size; at += piece) {
        size_t n = size - at < piece ? size - at : piece;
        if (SfxWorkFeed(&parser, &sink, data + at, n) != SFX_WORK_OK)
            break;
    }
    SfxWorkFinish(&parser);

    std::string text((const char *)data, size);
    StubSwitches switches;
    StubParseSwitches(text.c_str(), &switches);
    char path[260];
    StubUnderProgramFiles(path, sizeof(path), "C:\\Program Files", text.c_str());
    SfxIsSafeStoredName(text.c_str());
    SfxIsLaunchFileInside(text.c_str());
    return 0;
}
