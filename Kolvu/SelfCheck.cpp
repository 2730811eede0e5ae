// SelfCheck.cpp -- recomputes the running program's PE checksum and compares it
// with the stamped one, so a damaged copy stops before it touches anything.
#include "SelfCheck.h"

#include "ImageChecksum.h"

int SelfCheck()
{
    char szPath[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, szPath, sizeof(szPath));
    if (length > 0 && length < sizeof(szPath) && VerifyExecutableFile(szPath))
        return 1;
    MessageBoxA(NULL,
                "The uninstaller's program file is corrupt and cannot be used.\n"
                "Please obtain a new copy of the application's setup.",
                "Uninstall", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}
