// Step2Page.cpp -- wizard page 2: the files to attach, by file dialog or drag and drop.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <string.h>

#include "DialogItem.h"
#include "HelpTopic.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "WizardPages.h"
#include "resource.h"

// The item that reported a change last; what "Remove File" takes when no item
// is selected.
static int RememberedItem = -1;

static void BrowseAndAdd(HWND hDlg)
{
    char path[260] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = "All (*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof(path);
    ofn.lpstrTitle = "Select a file to add...";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_NOCHANGEDIR;
    if (GetOpenFileNameA(&ofn))
        AddFileToList(hDlg, path);
}

static void OnDropFiles(HWND hDlg, HDROP drop)
{
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    for (UINT i = 0; i < count; i++) {
        char path[260];
        // A longer path would come back cut and name some other file (and the
        // ANSI file calls could not open it anyway): skip it.
        UINT length = DragQueryFileA(drop, i, NULL, 0);
        if (length == 0 || length >= sizeof(path))
            continue;
        if (DragQueryFileA(drop, i, path, sizeof(path)) != length)
            continue;
        AddFileToList(hDlg, path);
    }
    DragFinish(drop);
}

static void RemoveFile(HWND hDlg)
{
    HWND list = GetDlgItem(hDlg, IDC_STEP2_LIST);
    // Items inserted on top since the last change have moved the remembered
    // item down; the selection is what the user means, so it goes first.
    int index = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (index < 0)
        index = RememberedItem;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (index >= 0 && index < count)
        SendMessageA(list, LVM_DELETEITEM, (WPARAM)index, 0);
    RememberedItem = -1;
    EnableDlgItem(hDlg, IDC_STEP2_REMOVE, FALSE);
}

static void StoreFileList(HWND hDlg)
{
    HWND list = GetDlgItem(hDlg, IDC_STEP2_LIST);
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (count == 0)
        MessageBoxA(hDlg, "No files ? Ok... hope you know what you are doing.", BROLT_CAPTION,
                    MB_OK | MB_ICONWARNING);

    memset(SfxSettings.files, 0, sizeof(SfxSettings.files));
    if (count > SFX_MAX_FILES)
        count = SFX_MAX_FILES;
    for (int i = 0; i < count; i++) {
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = SfxSettings.files[i];
        item.cchTextMax = sizeof(SfxSettings.files[i]);
        SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)i, (LPARAM)&item);
    }
}

static INT_PTR OnNotify(HWND hDlg, const NMHDR *nm)
{
    if (nm->idFrom == IDC_STEP2_LIST) {
        if (nm->code == LVN_ITEMCHANGED) {
            RememberedItem = ((const NMLISTVIEW *)nm)->iItem;
            EnableDlgItem(hDlg, IDC_STEP2_REMOVE, TRUE);
        }
        return FALSE;
    }
    switch (nm->code) {
    case PSN_SETACTIVE:
        SetPageWizardButtons(hDlg, PSWIZB_BACK | PSWIZB_NEXT);
        break;
    case PSN_HELP:
        ShowHelpTopic("Step2.htm");
        break;
    case PSN_WIZNEXT:
        StoreFileList(hDlg);
        break;
    default:
        return FALSE;
    }
    return SetPageResult(hDlg, 0);
}

INT_PTR CALLBACK Step2DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CreateFileList(hDlg);
        RememberedItem = -1;
        EnableDlgItem(hDlg, IDC_STEP2_REMOVE, FALSE);
        DragAcceptFiles(hDlg, TRUE);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            break;
        if (LOWORD(wParam) == IDC_STEP2_BROWSEADD) {
            BrowseAndAdd(hDlg);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_STEP2_REMOVE) {
            RemoveFile(hDlg);
            return TRUE;
        }
        break;
    case WM_DROPFILES:
        OnDropFiles(hDlg, (HDROP)wParam);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(hDlg, (const NMHDR *)lParam);
    }
    return FALSE;
}
