// BuildNames.cpp -- Windows-1252 names from UTF-8, their case-blind order and wildcard match.
#include "BuildNames.h"

#include <stdint.h>
#include <string.h>

namespace {

// What Windows-1252 holds at 0x80-0x9F; 0 marks the five unassigned bytes.
const uint16_t kHigh1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The byte for a code point, or -1. C1 controls are not characters of the code page.
int ToByte(uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return (int)cp;
    for (int i = 0; i < 32; i++)
        if (kHigh1252[i] && kHigh1252[i] == cp)
            return 0x80 + i;
    return -1;
}

// One UTF-8 sequence at p (shortest form, no surrogates); its length, or 0.
size_t Decode(const unsigned char *p, uint32_t *cp)
{
    if (p[0] < 0x80) {
        *cp = p[0];
        return 1;
    }
    size_t n = p[0] >= 0xF0 && p[0] <= 0xF4 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC2 && p[0] < 0xE0 ? 2 : 0;
    if (n == 0 || p[0] > 0xF4)
        return 0;
    uint32_t v = p[0] & (0x7F >> n);
    for (size_t i = 1; i < n; i++) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;  // also stops at the terminator
        v = (v << 6) | (p[i] & 0x3F);
    }
    static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < kMin[n] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    *cp = v;
    return n;
}

}  // namespace

unsigned char BuildUpper1252(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return (unsigned char)(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
    }
}

int BuildCompareNames(const char *a, const char *b)
{
    const unsigned char *x = (const unsigned char *)a, *y = (const unsigned char *)b;
    while (*x && BuildUpper1252(*x) == BuildUpper1252(*y)) {
        x++;
        y++;
    }
    return (int)BuildUpper1252(*x) - (int)BuildUpper1252(*y);
}

int BuildWildcardMatch(const char *pattern, const char *name)
{
    if (!strcmp(pattern, "*.*"))
        pattern = "*";
    const unsigned char *p = (const unsigned char *)pattern, *n = (const unsigned char *)name;
    // The last * seen and where in the name it began to match: on a mismatch
    // it takes one character more. Linear enough for names of 255 bytes.
    const unsigned char *star = NULL, *resume = NULL;
    while (*n) {
        if (*p == '*') {
            star = ++p;
            resume = n;
        } else if (*p && (*p == '?' || BuildUpper1252(*p) == BuildUpper1252(*n))) {
            p++;
            n++;
        } else if (star) {
            p = star;
            n = ++resume;
        } else {
            return 0;
        }
    }
    while (*p == '*')
        p++;
    return *p == '\0';
}

int BuildUtf8To1252(const char *utf8, char *out, size_t size)
{
    const unsigned char *p = (const unsigned char *)utf8;
    size_t used = 0;
    while (*p) {
        uint32_t cp = 0;
        size_t n = Decode(p, &cp);
        int byte = n ? ToByte(cp) : -1;
        if (byte < 0 || used + 1 >= size)
            return 0;
        out[used++] = (char)byte;
        p += n;
    }
    if (size == 0)
        return 0;
    out[used] = '\0';
    return 1;
}
