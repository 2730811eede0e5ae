// DialogItem.cpp -- switching a wizard page's control on or off by its id.
#include "DialogItem.h"

void EnableDlgItem(HWND hDlg, int id, BOOL enable)
{
    EnableWindow(GetDlgItem(hDlg, id), enable);
}
