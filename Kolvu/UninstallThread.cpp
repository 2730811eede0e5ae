// UninstallThread.cpp -- the worker thread: started last, asks for confirmation, runs the removal, tells the main thread.
#include "UninstallRun.h"
#include "UninstallState.h"
#include "RemovalReport.h"
#include "LanguageDll.h"
#include <process.h>

static const RunText CONFIRM = {"Uninstall|Confirm", 10002, NULL};
static const RunText DECLINED = {"Report|Declined", 10034, NULL};

int ConfirmUninstall()
{
    // 0 means no text and no box: without a question there is no consent.
    return RunMessageBox(CONFIRM, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

static void __cdecl UninstallThread(void *pMainThreadId)
{
    DWORD dwMainThreadId = (DWORD)(UINT_PTR)pMainThreadId;
    ShowWindow(UninstallState.ProgressDialog, SW_HIDE);
    // One input state for both threads, so that the worker's message boxes come
    // to the front and take the keyboard like the main thread's windows.
    if (!AttachThreadInput(GetCurrentThreadId(), dwMainThreadId, TRUE))
        MessageBeep(MB_ICONEXCLAMATION);
    if (UninstallState.ConfirmRemoval && !ConfirmUninstall()) {
        char szDeclined[RES_STRING_SIZE];
        RunTextUtf8(DECLINED, szDeclined, sizeof(szDeclined));
        NoteOutcomeMessage(szDeclined);
        PostThreadMessageA(dwMainThreadId, WM_QUIT, (WPARAM)-1, 0);
        return;
    }
    int nResult = RunRemoval();
    PostThreadMessageA(dwMainThreadId, WM_QUIT, nResult ? 0 : (WPARAM)-2, 0);
}

int StartWorker()
{
    DWORD dwMainThreadId = GetCurrentThreadId();
    // Nothing would ever end the main loop without the worker, so a thread that
    // cannot start ends the run like any other start-up failure. 10000 bytes, not a
    // round 10240, is the size the program has always asked for; the system rounds
    // it up to whole pages.
    return _beginthread(UninstallThread, 10000, (void *)(UINT_PTR)dwMainThreadId) != (uintptr_t)-1;
}
