// UiTest.cpp -- finding, reading and pressing the windows of programs under test.
#include "UiTest.h"

#include <stdio.h>
#include <string.h>

#include "SystemTest.h"

namespace {

enum { POLL_MS = 50, SEND_TIMEOUT_MS = 5000 };

struct WindowQuery {
    const char *pszCaption; // NULL: any caption
    DWORD dwProcessId;      // 0: any process
    const char *pszClass;   // NULL: any class
    bool bVisibleOnly;
    std::vector<HWND> found;
};

bool Matches(HWND hWnd, const WindowQuery &q)
{
    if (q.bVisibleOnly && !IsWindowVisible(hWnd))
        return false;
    if (q.dwProcessId != 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hWnd, &pid);
        if (pid != q.dwProcessId)
            return false;
    }
    if (q.pszClass != NULL) {
        char szClass[256] = "";
        GetClassNameA(hWnd, szClass, sizeof(szClass));
        if (lstrcmpiA(szClass, q.pszClass) != 0)
            return false;
    }
    if (q.pszCaption != NULL && UiWindowText(hWnd) != q.pszCaption)
        return false;
    return true;
}

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    WindowQuery *q = (WindowQuery *)lParam;
    if (Matches(hWnd, *q))
        q->found.push_back(hWnd);
    return TRUE;
}

std::vector<HWND> Query(const char *pszCaption, DWORD dwProcessId, const char *pszClass,
                        bool bVisibleOnly)
{
    WindowQuery q = {pszCaption, dwProcessId, pszClass, bVisibleOnly, {}};
    EnumWindows(CollectWindow, (LPARAM)&q);
    return q.found;
}

// Sends without hanging on a program that stopped answering.
LRESULT SendBounded(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, bool bWide)
{
    DWORD_PTR result = 0;
    BOOL ok = bWide ? SendMessageTimeoutW(hWnd, msg, wParam, lParam, SMTO_ABORTIFHUNG,
                                          TestWaitMs(SEND_TIMEOUT_MS), &result)
                    : SendMessageTimeoutA(hWnd, msg, wParam, lParam, SMTO_ABORTIFHUNG,
                                          TestWaitMs(SEND_TIMEOUT_MS), &result);
    return ok ? (LRESULT)result : -1;
}

std::wstring WideText(HWND hWnd)
{
    LRESULT n = SendBounded(hWnd, WM_GETTEXTLENGTH, 0, 0, true);
    if (n <= 0)
        return std::wstring();
    std::vector<wchar_t> buf((size_t)n + 1, L'\0');
    LRESULT got = SendBounded(hWnd, WM_GETTEXT, buf.size(), (LPARAM)buf.data(), true);
    if (got <= 0)
        return std::wstring();
    return std::wstring(buf.data(), (size_t)got);
}

} // namespace

HWND UiFindWindow(const char *pszCaption, DWORD dwProcessId, const char *pszClass)
{
    std::vector<HWND> found = Query(pszCaption, dwProcessId, pszClass, false);
    return found.empty() ? NULL : found.front();
}

HWND UiWaitWindow(const char *pszCaption, DWORD dwProcessId, DWORD dwTimeoutMs,
                  const char *pszClass)
{
    dwTimeoutMs = TestWaitMs(dwTimeoutMs);
    DWORD dwStart = GetTickCount();
    for (;;) {
        std::vector<HWND> found = Query(pszCaption, dwProcessId, pszClass, true);
        if (!found.empty())
            return found.front();
        if (GetTickCount() - dwStart >= dwTimeoutMs)
            return NULL;
        Sleep(POLL_MS);
    }
}

std::vector<HWND> UiProcessWindows(DWORD dwProcessId, const char *pszClass)
{
    return Query(NULL, dwProcessId, pszClass, true);
}

