// KantorArgs.cpp -- command-line split of the compressor, kept free of Windows calls for testing.
#include "KantorArgs.h"

#include <string.h>

#include "Text.h"

namespace {

int CopyPath(const char *begin, const char *end, char *dst, size_t dstSize)
{
    if (end - begin >= 2 && begin[0] == '"' && end[-1] == '"') {
        begin++;
        end--;
    }
    size_t len = (size_t)(end - begin);
    if (len == 0 || len >= dstSize)
        return 0;
    memcpy(dst, begin, len);
    dst[len] = '\0';
    return 1;
}

}  // namespace

int KantorSplitCommandLine(const char *cmdLine, char *input, size_t inputSize, char *output, size_t outputSize)
{
    if (!cmdLine || !input || !output || inputSize == 0 || outputSize == 0)
        return 0;
    input[0] = '\0';
    output[0] = '\0';
    const char *inBegin = TextAfterNoCase(TextSkipBlanks(TextSkipProgramName(cmdLine)), "/I:");
    if (!inBegin)
        return 0;
    // ':' can't occur inside a Windows path past its drive, so the first " /O:"
    // is the switch and not part of the input path.
    const char *q = inBegin;
    while (*q && !(TextIsBlank(*q) && TextAfterNoCase(q + 1, "/O:")))
        q++;
    if (!*q)
        return 0;
    const char *outBegin = q + 4;
    return CopyPath(inBegin, q, input, inputSize) && CopyPath(outBegin, outBegin + strlen(outBegin), output, outputSize);
}
