// RecordPath.h -- which paths named in an install log the uninstaller may act on.
//
// The log is written by another program and may be damaged or made up, so a path
// is taken only when it cannot mean "somewhere relative to wherever we run" and
// does not name a device: a file, system-file or directory record that fails these
// tests is passed over.
#pragma once

// Drive letter, colon and backslash ("C:\..."), or a UNC path ("\\server\share...").
// "C:x", "\x", "..\x", "x" and the device namespaces "\\.\" and "\\?\" are not.
int IsFullPath(const char *pszPath);

// Some component is a reserved device name (TextIsDeviceName), in any letter
// case: "C:\App\aux.txt" opens the AUX device, not a file.
int NamesDevice(const char *pszPath);

// A full path that names no device and has no "." or ".." component.
int IsActionablePath(const char *pszPath);

// A drive root ("C:\") or a share root ("\\server\share", with or without a
// final backslash): the top of a whole volume, never something one program installed.
int IsRootPath(const char *pszPath);

// What the removal may act on: actionable and below a root.
int IsRemovablePath(const char *pszPath);

// The file name ends in ".dll" or ".ocx", in any letter case: a module that may
// hold a COM server. "data.dll.bak" is a backup, not a module.
int IsModulePath(const char *pszPath);
