// WindowText.cpp -- puts wide texts from the language tables on windows, dialog items and message boxes.
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

#include "MultiLang.h"
#include "Platform.h"

#ifdef ZX_DIAGNOSTIC
namespace {
DiagnosticReportProc g_pfnReport;
int g_nFault;

int TakeFault(int nFault) {
    if (g_nFault != nFault)
        return 0;
    g_nFault = MULTILANG_FAULT_NONE;
    return 1;
}

void ReportAssertion(const char* pszExpression, int nLine) {
    char szReport[256];
    _snprintf(szReport, sizeof(szReport) - 1, "Assertion failed: %s, module MultiLang, line %d\n",
              pszExpression, nLine);
    szReport[sizeof(szReport) - 1] = '\0';
    OutputDebugStringA(szReport);
    if (g_pfnReport)
        g_pfnReport(szReport);
}
}  // namespace

void SetDiagnosticReportProc(DiagnosticReportProc pfnReport) {
    g_pfnReport = pfnReport;
}

void SetMultiLangFault(int nFault) {
    g_nFault = nFault;
}

#define MULTILANG_ASSERT(expr) ((expr) ? (void)0 : ReportAssertion(#expr, __LINE__))
#define MULTILANG_FAULT(f) TakeFault(f)
#else
#define MULTILANG_ASSERT(expr) ((void)0)
#define MULTILANG_FAULT(f) 0
#endif

char* WideToAnsi(const WCHAR* pwszText) {
    if (!pwszText)
        return NULL;
    size_t cchText = WideTextLength(pwszText);
    // A double-byte code page needs up to two bytes per unit, plus the terminator.
    if (cchText > (size_t)(INT_MAX - 11) / 2)
        return NULL;
    int cbOut = (int)(2 * cchText + 11);
    char* pszOutBuf = MULTILANG_FAULT(MULTILANG_FAULT_ALLOC) ? NULL : (char*)malloc(cbOut);
    if (!pszOutBuf) {
        MULTILANG_ASSERT(pszOutBuf);
        return NULL;
    }
    int cbConverted = MULTILANG_FAULT(MULTILANG_FAULT_CONVERT)
                          ? 0
                          : WideCharToMultiByte(CP_ACP, 0, pwszText, (int)cchText + 1, pszOutBuf,
                                                cbOut - 1, NULL, NULL);
    if (cbConverted == 0) {
        MULTILANG_ASSERT(!"WideCharToMultiByte");
        free(pszOutBuf);
        return NULL;
    }
    return pszOutBuf;
}

BOOL SetWindowTextWide(HWND hWnd, const WCHAR* pwszText) {
    // Asked afresh each time, so no start-up step has to have run first. The
    // 95 family has only stubs for the wide window functions.
    if (IsWindowsNT())
        return SetWindowTextW(hWnd, pwszText);
    char* pszText = WideToAnsi(pwszText);
    if (!pszText)
        return 0;
    BOOL bResult = SetWindowTextA(hWnd, pszText);
    free(pszText);
    return bResult;
}

BOOL SetWindowTextByKey(HWND hWnd, const char* pszKey) {
    const WCHAR* pwszText = GetLanguageText(pszKey);
    if (!pwszText)
        return 0;
    return SetWindowTextWide(hWnd, pwszText);
}

BOOL SetDlgItemTextByKey(HWND hDlg, int nIDDlgItem, const char* pszKey) {
    return SetWindowTextByKey(GetDlgItem(hDlg, nIDDlgItem), pszKey);
}

int MessageBoxByKey(HWND hWndOwner, const char* pszKey, const WCHAR* pwszCaption, UINT uType) {
    const WCHAR* pwszText = GetLanguageText(pszKey);
    if (!pwszText)
        return 0;
    return MessageBoxW(hWndOwner, pwszText, pwszCaption, uType);
}
