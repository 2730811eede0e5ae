// SharedDll.cpp -- gives back this installation's use count of a shared system file.
#include "SharedDll.h"

#include "ComUnregister.h"
#include "FileRemoval.h"
#include "Owners.h"
#include "Platform.h"
#include "RemovalReport.h"
#include "RunProgress.h"

// The count, when the value is a REG_DWORD of 4 bytes; 0 otherwise.
static DWORD ReadSharedCount(const char *pszPath)
{
    RegKey hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, 0, KEY_READ, hKey.Receive()) != ERROR_SUCCESS)
        return 0;
    DWORD dwType = REG_NONE, dwCount = 0, cbData = sizeof(dwCount);
    if (RegQueryValueExA(hKey, pszPath, NULL, &dwType, (LPBYTE)&dwCount, &cbData) != ERROR_SUCCESS ||
        dwType != REG_DWORD || cbData != sizeof(dwCount))
        return 0;
    return dwCount;
}

static void StoreCount(const char *pszPath, DWORD dwCount)
{
    if (dwCount == 0)
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, pszPath);
    else
        SetRegistryDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, pszPath, dwCount);
}

DWORD ReleaseSharedDll(const char *pszPath)
{
    // Writing a wrapped count back would claim four billion users for good.
    DWORD dwCount = ReadSharedCount(pszPath);
    if (dwCount == 0)
        return SHARED_NO_COUNT;
    dwCount--;
    StoreCount(pszPath, dwCount);
    return dwCount;
}

// What becomes of the file once the count is known: kept, or unregistered and removed.
static int FinishSharedFile(const char *pszPath, DWORD dwCount, int bUnregister, ItemOutcome *pOutcome)
{
    ItemOutcome outcome = {FATE_KEPT_SHARED, dwCount};
    if (dwCount == SHARED_NO_COUNT) {
        outcome.fate = FATE_KEPT_NO_COUNT;
        outcome.value = 0;
    } else if (dwCount == 0) {
        // Only now, when this run was its last user: unregistering earlier would
        // take the controls from every program that still counts on the file.
        if (bUnregister)
            UnregisterComServer(pszPath);
        RemoveFileOrSchedule(pszPath, NULL, &outcome);
    }
    if (pOutcome)
        *pOutcome = outcome;
    return 1;
}

int RemoveSharedFile(const char *pszPath, int bUnregister, ItemOutcome *pOutcome)
{
    return FinishSharedFile(pszPath, ReleaseSharedDll(pszPath), bUnregister, pOutcome);
}

// The count after this installation gave its use back, for a record an earlier run
// began: NO_STEP when none did.
static const DWORD NO_STEP = 0xFFFFFFFEu;
static DWORD CountGivenBackBefore(DWORD nRecord, const char *pszPath)
{
    DWORD dwNow = ReadSharedCount(pszPath);
    const ProgressStep *pStep = FindProgressStep(nRecord, STEP_SHARED_DONE);
    if (pStep == NULL) {
        pStep = FindProgressStep(nRecord, STEP_SHARED_BEGIN);
        if (pStep == NULL)
            return NO_STEP;
        // Killed between the two notes: the count itself tells whether it was written.
        if (dwNow == pStep->Before) {
            StoreCount(pszPath, pStep->After);
            dwNow = pStep->After;
        }
        if (dwNow != pStep->After)
            return dwNow ? dwNow : SHARED_NO_COUNT;
    }
    // Copied: a note may move the steps.
    DWORD dwBefore = pStep->Before, dwAfter = pStep->After;
    if (FindProgressStep(nRecord, STEP_SHARED_DONE) == NULL)
        NoteProgressStep(nRecord, STEP_SHARED_DONE, dwBefore, dwAfter);
    // Given back already. A count other installations have raised since is theirs;
    // one that vanished after ours left others says nothing about them.
    if (dwNow == 0 && dwAfter != 0)
        return SHARED_NO_COUNT;
    return dwNow;
}

int GiveBackSharedFile(DWORD nRecord, const char *pszPath, int bUnregister, ItemOutcome *pOutcome)
{
    DWORD dwCount = CountGivenBackBefore(nRecord, pszPath);
    if (dwCount == NO_STEP) {
        DWORD dwBefore = ReadSharedCount(pszPath);
        dwCount = dwBefore ? dwBefore - 1 : SHARED_NO_COUNT;
        if (dwBefore != 0) {
            if (!NoteProgressStep(nRecord, STEP_SHARED_BEGIN, dwBefore, dwCount)) {
                DWORD dwError = GetLastError();
                ItemOutcome failed = {FATE_FAILED, dwError ? dwError : ERROR_WRITE_FAULT};
                if (pOutcome)
                    *pOutcome = failed;
                return 1;
            }
            StoreCount(pszPath, dwCount);
            // Without this note a later run still knows from the count itself.
            NoteProgressStep(nRecord, STEP_SHARED_DONE, dwBefore, dwCount);
        }
    }
    return FinishSharedFile(pszPath, dwCount, bUnregister, pOutcome);
}
