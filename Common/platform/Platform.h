// Platform.h -- the Windows family test and the one-call registry helpers.
#pragma once
#include <windows.h>

// Nonzero on the NT family, 0 on the 95 family; asked afresh at every call.
int IsWindowsNT();

// Each helper opens the key, does one thing and closes it again; none keeps a handle.

// The value as a 32-bit number; 0 when the key or value is missing or does not fit in 4 bytes.
DWORD ReadRegistryDword(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszValueName);
// Creates the key and the value when missing; TRUE when the value was written.
BOOL SetRegistryDword(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszValueName, DWORD dwValue);
// Deletes the value, and the key too when that leaves it with no values and no subkeys.
// TRUE when the key could be opened.
BOOL DeleteRegistryValue(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszValueName);
// Reads a REG_SZ or REG_EXPAND_SZ value into pBuffer (cbBuffer bytes), always terminated
// inside it; any other type counts as not set. The buffer is untouched when the key or
// value is missing or of another type.
BOOL ReadRegistryString(HKEY hRoot, LPCSTR pszSubKey, LPCSTR pszValueName, LPSTR pBuffer,
                        DWORD cbBuffer);
