// kolvudemo.cpp -- plays the user of one Kolvu.exe run for the demo: says what each
// window shows, answers Yes to the question, OK to messages and No to a restart.
//
//   kolvudemo "<Kolvu.exe path> <arguments>"
//
// Prints one line per window and the exit code, and returns the exit code.
#include <stdio.h>
#include <windows.h>

#include <set>
#include <string>

#include "SystemTest.h"
#include "UiTest.h"

static std::string OneLine(std::string text)
{
    for (char &c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

static std::string ItemUtf8(HWND hDlg, int nId)
{
    HWND hItem = GetDlgItem(hDlg, nId);
    return hItem ? OneLine(UiWindowTextUtf8(hItem)) : std::string();
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: kolvudemo \"PROGRAM ARGUMENTS\"\n");
        return 2;
    }
    LetWineDrawFrames();
    PROCESS_INFORMATION pi;
    if (!UiStartProcess(argv[1], &pi)) {
        printf("could not start: %s\n", argv[1]);
        return 2;
    }
    std::set<std::string> seen;
    DWORD dwDeadline = GetTickCount() + 120000;
    while (WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT && (int)(dwDeadline - GetTickCount()) > 0) {
        for (HWND hWnd : UiProcessWindows(pi.dwProcessId, UI_DIALOG_CLASS)) {
            std::string caption = UiWindowTextUtf8(hWnd);
            if (GetDlgItem(hWnd, 131)) {
                // the progress dialog: report each new caption line once
                std::string line = ItemUtf8(hWnd, 101);
                if (seen.insert("progress:" + line).second)
                    printf("progress dialog \"%s\": %s\n", caption.c_str(), line.c_str());
            } else if (GetDlgItem(hWnd, 1002)) {
                printf("restart dialog \"%s\": %s\n", caption.c_str(), ItemUtf8(hWnd, 101).c_str());
                for (const std::string &file : UiListBoxLines(GetDlgItem(hWnd, 1002)))
                    printf("  in use: %s\n", file.c_str());
                printf("  %s -> No\n", ItemUtf8(hWnd, 103).c_str());
                UiPressButton(hWnd, IDCANCEL);
                UiWaitGone(hWnd, 5000);
            } else if (GetDlgItem(hWnd, 0xFFFF)) {
                std::string text = ItemUtf8(hWnd, 0xFFFF);
                bool bQuestion = GetDlgItem(hWnd, IDYES) != NULL;
                printf("message box \"%s\": %s -> %s\n", caption.c_str(), text.c_str(), bQuestion ? "Yes" : "OK");
                UiPressButton(hWnd, bQuestion ? IDYES : IDOK);
                UiWaitGone(hWnd, 5000);
            }
            fflush(stdout);
        }
    }
    DWORD dwCode = UiWaitExit(&pi, 1000);
    printf("exit code %ld\n", (long)dwCode);
    return (int)dwCode;
}
