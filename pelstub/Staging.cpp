// Staging.cpp -- a stream too large to keep: its files written into a staging folder, then moved into place.
//
// Expanding it a second time to write it would inflate every byte twice.
// Instead it is expanded once, each file written under its own name in a
// folder this run makes new inside the destination and holds, as a Setup
// module holds its working folder, and only when the whole stream has passed
// every check are the files moved to their places under the overwrite rules.
// A failure, or a kill part-way, leaves no file under an archive's name that
// the archive did not complete, and nothing outside the destination: at most
// the staging folder, whose name no stored file can take while it is there.
#include "Stub.h"

#include "StubPaths.h"

namespace {

char Staging[MAX_PATH];
HANDLE Held;  // Stub.folder and its identity while the staging folder stands in for them
BY_HANDLE_FILE_INFORMATION HeldInfo;

// Every file checked: each goes to its place, or stays out under the overwrite rules.
int MoveIntoPlace(void)
{
    for (const char *name = Stub.staged; name < Stub.staged + Stub.writtenUsed; name += strlen(name) + 1) {
        char from[MAX_PATH], to[MAX_PATH];
        StubJoinPath(from, sizeof(from), Staging, name);
        StubJoinPath(to, sizeof(to), Stub.destination, name);
        // A folder the run made new holds only what it put there: a name
        // found there was planted, and the move refuses to replace it. Kept
        // under the overwrite rules, the staged copy goes with the staging folder.
        int write = Held ? 1 : ReplaceExisting(to, name, 0);
        if (write < 0)
            return STUB_EXIT_WRITE;
        if (write && !MoveFileExA(from, to, Held ? 0 : MOVEFILE_REPLACE_EXISTING)) {
            ShowStubMessage("The file could not be written:\n%s", to);
            return STUB_EXIT_WRITE;
        }
    }
    return STUB_EXIT_OK;
}

}  // namespace

int BeginStaging(void)
{
    Held = Stub.folder;
    HeldInfo = Stub.folderInfo;
    // Made with what the destination passes on, so that the files keep it
    // when they move; inside a Setup folder, that is the run's own list.
    if (FreshFolder(Stub.destination, Staging, sizeof(Staging), 2) == 1)
        return 1;
    ShowStubMessage("The destination folder could not be created:\n%s", Stub.destination);
    Stub.folder = Held;
    return 0;
}

int EndStaging(int code)
{
    if (code == STUB_EXIT_OK)
        code = MoveIntoPlace();
    // What is left goes by the cleanup rule, and the folder with it once empty.
    for (const char *name = Stub.staged; name < Stub.staged + Stub.writtenUsed; name += strlen(name) + 1)
        DeleteOwnFile(name);
    CloseOwnFolder();
    RemoveDirectoryA(Staging);
    Stub.folder = Held;
    Stub.folderInfo = HeldInfo;
    return code;
}
