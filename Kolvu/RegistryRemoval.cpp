// RegistryRemoval.cpp -- deletes one registry value that the installation wrote.
#include "RemovalActions.h"

#include <windows.h>

#include "Owners.h"

// Indexed by the root code of a registry-entry record.
static const HKEY kRootKeys[4] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                  HKEY_USERS};

int RemoveRegistryEntry(unsigned int uRootCode, const char *pszSubKey, const char *pszValueName)
{
    // A code outside the table names no root; guessing one could delete a value the
    // installation never wrote.
    if (uRootCode >= sizeof(kRootKeys) / sizeof(kRootKeys[0]))
        return 0;
    RegKey hKey;
    // RegOpenKeyA, unlike RegOpenKeyExA, opens the root itself for an empty subkey and
    // never creates a missing key.
    if (RegOpenKeyA(kRootKeys[uRootCode], pszSubKey, hKey.Receive()) != ERROR_SUCCESS)
        return 0;
    // Only the value goes: the key may be shared with other software.
    RegDeleteValueA(hKey, pszValueName);
    return 1;
}
