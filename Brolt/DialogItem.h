// DialogItem.h -- switching a wizard page's control on or off by its id.
#pragma once

#include <windows.h>

void EnableDlgItem(HWND hDlg, int id, BOOL enable);