bool UiWaitGone(HWND hWnd, DWORD dwTimeoutMs)
{
    dwTimeoutMs = TestWaitMs(dwTimeoutMs);
    DWORD dwStart = GetTickCount();
    while (IsWindow(hWnd) && IsWindowVisible(hWnd)) {
        if (GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        Sleep(POLL_MS);
    }
    return true;
}

std::string UiWindowText(HWND hWnd)
{
    LRESULT n = SendBounded(hWnd, WM_GETTEXTLENGTH, 0, 0, false);
    if (n <= 0)
        return std::string();
    // The ANSI length may count a double-byte character once; leave room for it.
    std::vector<char> buf((size_t)n * 2 + 1, '\0');
    LRESULT got = SendBounded(hWnd, WM_GETTEXT, buf.size(), (LPARAM)buf.data(), false);
    if (got <= 0)
        return std::string();
    return std::string(buf.data(), strnlen(buf.data(), buf.size()));
}

std::string UiWindowTextUtf8(HWND hWnd)
{
    return UiUtf8(WideText(hWnd).c_str());
}

std::string UiItemText(HWND hDlg, int nId)
{
    HWND hItem = GetDlgItem(hDlg, nId);
    return hItem != NULL ? UiWindowText(hItem) : std::string();
}

std::string UiMessageBoxText(HWND hBox)
{
    return UiItemText(hBox, 0xFFFF);
}

std::vector<std::string> UiListBoxLines(HWND hList)
{
    std::vector<std::string> lines;
    LRESULT count = SendBounded(hList, LB_GETCOUNT, 0, 0, true);
    for (LRESULT i = 0; i < count; i++) {
        LRESULT n = SendBounded(hList, LB_GETTEXTLEN, (WPARAM)i, 0, true);
        if (n < 0) {
            lines.push_back(std::string());
            continue;
        }
        std::vector<wchar_t> buf((size_t)n + 1, L'\0');
        SendBounded(hList, LB_GETTEXT, (WPARAM)i, (LPARAM)buf.data(), true);
        buf.back() = L'\0';
        // Back to the code page, as the program under test wrote its ANSI lines.
        int cb = WideCharToMultiByte(CP_ACP, 0, buf.data(), -1, NULL, 0, NULL, NULL);
        std::string line(cb > 0 ? (size_t)cb : 1, '\0');
        if (cb > 0)
            WideCharToMultiByte(CP_ACP, 0, buf.data(), -1, &line[0], cb, NULL, NULL);
        line.resize(strlen(line.c_str()));
        lines.push_back(line);
    }
    return lines;
}

bool UiItemEnabled(HWND hDlg, int nId)
{
    HWND hItem = GetDlgItem(hDlg, nId);
    return hItem != NULL && IsWindowEnabled(hItem);
}

bool UiItemVisible(HWND hDlg, int nId)
{
    HWND hItem = GetDlgItem(hDlg, nId);
    return hItem != NULL && IsWindowVisible(hItem);
}

bool UiPressButton(HWND hDlg, int nId)
{
    HWND hItem = GetDlgItem(hDlg, nId);
    if (hItem == NULL)
        return false;
    return PostMessageA(hItem, BM_CLICK, 0, 0) != 0;
}

bool UiStartProcess(const char *pszCommandLine, PROCESS_INFORMATION *pPi, const char *pszDirectory,
                    DWORD dwCreationFlags)
{
    std::vector<char> cmd(pszCommandLine, pszCommandLine + strlen(pszCommandLine) + 1);
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    ZeroMemory(pPi, sizeof(*pPi));
    return CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, dwCreationFlags, NULL, pszDirectory, &si, pPi) !=
           0;
}

DWORD UiWaitExit(PROCESS_INFORMATION *pPi, DWORD dwTimeoutMs)
{
    DWORD dwCode = UI_STILL_RUNNING;
    if (WaitForSingleObject(pPi->hProcess, TestWaitMs(dwTimeoutMs)) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pPi->hProcess, &dwCode);
    } else {
        TerminateProcess(pPi->hProcess, UI_STILL_RUNNING);
        WaitForSingleObject(pPi->hProcess, TestWaitMs(5000));
    }
    CloseHandle(pPi->hThread);
    CloseHandle(pPi->hProcess);
    pPi->hThread = NULL;
    pPi->hProcess = NULL;
    return dwCode;
}

bool UiScreenshot(const char *pszBmpPath)
{
    int cx = GetSystemMetrics(SM_CXSCREEN);
    int cy = GetSystemMetrics(SM_CYSCREEN);
    if (cx <= 0 || cy <= 0)
        return false;
    HDC hScreen = GetDC(NULL);
    HDC hMem = CreateCompatibleDC(hScreen);
    BITMAPINFOHEADER bih;
    ZeroMemory(&bih, sizeof(bih));
    bih.biSize = sizeof(bih);
    bih.biWidth = cx;
    bih.biHeight = cy; // bottom-up, as BMP files store rows
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    void *pBits = NULL;
    HBITMAP hBmp = CreateDIBSection(hScreen, (BITMAPINFO *)&bih, DIB_RGB_COLORS, &pBits, NULL, 0);
    bool ok = false;
    if (hBmp != NULL && pBits != NULL) {
        HGDIOBJ hOld = SelectObject(hMem, hBmp);
        BitBlt(hMem, 0, 0, cx, cy, hScreen, 0, 0, SRCCOPY);
        SelectObject(hMem, hOld);
        GdiFlush();
        DWORD cbRow = ((DWORD)cx * 3 + 3) & ~3u;
        DWORD cbImage = cbRow * (DWORD)cy;
        BITMAPFILEHEADER bfh;
        ZeroMemory(&bfh, sizeof(bfh));
        bfh.bfType = 0x4D42; // "BM"
        bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
        bfh.bfSize = bfh.bfOffBits + cbImage;
        FILE *f = fopen(pszBmpPath, "wb");
        if (f != NULL) {
            ok = fwrite(&bfh, sizeof(bfh), 1, f) == 1 && fwrite(&bih, sizeof(bih), 1, f) == 1 &&
                 fwrite(pBits, 1, cbImage, f) == cbImage;
            ok = (fclose(f) == 0) && ok;
        }
    }
    if (hBmp != NULL)
        DeleteObject(hBmp);
    DeleteDC(hMem);
    ReleaseDC(NULL, hScreen);
    return ok;
}

std::string UiUtf8(const wchar_t *pszWide)
{
    if (pszWide == NULL || pszWide[0] == L'\0')
        return std::string();
    int cb = WideCharToMultiByte(CP_UTF8, 0, pszWide, -1, NULL, 0, NULL, NULL);
    if (cb <= 1)
        return std::string();
    std::string s((size_t)cb, '\0');
    WideCharToMultiByte(CP_UTF8, 0, pszWide, -1, &s[0], cb, NULL, NULL);
    s.resize((size_t)cb - 1);
    return s;
}
