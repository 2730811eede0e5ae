// FileList.cpp -- page 2's list of attached files: the list view, its items and size texts.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include "Wizard.h"
#include "WizardPages.h"
#include "resource.h"

HWND CreateFileList(HWND hPage)
{
    RECT area, page;
    GetWindowRect(GetDlgItem(hPage, IDC_STEP2_LISTAREA), &area);
    GetWindowRect(hPage, &page);

    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                    LVS_SHOWSELALWAYS,
                                area.left - page.left, area.top - page.top, area.right - area.left,
                                area.bottom - area.top, hPage, (HMENU)(INT_PTR)IDC_STEP2_LIST, BroltInstance, NULL);
    if (!list)
        return NULL;
    // Keep the tab order where the group box stood: after the buttons.
    SetWindowPos(list, GetDlgItem(hPage, IDC_STEP2_LISTAREA), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = 235;
    column.pszText = (char *)"FileName";
    column.iSubItem = 0;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
    column.cx = 100;
    column.pszText = (char *)"Size";
    column.iSubItem = 1;
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, (LPARAM)&column);
    return list;
}

void FormatSizeText(unsigned long long size, char *pszOut, size_t cbOut)
{
    if (size >= 1000000ULL)
        snprintf(pszOut, cbOut, "%llu MBytes", size / 1000000ULL);
    else if (size >= 1000ULL)
        snprintf(pszOut, cbOut, "%llu KBytes", size / 1000ULL);
    else
        snprintf(pszOut, cbOut, "%llu Bytes", size);
}

int AddFileToList(HWND hPage, const char *pszPath)
{
    // Opening is the test: a directory, a missing file or a locked one all fail here.
    HANDLE file = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        char message[400];
        snprintf(message, sizeof(message), "Unable to open file:\n%s\n(You can only drop files, not directories !)",
                 pszPath);
        MessageBoxA(hPage, message, BROLT_CAPTION, MB_OK | MB_ICONWARNING);
        return 0;
    }

    LARGE_INTEGER length;
    if (!GetFileSizeEx(file, &length))
        length.QuadPart = 0;
    char sizeText[32];
    FormatSizeText((unsigned long long)length.QuadPart, sizeText, sizeof(sizeText));

    HWND list = GetDlgItem(hPage, IDC_STEP2_LIST);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = 0;  // newest on top
    item.pszText = (char *)pszPath;
    int index = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (index >= 0) {
        LVITEMA sub = {};
        sub.iSubItem = 1;
        sub.pszText = sizeText;
        SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)index, (LPARAM)&sub);
    }
    CloseHandle(file);
    return index >= 0;
}
