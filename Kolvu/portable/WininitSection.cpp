// WininitSection.cpp -- finding the end of WININIT.INI's [Rename] section.
#include "WininitSection.h"

static int IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

static char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

// The line from begin to end (newline excluded), with leading blanks skipped.
static size_t SkipBlanks(const char *pText, size_t begin, size_t end)
{
    while (begin < end && IsBlank(pText[begin]))
        begin++;
    return begin;
}

static int IsRenameHeader(const char *pText, size_t begin, size_t end)
{
    static const char kHeader[] = "[rename]";
    size_t i = SkipBlanks(pText, begin, end);
    for (const char *p = kHeader; *p; ++p, ++i)
        if (i >= end || LowerAscii(pText[i]) != *p)
            return 0;
    return 1;
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
