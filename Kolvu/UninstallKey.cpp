// UninstallKey.cpp -- deletes the application's uninstall key, the removal's last step.
#include "RemovalActions.h"

#include <windows.h>
#include <stdio.h>

int DeleteUninstallKey(const char *pszKeyName, DWORD *pdwError, int *pbAbsent)
{
    if (pdwError)
        *pdwError = 0;
    if (pbAbsent)
        *pbAbsent = 0;
    // Without a name the format would leave the Uninstall key itself.
    if (pszKeyName == NULL || pszKeyName[0] == '\0')
        return 0;
    char szKey[sizeof(UNINSTALL_KEY_FORMAT) + 256];
    int cch = snprintf(szKey, sizeof(szKey), UNINSTALL_KEY_FORMAT, pszKeyName);
    if (cch < 0 || (size_t)cch >= sizeof(szKey))
        return 0;
    // On the NT family a key that still has subkeys is refused and stays.
    LONG lResult = RegDeleteKeyA(HKEY_LOCAL_MACHINE, szKey);
    if (pdwError && lResult != ERROR_SUCCESS && lResult != ERROR_FILE_NOT_FOUND)
        *pdwError = (DWORD)lResult;
    if (pbAbsent)
        *pbAbsent = lResult == ERROR_FILE_NOT_FOUND;
    return 1;
}
