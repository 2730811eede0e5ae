// WindowsVersion.cpp -- tells the NT family from the 95 family.
#include "Platform.h"

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record must have its classic size");

int IsWindowsNT()
{
    // Not cached: the answer is cheap and a cached one would hide a per-program
    // version setting changed while tests run in one process.
    OSVERSIONINFOA vi;
    ZeroMemory(&vi, sizeof(vi));
    vi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    // On failure the zeroed platform id makes the answer "not NT".
    GetVersionExA(&vi);
    return vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
