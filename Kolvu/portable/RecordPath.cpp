// RecordPath.cpp -- full-path, device-name and module-name tests for install-log paths.
#include "RecordPath.h"

#include <string.h>

#include "Text.h"

static int IsLetter(char c)
{
    c = TextLower(c);
    return c >= 'a' && c <= 'z';
}

static int IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Length of the component that starts at psz (up to a separator or the end).
static size_t ComponentLength(const char *psz)
{
    size_t n = 0;
    while (psz[n] != '\0' && !IsSeparator(psz[n]))
        n++;
    return n;
}

int IsFullPath(const char *pszPath)
{
    if (pszPath == NULL)
        return 0;
    if (IsLetter(pszPath[0]) && pszPath[1] == ':' && pszPath[2] == '\\')
        return 1;
    if (pszPath[0] != '\\' || pszPath[1] != '\\')
        return 0;
    const char *pszServer = pszPath + 2;
    size_t cchServer = ComponentLength(pszServer);
    if (cchServer == 0 || pszServer[cchServer] != '\\')
        return 0;
    // "\\.\" and "\\?\" reach devices and raw volumes, not a server's share.
    if (cchServer == 1 && (pszServer[0] == '.' || pszServer[0] == '?'))
        return 0;
    return ComponentLength(pszServer + cchServer + 1) != 0;
}

int NamesDevice(const char *pszPath)
{
    if (pszPath == NULL)
        return 0;
    const char *psz = pszPath;
    for (;;) {
        size_t cch = ComponentLength(psz);
        if (TextIsDeviceName(psz, cch))
            return 1;
        if (psz[cch] == '\0')
            return 0;
        psz += cch + 1;
    }
}

// "C:\App\..\..\Windows" is full, but no setup records a path that climbs out.
static int ClimbsOrStays(const char *pszPath)
{
    for (const char *psz = pszPath;; ) {
        size_t cch = ComponentLength(psz);
        if ((cch == 1 && psz[0] == '.') || (cch == 2 && psz[0] == '.' && psz[1] == '.'))
            return 1;
        if (psz[cch] == '\0')
            return 0;
        psz += cch + 1;
    }
}

int IsActionablePath(const char *pszPath)
{
    return IsFullPath(pszPath) && !NamesDevice(pszPath) && !ClimbsOrStays(pszPath);
}

int IsRootPath(const char *pszPath)
{
    if (!IsFullPath(pszPath))
        return 0;
    const char *psz;
    if (pszPath[0] == '\\') {
        // past "\\server\share"
        psz = pszPath + 2;
        psz += ComponentLength(psz) + 1;
        psz += ComponentLength(psz);
    } else {
        psz = pszPath + 2;
    }
    // "C:\\" still names the root: the system folds the separators.
    while (IsSeparator(*psz))
        psz++;
    return *psz == '\0';
}

int IsRemovablePath(const char *pszPath)
{
    return IsActionablePath(pszPath) && !IsRootPath(pszPath);
}

int IsModulePath(const char *pszPath)
{
    if (pszPath == NULL)
        return 0;
    size_t cch = strlen(pszPath);
    if (cch < 4)
        return 0;
    const char *pszExt = pszPath + cch - 4;
    return TextSpanEqualsNoCase(pszExt, 4, ".dll") || TextSpanEqualsNoCase(pszExt, 4, ".ocx");
}
