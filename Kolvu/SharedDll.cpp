// SharedDll.cpp -- gives back this installation's use count of a shared system file.
#include "SharedDll.h"

#include "FileRemoval.h"
#include "Platform.h"

DWORD ReleaseSharedDll(const char *pszPath)
{
    // A missing count reads as 0 and wraps to 0xFFFFFFFF: the file then stays, since
    // nothing proves that no other installation uses it.
    DWORD dwCount = ReadRegistryDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, pszPath) - 1;
    SetRegistryDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, pszPath, dwCount);
    if (dwCount == 0)
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, pszPath);
    return dwCount;
}

int RemoveSharedFile(const char *pszPath)
{
    if (ReleaseSharedDll(pszPath) == 0)
        RemoveFileOrSchedule(pszPath);
    return 1;
}
