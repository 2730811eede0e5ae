// StubPaths.cpp -- joining destination paths without overrunning a buffer.
#include "StubPaths.h"

#include <string.h>

int StubJoinPath(char *dst, size_t dstSize, const char *directory, const char *name)
{
    if (!dst || dstSize == 0)
        return 0;
    dst[0] = '\0';
    size_t dirLength = strlen(directory);
    size_t nameLength = strlen(name);
    int needSeparator = dirLength > 0 && directory[dirLength - 1] != '\\' && directory[dirLength - 1] != '/';
    size_t total = dirLength + (size_t)needSeparator + nameLength;
    if (total >= dstSize)
        return 0;
    memmove(dst, directory, dirLength);
    if (needSeparator)
        dst[dirLength] = '\\';
    memcpy(dst + dirLength + needSeparator, name, nameLength);
    dst[total] = '\0';
    return 1;
}

int StubUnderProgramFiles(char *dst, size_t dstSize, const char *programFiles, const char *custom)
{
    const char *rest = custom;
    if (((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z')) && rest[1] == ':') {
        rest += 2;
    } else if ((rest[0] == '\\' || rest[0] == '/') && (rest[1] == '\\' || rest[1] == '/')) {
        // \\server\share: skip both parts
        rest += 2;
        for (int part = 0; part < 2; part++) {
            while (*rest && *rest != '\\' && *rest != '/')
                rest++;
            if (part == 0 && *rest)
                rest++;
        }
    }
    while (*rest == '\\' || *rest == '/')
        rest++;
    if (!StubJoinPath(dst, dstSize, programFiles, rest))
        return 0;
    StubTrimSeparators(dst);
    return 1;
}

void StubTrimSeparators(char *path)
{
    size_t length = strlen(path);
    while (length > 1 && (path[length - 1] == '\\' || path[length - 1] == '/')) {
        if (length == 3 && path[1] == ':')
            break;
        path[--length] = '\0';
    }
}
