// RemovalActions.h -- the per-record removal actions the removal engine calls.
#pragma once
#include "ComUnregister.h"
#include "FileRemoval.h"
#include "SharedDll.h"
#include <windows.h>

// Parent of every application's uninstall key, under HKEY_LOCAL_MACHINE.
#define UNINSTALL_KEY_FORMAT "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s"

// Composed INI file paths live in a buffer of this size (263 characters and the NUL).
enum { INI_PATH_SIZE = 264 };

// Deletes one registry value. Root codes 0..3 stand for HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_USERS; an empty subkey names the root
// itself, an empty value name the key's default value. The key stays, even when empty.
// Returns 0 when the record was skipped (unknown root code, key not there), else 1.
// *pdwError, when given, is the system's error when the key or value would not go
// (0 when it went or was not there). *pbAbsent, when given, is 1 when the key or the
// value was not there.
int RemoveRegistryEntry(unsigned int uRootCode, const char *pszSubKey, const char *pszValueName,
                        DWORD *pdwError = NULL, int *pbAbsent = NULL);
// "HKEY_CURRENT_USER" and the like for a root code, NULL outside the table.
const char *RegistryRootName(unsigned int uRootCode);

// Deletes one key of an INI section; the section stays. Location codes: 0 = SEL_DESTPATH,
// 1 = WINDIR, 2 = WINSYSDIR (each put right before the file name, no separator added),
// 3 = the file name is the whole path. Returns 0 when the record was skipped (unknown
// location code, or a composed path that does not fit INI_PATH_SIZE), else 1.
// *pdwError, when given, is the system's error when an existing file refused the
// deletion (0 otherwise).
int RemoveIniEntry(unsigned int uLocationCode, const char *pszFileName, const char *pszSection,
                   const char *pszKey, DWORD *pdwError = NULL);
// The INI file's path as RemoveIniEntry composes it into pszOut (INI_PATH_SIZE
// bytes); 0 for an unknown location code or a path that does not fit.
int ComposeIniPath(unsigned int uLocationCode, const char *pszFileName, char *pszOut);

// Deletes HKEY_LOCAL_MACHINE\SOFTWARE\...\Uninstall\<name>. An empty name deletes
// nothing and returns 0; otherwise returns 1 whether or not the system let the key go
// (on the NT family a key with subkeys stays). *pdwError, when given, is the
// system's error when the key stays (0 when it went or was not there); *pbAbsent,
// when given, is 1 when it was not there.
int DeleteUninstallKey(const char *pszKeyName, DWORD *pdwError = NULL, int *pbAbsent = NULL);
