// RegistryString.cpp -- the one registry text read: type-checked and always terminated.
//
// A file of its own so that the loader stub, which compiles it without the C
// runtime, takes this read and nothing else of the helpers.
#include "Platform.h"
#include "Owners.h"

static bool IsStringType(DWORD dwType)
{
    return dwType == REG_SZ || dwType == REG_EXPAND_SZ;
}

BOOL ReadRegistryString(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszValueName, LPSTR pBuffer,
                        DWORD cbBuffer)
{
    if (pszSubKey == NULL || pszSubKey[0] == '\0' || pBuffer == NULL || cbBuffer == 0)
        return FALSE;
    RegKey hKey;
    if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_READ, hKey.Receive()) != ERROR_SUCCESS)
        return FALSE;
    // Binary, number or list data is no path and carries no terminator: such a
    // value counts as not set, and the buffer is not touched for it.
    DWORD dwType = REG_NONE;
    if (RegQueryValueExA(hKey, pszValueName, NULL, &dwType, NULL, NULL) != ERROR_SUCCESS ||
        !IsStringType(dwType))
        return FALSE;
    DWORD cbData = cbBuffer;
    LONG lResult = RegQueryValueExA(hKey, pszValueName, NULL, &dwType, (LPBYTE)pBuffer, &cbData);
    // Too long, or changed in between: whatever half arrived is no text.
    if (lResult != ERROR_SUCCESS || !IsStringType(dwType)) {
        pBuffer[0] = '\0';
        return FALSE;
    }
    // The registry does not promise a terminator: a string stored without one, or one
    // that fills the buffer exactly, would run into whatever follows the buffer.
    if (cbData < cbBuffer) {
        pBuffer[cbData] = '\0';
    } else if (cbData == 0 || pBuffer[cbData - 1] != '\0') {
        pBuffer[0] = '\0';
        return FALSE;
    }
    return TRUE;
}
