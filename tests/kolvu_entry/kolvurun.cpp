// kolvurun.cpp -- runs a program with an exact command line the way a patient user
// would: reports and answers each "Uninstall" message box (OK, else No so that
// nothing restarts), then prints the exit code and returns it. For the demo.
#include <stdio.h>
#include <windows.h>

#include <string>

#include "UiTest.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: kolvurun \"PROGRAM ARGUMENTS\"\n");
        return 2;
    }
    PROCESS_INFORMATION pi;
    if (!UiStartProcess(argv[1], &pi)) {
        printf("could not start: %s\n", argv[1]);
        return 2;
    }
    DWORD deadline = GetTickCount() + 120000;
    while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT &&
           (int)(deadline - GetTickCount()) > 0) {
        for (HWND hwnd : UiProcessWindows(pi.dwProcessId, UI_DIALOG_CLASS)) {
            if (UiWindowText(hwnd) != "Uninstall" || GetDlgItem(hwnd, 0xFFFF) == NULL)
                continue;
            std::string text = UiMessageBoxText(hwnd);
            for (char &c : text)
                if (c == '\n' || c == '\r')
                    c = ' ';
            printf("message box \"Uninstall\": %s\n", text.c_str());
            fflush(stdout);
            if (!UiPressButton(hwnd, IDOK))
                UiPressButton(hwnd, IDNO);
            UiWaitGone(hwnd, 5000);
        }
    }
    DWORD code = UiWaitExit(&pi, 1000);
    printf("exit code %ld\n", (long)code);
    return (int)code;
}
