// VersionProbe.cpp -- reports IsWindowsNT as its exit code, so a test can ask it under a
// per-program Windows version.
#include "Platform.h"

int main()
{
    return IsWindowsNT() ? 1 : 0;
}
