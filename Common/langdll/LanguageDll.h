// LanguageDll.h -- the current language module and the numbered strings taken from it.
#pragma once
#include <windows.h>

// The module strings come from first; NULL until LoadLanguageDll succeeds.
extern HMODULE LanguageModule;
// Result of the language DLL's GetDefDlgFont export, 0 when it has none.
extern DWORD DefaultDialogFont;

// Every display helper fetches into a buffer of this size, so strings are cut to 1023 chars.
enum { RES_STRING_SIZE = 1024 };

// 1 when the module loaded, carries the signature in string 42 and became current;
// 0 otherwise, with the current module unchanged.
int LoadLanguageDll(LPCSTR pszFileName);
// Releases the current module, if any. Always 1.
int FreeLanguageDll();
// 1 when the string was found in the current module or in this executable; 0 with
// "[Unable to load String resource]" in the buffer otherwise.
int LoadResString(UINT uID, LPSTR pszBuffer, int cchBuffer);
// Message box "Uninstall", OK, exclamation icon; 1 after it closed, 0 (no box) if no string.
int ShowResWarning(UINT uID);
// Message box "Uninstall" with the given flags; the button pressed, 0 (no box) if no string.
int ResMessageBox(UINT uID, UINT uType);
// Put the string (or the placeholder) on a dialog item / a window; the SetText result.
int SetDlgItemResText(HWND hDlg, int nIDDlgItem, UINT uID);
int SetWindowResText(HWND hWnd, UINT uID);
