// Cleanup.cpp -- removing a Setup module's working folder once its program has ended.
//
// Only the files this run wrote are deleted, each opened afresh inside the
// held folder and checked before every attempt; whatever the program left
// there, or linked there, is never walked into, and the folder goes only empty.
#include "Stub.h"

#include "StubPaths.h"

namespace {

// The 95 family knows no links and gives no handle to delete through.
int DeleteByPath(const char *folder, const char *name)
{
    char path[MAX_PATH];
    if (!StubJoinPath(path, sizeof(path), folder, name))
        return 1;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 1;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path);
}

// Nonzero when every written file is gone or was found not to be ours.
int DeleteWritten(const char *folder)
{
    int left = 0;
    for (const char *name = Stub.written; name && name < Stub.written + Stub.writtenUsed;
         name += strlen(name) + 1) {
        if (!(Stub.folder ? DeleteOwnFile(name) : DeleteByPath(folder, name)))
            left = 1;
    }
    return !left;
}

}  // namespace

void RemoveWrittenFiles(const char *folder)
{
    // The program that just ended may take a moment to let go of its files.
    for (int attempt = 0; !DeleteWritten(folder) && attempt < 9; attempt++)
        Sleep(300);
    CloseOwnFolder();
    // Removes an empty folder only, and a link put in its place (never what it points to).
    RemoveDirectoryA(folder);
}
