// StubTestSupport.h -- scratch folders and runs of built self-extractors for the stub's tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "SfxTestArchive.h"
#include "SystemTest.h"

// A fresh folder under the temporary directory, removed with its contents at the end.
struct ScratchFolder {
    std::string path;
    explicit ScratchFolder(const char *tag);
    ~ScratchFolder();
    std::string operator/(const std::string &name) const { return path + "\\" + name; }
};

// Tells RecordLaunch.exe where to write how it was started, for the life of the
// object: the variable goes again also when an assertion ends a test early.
struct LaunchRecord {
    std::string path;
    explicit LaunchRecord(const std::string &file) : path(file) { SetEnvironmentVariableA("ZX_LAUNCH_RECORD", file.c_str()); }
    ~LaunchRecord() { SetEnvironmentVariableA("ZX_LAUNCH_RECORD", NULL); }
};

bool FileExists(const std::string &path);
bool FolderExists(const std::string &path);
std::vector<std::string> FolderNames(const std::string &folder, const char *pattern = "*");

// Runs "<sfx> <arguments>" in directory and returns its exit code (30 s at most).
DWORD RunSfx(const std::string &sfx, const std::string &arguments, const std::string &directory = "");

// Like RunSfx, with the system's random generator in the process replaced by a
// counter from first: the names the stub draws are known (ZXS<first>, then the
// next). STUB_NOT_PATCHED when the generator could not be replaced.
enum : DWORD { STUB_NOT_PATCHED = 0xDEAD0001u };
DWORD RunSfxDrawingFrom(const std::string &sfx, const std::string &arguments, uint32_t first);

// Runs a console program with this exact command line in directory; what it
// writes to standard output and error lands in *out and *err (60 s at most).
DWORD RunConsole(const std::string &commandLine, const std::string &directory, std::string *out, std::string *err);

// Like RunSfx, while watching every top-level window, shown or hidden, that the
// process owns; *windows is how many different ones were seen.
DWORD RunSfxCountingWindows(const std::string &sfx, const std::string &arguments, int *windows);

// The temporary directory without its trailing backslash.
std::string TempFolder();

// This process's user, as "S-1-5-...".
std::string CurrentUserSid();

// The message box of the process whose text starts so; NULL after 10 s.
HWND WaitMessageBox(DWORD process, const std::string &start);
