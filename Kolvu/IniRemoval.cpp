// IniRemoval.cpp -- deletes one INI key that the installation wrote.
#include "RemovalActions.h"

#include <windows.h>
#include <stdio.h>

#include "PathVariables.h"

int RemoveIniEntry(unsigned int uLocationCode, const char *pszFileName, const char *pszSection,
                   const char *pszKey)
{
    static const char *const kLocationVariables[3] = {"SEL_DESTPATH", "WINDIR", "WINSYSDIR"};
    if (pszFileName == NULL || pszSection == NULL || pszKey == NULL)
        return 0;

    char szIniPath[INI_PATH_SIZE];
    int cch;
    if (uLocationCode < 3)
        cch = snprintf(szIniPath, sizeof(szIniPath), "%s%s",
                       GetPathVariable(kLocationVariables[uLocationCode]), pszFileName);
    else if (uLocationCode == 3)
        cch = snprintf(szIniPath, sizeof(szIniPath), "%s", pszFileName);
    else
        return 0; // no directory is known for other codes
    // A cut-off path would name some other file, whose key would then be deleted.
    if (cch < 0 || (size_t)cch >= sizeof(szIniPath))
        return 0;

    // A NULL value deletes the key and leaves the section, even when it is now empty.
    WritePrivateProfileStringA(pszSection, pszKey, NULL, szIniPath);
    return 1;
}
