// RunProgress.cpp -- reads and appends the progress record beside the install log.
#include "RunProgress.h"

#include "FileRemoval.h"
#include "Owners.h"
#include <io.h>
#include <string.h>

static const char PROGRESS_MAGIC[4] = {'Z', 'X', 'R', 'P'};
static const char PROGRESS_SUFFIX[] = ".progress";
enum { HEADER_SIZE = 16, STEP_SIZE = 16 };
// No log holds this many custom programs and shared files; a bigger file is not ours.
static const DWORD MAX_STEPS = 65536;

static char ProgressPath[MAX_PATH + sizeof(PROGRESS_SUFFIX)];
static BYTE LogIdentity[12];          // size and write time of the log this run reads
static ProgressStep *Steps;           // heap, for the life of the process
static DWORD StepCount, StepCapacity;
static HANDLE ProgressFile = INVALID_HANDLE_VALUE;

const char *RunProgressPath()
{
    return ProgressPath;
}

static void PutDword(BYTE *p, DWORD dw)
{
    p[0] = (BYTE)dw;
    p[1] = (BYTE)(dw >> 8);
    p[2] = (BYTE)(dw >> 16);
    p[3] = (BYTE)(dw >> 24);
}

static DWORD GetDword(const BYTE *p)
{
    return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}

static int Reserve(DWORD dwCount)
{
    if (dwCount <= StepCapacity)
        return 1;
    if (dwCount > MAX_STEPS)
        return 0;
    DWORD dwNew = StepCapacity ? StepCapacity * 2 : 16;
    while (dwNew < dwCount)
        dwNew *= 2;
    HANDLE heap = GetProcessHeap();
    void *pNew = Steps ? HeapReAlloc(heap, 0, Steps, dwNew * sizeof(ProgressStep))
                       : HeapAlloc(heap, 0, dwNew * sizeof(ProgressStep));
    if (pNew == NULL)
        return 0;
    Steps = (ProgressStep *)pNew;
    StepCapacity = dwNew;
    return 1;
}

int LoadRunProgress(const char *pszLogPath, int fdLog)
{
    size_t cchLog = strlen(pszLogPath);
    if (cchLog + sizeof(PROGRESS_SUFFIX) > sizeof(ProgressPath))
        return 0;
    memcpy(ProgressPath, pszLogPath, cchLog);
    memcpy(ProgressPath + cchLog, PROGRESS_SUFFIX, sizeof(PROGRESS_SUFFIX));
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle((HANDLE)_get_osfhandle(fdLog), &info))
        return 0;
    PutDword(LogIdentity, info.nFileSizeLow);
    PutDword(LogIdentity + 4, info.ftLastWriteTime.dwLowDateTime);
    PutDword(LogIdentity + 8, info.ftLastWriteTime.dwHighDateTime);

    FileHandle hFile(CreateFileA(ProgressPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL));
    if (!hFile.IsValid()) {
        DWORD dwError = GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
    }
    DWORD cbFile = GetFileSize(hFile, NULL);
    // A kill while the first step was written can leave a header alone, or less.
    if (cbFile == INVALID_FILE_SIZE || cbFile > HEADER_SIZE + MAX_STEPS * STEP_SIZE)
        return 0;
    if (cbFile < HEADER_SIZE)
        return 1;
    HeapBlock<BYTE> pData(cbFile);
    DWORD cbRead = 0;
    if (!pData || !ReadFile(hFile, pData, cbFile, &cbRead, NULL) || cbRead != cbFile ||
        memcmp(pData, PROGRESS_MAGIC, 4) != 0)
        return 0;
    if (memcmp(pData + 4, LogIdentity, sizeof(LogIdentity)) != 0)
        return 1;
    DWORD dwCount = (cbFile - HEADER_SIZE) / STEP_SIZE;
    if (!Reserve(dwCount))
        return 0;
    for (DWORD i = 0; i < dwCount; i++) {
        const BYTE *p = pData + HEADER_SIZE + i * STEP_SIZE;
        Steps[i].Record = GetDword(p);
        Steps[i].Kind = GetDword(p + 4);
        Steps[i].Before = GetDword(p + 8);
        Steps[i].After = GetDword(p + 12);
    }
    StepCount = dwCount;
    return 1;
}

const ProgressStep *FindProgressStep(DWORD nRecord, DWORD dwKind)
{
    for (DWORD i = 0; i < StepCount; i++) {
        if (Steps[i].Record == nRecord && Steps[i].Kind == dwKind)
            return &Steps[i];
    }
    return NULL;
}

// Opened at the first step of the run: a log without steps of this kind never
// makes a file. A record of another log is started afresh.
static int OpenForSteps()
{
    if (ProgressFile != INVALID_HANDLE_VALUE)
        return 1;
    if (ProgressPath[0] == '\0') {
        SetLastError(ERROR_BAD_PATHNAME);
        return 0;
    }
    FileHandle hFile(CreateFileA(ProgressPath, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, NULL));
    if (!hFile.IsValid())
        return 0;
    // Steps already read stay; a tail cut short by a kill is written over.
    LONG lEnd = HEADER_SIZE + (LONG)(StepCount * STEP_SIZE);
    if (StepCount == 0) {
        BYTE header[HEADER_SIZE];
        memcpy(header, PROGRESS_MAGIC, 4);
        memcpy(header + 4, LogIdentity, sizeof(LogIdentity));
        DWORD cbWritten = 0;
        if (SetFilePointer(hFile, 0, NULL, FILE_BEGIN) != 0 ||
            !WriteFile(hFile, header, HEADER_SIZE, &cbWritten, NULL) || cbWritten != HEADER_SIZE)
            return 0;
    }
    if (SetFilePointer(hFile, lEnd, NULL, FILE_BEGIN) != (DWORD)lEnd || !SetEndOfFile(hFile))
        return 0;
    ProgressFile = hFile.Detach();
    return 1;
}

int NoteProgressStep(DWORD nRecord, DWORD dwKind, DWORD dwBefore, DWORD dwAfter)
{
    if (!OpenForSteps() || !Reserve(StepCount + 1))
        return 0;
    BYTE step[STEP_SIZE];
    PutDword(step, nRecord);
    PutDword(step + 4, dwKind);
    PutDword(step + 8, dwBefore);
    PutDword(step + 12, dwAfter);
    DWORD cbWritten = 0;
    // Through to the disk before the step itself happens: a power cut must not lose it.
    if (!WriteFile(ProgressFile, step, STEP_SIZE, &cbWritten, NULL) || cbWritten != STEP_SIZE ||
        !FlushFileBuffers(ProgressFile))
        return 0;
    ProgressStep &noted = Steps[StepCount++];
    noted.Record = nRecord;
    noted.Kind = dwKind;
    noted.Before = dwBefore;
    noted.After = dwAfter;
    return 1;
}

void RemoveRunProgress()
{
    if (ProgressFile != INVALID_HANDLE_VALUE) {
        CloseHandle(ProgressFile);
        ProgressFile = INVALID_HANDLE_VALUE;
    }
    if (ProgressPath[0] != '\0' && GetFileAttributesA(ProgressPath) != INVALID_FILE_ATTRIBUTES)
        RemoveFileOrSchedule(ProgressPath);
}
