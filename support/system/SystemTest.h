// SystemTest.h -- files, folders and registry values for the Windows-side tests.
//
//   DeleteTree("C:\\ZxRun\\case");                       // only ever below C:\ (see there)
//   std::string text = ReadWholeFile(path);              // "" when it cannot be read
//   EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, "Software\\Velmor\\X", "Path"));
//   EXPECT_EQ(2u, RegGetDword(HKEY_LOCAL_MACHINE, key, name, 0xDEADu));
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Removes the folder and everything in it, read-only files too. Refuses any path
// that is not a folder below C:\ and never follows a link out of the tree: Wine
// maps Z: to the host's root, so a faulty path must not reach host files.
void DeleteTree(const std::string &path);
// The whole file, or "" when it cannot be opened or read whole.
std::string ReadWholeFile(const std::string &path);
// The file's lines without their line ends ("\n" or "\r\n"); none when it cannot be read.
std::vector<std::string> ReadTextLines(const std::string &path);
// Creates or replaces the file; true when all of the text was written.
bool WriteTextFile(const std::string &path, const std::string &text = "x");
bool PathExists(const std::string &path);
// A wait of the tests, in milliseconds, stretched by the whole number in ZX_TIME_SCALE
// (default 1) for a machine that runs the programs many times slower, such as an
// emulator; INFINITE stays INFINITE.
DWORD TestWaitMs(DWORD dwMs);
// Folder of the running program, where the programs it drives and their fixtures
// lie (no trailing backslash).
std::string BinDir();

bool RegKeyExists(HKEY hRoot, const char *pszSubKey);
bool RegValueExists(HKEY hRoot, const char *pszSubKey, const char *pszValue);
// Create the key when missing; true when the value was written.
bool RegSetString(HKEY hRoot, const char *pszSubKey, const char *pszValue, const char *pszData);
bool RegSetDword(HKEY hRoot, const char *pszSubKey, const char *pszValue, DWORD dwData);
// The REG_DWORD value, or dwMissing when the value is missing or of another type.
DWORD RegGetDword(HKEY hRoot, const char *pszSubKey, const char *pszValue, DWORD dwMissing = 0);
// The key with all its subkeys.
void DeleteRegTree(HKEY hRoot, const char *pszSubKey);

// Holds files open without delete sharing (FileLocker.exe beside the program) until
// Release or destruction, as another program using them would.
class FileLock {
public:
    FileLock() = default;
    ~FileLock() { Release(); }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    // True once every file is held.
    bool Hold(const std::vector<std::string> &paths);
    // Lets go of the files; the locker's exit code (0 after a clean release).
    DWORD Release();

private:
    HANDLE hProcess_ = NULL, hHeld_ = NULL, hRelease_ = NULL;
};

// Without a window manager on the virtual display, Wine waits up to 2 s for every
// hidden top-level window to be "withdrawn" by a manager that never comes. Windows
// that Wine frames itself hide at once, and screenshots show their captions.
// Applies to programs started after the call.
void LetWineDrawFrames();
