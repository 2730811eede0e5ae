// Step2Page.cpp -- wizard page 2: the files to attach, by file dialog or drag and drop.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <string.h>

#include "DialogItem.h"
#include "SfxSettings.h"
#include "Wizard.h"
#include "WizardPages.h"
#include "resource.h"

// The item that reported a change last; what "Remove File" takes when no item
// is selected.
static int RememberedItem = -1;

static const FileDialogKind AddDialog = {
    FALSE, "All (*.*)\0*.*\0", "Select a file to add...", NULL, OFN_FILEMUSTEXIST | OFN_NOREADONLYRETURN,
};

static void BrowseAndAdd(HWND hDlg)
{
    char path[260] = "";
    if (AskForFileName(hDlg, &AddDialog, path, sizeof(path)))
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

// Next: the list into the settings, top item first. An empty list only earns
// a warning: the wizard still goes on.
static BOOL OnNext(HWND hDlg)
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
    return TRUE;
}

static void OnInit(HWND hDlg)
{
    CreateFileList(hDlg);
    RememberedItem = -1;
    EnableDlgItem(hDlg, IDC_STEP2_REMOVE, FALSE);
    DragAcceptFiles(hDlg, TRUE);
}

static BOOL OnClick(HWND hDlg, int id)
{
    if (id == IDC_STEP2_BROWSEADD)
        BrowseAndAdd(hDlg);
    else if (id == IDC_STEP2_REMOVE)
        RemoveFile(hDlg);
    else
        return FALSE;
    return TRUE;
}

// Dropped files, and the list's reports of which item changed last.
static INT_PTR OnMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DROPFILES) {
        OnDropFiles(hDlg, (HDROP)wParam);
        return TRUE;
    }
    const NMHDR *nm = (const NMHDR *)lParam;
    if (message == WM_NOTIFY && nm->idFrom == IDC_STEP2_LIST && nm->code == LVN_ITEMCHANGED) {
        RememberedItem = ((const NMLISTVIEW *)nm)->iItem;
        EnableDlgItem(hDlg, IDC_STEP2_REMOVE, TRUE);
    }
    return FALSE;
}

static const WizardPage Page = {PSWIZB_BACK | PSWIZB_NEXT, "Step2.htm", OnInit, NULL, OnNext, OnClick, OnMessage};

INT_PTR CALLBACK Step2DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunWizardPage(&Page, hDlg, message, wParam, lParam);
}
