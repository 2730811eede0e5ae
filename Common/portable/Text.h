// Text.h -- the small ANSI text rules every program shares: ASCII case folding,
// case-blind comparison, blanks, the program name on a command line, device names.
//
// Header only and free of C runtime calls: the loader stub, built without one,
// includes it as the uninstaller, the builders and the compressor do. Only A-Z
// fold; bytes above 127 belong to the code page and compare as they are.
#pragma once

#include <stddef.h>

inline char TextLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

inline void TextLowerInPlace(char *text)
{
    for (; *text; text++)
        *text = TextLower(*text);
}

// Whole texts equal, ASCII letters without regard to case.
inline int TextEqualNoCase(const char *a, const char *b)
{
    for (; TextLower(*a) == TextLower(*b); a++, b++) {
        if (*a == '\0')
            return 1;
    }
    return 0;
}

// The length bytes at span (no terminator needed) are the whole of text.
inline int TextSpanEqualsNoCase(const char *span, size_t length, const char *text)
{
    for (size_t i = 0; i < length; i++) {
        if (text[i] == '\0' || TextLower(span[i]) != TextLower(text[i]))
            return 0;
    }
    return text[length] == '\0';
}

// What follows prefix when text begins with it (case-blind), else NULL.
inline const char *TextAfterNoCase(const char *text, const char *prefix)
{
    for (; *prefix; text++, prefix++) {
        if (TextLower(*text) != TextLower(*prefix))
            return NULL;
    }
    return text;
}

// The blanks the Windows start-up code skips between program name and arguments.
inline int TextIsBlank(char c)
{
    return c == ' ' || c == '\t';
}

inline const char *TextSkipBlanks(const char *p)
{
    while (TextIsBlank(*p))
        p++;
    return p;
}

// The text after the program name of a full command line (GetCommandLine's
// form), blanks after it not skipped: a quoted name ends at its closing quote,
// a bare one at the first blank, as the Windows start-up code reads it.
inline const char *TextSkipProgramName(const char *commandLine)
{
    if (!commandLine)
        return "";
    const char *p = TextSkipBlanks(commandLine);
    if (*p == '"') {
        p++;
        while (*p && *p != '"')
            p++;
        if (*p == '"')
            p++;
    } else {
        while (*p && !TextIsBlank(*p))
            p++;
    }
    return p;
}

// A path component (length bytes at name) that opens a device instead of a file:
// Windows looks at the text before the first dot or colon, trailing blanks
// dropped, so "con", "Aux.txt", "COM1 .log", "nul:x" all qualify. Reserved: CON,
// PRN, AUX, NUL, COM0-COM9, LPT0-LPT9 with the code page's superscript digits
// 1-3 (0xB9, 0xB2, 0xB3) too, and the console and clock names CONIN$, CONOUT$,
// CLOCK$.
inline int TextIsDeviceName(const char *name, size_t length)
{
    static const char *const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
    size_t base = 0;
    while (base < length && name[base] != '.' && name[base] != ':')
        base++;
    while (base > 0 && name[base - 1] == ' ')
        base--;
    for (const char *device : kDevices) {
        if (TextSpanEqualsNoCase(name, base, device))
            return 1;
    }
    if (base != 4 || !(TextSpanEqualsNoCase(name, 3, "com") || TextSpanEqualsNoCase(name, 3, "lpt")))
        return 0;
    unsigned char digit = (unsigned char)name[3];
    return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}
