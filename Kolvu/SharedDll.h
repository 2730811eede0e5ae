// SharedDll.h -- giving back this installation's use of a shared system file.
#pragma once
#include <windows.h>

// Where the system keeps one use count per shared file, under HKEY_LOCAL_MACHINE.
#define SHARED_DLLS_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"

// Counts the use down by one (a missing or unreadable count reads as 0, so it wraps to
// 0xFFFFFFFF) and stores the new count; at 0 the value is deleted instead, and the
// SharedDLLs key too when nothing else is left in it. Returns the new count.
DWORD ReleaseSharedDll(const char *pszPath);

// ReleaseSharedDll, then RemoveFileOrSchedule when no use is left. Always nonzero.
int RemoveSharedFile(const char *pszPath);
