// RunAndWait.cpp -- starts a program through the shell and waits until it has ended.
#include "UninstallRun.h"
#include "Owners.h"
#include <shellapi.h>

BOOL RunAndWait(HWND hOwner, LPCSTR pszVerb, LPCSTR pszFile, LPCSTR pszParameters,
                LPCSTR pszDirectory, int nShow, DWORD *pdwExitCode)
{
    SHELLEXECUTEINFOA sei;
    ZeroMemory(&sei, sizeof(sei));
    sei.cbSize = sizeof(sei);
    // No box from the shell for a program it cannot start: a /yes run from a script
    // would wait for a click that never comes. The caller reports the failure.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.hwnd = hOwner;
    sei.lpVerb = pszVerb;
    sei.lpFile = pszFile;
    sei.lpParameters = pszParameters;
    sei.lpDirectory = pszDirectory;
    sei.nShow = nShow;
    // A document opened in an already running program yields no process handle:
    // then there is nothing to wait for and no exit code to judge.
    if (!ShellExecuteExA(&sei))
        return FALSE;
    if (sei.hProcess == NULL) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    KernelHandle hProcess(sei.hProcess);
    WaitForSingleObject(hProcess, INFINITE);
    DWORD dwExitCode = 0;
    GetExitCodeProcess(hProcess, &dwExitCode);
    if (pdwExitCode)
        *pdwExitCode = dwExitCode;
    return TRUE;
}
