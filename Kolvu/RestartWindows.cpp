// RestartWindows.cpp -- asks the system to restart so that the scheduled deletions are carried out.
#include "UninstallRun.h"
#include "Owners.h"
#include "Platform.h"

int RestartWindows()
{
    if (IsWindowsNT()) {
        KernelHandle hToken;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, hToken.Receive()))
            return 0;
        TOKEN_PRIVILEGES tp;
        ZeroMemory(&tp, sizeof(tp));
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        // Without the privilege ExitWindowsEx simply fails; nothing to report then.
        LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &tp.Privileges[0].Luid);
        // The privilege stays enabled on the token after its handle is closed.
        AdjustTokenPrivileges(hToken, FALSE, &tp, 0, NULL, NULL);
    }
    // Only starts the shutdown; the caller goes on with its finishing steps.
    ExitWindowsEx(EWX_REBOOT, 0);
    return 1;
}
