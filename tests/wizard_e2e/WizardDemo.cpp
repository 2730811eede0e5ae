// WizardDemo.cpp -- walks Brolt.exe's wizard on the screen as a person would and says what it does.
//
//   wizard_demo.exe <Brolt.exe> <work directory> <file> [<file>...]
//
// Brolt runs in the work directory (pelstub.bin must be there); the files are
// added through the open-file dialog; the output is MySFX.EXE in that directory.
// Exit code 0 when the wizard reached its last page, built and closed.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include <string>

#include "UiTest.h"
#include "WizardSheet.h"
#include "resource.h"

namespace {

const DWORD kWait = 20000;

HWND WaitPage(DWORD pid, int index)
{
    HWND sheet = UiWaitWindow(kWizardTitles[index], pid, kWait, UI_DIALOG_CLASS);
    if (sheet) {
        printf("wizard: page %d, \"%s\"\n", index + 1, kWizardTitles[index]);
        Sleep(700);  // long enough to be seen on the display
    } else {
        printf("wizard: page %d did not show\n", index + 1);
    }
    return sheet;
}

HWND PageOf(HWND sheet) { return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0); }

bool AddFile(DWORD pid, HWND page, const char *path)
{
    UiPressButton(page, IDC_STEP2_BROWSEADD);
    HWND dialog = UiWaitWindow("Select a file to add...", pid, kWait, UI_DIALOG_CLASS);
    if (!dialog)
        return false;
    Sleep(300);
    HWND name = GetDlgItem(dialog, 0x47C);
    if (!name)
        name = GetDlgItem(dialog, 0x480);
    SendMessageA(name, WM_SETTEXT, 0, (LPARAM)path);
    UiPressButton(dialog, IDOK);
    bool gone = UiWaitGone(dialog, kWait);
    if (gone)
        printf("wizard: added %s through \"Select a file to add...\"\n", path);
    return gone;
}

int Walk(DWORD pid, int fileCount, char **files)
{
    HWND sheet = WaitPage(pid, 0);
    if (!sheet)
        return 1;
    printf("wizard: keeping \"Standard SFX Module\"\n");
    UiPressButton(sheet, WIZ_NEXT);

    if (!(sheet = WaitPage(pid, 1)))
        return 1;
    for (int i = 0; i < fileCount; i++)
        if (!AddFile(pid, PageOf(sheet), files[i]))
            return 1;
    Sleep(700);
    UiPressButton(sheet, WIZ_NEXT);

    if (!(sheet = WaitPage(pid, 2)))
        return 1;
    SetDlgItemTextA(PageOf(sheet), IDC_STEP3_APPNAME, "Velmor Demo Files");
    printf("wizard: application name \"Velmor Demo Files\", destination \"Current\" Directory\n");
    Sleep(700);
    UiPressButton(sheet, WIZ_NEXT);

    if (!(sheet = WaitPage(pid, 3)))
        return 1;
    printf("wizard: no program to launch after extraction\n");
    UiPressButton(sheet, WIZ_NEXT);

    if (!(sheet = WaitPage(pid, 4)))
        return 1;
    HWND page = PageOf(sheet);
    if (IsDlgButtonChecked(page, IDC_STEP5_TESTRUN) == BST_CHECKED)
        UiPressButton(page, IDC_STEP5_TESTRUN);  // the demo extracts it itself, without dialogs
    printf("wizard: output file \"%s\", Test Run off; pressing Next builds it\n",
           UiItemText(page, IDC_STEP5_OUTPUTFILE).c_str());
    Sleep(700);
    UiPressButton(sheet, WIZ_NEXT);

    if (!(sheet = WaitPage(pid, 5)))
        return 1;
    printf("wizard: build done; pressing Finish\n");
    UiPressButton(sheet, WIZ_FINISH);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: wizard_demo <Brolt.exe> <work directory> <file>...\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    std::string command = std::string("\"") + argv[1] + "\"";
    PROCESS_INFORMATION pi;
    if (!UiStartProcess(command.c_str(), &pi, argv[2])) {
        printf("wizard: could not start %s\n", argv[1]);
        return 1;
    }
    int rc = Walk(pi.dwProcessId, argc - 3, argv + 3);
    DWORD exitCode = UiWaitExit(&pi, kWait);
    printf("wizard: Brolt.exe ended with exit code %ld\n", (long)exitCode);
    return rc == 0 && exitCode == 0 ? 0 : 1;
}
