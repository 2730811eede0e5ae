// WininitSection.cpp -- finding the end of WININIT.INI's [Rename] section.
#include "WininitSection.h"

#include "Text.h"

// The line from begin to end (newline excluded), with leading blanks skipped.
static size_t SkipBlanks(const char *pText, size_t begin, size_t end)
{
    while (begin < end && TextIsBlank(pText[begin]))
        begin++;
    return begin;
}

static int IsRenameHeader(const char *pText, size_t begin, size_t end)
{
    static const char kHeader[] = "[rename]";
    size_t i = SkipBlanks(pText, begin, end);
    return end - i >= sizeof(kHeader) - 1 && TextSpanEqualsNoCase(pText + i, sizeof(kHeader) - 1, kHeader);
}

size_t RenameSectionEnd(const char *pText, size_t cch, int *pbFound)
{
    int bInSection = 0;
    size_t insertAt = cch;
    *pbFound = 0;
    for (size_t begin = 0; begin < cch;) {
        size_t end = begin;
        while (end < cch && pText[end] != '\n')
            end++;
        size_t next = end < cch ? end + 1 : cch;
        size_t first = SkipBlanks(pText, begin, end);
        int bContent = first < end && pText[first] != '\r';
        if (bContent && pText[first] == '[') {
            if (bInSection)
                return insertAt;
            if (IsRenameHeader(pText, begin, end)) {
                bInSection = 1;
                *pbFound = 1;
                insertAt = next;
            }
        } else if (bInSection && bContent) {
            insertAt = next;
        }
        begin = next;
    }
    return insertAt;
}
