// SelfCheck.cpp -- recomputes the standard PE image checksum to catch a damaged copy of the program.
#include "SelfCheck.h"

#include <windows.h>
#include <stdint.h>

// The checksum field sits in the optional header, 64 bytes past its start.
enum { PE_SIGNATURE_SIZE = 4, FILE_HEADER_SIZE = 20, CHECKSUM_FIELD_OFFSET = 64 };

static uint32_t ReadLe32(const uint8_t *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Finds the offset of the checksum field; 0 when the bytes are not a PE image.
static uint32_t FindChecksumField(HANDLE file, uint32_t fileSize)
{
    uint8_t dos[64];
    DWORD got = 0;
    if (fileSize < sizeof(dos) || !ReadFile(file, dos, sizeof(dos), &got, NULL) || got != sizeof(dos))
        return 0;
    if (dos[0] != 'M' || dos[1] != 'Z')
        return 0;
    uint32_t pe = ReadLe32(dos + 0x3C);
    // The field must lie wholly inside the file; a wild e_lfanew can't send us past it.
    if (pe > fileSize || fileSize - pe < PE_SIGNATURE_SIZE + FILE_HEADER_SIZE + CHECKSUM_FIELD_OFFSET + 4)
        return 0;
    uint8_t sig[4];
    if (SetFilePointer(file, (LONG)pe, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !ReadFile(file, sig, sizeof(sig), &got, NULL) || got != sizeof(sig))
        return 0;
    if (sig[0] != 'P' || sig[1] != 'E' || sig[2] != 0 || sig[3] != 0)
        return 0;
    return pe + PE_SIGNATURE_SIZE + FILE_HEADER_SIZE + CHECKSUM_FIELD_OFFSET;
}

int VerifyImageChecksum(const char *pszPath)
{
    HANDLE file = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;

    int ok = 0;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    uint32_t field = 0;
    if (size != INVALID_FILE_SIZE && high == 0)
        field = FindChecksumField(file, size);

    if (field != 0 && SetFilePointer(file, 0, NULL, FILE_BEGIN) == 0) {
        // Streams the file in even-sized blocks so no 16-bit word straddles two.
        static uint8_t block[64 * 1024];
        uint32_t sum = 0, stored = 0, offset = 0;
        int readOk = 1;
        while (offset < size) {
            DWORD want = size - offset < sizeof(block) ? size - offset : (DWORD)sizeof(block);
            DWORD got = 0;
            if (!ReadFile(file, block, want, &got, NULL) || got != want) {
                readOk = 0;
                break;
            }
            for (DWORD i = 0; i < got; i += 2) {
                uint32_t at = offset + i;
                uint32_t word = block[i] | (i + 1 < got ? (uint32_t)block[i + 1] << 8 : 0);
                if (at == field || at == field + 2) {
                    stored |= word << (at == field ? 0 : 16);
                    continue;
                }
                sum += word;
                sum = (sum & 0xFFFF) + (sum >> 16);
            }
            offset += got;
        }
        sum = (sum & 0xFFFF) + (sum >> 16);
        uint32_t expected = sum + size;
        // A stored 0 means the file was never stamped: nothing to trust.
        ok = readOk && stored != 0 && stored == expected;
    }
    CloseHandle(file);
    return ok;
}
