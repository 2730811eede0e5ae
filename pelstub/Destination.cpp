// Destination.cpp -- choosing the destination directory and creating it.
//
// The fourth destination kind (marker 0xFE), which the wizard never writes,
// means the folder that holds the self-extractor itself: the one place apart
// from the current directory that the user has plainly chosen already.
#include "Stub.h"

#include "Platform.h"
#include "StubPaths.h"

namespace {

void ProgramFilesFolder(char *path, DWORD size)
{
    if (!ReadRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                            path, size) ||
        path[0] == '\0') {
        // The system drive's "Program Files", as every Windows names it in English.
        if (GetWindowsDirectoryA(path, size) < 3)
            lstrcpyA(path, "C:\\");
        path[3] = '\0';
        lstrcatA(path, "Program Files");
    }
}

// 32 bits from the system's generator, so that no one can prepare the folder
// before it is made. Loaded after the DLL search was narrowed: on newer systems
// advapi32 forwards the call to cryptbase.dll. Systems without it (the 95
// family) get what little the clock and the process offer.
DWORD RandomBits(void)
{
    typedef BOOLEAN(WINAPI * GenRandomFn)(PVOID, ULONG);
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    GenRandomFn generate = advapi ? (GenRandomFn)(void *)GetProcAddress(advapi, "SystemFunction036") : NULL;
    DWORD bits = 0;
    if (generate && generate(&bits, sizeof(bits)))
        return bits;
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.LowPart ^ GetTickCount() ^ (GetCurrentProcessId() << 16);
}

void TempFolder(char *path, size_t size)
{
    DWORD length = GetTempPathA((DWORD)size, path);
    if (length == 0 || length >= size)
        GetCurrentDirectoryA((DWORD)size, path);
    StubTrimSeparators(path);
}

// Creates every missing folder along the path.
int CreateFolderPath(const char *path)
{
    char partial[MAX_PATH];
    size_t length = strlen(path);
    if (length >= sizeof(partial))
        return 0;
    size_t start = 0;
    // Skip "C:\" or "\\server\share\", which can't be created.
    if (length >= 2 && path[1] == ':')
        start = 3;
    else if (length >= 2 && path[0] == '\\' && path[1] == '\\') {
        int separators = 0;
        for (start = 2; start < length && separators < 2; start++) {
            if (path[start] == '\\')
                separators++;
        }
    }
    for (size_t i = start; i <= length; i++) {
        if (i < length && path[i] != '\\' && path[i] != '/')
            continue;
        if (i == 0)
            continue;
        memcpy(partial, path, i);
        partial[i] = '\0';
        if (!CreateDirectoryA(partial, NULL) && GetLastError() != ERROR_ALREADY_EXISTS) {
            DWORD attributes = GetFileAttributesA(partial);
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return 0;
        }
    }
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// Made new when asked, and then made by this call only: a name that exists
// is never taken, another is drawn instead.
int FreshFolder(const char *base, char *path, size_t size, int make)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        char name[16];
        wsprintfA(name, "ZXS%08X", (unsigned)RandomBits());
        if (!StubJoinPath(path, size, base, name))
            return 0;
        int made = make ? CreateOwnFolder(path, make == 1)
                        : GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES ? 1 : -1;
        if (made >= 0)
            return made;
    }
    return 0;
}

int ChooseDefaultDestination(char *path, size_t size)
{
    path[0] = '\0';
    if (Stub.switches.haveDestination) {
        lstrcpynA(path, Stub.switches.destination, (int)size);
        return 1;
    }
    if (Stub.header.moduleType == SFX_MODULE_SETUP) {
        TempFolder(path, size);
        return 1;
    }
    char text[SFX_PATH_FIELD];
    switch (SfxDestinationKind(&Stub.header)) {
    case SFX_DEST_CURRENT:
        GetCurrentDirectoryA((DWORD)size, path);
        break;
    case SFX_DEST_FOURTH:
        lstrcpynA(path, Stub.selfPath, (int)size);
        for (size_t i = strlen(path); i > 0; i--) {
            if (path[i - 1] == '\\') {
                path[i - 1] = '\0';
                break;
            }
        }
        break;
    case SFX_DEST_CUSTOM:
        SfxCopyField(text, sizeof(text), Stub.header.destination, sizeof(Stub.header.destination));
        if (Stub.header.addProgramFiles == 1) {
            char programFiles[MAX_PATH];
            ProgramFilesFolder(programFiles, sizeof(programFiles));
            // The plain text instead would put the files somewhere the author never chose.
            if (!StubUnderProgramFiles(path, size, programFiles, text)) {
                ShowStubMessage("The destination folder name is too long with the Program Files folder "
                                "in front of it:\n%s",
                                text);
                return 0;
            }
            break;
        }
        lstrcpynA(path, text, (int)size);
        break;
    default: {
        char base[MAX_PATH];
        TempFolder(base, sizeof(base));
        // Never the temporary folder itself: a silent run would replace whatever
        // files of the same names other programs keep there.
        if (!FreshFolder(base, path, size, 0)) {
            ShowStubMessage("No new folder could be made for the files in:\n%s", base);
            return 0;
        }
        lstrcpynA(Stub.freshDestination, path, sizeof(Stub.freshDestination));
        break;
    }
    }
    StubTrimSeparators(path);
    return 1;
}

int PrepareDestination(void)
{
    char full[MAX_PATH];
    char *filePart = NULL;
    DWORD length = GetFullPathNameA(Stub.destination, sizeof(full), full, &filePart);
    if (Stub.destination[0] == '\0' || length == 0 || length >= sizeof(full)) {
        ShowStubMessage("The destination folder name is not valid:\n%s", Stub.destination);
        return STUB_EXIT_WRITE;
    }
    StubTrimSeparators(full);
    if (Stub.header.moduleType == SFX_MODULE_SETUP) {
        // A Setup module removes its folder afterwards, so it only ever works
        // in a folder it has just made itself.
        if (!CreateFolderPath(full) || !FreshFolder(full, Stub.destination, sizeof(Stub.destination), 1)) {
            ShowStubMessage("The working folder could not be created in:\n%s", full);
            return STUB_EXIT_WRITE;
        }
        Stub.ownsDestination = 1;
    } else {
        lstrcpynA(Stub.destination, full, sizeof(Stub.destination));
    }
    // Every file's full path must fit before the first one is written.
    if (strlen(Stub.destination) + 1 + Stub.longestName >= MAX_PATH) {
        ShowStubMessage("The destination folder name is too long for the files in this archive:\n%s",
                        Stub.destination);
        CloseOwnFolder();
        if (Stub.ownsDestination)
            RemoveDirectoryA(Stub.destination);
        Stub.ownsDestination = 0;
        return STUB_EXIT_WRITE;
    }
    if (Stub.ownsDestination)
        return STUB_EXIT_OK;
    if (Stub.freshDestination[0] && lstrcmpiA(Stub.destination, Stub.freshDestination) == 0) {
        // The new folder that was offered is made new now: a folder or a link
        // that took its name in the meantime is no one's to write through.
        if (CreateOwnFolder(Stub.destination, 0) == 1)
            return STUB_EXIT_OK;
        ShowStubMessage("The destination folder could not be made as a new folder:\n%s", Stub.destination);
        return STUB_EXIT_WRITE;
    }
    if (!CreateFolderPath(Stub.destination)) {
        ShowStubMessage("The destination folder could not be created:\n%s", Stub.destination);
        return STUB_EXIT_WRITE;
    }
    return STUB_EXIT_OK;
}
