// InitPathVariables.cpp -- fills the path variables from the system, the registry and
// the shell's special folders at start-up.
#include "PathVariables.h"

#include <windows.h>
#include <shlobj.h>

#include "Platform.h"

// 260 for the system's path limit, one for an appended backslash, one for its terminator.
enum { PATH_BUFFER_SIZE = MAX_PATH + 2 };

static const char CURRENT_VERSION_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion";

static const char *const OFFICE_ROOT_KEYS[] = {
    "Software\\Microsoft\\Office\\9.0\\Common\\Installroot",
    "Software\\Microsoft\\Office\\8.0\\Common\\Installroot",
    "Software\\Microsoft\\Office\\7.0\\Common\\Installroot",
};

struct ShellFolderVariable {
    const char *pszName;
    int nFolder;
};

static const ShellFolderVariable SHELL_FOLDERS[] = {
    {"COMMON_DESKTOPDIR", CSIDL_COMMON_DESKTOPDIRECTORY},
    {"DESKTOPDIR", CSIDL_DESKTOPDIRECTORY},
    {"FONTSDIR", CSIDL_FONTS},
    {"COMMON_PROGRAMSDIR", CSIDL_COMMON_PROGRAMS},
    {"PROGRAMSDIR", CSIDL_PROGRAMS},
    {"COMMON_STARTMENUDIR", CSIDL_COMMON_STARTMENU},
    {"STARTMENUDIR", CSIDL_STARTMENU},
    {"COMMON_STARTUPDIR", CSIDL_COMMON_STARTUP},
    {"STARTUPDIR", CSIDL_STARTUP},
};

// A call that fails or needs more than the capacity leaves an empty text, never garbage.
static void KeepIfFits(char *pszPath, UINT cchResult)
{
    if (cchResult == 0 || cchResult >= MAX_PATH)
        pszPath[0] = '\0';
}

static int StoreDirectory(const char *pszName, char *pszPath)
{
    AppendBackslash(pszPath);
    return SetPathVariable(pszName, pszPath);
}

static void GetShellFolder(int nFolder, char *pszPath)
{
    pszPath[0] = '\0';
    LPITEMIDLIST pidl = NULL;
    if (FAILED(SHGetSpecialFolderLocation(NULL, nFolder, &pidl)) || pidl == NULL)
        return;
    if (!SHGetPathFromIDListA(pidl, pszPath))
        pszPath[0] = '\0';
    // The item list belongs to the shell's allocator, which older systems reach only this way.
    IMalloc *pMalloc = NULL;
    if (SUCCEEDED(SHGetMalloc(&pMalloc)) && pMalloc != NULL) {
        pMalloc->Free(pidl);
        pMalloc->Release();
    }
}

// A directory the system cannot supply (older systems have no common folders) is stored
// empty: it reads like an unknown name, and no removal step depends on these variables.
static void GetCurrentVersionDirectory(const char *pszValueName, char *pszPath)
{
    if (!ReadRegistryString(HKEY_LOCAL_MACHINE, CURRENT_VERSION_KEY, pszValueName, pszPath,
                            MAX_PATH))
        pszPath[0] = '\0';
}

int InitPathVariables()
{
    char szPath[PATH_BUFFER_SIZE];

    KeepIfFits(szPath, GetWindowsDirectoryA(szPath, MAX_PATH));
    StoreDirectory("WINDIR", szPath);
    // The drive is the first two characters of what was stored as WINDIR.
    szPath[2] = '\0';
    SetPathVariable("WINDRIVE", szPath);

    KeepIfFits(szPath, GetSystemDirectoryA(szPath, MAX_PATH));
    StoreDirectory("WINSYSDIR", szPath);

    KeepIfFits(szPath, GetTempPathA(MAX_PATH, szPath));
    StoreDirectory("TEMPDIR", szPath);

    GetCurrentVersionDirectory("ProgramFilesDir", szPath);
    StoreDirectory("PROGRAMFILESDIR", szPath);
    GetCurrentVersionDirectory("CommonFilesDir", szPath);
    StoreDirectory("COMMONFILESDIR", szPath);

    for (const ShellFolderVariable &folder : SHELL_FOLDERS) {
        GetShellFolder(folder.nFolder, szPath);
        StoreDirectory(folder.pszName, szPath);
    }

    for (const char *pszKey : OFFICE_ROOT_KEYS) {
        if (ReadRegistryString(HKEY_LOCAL_MACHINE, pszKey, "Path", szPath, MAX_PATH))
            return StoreDirectory("MSOFFICEDIR", szPath);
    }
    return 0;
}
