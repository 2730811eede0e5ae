// RecordPath.cpp -- full-path, device-name and module-name tests for install-log paths.
#include "RecordPath.h"

#include <string.h>

static char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

static int IsLetter(char c)
{
    c = LowerAscii(c);
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

static int EqualsNoCase(const char *psz, size_t cch, const char *pszName)
{
    if (strlen(pszName) != cch)
        return 0;
    for (size_t i = 0; i < cch; i++)
        if (LowerAscii(psz[i]) != LowerAscii(pszName[i]))
            return 0;
    return 1;
}

static int IsDeviceName(const char *psz, size_t cch)
{
    static const char *const kNames[] = {"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
    for (const char *pszName : kNames)
        if (EqualsNoCase(psz, cch, pszName))
            return 1;
    // COM1-9 and LPT1-9; the system also takes the superscript digits 1-3 of the
    // Latin-1 code page (0xB9, 0xB2, 0xB3).
    if (cch == 4 && (EqualsNoCase(psz, 3, "com") || EqualsNoCase(psz, 3, "lpt"))) {
        unsigned char d = (unsigned char)psz[3];
        return (d >= '1' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
    }
    return 0;
}

int NamesDevice(const char *pszPath)
{
    if (pszPath == NULL)
        return 0;
    const char *psz = pszPath;
    for (;;) {
        size_t cch = ComponentLength(psz);
        size_t cchBase = 0;
        while (cchBase < cch && psz[cchBase] != '.' && psz[cchBase] != ':')
            cchBase++;
        while (cchBase > 0 && psz[cchBase - 1] == ' ')
            cchBase--;
        if (IsDeviceName(psz, cchBase))
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
    return EqualsNoCase(pszExt, 4, ".dll") || EqualsNoCase(pszExt, 4, ".ocx");
}
