// RemovalActions.h -- the per-record removal actions the removal engine calls.
#pragma once
#include "ComUnregister.h"
#include "FileRemoval.h"
#include "SharedDll.h"

// Parent of every application's uninstall key, under HKEY_LOCAL_MACHINE.
#define UNINSTALL_KEY_FORMAT "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s"

// Composed INI file paths live in a buffer of this size (263 characters and the NUL).
enum { INI_PATH_SIZE = 264 };

// Deletes one registry value. Root codes 0..3 stand for HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_USERS; an empty subkey names the root
// itself, an empty value name the key's default value. The key stays, even when empty.
// Returns 0 when the record was skipped (unknown root code, key not there), else 1.
int RemoveRegistryEntry(unsigned int uRootCode, const char *pszSubKey, const char *pszValueName);

// Deletes one key of an INI section; the section stays. Location codes: 0 = SEL_DESTPATH,
// 1 = WINDIR, 2 = WINSYSDIR (each put right before the file name, no separator added),
// 3 = the file name is the whole path. Returns 0 when the record was skipped (unknown
// location code, or a composed path that does not fit INI_PATH_SIZE), else 1.
int RemoveIniEntry(unsigned int uLocationCode, const char *pszFileName, const char *pszSection,
                   const char *pszKey);

// Deletes HKEY_LOCAL_MACHINE\SOFTWARE\...\Uninstall\<name>. An empty name deletes
// nothing and returns 0; otherwise returns 1 whether or not the system let the key go
// (on the NT family a key with subkeys stays).
int DeleteUninstallKey(const char *pszKeyName);
