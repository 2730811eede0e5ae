// text_probe.cpp -- child program of the window-text tests: puts texts from a language file on a
// dialog and writes back what the dialog shows, so that the parent can run it as a 95-family program.
//   text_probe <language file> <result file>
// Result file, UTF-16 lines: IsWindowsNT, the three call results, the caption, items 101 and 102.
#include <stdio.h>

#include <string>

#include "MultiLang.h"
#include "Platform.h"

static INT_PTR CALLBACK ProbeDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

static std::wstring WindowTextOf(HWND hWnd) {
    WCHAR wsz[512] = {0};
    GetWindowTextW(hWnd, wsz, 512);
    return wsz;
}

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    LanguageTable* pTable = NULL;
    if (!ReadLanguageFile(&pTable, argv[1]))
        return 3;
    SetPrimaryLanguageTable(pTable);
    HWND hDlg = CreateDialogParamA(GetModuleHandleA(NULL), "TESTDLG", NULL, ProbeDialogProc, 0);
    if (!hDlg)
        return 4;
    BOOL bCaption = SetWindowTextByKey(hDlg, "Uninstall|RestartTopic");
    BOOL bItem1 = SetDlgItemTextByKey(hDlg, 101, "Uninstall|Success");
    BOOL bItem2 = SetDlgItemTextByKey(hDlg, 102, "Missing|Key");

    std::wstring result;
    result += IsWindowsNT() ? L"1\n" : L"0\n";
    result += bCaption ? L"1\n" : L"0\n";
    result += bItem1 ? L"1\n" : L"0\n";
    result += bItem2 ? L"1\n" : L"0\n";
    result += WindowTextOf(hDlg) + L"\n";
    result += WindowTextOf(GetDlgItem(hDlg, 101)) + L"\n";
    result += WindowTextOf(GetDlgItem(hDlg, 102)) + L"\n";
    DestroyWindow(hDlg);

    FILE* f = fopen(argv[2], "wb");
    if (!f)
        return 5;
    fwrite(result.data(), sizeof(WCHAR), result.size(), f);
    fclose(f);
    FreeLanguageTable(pTable);
    return 0;
}
