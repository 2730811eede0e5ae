// SafeLoad.cpp -- keeps a DLL planted beside a downloaded file from being loaded.
//
// The stub imports only DLLs that Windows always takes from its system folder.
// Everything else (the common controls, the shell, COM) is loaded here, after
// the search has been narrowed to the system folder where the system allows it.
#include "Stub.h"

#include <commctrl.h>

#include "StubPaths.h"

namespace {

int SearchRestricted;

}  // namespace

void RestrictDllSearch(void)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCSTR);
    SetDefaultDllDirectoriesFn setDefault =
        (SetDefaultDllDirectoriesFn)(void *)GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */))
        SearchRestricted = 1;
    // Older systems: at least take the current directory out of the search.
    SetDllDirectoryFn setDirectory = (SetDllDirectoryFn)(void *)GetProcAddress(kernel, "SetDllDirectoryA");
    if (setDirectory)
        setDirectory("");
}

HMODULE LoadSystemLibrary(const char *name)
{
    if (SearchRestricted)
        return LoadLibraryA(name);
    // Without the restriction a bare name would be looked for beside the
    // program first; a full path leaves no choice.
    char system[MAX_PATH];
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof(system));
    if (length == 0 || length >= sizeof(system) || !StubJoinPath(path, sizeof(path), system, name))
        return NULL;
    return LoadLibraryA(path);
}

void PreloadDialogHelpers(void)
{
    // When a dialog shows, system DLLs resolve their delay-loaded imports (the
    // input method's ole32, the theme's msimg32) by the plain search, which on
    // some systems (Wine) still starts beside the program. Loaded from the
    // system folder first, they are then found by name and never searched for.
    LoadSystemLibrary("ole32.dll");
    LoadSystemLibrary("msimg32.dll");
}

void InitCommonControlsAtRunTime(void)
{
    HMODULE comctl = LoadSystemLibrary("comctl32.dll");
    if (!comctl)
        return;
    typedef BOOL(WINAPI * InitExFn)(const INITCOMMONCONTROLSEX *);
    typedef void(WINAPI * InitFn)(void);
    InitExFn initEx = (InitExFn)(void *)GetProcAddress(comctl, "InitCommonControlsEx");
    if (initEx) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
        initEx(&icc);
        return;
    }
    InitFn init = (InitFn)(void *)GetProcAddress(comctl, "InitCommonControls");
    if (init)
        init();
}
