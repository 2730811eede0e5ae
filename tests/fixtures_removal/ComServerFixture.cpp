// ComServerFixture.cpp -- a self-registering COM server for the removal tests.
//
// DllRegisterServer writes a class registration under HKEY_CURRENT_USER\Software\Classes;
// DllUnregisterServer deletes it again and leaves marks under
// HKEY_CURRENT_USER\Software\Velmor\ZendrixTests\ComServerFixture:
//   UnregisterCalls   DWORD, one more at every call
//   ComInitialised    DWORD, 1 when COM was already initialised on the calling thread
//   FailCriticalErrors DWORD, 1 when the caller had set SEM_FAILCRITICALERRORS
// Marks in the registry are seen by a test in another process too.
#include <windows.h>
#include <objbase.h>

#define FIXTURE_CLSID "{6B1F0D2E-5C3A-4E71-9B8D-2A7C4F1E0D93}"
static const char kClassKey[] = "Software\\Classes\\CLSID\\" FIXTURE_CLSID;
static const char kMarkKey[] = "Software\\Velmor\\ZendrixTests\\ComServerFixture";

static HINSTANCE g_hInstance;

static void SetMark(HKEY hKey, const char *pszName, DWORD dwValue)
{
    RegSetValueExA(hKey, pszName, 0, REG_DWORD, (const BYTE *)&dwValue, sizeof(dwValue));
}

extern "C" STDAPI DllRegisterServer()
{
    char szModule[MAX_PATH];
    if (GetModuleFileNameA(g_hInstance, szModule, sizeof(szModule)) == 0)
        return E_FAIL;
    HKEY hKey;
    char szServerKey[sizeof(kClassKey) + 32];
    wsprintfA(szServerKey, "%s\\InprocServer32", kClassKey);
    if (RegCreateKeyA(HKEY_CURRENT_USER, szServerKey, &hKey) != ERROR_SUCCESS)
        return E_FAIL;
    RegSetValueExA(hKey, NULL, 0, REG_SZ, (const BYTE *)szModule, lstrlenA(szModule) + 1);
    RegCloseKey(hKey);
    return S_OK;
}

extern "C" STDAPI DllUnregisterServer()
{
    char szServerKey[sizeof(kClassKey) + 32];
    wsprintfA(szServerKey, "%s\\InprocServer32", kClassKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, szServerKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kClassKey);

    // S_FALSE: this thread already had an apartment, which is what the caller promises.
    HRESULT hr = CoInitialize(NULL);
    DWORD dwComReady = (hr == S_FALSE) ? 1 : 0;
    if (SUCCEEDED(hr))
        CoUninitialize();
    UINT uMode = SetErrorMode(0);
    SetErrorMode(uMode);

    HKEY hKey;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kMarkKey, &hKey) != ERROR_SUCCESS)
        return E_FAIL;
    DWORD dwCalls = 0;
    DWORD cbCalls = sizeof(dwCalls);
    if (RegQueryValueExA(hKey, "UnregisterCalls", NULL, NULL, (BYTE *)&dwCalls, &cbCalls) !=
        ERROR_SUCCESS)
        dwCalls = 0;
    SetMark(hKey, "UnregisterCalls", dwCalls + 1);
    SetMark(hKey, "ComInitialised", dwComReady);
    SetMark(hKey, "FailCriticalErrors", (uMode & SEM_FAILCRITICALERRORS) ? 1 : 0);
    RegCloseKey(hKey);
    return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        g_hInstance = hInstance;
    return TRUE;
}
