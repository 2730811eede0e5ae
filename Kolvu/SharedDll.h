// SharedDll.h -- giving back this installation's use of a shared system file.
#pragma once
#include <windows.h>

struct ItemOutcome;

// Where the system keeps one use count per shared file, under HKEY_LOCAL_MACHINE.
#define SHARED_DLLS_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"

// What ReleaseSharedDll returns for a file without a readable count.
const DWORD SHARED_NO_COUNT = 0xFFFFFFFFu;

// Counts the use down by one and stores the new count; at 0 the value is deleted
// instead, and the SharedDLLs key too when nothing else is left in it. Returns the
// new count. A count that is missing, not a REG_DWORD or already 0 says nothing
// about who else uses the file: then nothing is written and the result is
// SHARED_NO_COUNT.
DWORD ReleaseSharedDll(const char *pszPath);

// ReleaseSharedDll; when no use is left, first (bUnregister) the COM server's own
// unregistration, then RemoveFileOrSchedule. A server that other installations
// still count on keeps its file and its registration. pOutcome, when given, learns
// what became of the file. Always nonzero.
int RemoveSharedFile(const char *pszPath, int bUnregister = 0, ItemOutcome *pOutcome = NULL);

// RemoveSharedFile for the log's record nRecord, giving the count back once per
// installation however often the run is repeated or killed (RunProgress.h). A
// count that is not safely noted first is not given back: the file stays, failed.
int GiveBackSharedFile(DWORD nRecord, const char *pszPath, int bUnregister, ItemOutcome *pOutcome);
