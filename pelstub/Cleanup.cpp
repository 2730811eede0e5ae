// Cleanup.cpp -- removing a Setup module's working folder once its program has ended.
#include "Stub.h"

#include "StubPaths.h"

namespace {

const int kMaxDepth = 32;

void RemoveContents(const char *folder, int depth)
{
    char pattern[MAX_PATH];
    if (depth > kMaxDepth || !StubJoinPath(pattern, sizeof(pattern), folder, "*"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!lstrcmpA(found.cFileName, ".") || !lstrcmpA(found.cFileName, ".."))
            continue;
        char path[MAX_PATH];
        if (!StubJoinPath(path, sizeof(path), folder, found.cFileName))
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction leads outside the folder: remove the link, never what it points to.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveContents(path, depth + 1);
            RemoveDirectoryA(path);
        } else {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

}  // namespace

void RemoveFolderTree(const char *path)
{
    // The program that just ended may take a moment to let go of its files.
    for (int attempt = 0; attempt < 10; attempt++) {
        RemoveContents(path, 0);
        if (RemoveDirectoryA(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            return;
        Sleep(300);
    }
}
