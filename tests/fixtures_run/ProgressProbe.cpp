// ProgressProbe.cpp -- a COM-server look-alike that holds the removal still while a test looks at it.
//
// The uninstaller calls DllUnregisterServer of every ".dll" file it removes (when the
// log asks for unregistration). This one signals the auto-reset event
// "ZendrixProbe.reached", then waits (at most 30 s) until the test signals
// "ZendrixProbe.go": in between, the progress dialog shows exactly the state of
// the record being removed.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer()
{
    HANDLE hReached = CreateEventA(NULL, FALSE, FALSE, "ZendrixProbe.reached");
    HANDLE hGo = CreateEventA(NULL, FALSE, FALSE, "ZendrixProbe.go");
    if (hReached && hGo) {
        SetEvent(hReached);
        WaitForSingleObject(hGo, 30000);
    }
    if (hReached)
        CloseHandle(hReached);
    if (hGo)
        CloseHandle(hGo);
    return S_OK;
}
