// Cleanup.cpp -- removing a Setup module's working folder once its program has ended.
//
// Only the files this run wrote are deleted, by name, then the folder: whatever
// the program left there, or linked there, is never walked into.
#include "Stub.h"

#include "StubPaths.h"

namespace {

// Nonzero when every written file is gone.
int DeleteWritten(const char *folder)
{
    int left = 0;
    for (const char *name = Stub.written; name && name < Stub.written + Stub.writtenUsed;
         name += strlen(name) + 1) {
        char path[MAX_PATH];
        if (!StubJoinPath(path, sizeof(path), folder, name))
            continue;
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            continue;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Put there by the program in place of our file: a junction goes (the
            // link, never what it points to), a real folder stays with the program's work.
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryA(path);
            continue;
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(path))
            left = 1;
    }
    return !left;
}

}  // namespace

void RemoveWrittenFiles(const char *folder)
{
    // A folder swapped for a junction is only unlinked.
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveDirectoryA(folder);
        return;
    }
    // The program that just ended may take a moment to let go of its files.
    for (int attempt = 0; attempt < 10; attempt++) {
        int allGone = DeleteWritten(folder);
        if (RemoveDirectoryA(folder) || GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES)
            return;
        // Files the program made itself keep the folder: they are not ours to delete.
        if (allGone)
            return;
        Sleep(300);
    }
}
