// SelfCheck.cpp -- recomputes the running program's PE checksum and compares it
// with the stamped one, so a damaged copy stops before it touches anything.
#include "SelfCheck.h"

#include "Owners.h"
#include "PeChecksum.h"

enum { CHUNK_SIZE = 64 * 1024 };

int VerifyExecutableFile(LPCSTR pszPath)
{
    FileHandle hFile(CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    HeapBlock<BYTE> pChunk(CHUNK_SIZE);
    if (!hFile.IsValid() || !pChunk)
        return 0;

    // The headers sit in the first chunk; every chunk but the last is even,
    // so the 16-bit words line up from one chunk to the next.
    uint32_t fieldOffset = 0, stored = 0, sum = 0;
    uint64_t position = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(hFile, pChunk, CHUNK_SIZE, &got, NULL))
            return 0;
        if (got == 0)
            break;
        if (position == 0) {
            if (!PeChecksumFieldOffset(pChunk, got, &fieldOffset))
                return 0;
            stored = PeStoredChecksum(pChunk, fieldOffset);
        }
        sum = PeChecksumAdd(sum, pChunk, got, position, fieldOffset);
        position += got;
        if (got < CHUNK_SIZE)
            break;
    }
    // An unstamped file (checksum 0) counts as damaged: every build is stamped.
    return position > 0 && stored != 0 && PeChecksumFinish(sum, position) == stored;
}

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
