// FileRemoval.h -- deleting files and directories now, or at the next system start.
#pragma once
#include <stddef.h>

struct ItemOutcome;

// The one way the uninstaller deletes anything from the disk. Deletes a file or an
// empty directory at once (a file's read-only, hidden and system attributes are
// cleared first; a directory's never, since it may stay).
// An object that exists but cannot go is scheduled for deletion at the next start
// under its short path: a file sets UninstallState.RestartNeeded and its path, exactly
// as passed, is reported for the restart dialog's list (LockedFiles.h); a directory sets
// UninstallState.DirectoryNotEmpty. Returns nonzero when the object is gone (or was
// never there) or when scheduling succeeded, 0 when scheduling failed.
// pszCreatedName, when given, is the same object spelled as it was created: the first
// deletion is tried under it, everything after under pszPath.
// pOutcome, when given, learns what became of it: FATE_REMOVED, FATE_ABSENT (not
// there to begin with), FATE_SCHEDULED (a
// file), FATE_KEPT_FOLDER (a directory scheduled) or FATE_FAILED with the error of
// the refused scheduling.
int RemoveFileOrSchedule(const char *pszPath, const char *pszCreatedName = NULL, ItemOutcome *pOutcome = NULL);
