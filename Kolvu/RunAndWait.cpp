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
    sei.fMask = SEE_MASK_NOCLOSEPROCESS;
    sei.hwnd = hOwner;
    sei.lpVerb = pszVerb;
    sei.lpFile = pszFile;
    sei.lpParameters = pszParameters;
    sei.lpDirectory = pszDirectory;
    sei.nShow = nShow;
    // A document opened in an already running program yields no process handle:
    // then there is nothing to wait for and no exit code to judge.
    if (!ShellExecuteExA(&sei) || sei.hProcess == NULL)
        return FALSE;
    KernelHandle hProcess(sei.hProcess);
    WaitForSingleObject(hProcess, INFINITE);
    DWORD dwExitCode = 0;
    GetExitCodeProcess(hProcess, &dwExitCode);
    if (pdwExitCode)
        *pdwExitCode = dwExitCode;
    return TRUE;
}
