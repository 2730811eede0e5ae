// IniRemoval.cpp -- deletes one INI key that the installation wrote.
#include "RemovalActions.h"

#include <windows.h>
#include <stdio.h>

#include "PathVariables.h"

int ComposeIniPath(unsigned int uLocationCode, const char *pszFileName, char *pszOut)
{
    static const char *const kLocationVariables[3] = {"SEL_DESTPATH", "WINDIR", "WINSYSDIR"};
    if (pszFileName == NULL)
        return 0;
    int cch;
    if (uLocationCode < 3)
        cch = snprintf(pszOut, INI_PATH_SIZE, "%s%s", GetPathVariable(kLocationVariables[uLocationCode]),
                       pszFileName);
    else if (uLocationCode == 3)
        cch = snprintf(pszOut, INI_PATH_SIZE, "%s", pszFileName);
    else
        return 0; // no directory is known for other codes
    // A cut-off path would name some other file, whose key would then be deleted.
    return cch >= 0 && cch < INI_PATH_SIZE;
}

int RemoveIniEntry(unsigned int uLocationCode, const char *pszFileName, const char *pszSection,
                   const char *pszKey, DWORD *pdwError)
{
    if (pdwError)
        *pdwError = 0;
    char szIniPath[INI_PATH_SIZE];
    if (pszSection == NULL || pszKey == NULL || !ComposeIniPath(uLocationCode, pszFileName, szIniPath))
        return 0;

    // A NULL value deletes the key and leaves the section, even when it is now empty.
    // A file that is not there holds no key to delete: only an existing one can fail.
    if (!WritePrivateProfileStringA(pszSection, pszKey, NULL, szIniPath)) {
        DWORD dwError = GetLastError();
        if (pdwError && GetFileAttributesA(szIniPath) != INVALID_FILE_ATTRIBUTES)
            *pdwError = dwError ? dwError : ERROR_WRITE_FAULT;
    }
    return 1;
}
