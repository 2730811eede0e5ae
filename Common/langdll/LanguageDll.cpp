// LanguageDll.cpp -- loading and checking a language module and fetching numbered strings.
#include "LanguageDll.h"
#include "Owners.h"

#include <string.h>

HMODULE LanguageModule = NULL;
DWORD DefaultDialogFont = 0;

static const char LANGUAGE_SIGNATURE[] = "ZENDRIX LANGUAGE DLL";
static const char MISSING_STRING[] = "[Unable to load String resource]";
static const char MESSAGE_CAPTION[] = "Uninstall";

enum { SIGNATURE_STRING_ID = 42 };

typedef DWORD(WINAPI *GetDefDlgFontProc)(void);

static bool HasLanguageSignature(HMODULE hModule)
{
    char szSignature[256];
    if (LoadStringA(hModule, SIGNATURE_STRING_ID, szSignature, sizeof(szSignature)) <= 0)
        return false;
    // A prefix test: translators may add a version or a note after the signature.
    return strncmp(szSignature, LANGUAGE_SIGNATURE, sizeof(LANGUAGE_SIGNATURE) - 1) == 0;
}

int LoadLanguageDll(LPCSTR pszFileName)
{
    if (pszFileName == NULL)
        return 0;
    Module hModule(LoadLibraryA(pszFileName));
    if (!hModule.IsValid() || !HasLanguageSignature(hModule))
        return 0;
    FreeLanguageDll();
    LanguageModule = hModule.Detach();

    GetDefDlgFontProc pfnGetDefDlgFont =
        (GetDefDlgFontProc)(void *)GetProcAddress(LanguageModule, "GetDefDlgFont");
    if (pfnGetDefDlgFont != NULL)
        DefaultDialogFont = pfnGetDefDlgFont();
    return 1;
}

int FreeLanguageDll()
{
    if (LanguageModule != NULL) {
        FreeLibrary(LanguageModule);
        LanguageModule = NULL;
    }
    return 1;
}

int LoadResString(UINT uID, LPSTR pszBuffer, int cchBuffer)
{
    if (pszBuffer == NULL || cchBuffer <= 0)
        return 0;
    if (LanguageModule != NULL && LoadStringA(LanguageModule, uID, pszBuffer, cchBuffer) > 0)
        return 1;
    // A translation that lacks the string still shows the uninstaller's own English.
    if (LoadStringA(GetModuleHandleA(NULL), uID, pszBuffer, cchBuffer) > 0)
        return 1;
    lstrcpynA(pszBuffer, MISSING_STRING, cchBuffer);
    return 0;
}

int ShowResWarning(UINT uID)
{
    char szText[RES_STRING_SIZE];
    if (!LoadResString(uID, szText, RES_STRING_SIZE))
        return 0;
    MessageBoxA(NULL, szText, MESSAGE_CAPTION, MB_OK | MB_ICONEXCLAMATION);
    return 1;
}

int ResMessageBox(UINT uID, UINT uType)
{
    char szText[RES_STRING_SIZE];
    if (!LoadResString(uID, szText, RES_STRING_SIZE))
        return 0;
    return MessageBoxA(NULL, szText, MESSAGE_CAPTION, uType);
}

int SetDlgItemResText(HWND hDlg, int nIDDlgItem, UINT uID)
{
    return SetWindowResText(GetDlgItem(hDlg, nIDDlgItem), uID);
}

int SetWindowResText(HWND hWnd, UINT uID)
{
    char szText[RES_STRING_SIZE];
    LoadResString(uID, szText, RES_STRING_SIZE);
    return SetWindowTextA(hWnd, szText);
}
