// MainLoop.cpp -- the main thread's message pump, which runs every cross-thread window call of the worker.
#include "UninstallRun.h"

int RunMessageLoop()
{
    MSG msg;
    msg.wParam = 0;
    // No IsDialogMessage: the dialogs are only written to, and GetMessage's -1
    // (invalid arguments) cannot happen with a NULL window filter.
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
