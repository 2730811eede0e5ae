// Console.cpp -- printing to a console in its own code page, or to a pipe or file as the ANSI bytes they are.
#include "Console.h"

#include <windows.h>
#include <stdarg.h>
#include <string.h>

namespace {

void Write(DWORD which, const char *format, va_list args)
{
    char text[2048];
    int n = vsnprintf(text, sizeof(text), format, args);
    if (n < 0)
        return;
    DWORD length = (DWORD)strlen(text);
    HANDLE h = GetStdHandle(which);
    DWORD mode = 0;
    // A console shows the OEM code page; paths with accents would come out wrong.
    if (GetConsoleMode(h, &mode))
        CharToOemBuffA(text, text, length);
    DWORD written = 0;
    WriteFile(h, text, length, &written, NULL);
}

}  // namespace

void Say(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    Write(STD_OUTPUT_HANDLE, format, args);
    va_end(args);
}

void Complain(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    Write(STD_ERROR_HANDLE, format, args);
    va_end(args);
}

const char *SystemErrorText(unsigned long code)
{
    static char text[300];
    text[0] = '\0';
    if (code == 0 || !FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0, text,
                                     sizeof(text), NULL)) {
        if (code != 0)
            wsprintfA(text, "system error %lu", code);
        return text;
    }
    size_t n = strlen(text);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ' || text[n - 1] == '.'))
        text[--n] = '\0';
    return text;
}
