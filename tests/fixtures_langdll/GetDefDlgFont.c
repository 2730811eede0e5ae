/* GetDefDlgFont.c -- the optional export of a language DLL: its preferred dialog font. */
#include <windows.h>

/* Point size 8 in the low word, a face-table index in the high word. */
__declspec(dllexport) DWORD WINAPI GetDefDlgFont(void)
{
    return 0x00030008;
}
