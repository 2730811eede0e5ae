// WorkFolder.cpp -- the folder a run makes for itself, held open, and the files opened inside it through that handle.
//
// An elevated run's folder lies in the user's %TEMP%, where every program of
// the same user can reach it. Held without delete sharing, the folder can be
// neither renamed nor replaced; files are made, checked and deleted relative
// to the held handle, so no path that another program could redirect (a
// junction made of the folder while it is still empty) lies between the stub
// and its files.
#include "Stub.h"

#include <winternl.h>

#include "StubOwnFolder.h"

namespace {

typedef NTSTATUS(NTAPI *NtCreateFileFn)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER,
                                        ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
typedef NTSTATUS(NTAPI *NtSetInformationFileFn)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
typedef BOOL(WINAPI *OpenProcessTokenFn)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI *GetTokenInformationFn)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);

const NTSTATUS kNameInvalid = (NTSTATUS)0xC0000033;
const NTSTATUS kNameNotFound = (NTSTATUS)0xC0000034;
const NTSTATUS kNameCollision = (NTSTATUS)0xC0000035;

NtCreateFileFn NtCreate;
NtSetInformationFileFn NtSetInformation;

// Looked up, not imported: the 95 family has neither the native calls nor access lists.
int LoadNativeCalls(void)
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll && !NtCreate) {
        NtCreate = (NtCreateFileFn)(void *)GetProcAddress(ntdll, "NtCreateFile");
        NtSetInformation = (NtSetInformationFileFn)(void *)GetProcAddress(ntdll, "NtSetInformationFile");
    }
    return NtCreate && NtSetInformation;
}

// The level of an elevated token; 0 for any other, and on systems that know
// no integrity levels (the query fails there).
uint32_t LabelLevel(HANDLE token, GetTokenInformationFn query)
{
    union {
        TOKEN_MANDATORY_LABEL label;
        uint8_t bytes[sizeof(TOKEN_MANDATORY_LABEL) + STUB_SID_MAX];
    } info;
    DWORD length = 0;
    if (!query(token, TokenIntegrityLevel, &info, sizeof(info), &length) || length > sizeof(info))
        return 0;
    const uint8_t *sid = (const uint8_t *)info.label.Label.Sid;
    if (sid < info.bytes || sid >= info.bytes + length)
        return 0;
    return StubLabelLevel(sid, (size_t)(info.bytes + length - sid));
}

// The access list with this process's user in it, and an elevated run's label;
// 0 when the system gives no user.
int FolderSecurity(uint8_t *descriptor)
{
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    OpenProcessTokenFn openToken = (OpenProcessTokenFn)(void *)GetProcAddress(advapi, "OpenProcessToken");
    GetTokenInformationFn query = (GetTokenInformationFn)(void *)GetProcAddress(advapi, "GetTokenInformation");
    HANDLE token;
    if (!openToken || !query || !openToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return 0;
    union {
        TOKEN_USER user;
        uint8_t bytes[sizeof(TOKEN_USER) + STUB_SID_MAX];
    } info;
    DWORD length = 0;
    BOOL ok = query(token, TokenUser, &info, sizeof(info), &length);
    uint32_t level = LabelLevel(token, query);
    CloseHandle(token);
    const uint8_t *sid = (const uint8_t *)info.user.User.Sid;
    // Only what the system wrote into the buffer is read.
    if (!ok || length > sizeof(info) || sid < info.bytes || sid >= info.bytes + length)
        return 0;
    return StubFolderSecurity(descriptor, STUB_FOLDER_SECURITY_MAX, sid, (size_t)(info.bytes + length - sid),
                              level) != 0;
}

NTSTATUS OpenRelative(HANDLE root, const char *name, ACCESS_MASK access, ULONG share, ULONG disposition,
                      ULONG options, void *security, HANDLE *file)
{
    *file = NULL;
    WCHAR wide[MAX_PATH];
    int length = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
    if (length <= 1)
        return kNameInvalid;
    UNICODE_STRING text = {(USHORT)((length - 1) * sizeof(WCHAR)), (USHORT)(length * sizeof(WCHAR)), wide};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, root, security);
    IO_STATUS_BLOCK io;
    NTSTATUS status = NtCreate(file, access | SYNCHRONIZE, &attributes, &io, NULL, FILE_ATTRIBUTE_NORMAL, share,
                               disposition, options | FILE_SYNCHRONOUS_IO_NONALERT, NULL, 0);
    if (!NT_SUCCESS(status))
        *file = NULL;
    return status;
}

