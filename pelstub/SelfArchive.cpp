// SelfArchive.cpp -- opening the stub's own file and finding and checking the archive after its image.
#include "Stub.h"

#include "StubImage.h"

namespace {

const char kDamaged[] =
    "The archive in this program is missing or damaged.\n\nPlease obtain the file again.";

int ReadAt(HANDLE file, uint64_t offset, void *buffer, DWORD length)
{
    LONG high = (LONG)(offset >> 32);
    if (SetFilePointer(file, (LONG)(DWORD)offset, &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return 0;
    DWORD got = 0;
    return ReadFile(file, buffer, length, &got, NULL) && got == length;
}

}  // namespace

int OpenSelfArchive(void)
{
    DWORD length = GetModuleFileNameA(NULL, Stub.selfPath, sizeof(Stub.selfPath));
    if (length == 0 || length >= sizeof(Stub.selfPath)) {
        ShowStubMessage(kDamaged, NULL);
        return 0;
    }
    Stub.selfFile = CreateFileA(Stub.selfPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (Stub.selfFile == INVALID_HANDLE_VALUE) {
        Stub.selfFile = NULL;
        ShowStubMessage("This program could not read its own file:\n%s", Stub.selfPath);
        return 0;
    }
    DWORD sizeHigh = 0;
    DWORD sizeLow = GetFileSize(Stub.selfFile, &sizeHigh);
    uint64_t fileSize = ((uint64_t)sizeHigh << 32) | sizeLow;

    uint8_t probe[STUB_IMAGE_PROBE];
    DWORD probeLength = fileSize < sizeof(probe) ? (DWORD)fileSize : (DWORD)sizeof(probe);
    uint8_t bytes[SFX_HEADER_SIZE];
    if (!ReadAt(Stub.selfFile, 0, probe, probeLength) ||
        !StubFindImageEnd(probe, probeLength, fileSize, &Stub.headerOffset) ||
        fileSize - Stub.headerOffset < SFX_HEADER_SIZE ||
        !ReadAt(Stub.selfFile, Stub.headerOffset, bytes, sizeof(bytes)) ||
        !SfxDecodeHeader(bytes, sizeof(bytes), &Stub.header)) {
        ShowStubMessage(kDamaged, NULL);
        return 0;
    }
    SfxHeader *h = &Stub.header;
    SfxCopyField(Stub.appName, sizeof(Stub.appName), h->appName, sizeof(h->appName));
    SfxCopyField(Stub.launchFile, sizeof(Stub.launchFile), h->launchFile, sizeof(h->launchFile));
    SfxCopyField(Stub.commandLine, sizeof(Stub.commandLine), h->commandLine, sizeof(h->commandLine));

    // Only packed archives exist; a block longer than the file is a lie that
    // would send the reader past the end.
    uint64_t available = fileSize - Stub.headerOffset - SFX_HEADER_SIZE;
    if (h->packedFlag != 1 || h->packedSize > available) {
        ShowStubMessage(kDamaged, NULL);
        return 0;
    }
    if (h->moduleType > SFX_MODULE_SETUP) {
        ShowStubMessage("This archive was made for another kind of module and can't be extracted here.", NULL);
        return 0;
    }
    Stub.overwriteMode = (h->overwriteMode >= SFX_OVERWRITE_ALL && h->overwriteMode <= SFX_OVERWRITE_ASK)
                             ? (int)h->overwriteMode
                             : SFX_OVERWRITE_ASK;
    return 1;
}

void CloseSelfArchive(void)
{
    if (Stub.selfFile) {
        CloseHandle(Stub.selfFile);
        Stub.selfFile = NULL;
    }
}
