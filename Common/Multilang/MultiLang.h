// MultiLang.h -- language files and localized window text of the uninstaller.
#pragma once
#include <windows.h>

#include "LanguageTable.h"

// Reads a language file into a new table. Returns 1 and sets *ppTable, or 0
// leaving *ppTable as it was when ppTable is NULL, the file does not exist or
// cannot be opened, or it is not a complete language file.
int ReadLanguageFile(LanguageTable** ppTable, const char* pszFileName);

// New heap ANSI text in the system code page (release with free), or NULL.
// Characters the code page lacks become the system's default character.
char* WideToAnsi(const WCHAR* pwszText);

// Sets a window text with the wide function on the NT family and a converted
// ANSI text elsewhere. Returns the result of setting it; 0 when conversion failed.
BOOL SetWindowTextWide(HWND hWnd, const WCHAR* pwszText);

// Texts by key: 0 and nothing changed when neither table has the key.
BOOL SetWindowTextByKey(HWND hWnd, const char* pszKey);
BOOL SetDlgItemTextByKey(HWND hDlg, int nIDDlgItem, const char* pszKey);
// Wide message box on every platform; 0 without a box when the key has no text.
int MessageBoxByKey(HWND hWndOwner, const char* pszKey, const WCHAR* pwszCaption, UINT uType);

#ifdef ZX_DIAGNOSTIC
// Diagnostic builds only: a test can watch the assertion reports and make the
// next conversion's allocation or conversion fail.
typedef void (*DiagnosticReportProc)(const char* pszReport);
void SetDiagnosticReportProc(DiagnosticReportProc pfnReport);
enum { MULTILANG_FAULT_NONE, MULTILANG_FAULT_ALLOC, MULTILANG_FAULT_CONVERT };
void SetMultiLangFault(int nFault);
#endif