int SameFile(const BY_HANDLE_FILE_INFORMATION *a, const BY_HANDLE_FILE_INFORMATION *b)
{
    return a->dwVolumeSerialNumber == b->dwVolumeSerialNumber && a->nFileIndexHigh == b->nFileIndexHigh &&
           a->nFileIndexLow == b->nFileIndexLow;
}

}  // namespace

int CreateOwnFolder(const char *path, int restricted)
{
    if (!LoadNativeCalls()) {
        // The 95 family: no access lists, no links, nothing to hold the folder with.
        return CreateDirectoryA(path, NULL) ? 1 : GetLastError() == ERROR_ALREADY_EXISTS ? -1 : 0;
    }
    uint8_t descriptor[STUB_FOLDER_SECURITY_MAX];
    if (restricted && !FolderSecurity(descriptor))
        return 0;
    // The parent by its path, the folder relative to it, made and opened in one
    // step: the handle is the folder this call made and no other.
    char parent[MAX_PATH];
    lstrcpynA(parent, path, lstrlenA(path) - 10);
    HANDLE base = CreateFileA(parent, FILE_TRAVERSE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (base == INVALID_HANDLE_VALUE)
        return 0;
    // Shared for reading and writing, so that the program can make it its
    // current folder; never for deleting, which also refuses a rename.
    NTSTATUS status = OpenRelative(base, path + lstrlenA(path) - 11,
                                   FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE, FILE_DIRECTORY_FILE,
                                   restricted ? descriptor : NULL, &Stub.folder);
    CloseHandle(base);
    if (status == kNameCollision)
        return -1;
    if (!Stub.folder)
        return 0;
    // Should this fail, the folder compares equal to none: nothing is started and no file is deleted.
    GetFileInformationByHandle(Stub.folder, &Stub.folderInfo);
    return 1;
}

int FolderIsStillOurs(void)
{
    if (!Stub.folder)
        return 1;
    HANDLE now = CreateFileA(Stub.destination, FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (now == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int same = GetFileInformationByHandle(now, &info) && SameFile(&info, &Stub.folderInfo);
    CloseHandle(now);
    return same;
}

void CloseOwnFolder(void)
{
    if (Stub.folder)
        CloseHandle(Stub.folder);
    Stub.folder = NULL;
}

HANDLE CreateInOwnFolder(const char *name)
{
    HANDLE file;
    // DELETE: a file cut short goes through the same handle.
    OpenRelative(Stub.folder, name, GENERIC_WRITE | DELETE, 0, FILE_CREATE, FILE_NON_DIRECTORY_FILE, NULL, &file);
    return file;
}

HANDLE OpenInOwnFolder(const char *name)
{
    HANDLE file;
    // Shared for reading only: while it is held, the file can be neither changed nor deleted.
    OpenRelative(Stub.folder, name, GENERIC_READ, FILE_SHARE_READ, FILE_OPEN, FILE_NON_DIRECTORY_FILE, NULL, &file);
    return file;
}

int DeleteThroughHandle(HANDLE file)
{
    FILE_DISPOSITION_INFORMATION disposition = {TRUE};
    IO_STATUS_BLOCK io;
    return NtSetInformation && NT_SUCCESS(NtSetInformation(file, &io, &disposition, sizeof(disposition),
                                                           FileDispositionInformation));
}

int DeleteOwnFile(const char *name)
{
    HANDLE file;
    // The name itself, never what a link put there points to.
    NTSTATUS status = OpenRelative(Stub.folder, name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                                   FILE_OPEN_REPARSE_POINT, NULL, &file);
    if (status == kNameNotFound)  // gone already
        return 1;
    if (!file)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int action = STUB_LEAVE;
    if (GetFileInformationByHandle(file, &info)) {
        StubFoundFile found = {info.dwFileAttributes, info.nNumberOfLinks, info.dwVolumeSerialNumber};
        action = StubCleanupAction(&found, Stub.folderInfo.dwVolumeSerialNumber);
    }
    int done = action == STUB_LEAVE;
    if (action == STUB_CLEAR_THEN_DELETE) {
        FILE_BASIC_INFORMATION basic;
        ZeroMemory(&basic, sizeof(basic));  // times of 0 are left as they are
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        IO_STATUS_BLOCK io;
        NtSetInformation(file, &io, &basic, sizeof(basic), FileBasicInformation);
    }
    if (action != STUB_LEAVE)
        done = DeleteThroughHandle(file);
    CloseHandle(file);
    return done;
}
