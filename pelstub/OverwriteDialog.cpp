// OverwriteDialog.cpp -- asks whether one existing file is replaced: Yes, No, Yes to all, No to all.
#include "Stub.h"

#include "resource.h"

namespace {

INT_PTR CALLBACK OverwriteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        char text[MAX_PATH + 200];
        wsprintfA(text, "The file \"%s\" already exists in the destination folder.\n\nDo you want to replace it?",
                  (const char *)lParam);
        SetWindowTextA(dialog, StubCaption());
        SetDlgItemTextA(dialog, IDC_OVERWRITETEXT, text);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDYES:
        case IDNO:
        case IDC_YESTOALL:
        case IDC_NOTOALL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDNO);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

int AskOverwrite(const char *name)
{
    INT_PTR answer = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_OVERWRITE), Stub.progressDialog,
                                     OverwriteDialogProc, (LPARAM)name);
    return answer == -1 ? IDNO : (int)answer;
}
