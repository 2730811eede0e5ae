// WizardPages.h -- dialog procedures of the six wizard pages and their helpers.
#pragma once

#include <windows.h>

INT_PTR CALLBACK Step1DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step2DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step3DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step4DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step5DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step6DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Page 2: makes the list view (id 116) on the rectangle of the hidden group
// box 105, with its "FileName" and "Size" columns.
HWND CreateFileList(HWND hPage);

// Page 2: adds one file at the top of the list with its size text; warns and
// adds nothing when the path can't be opened as a file. Nonzero when added.
int AddFileToList(HWND hPage, const char *pszPath);

// "999 Bytes", "1 KBytes", "1 MBytes": decimal units, truncated.
void FormatSizeText(unsigned long long size, char *pszOut, size_t cbOut);

// Page 3: enables, disables and fills the destination controls from the
// module type, the radio buttons and the saved custom directory.
void UpdateDestinationControls(HWND hPage);
