// ProgressDialog.cpp -- the modeless progress window shown while files are written.
#include "Stub.h"

#include <commctrl.h>

#include "resource.h"

namespace {

const int kRange = 1000;
// The window is served at most this often while files are written: every
// round trip costs time, and faster changes are not seen.
const DWORD kServeMilliseconds = 40;
int LastPosition;  // one above the bar's position, so that 0 means none yet
DWORD LastServed;

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(dialog, StubCaption());
        SendDlgItemMessageA(dialog, IDC_PROGRESSBAR, PBM_SETRANGE, 0, MAKELPARAM(0, kRange));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            Stub.cancelled = 1;
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        }
        return TRUE;
    case WM_CLOSE:
        Stub.cancelled = 1;
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowProgressDialog(void)
{
    if (Stub.switches.silent)
        return;
    // Without the common controls the window can't be made; extraction goes on without it.
    Stub.progressDialog =
        CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_PROGRESS), NULL, ProgressDialogProc, 0);
    if (!Stub.progressDialog)
        return;
    RECT r;
    GetWindowRect(Stub.progressDialog, &r);
    SetWindowPos(Stub.progressDialog, NULL, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(Stub.progressDialog, SW_SHOW);
    SetForegroundWindow(Stub.progressDialog);
    PumpMessages();
}

void SetProgressFile(const char *name)
{
    if (Stub.progressDialog)
        SetDlgItemTextA(Stub.progressDialog, IDC_CURRENTFILE, name);
}

void AdvanceProgress(uint64_t done)
{
    if (!Stub.progressDialog)
        return;
    DWORD now = GetTickCount();
    if (now - LastServed < kServeMilliseconds && done < Stub.totalBytes)
        return;
    LastServed = now;
    int position = Stub.totalBytes ? (int)(done * kRange / Stub.totalBytes) : kRange;
    if (position + 1 != LastPosition) {
        LastPosition = position + 1;
        SendDlgItemMessageA(Stub.progressDialog, IDC_PROGRESSBAR, PBM_SETPOS, (WPARAM)position, 0);
    }
    PumpMessages();
}

void PumpMessages(void)
{
    // Without a window there is nothing to serve, and each look costs a round trip.
    if (!Stub.progressDialog)
        return;
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (IsDialogMessageA(Stub.progressDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void CloseProgressDialog(void)
{
    if (Stub.progressDialog) {
        DestroyWindow(Stub.progressDialog);
        Stub.progressDialog = NULL;
    }
}
