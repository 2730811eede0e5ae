// FileDialog.cpp -- the system's open and save dialogs as the wizard pages show them.
#include <windows.h>
#include <commdlg.h>

#include "WizardPages.h"

BOOL AskForFileName(HWND hPage, const FileDialogKind *kind, char *pszPath, DWORD cbPath)
{
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hPage;
    ofn.lpstrFilter = kind->filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = pszPath;
    ofn.nMaxFile = cbPath;
    ofn.lpstrTitle = kind->title;
    ofn.lpstrDefExt = kind->defaultExtension;
    // OFN_NOCHANGEDIR on every page: choosing a file must not move the current
    // directory, where the build looks for pelstub.bin.
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | kind->flags;
    return kind->save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
}
