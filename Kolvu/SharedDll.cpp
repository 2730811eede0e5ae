// SharedDll.cpp -- gives back this installation's use count of a shared system file.
#include "SharedDll.h"

#include "ComUnregister.h"
#include "FileRemoval.h"
#include "Owners.h"
#include "Platform.h"
#include "RemovalReport.h"

// The count, when the value is a REG_DWORD of 4 bytes; 0 otherwise.
static DWORD ReadSharedCount(const char *pszPath)
{
    RegKey hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_READ, hKey.Receive()) != ERROR_SUCCESS)
        return 0;
    DWORD dwType = REG_NONE, dwCount = 0, cbData = sizeof(dwCount);
    if (RegQueryValueExA(hKey, pszPath, NULL, &dwType, (LPBYTE)&dwCount, &cbData) != ERROR_SUCCESS ||
        dwType != REG_DWORD || cbData != sizeof(dwCount))
        return 0;
    return dwCount;
}

DWORD ReleaseSharedDll(const char *pszPath)
{
    // Writing a wrapped count back would claim four billion users for good.
    DWORD dwCount = ReadSharedCount(pszPath);
    if (dwCount == 0)
        return SHARED_NO_COUNT;
    dwCount--;
    if (dwCount == 0)
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, pszPath);
    else
        SetRegistryDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, pszPath, dwCount);
    return dwCount;
}

int RemoveSharedFile(const char *pszPath, int bUnregister, ItemOutcome *pOutcome)
{
    DWORD dwCount = ReleaseSharedDll(pszPath);
    ItemOutcome outcome = {FATE_KEPT_SHARED, dwCount};
    if (dwCount == SHARED_NO_COUNT) {
        outcome.fate = FATE_KEPT_NO_COUNT;
        outcome.value = 0;
    } else if (dwCount == 0) {
        // Only now, when this run was its last user: unregistering earlier would
        // take the controls from every program that still counts on the file.
        if (bUnregister)
            UnregisterComServer(pszPath);
        RemoveFileOrSchedule(pszPath, NULL, &outcome);
    }
    if (pOutcome)
        *pOutcome = outcome;
    return 1;
}
