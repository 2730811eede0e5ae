// KantorMain.cpp -- KANTOR.EXE: compresses one file into one zlib stream for the SFX builder.
//
// Exit code 1 on success and 0 on failure, the reverse of the usual: the builder reads it that way round.
//
// Level 9 deflate is the slow part of a build, so one worker thread per processor
// deflates a block each (KantorBlocks.h); the main thread reads the blocks in and
// writes them out in order. Memory stays flat for any input: a fixed ring of slots.
#include <windows.h>
#include <string.h>

#include "KantorArgs.h"
#include "KantorBlocks.h"
#include "Owners.h"

namespace {

enum { MAX_WORKERS = 8 };
// Two slots per worker and two more: a block that deflates slowly (text) does not
// leave the others idle while the main thread waits to write it.
enum { MAX_SLOTS = 2 * MAX_WORKERS + 2 };

struct Slot {
    unsigned char *pIn;  // dictionary, then the block's data
    size_t dictSize;
    size_t size;
    int last;
    unsigned char *pOut;
    size_t packedSize;
    unsigned long adler;
    int ok;
    HANDLE hDone;  // auto-reset: the worker is through with this block
};

struct Pipeline {
    Slot slots[MAX_SLOTS];
    int nSlots;
    HANDLE threads[MAX_WORKERS];
    int nThreads;
    // One count per block read, then one per worker to stop it. Blocks are read in
    // order, so the n-th block taken has been read.
    HANDLE hReady;
    volatile LONG nextBlock;
    volatile LONG blockCount;  // blocks read so far; final before the stop counts
};

const size_t IN_SIZE = KANTOR_DICT_SIZE + KANTOR_BLOCK_SIZE;

DWORD WINAPI Worker(LPVOID pv)
{
    Pipeline *p = (Pipeline *)pv;
    KantorDeflater d;
    int ready = KantorDeflaterInit(&d);
    for (;;) {
        WaitForSingleObject(p->hReady, INFINITE);
        LONG n = InterlockedIncrement(&p->nextBlock) - 1;
        if (n >= p->blockCount)
            break;
        Slot *s = &p->slots[n % p->nSlots];
        s->ok = ready && KantorDeflateBlock(&d, s->pIn, s->dictSize, s->size, s->last, s->pOut,
                                            KantorBlockBound(KANTOR_BLOCK_SIZE), &s->packedSize, &s->adler);
        SetEvent(s->hDone);
    }
    KantorDeflaterEnd(&d);
    return 0;
}

int WriteAll(HANDLE h, const unsigned char *data, size_t size)
{
    DWORD written = 0;
    return size == 0 || (WriteFile(h, data, (DWORD)size, &written, NULL) && written == size);
}

// Reads until the buffer is full or the file ends.
int ReadFull(HANDLE h, unsigned char *buf, size_t size, size_t *got)
{
    *got = 0;
    while (*got < size) {
        DWORD n = 0;
        if (!ReadFile(h, buf + *got, (DWORD)(size - *got), &n, NULL))
            return 0;
        if (n == 0)
            break;
        *got += n;
    }
    return 1;
}

int ReadBlock(HANDLE hIn, Pipeline *p, LONG n)
{
    Slot *s = &p->slots[n % p->nSlots];
    s->dictSize = 0;
    if (n > 0) {
        // The slot before still holds its block: it is reused only nSlots blocks later.
        const Slot *prev = &p->slots[(n - 1) % p->nSlots];
        s->dictSize = KantorCarryDictionary(prev->pIn, prev->dictSize, prev->size, s->pIn);
    }
    if (!ReadFull(hIn, s->pIn + s->dictSize, KANTOR_BLOCK_SIZE, &s->size))
        return 0;
    s->last = s->size < KANTOR_BLOCK_SIZE;
    return 1;
}

int WriteBlock(HANDLE hOut, Pipeline *p, LONG n, KantorJoin *join)
{
    Slot *s = &p->slots[n % p->nSlots];
    WaitForSingleObject(s->hDone, INFINITE);
    if (!s->ok || !WriteAll(hOut, s->pOut, s->packedSize))
        return 0;
    KantorJoinAdd(join, s->adler, s->size);
    return 1;
}

int StartPipeline(Pipeline *p)
{
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    int nWorkers = (int)si.dwNumberOfProcessors;
    if (nWorkers < 1)
        nWorkers = 1;
    if (nWorkers > MAX_WORKERS)
        nWorkers = MAX_WORKERS;

    HANDLE hHeap = GetProcessHeap();
    p->nSlots = 2 * nWorkers + 2;
    for (int i = 0; i < p->nSlots; i++) {
        Slot *s = &p->slots[i];
        s->pIn = (unsigned char *)HeapAlloc(hHeap, 0, IN_SIZE);
        s->pOut = (unsigned char *)HeapAlloc(hHeap, 0, KantorBlockBound(KANTOR_BLOCK_SIZE));
        s->hDone = CreateEventA(NULL, FALSE, FALSE, NULL);
        if (!s->pIn || !s->pOut || !s->hDone)
            return 0;
    }
    p->hReady = CreateSemaphoreA(NULL, 0, 0x7FFFFFFF, NULL);
    if (!p->hReady)
        return 0;
    for (int i = 0; i < nWorkers; i++) {
        p->threads[p->nThreads] = CreateThread(NULL, 0, Worker, p, 0, NULL);
        if (p->threads[p->nThreads])
            p->nThreads++;
    }
    return p->nThreads > 0;
}

// Lets every worker finish the blocks it was given, then frees what StartPipeline made.
void StopPipeline(Pipeline *p)
{
    if (p->nThreads) {
        ReleaseSemaphore(p->hReady, p->nThreads, NULL);
        WaitForMultipleObjects(p->nThreads, p->threads, TRUE, INFINITE);
    }
    for (int i = 0; i < p->nThreads; i++)
        CloseHandle(p->threads[i]);
    if (p->hReady)
        CloseHandle(p->hReady);
    HANDLE hHeap = GetProcessHeap();
    for (int i = 0; i < p->nSlots; i++) {
        Slot *s = &p->slots[i];
        if (s->pIn)
            HeapFree(hHeap, 0, s->pIn);
        if (s->pOut)
            HeapFree(hHeap, 0, s->pOut);
        if (s->hDone)
            CloseHandle(s->hDone);
    }
}

int Compress(HANDLE hIn, HANDLE hOut)
{
    Pipeline p;
    memset(&p, 0, sizeof(p));
    int ok = StartPipeline(&p);

    KantorJoin join;
    unsigned char header[KANTOR_HEADER_SIZE];
    KantorJoinStart(&join, header);
    ok = ok && WriteAll(hOut, header, sizeof(header));

    LONG nRead = 0, nWritten = 0;
    int last = 0;
    while (ok && !last) {
        if (nRead >= p.nSlots)
            ok = WriteBlock(hOut, &p, nWritten++, &join);
        ok = ok && ReadBlock(hIn, &p, nRead);
        if (ok) {
            last = p.slots[nRead % p.nSlots].last;
            InterlockedExchange(&p.blockCount, ++nRead);
            ReleaseSemaphore(p.hReady, 1, NULL);
        }
    }
    while (ok && nWritten < nRead)
        ok = WriteBlock(hOut, &p, nWritten++, &join);
    StopPipeline(&p);

    unsigned char trailer[KANTOR_TRAILER_SIZE];
    KantorJoinFinish(&join, trailer);
    return ok && WriteAll(hOut, trailer, sizeof(trailer));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char szInput[MAX_PATH];
    char szOutput[MAX_PATH];
    if (!KantorSplitCommandLine(GetCommandLineA(), szInput, sizeof(szInput), szOutput, sizeof(szOutput)))
        return 0;

    FileHandle hIn(CreateFileA(szInput, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    if (!hIn.IsValid())
        return 0;
    FileHandle hOut(CreateFileA(szOutput, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!hOut.IsValid())
        return 0;
    // A half-written stream is worse than none: whoever reads it would take it for the whole.
    TempFile output;
    output.Attach(szOutput);
    int ok = Compress(hIn, hOut);
    if (!CloseHandle(hOut.Detach()) || !ok)
        return 0;
    output.Keep();
    return 1;
}
