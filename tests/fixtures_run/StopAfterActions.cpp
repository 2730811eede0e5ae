// StopAfterActions.cpp -- linked into KolvuStop.exe only: ends the process after the
// number of actions given in ZX_STOP_AFTER, as a kill at exactly that point would.
#include <windows.h>
#include <stdlib.h>

#include "UninstallRun.h"

static LONG ActionsLeft;

static void StopWhenDue()
{
    if (--ActionsLeft == 0)
        TerminateProcess(GetCurrentProcess(), 99);
}

// Runs before WinMain; without the variable the program is Kolvu.exe itself.
static struct StopHook {
    StopHook()
    {
        char szCount[16];
        DWORD cch = GetEnvironmentVariableA("ZX_STOP_AFTER", szCount, sizeof(szCount));
        if (cch > 0 && cch < sizeof(szCount) && atol(szCount) > 0) {
            ActionsLeft = atol(szCount);
            AfterEachAction = StopWhenDue;
        }
    }
} TheStopHook;
