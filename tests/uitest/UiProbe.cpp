// UiProbe.cpp -- a small window with a list box, an edit field and two buttons, for
// checking the UI-test helper across processes. Exits with the id of the button pressed.
#include <windows.h>

static LRESULT CALLBACK ProbeWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        PostQuitMessage((int)LOWORD(wParam));
        return 0;
    }
    if (msg == WM_CLOSE) {
        PostQuitMessage(IDCANCEL);
        return 0;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = ProbeWndProc;
    wc.hInstance = hInst;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "ZxUiProbe";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, "ZxUiProbe", "UI Probe", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300,
                                NULL, NULL, hInst, NULL);
    HWND hList = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 360,
                                 120, hWnd, (HMENU)100, hInst, NULL);
    SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM) "C:\\Windows\\system32\\zxlocked.dll");
    SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM) "");
    SendMessageA(hList, LB_ADDSTRING, 0, (LPARAM) "Gr\xFC\xDF" "e.txt");
    CreateWindowExA(0, "EDIT", "C:\\Program Files\\Zendrix", WS_CHILD | WS_VISIBLE | WS_BORDER, 10,
                    140, 360, 24, hWnd, (HMENU)101, hInst, NULL);
    CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 10, 180, 80, 24, hWnd, (HMENU)IDOK,
                    hInst, NULL);
    CreateWindowExA(0, "BUTTON", "Later", WS_CHILD | WS_VISIBLE | WS_DISABLED, 100, 180, 80, 24,
                    hWnd, (HMENU)IDCANCEL, hInst, NULL);
    ShowWindow(hWnd, SW_SHOW);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
