// HelpTopic.cpp -- opens a topic of Brolt.chm through the HTML Help control.
#include "HelpTopic.h"

#include <windows.h>
#include <string.h>

typedef HWND(WINAPI *HtmlHelpAProc)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

enum { HH_DISPLAY_TOPIC_COMMAND = 0, HTMLHELPA_ORDINAL = 14 };

// Loaded once; after one failed attempt help stays off for the rest of the run
// so every press of Help doesn't hit the registry and the disk again.
static HtmlHelpAProc HtmlHelpEntry;
static int HtmlHelpTried;

static HMODULE LoadRegisteredHtmlHelp(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32",
                      0, KEY_READ, &key) != ERROR_SUCCESS)
        return NULL;

    char path[260];
    DWORD cb = sizeof(path) - 1;  // room for a terminator the value may lack
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, NULL, NULL, &type, (BYTE *)path, &cb);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || cb == 0)
        return NULL;
    path[cb] = '\0';
    if (path[0] == '\0')
        return NULL;
    return LoadLibraryA(path);
}

static HtmlHelpAProc GetHtmlHelp(void)
{
    if (HtmlHelpTried)
        return HtmlHelpEntry;
    HtmlHelpTried = 1;

    HMODULE library = LoadRegisteredHtmlHelp();
    if (!library)
        library = LoadLibraryA("hhctrl.ocx");
    if (!library)
        return NULL;
    // Kept loaded for the rest of the run: the help window lives in it.
    HtmlHelpEntry = (HtmlHelpAProc)(void *)GetProcAddress(library, MAKEINTRESOURCEA(HTMLHELPA_ORDINAL));
    return HtmlHelpEntry;
}

int MakeHelpTopicPath(const char *pszTopic, char *pszOut, unsigned cbOut)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return 0;
    char *slash = strrchr(path, '\\');
    if (slash)
        *slash = '\0';

    static const char chm[] = "\\Brolt.chm::/";
    size_t need = strlen(path) + strlen(chm) + strlen(pszTopic) + 1;
    if (need > cbOut)
        return 0;
    strcpy(pszOut, path);
    strcat(pszOut, chm);
    strcat(pszOut, pszTopic);
    return 1;
}

void ShowHelpTopic(const char *pszTopic)
{
    HtmlHelpAProc htmlHelp = GetHtmlHelp();
    if (!htmlHelp)
        return;
    char path[MAX_PATH + 32];
    if (!MakeHelpTopicPath(pszTopic, path, sizeof(path)))
        return;
    htmlHelp(GetDesktopWindow(), path, HH_DISPLAY_TOPIC_COMMAND, 0);
}
