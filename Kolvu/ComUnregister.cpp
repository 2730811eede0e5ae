// ComUnregister.cpp -- lets a COM server module remove its own registration.
#include "ComUnregister.h"

#include <windows.h>
#include <objbase.h>

typedef HRESULT(STDAPICALLTYPE *UnregisterServerProc)();

int UnregisterComServer(const char *pszModulePath)
{
    // A server may create COM objects while it unregisters; each call gets its own
    // apartment so that no COM state outlives it.
    if (FAILED(CoInitialize(NULL)))
        return 0;

    // A module on a removable or network drive must not stop the removal with a
    // "drive not ready" box.
    UINT uPreviousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    HMODULE hModule = LoadLibraryA(pszModulePath);
    // Values up to 32 are the old error codes of the 16-bit loader, never a module.
    bool bLoaded = (UINT_PTR)hModule > 32;
    int nCalled = 0;
    if (bLoaded) {
        UnregisterServerProc pfnUnregister =
            (UnregisterServerProc)(void *)GetProcAddress(hModule, "DllUnregisterServer");
        if (pfnUnregister != NULL) {
            // The server's verdict changes nothing: its file is removed either way.
            pfnUnregister();
            nCalled = 1;
        }
    }
    SetErrorMode(uPreviousMode);
    if (bLoaded)
        FreeLibrary(hModule);
    CoUninitialize();
    return nCalled;
}
