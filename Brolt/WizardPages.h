// WizardPages.h -- dialog procedures of the six wizard pages and their helpers.
#pragma once

#include <windows.h>

INT_PTR CALLBACK Step1DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step2DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step3DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step4DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step5DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Step6DlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// What one page adds to what every page does (WizardPage.cpp). Every hook may
// be NULL; each notification of the sheet is answered with 0 unless onNext
// refuses.
struct WizardPage {
    DWORD buttons;          // PSWIZB_* offered while the page is active
    const char *helpTopic;  // "Step1.htm": the Help button's topic in Brolt.chm
    void (*onInit)(HWND hPage);
    void (*onSetActive)(HWND hPage);   // after the buttons
    BOOL (*onNext)(HWND hPage);        // stores the page; FALSE keeps it showing
    BOOL (*onClick)(HWND hPage, int id);  // TRUE when the button was the page's
    INT_PTR (*onMessage)(HWND hPage, UINT message, WPARAM wParam, LPARAM lParam);
};

// The dialog procedure of a page, around the page's own hooks.
INT_PTR RunWizardPage(const WizardPage *page, HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// A group of radio buttons read and set by the index a setting keeps: the
// first checked one, -1 for none; an index out of range changes nothing.
int CheckedRadioButton(HWND hPage, const int *ids, int count);
void SelectRadioButton(HWND hPage, const int *ids, int count, int index);

// How one browse button asks for a file (FileDialog.cpp).
struct FileDialogKind {
    BOOL save;                     // the save dialog, else the open dialog
    const char *filter;            // pairs of "name\0pattern\0", ended by a second \0
    const char *title;
    const char *defaultExtension;  // NULL for none
    DWORD flags;                   // OFN_* on top of the ones every page uses
};

// Shows the dialog owned by the page; pszPath gives the starting name and gets
// the chosen one. FALSE when the user cancels.
BOOL AskForFileName(HWND hPage, const FileDialogKind *kind, char *pszPath, DWORD cbPath);

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
