// Console.cpp -- printing to a console in its own code page, or to a pipe or file as the ANSI bytes they are.
#include "Console.h"

#include <windows.h>
#include <stdarg.h>
#include <string.h>

namespace {

// A console shows the OEM code page; paths with accents would come out wrong.
// Through UTF-16 with kernel32 alone, so that a console program needs no user32.
void ToOem(char *text, int length)
{
    WCHAR wide[4096];
    int n = MultiByteToWideChar(CP_ACP, 0, text, length, wide, sizeof(wide) / sizeof(wide[0]));
    if (n > 0)
        WideCharToMultiByte(CP_OEMCP, 0, wide, n, text, length, NULL, NULL);
}

void WriteText(DWORD which, char *text)
{
    DWORD length = (DWORD)strlen(text);
    HANDLE h = GetStdHandle(which);
    DWORD mode = 0;
    if (GetConsoleMode(h, &mode))
        ToOem(text, (int)length);
    DWORD written = 0;
    WriteFile(h, text, length, &written, NULL);
}

void Write(DWORD which, const char *format, va_list args)
{
    char text[4096];
    if (vsnprintf(text, sizeof(text), format, args) >= 0)
        WriteText(which, text);
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

void ConsoleSay(void *, int problem, const char *text)
{
    char copy[4096];
    size_t n = strnlen(text, sizeof(copy) - 1);
    memcpy(copy, text, n);
    copy[n] = '\0';
    WriteText(problem ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, copy);
}
