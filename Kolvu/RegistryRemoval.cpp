// RegistryRemoval.cpp -- deletes one registry value that the installation wrote.
#include "RemovalActions.h"

#include <windows.h>

#include "Owners.h"

// Indexed by the root code of a registry-entry record.
static const HKEY kRootKeys[4] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                  HKEY_USERS};

const char *RegistryRootName(unsigned int uRootCode)
{
    static const char *const kNames[4] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                          "HKEY_USERS"};
    return uRootCode < 4 ? kNames[uRootCode] : NULL;
}

static int IsAbsence(LONG lResult)
{
    return lResult == ERROR_FILE_NOT_FOUND || lResult == ERROR_PATH_NOT_FOUND;
}

// Gone already is as good as deleted now.
static DWORD ErrorOf(LONG lResult)
{
    return (lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND || lResult == ERROR_PATH_NOT_FOUND)
               ? 0
               : (DWORD)lResult;
}

int RemoveRegistryEntry(unsigned int uRootCode, const char *pszSubKey, const char *pszValueName,
                        DWORD *pdwError, int *pbAbsent)
{
    DWORD dwIgnored;
    DWORD &dwError = pdwError ? *pdwError : dwIgnored;
    dwError = 0;
    int bIgnored;
    int &bAbsent = pbAbsent ? *pbAbsent : bIgnored;
    bAbsent = 0;
    // A code outside the table names no root; guessing one could delete a value the
    // installation never wrote.
    if (uRootCode >= sizeof(kRootKeys) / sizeof(kRootKeys[0]))
        return 0;
    RegKey hKey;
    // RegOpenKeyA, unlike RegOpenKeyExA, opens the root itself for an empty subkey and
    // never creates a missing key.
    LONG lOpen = RegOpenKeyA(kRootKeys[uRootCode], pszSubKey, hKey.Receive());
    if (lOpen != ERROR_SUCCESS) {
        dwError = ErrorOf(lOpen);
        bAbsent = IsAbsence(lOpen);
        return 0;
    }
    // Only the value goes: the key may be shared with other software.
    LONG lDelete = RegDeleteValueA(hKey, pszValueName);
    dwError = ErrorOf(lDelete);
    bAbsent = IsAbsence(lDelete);
    return 1;
}
