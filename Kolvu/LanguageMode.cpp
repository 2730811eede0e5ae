// LanguageMode.cpp -- where the run's texts come from: the language files beside the
// log (language-file mode) or the string table of the language module.
#include "UninstallRun.h"
#include "InstallLog.h"
#include "LanguageDll.h"
#include "MultiLang.h"
#include <string.h>

// The tables of LEXA1.LDB and LEXA2.LDB; the first one decides the mode. Both stay
// for the life of the process, like the slots that point at them.
static LanguageTable *FirstLanguageTable;
static LanguageTable *SecondLanguageTable;
// Which of the two files this run read: only those are ours to delete. A run
// with a language DLL reads neither, and a LEXA1.LDB beside its log may be
// another product's.
static int LanguageFileRead[2];

// The setup program writes these two names beside the log. Each replaces the log's
// name from its last backslash on, so the names begin with one.
static const char *const LANGUAGE_FILE_NAMES[2] = {"\\LEXA1.LDB", "\\LEXA2.LDB"};

int IsLanguageFileMode()
{
    return FirstLanguageTable != NULL;
}

// The language files lie beside the log. A log path without a directory part
// gives no name at all: the log itself must never be read as a language file.
static int LanguageFilePath(char *pszOut, size_t cbOut, const char *pszLogPath, const char *pszName)
{
    const char *pszLastBackslash = strrchr(pszLogPath, '\\');
    if (!pszLastBackslash)
        return 0;
    size_t cchDir = (size_t)(pszLastBackslash - pszLogPath);
    size_t cchName = strlen(pszName);
    if (cchDir + cchName >= cbOut)
        return 0;
    memcpy(pszOut, pszLogPath, cchDir);
    memcpy(pszOut + cchDir, pszName, cchName + 1);
    return 1;
}

static int ReadBesideLog(LanguageTable **ppTable, const char *pszLogPath, const char *pszName)
{
    char szPath[MAX_PATH];
    return LanguageFilePath(szPath, sizeof(szPath), pszLogPath, pszName) && ReadLanguageFile(ppTable, szPath);
}

// Each slot is set also after a failed read: it then stays empty.
int ReadLanguageFiles(const char *pszLogPath, uint32_t uLanguageData)
{
    if (uLanguageData & LANGF_FIRST_FILE) {
        LanguageFileRead[0] = ReadBesideLog(&FirstLanguageTable, pszLogPath, LANGUAGE_FILE_NAMES[0]);
        SetPrimaryLanguageTable(FirstLanguageTable);
    }
    if (uLanguageData & LANGF_SECOND_FILE) {
        LanguageFileRead[1] = ReadBesideLog(&SecondLanguageTable, pszLogPath, LANGUAGE_FILE_NAMES[1]);
        SetSecondaryLanguageTable(SecondLanguageTable);
    }
    return IsLanguageFileMode();
}

void DeleteLanguageFiles(const char *pszLogPath)
{
    for (int i = 0; i < 2; i++) {
        char szPath[MAX_PATH];
        if (LanguageFileRead[i] && LanguageFilePath(szPath, sizeof(szPath), pszLogPath, LANGUAGE_FILE_NAMES[i]))
            DeleteFileA(szPath);
    }
}

// The one branch on the mode: wide text from the tables, else the string (or its
// placeholder) from the language module, else the fixed English text. A key the
// tables lack gives neither form; 0 then, as for a missing string.
static int LookUp(const RunText &text, const WCHAR **ppwszWide, char *pszAnsi, int cchAnsi)
{
    *ppwszWide = NULL;
    pszAnsi[0] = '\0';
    if (IsLanguageFileMode()) {
        *ppwszWide = GetLanguageText(text.pszKey);
        return *ppwszWide != NULL;
    }
    if (text.uStringId != 0)
        return LoadResString(text.uStringId, pszAnsi, cchAnsi);
    lstrcpynA(pszAnsi, text.pszEnglish, cchAnsi);
    return 1;
}

int SetRunText(HWND hWnd, const RunText &text)
{
    const WCHAR *pwszWide;
    char szAnsi[RES_STRING_SIZE];
    LookUp(text, &pwszWide, szAnsi, sizeof(szAnsi));
    if (pwszWide)
        return SetWindowTextWide(hWnd, pwszWide);
    // A missing string still shows its placeholder; a missing key changes nothing.
    return szAnsi[0] != '\0' ? SetWindowTextA(hWnd, szAnsi) : 0;
}

int RunMessageBox(const RunText &text, UINT uType)
{
    const WCHAR *pwszWide;
    char szAnsi[RES_STRING_SIZE];
    if (!LookUp(text, &pwszWide, szAnsi, sizeof(szAnsi)))
        return 0;
    if (pwszWide)
        return MessageBoxW(NULL, pwszWide, L"Uninstall", uType);
    return MessageBoxA(NULL, szAnsi, "Uninstall", uType);
}
