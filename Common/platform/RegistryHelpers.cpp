// RegistryHelpers.cpp -- registry reads and writes that open, act on and close one key.
#include "Platform.h"
#include "Owners.h"

static bool HasSubKey(LPCSTR pszSubKey)
{
    return pszSubKey != NULL && pszSubKey[0] != '\0';
}

DWORD ReadRegistryDword(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszValueName)
{
    if (!HasSubKey(pszSubKey))
        return 0;
    RegKey hKey;
    DWORD dwValue = 0;
    DWORD cbData = sizeof(dwValue);
    // A value too large for 4 bytes may still leave part of itself in the buffer.
    if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, hKey.Receive()) != ERROR_SUCCESS ||
        RegQueryValueExA(hKey, pszValueName, NULL, NULL, (LPBYTE)&dwValue, &cbData) != ERROR_SUCCESS)
        return 0;
    return dwValue;
}

BOOL SetRegistryDword(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszValueName, DWORD dwValue)
{
    if (!HasSubKey(pszSubKey))
        return FALSE;
    RegKey hKey;
    return RegCreateKeyA(hRoot, pszSubKey, hKey.Receive()) == ERROR_SUCCESS &&
           RegSetValueExA(hKey, pszValueName, 0, REG_DWORD, (const BYTE *)&dwValue,
                          sizeof(dwValue)) == ERROR_SUCCESS;
}

BOOL DeleteRegistryValue(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszValueName)
{
    if (!HasSubKey(pszSubKey))
        return FALSE;
    RegKey hKey;
    if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_WRITE | KEY_QUERY_VALUE, hKey.Receive()) != ERROR_SUCCESS)
        return FALSE;
    RegDeleteValueA(hKey, pszValueName);
    DWORD cSubKeys = 0;
    DWORD cValues = 0;
    if (RegQueryInfoKeyA(hKey, NULL, NULL, NULL, &cSubKeys, NULL, NULL, &cValues, NULL, NULL, NULL,
                         NULL) != ERROR_SUCCESS) {
        cSubKeys = 0;
        cValues = 0;
    }
    hKey.Reset();
    // An emptied key is left over by the value that needed it, so it goes too.
    if (cSubKeys == 0 && cValues == 0)
        RegDeleteKeyA(hRoot, pszSubKey);
    return TRUE;
}
