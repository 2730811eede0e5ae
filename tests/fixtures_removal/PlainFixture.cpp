// PlainFixture.cpp -- a module without DllUnregisterServer. It counts its loads and
// unloads in the environment variables ZX_PLAIN_ATTACH and ZX_PLAIN_DETACH of the
// process that loads it, so an in-process test can tell it was loaded and released.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static void CountIn(const char *pszVariable)
{
    char szValue[16] = "0";
    GetEnvironmentVariableA(pszVariable, szValue, sizeof(szValue));
    snprintf(szValue, sizeof(szValue), "%ld", strtol(szValue, NULL, 10) + 1);
    SetEnvironmentVariableA(pszVariable, szValue);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD dwReason, LPVOID pReserved)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        CountIn("ZX_PLAIN_ATTACH");
    else if (dwReason == DLL_PROCESS_DETACH && pReserved == NULL)
        CountIn("ZX_PLAIN_DETACH"); // only an explicit FreeLibrary, not the process end
    return TRUE;
}
