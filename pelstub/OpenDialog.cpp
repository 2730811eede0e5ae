// OpenDialog.cpp -- the opening dialog: the application's name and, for a Standard module, the destination.
#include "Stub.h"

#include <shlobj.h>

#include "CenterWindow.h"
#include "resource.h"

namespace {

void BrowseForFolder(HWND dialog)
{
    HMODULE shell = LoadSystemLibrary("shell32.dll");
    HMODULE ole = LoadSystemLibrary("ole32.dll");
    typedef LPITEMIDLIST(WINAPI * BrowseFn)(LPBROWSEINFOA);
    typedef BOOL(WINAPI * PathFn)(LPCITEMIDLIST, LPSTR);
    typedef void(WINAPI * FreeFn)(LPVOID);
    typedef HRESULT(WINAPI * InitFn)(LPVOID);
    BrowseFn browse = shell ? (BrowseFn)(void *)GetProcAddress(shell, "SHBrowseForFolderA") : NULL;
    PathFn toPath = shell ? (PathFn)(void *)GetProcAddress(shell, "SHGetPathFromIDListA") : NULL;
    FreeFn freeList = ole ? (FreeFn)(void *)GetProcAddress(ole, "CoTaskMemFree") : NULL;
    InitFn init = ole ? (InitFn)(void *)GetProcAddress(ole, "CoInitialize") : NULL;
    if (browse && toPath) {
        if (init)
            init(NULL);
        char path[MAX_PATH];
        BROWSEINFOA info;
        ZeroMemory(&info, sizeof(info));
        info.hwndOwner = dialog;
        info.pszDisplayName = path;
        info.lpszTitle = "Choose the folder to extract the files to:";
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        LPITEMIDLIST list = browse(&info);
        if (list) {
            if (toPath(list, path))
                SetDlgItemTextA(dialog, IDC_DESTINATION, path);
            if (freeList)
                freeList(list);
        }
    }
    // The shell and COM stay loaded: the folder browser may leave threads behind.
}

void OnInitDialog(HWND dialog)
{
    SetWindowTextA(dialog, StubCaption());
    SetDlgItemTextA(dialog, IDC_APPNAME, Stub.appName[0] ? Stub.appName : "Self-extracting archive");
    if (Stub.header.moduleType == SFX_MODULE_SETUP) {
        SetDlgItemTextA(dialog, IDC_PROMPT, "Press Start to unpack the files and run the setup.");
        SetDlgItemTextA(dialog, IDOK, "&Start");
        ShowWindow(GetDlgItem(dialog, IDC_DESTLABEL), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_DESTINATION), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_BROWSE), SW_HIDE);
    } else {
        SendDlgItemMessageA(dialog, IDC_DESTINATION, EM_LIMITTEXT, MAX_PATH - 1, 0);
        SetDlgItemTextA(dialog, IDC_DESTINATION, Stub.destination);
    }
    CenterWindow(dialog);
    SetForegroundWindow(dialog);
}

void OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDC_BROWSE:
        BrowseForFolder(dialog);
        break;
    case IDOK:
        if (Stub.header.moduleType != SFX_MODULE_SETUP) {
            char path[MAX_PATH];
            GetDlgItemTextA(dialog, IDC_DESTINATION, path, sizeof(path));
            if (path[0] == '\0') {
                MessageBoxA(dialog, "Please enter the folder to extract the files to.", StubCaption(),
                            MB_OK | MB_ICONEXCLAMATION);
                return;
            }
            lstrcpynA(Stub.destination, path, sizeof(Stub.destination));
        }
        EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    }
}

INT_PTR CALLBACK OpenDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int ShowOpenDialog(void)
{
    return DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_OPEN), NULL, OpenDialogProc, 0) == 1;
}
