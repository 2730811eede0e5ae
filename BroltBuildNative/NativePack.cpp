// NativePack.cpp -- reads the files into 1 MB blocks, deflates them on worker threads and writes them in order.
//
// The same pipeline as KANTOR.EXE, with the work stream taken from the run as
// it is made instead of read from a work file: the main thread fills a ring of
// slots, each worker deflates the next filled slot (KantorBlocks.h), and the
// main thread writes the slots out in order and checksums them as they go.
#include "NativePack.h"

#include <errno.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "KantorBlocks.h"
#include "SfxChecksum.h"

namespace {

enum { MAX_WORKERS = 8, MAX_SLOTS = 2 * MAX_WORKERS + 2 };
const size_t IN_SIZE = KANTOR_DICT_SIZE + KANTOR_BLOCK_SIZE;

struct Slot {
    unsigned char *in;  // dictionary, then the block's data
    size_t dictSize;
    size_t size;
    int last;
    unsigned char *out;
    size_t packedSize;
    unsigned long adler;
    int ok;
    int done;
};

struct Pipeline {
    Slot slots[MAX_SLOTS];
    int nSlots;
    pthread_t threads[MAX_WORKERS];
    int nThreads;
    pthread_mutex_t lock;
    pthread_cond_t ready;     // a block was read, or the workers are to stop
    pthread_cond_t finished;  // a worker is through with a block
    long nextBlock;           // the next block a worker takes
    long blockCount;          // blocks read so far
    int stop;
};

void *Worker(void *arg)
{
    Pipeline *p = (Pipeline *)arg;
    KantorDeflater d;
    int ready = KantorDeflaterInit(&d);
    for (;;) {
        pthread_mutex_lock(&p->lock);
        while (p->nextBlock >= p->blockCount && !p->stop)
            pthread_cond_wait(&p->ready, &p->lock);
        if (p->nextBlock >= p->blockCount) {
            pthread_mutex_unlock(&p->lock);
            break;
        }
        Slot *s = &p->slots[p->nextBlock++ % p->nSlots];
        pthread_mutex_unlock(&p->lock);
        int ok = ready && KantorDeflateBlock(&d, s->in, s->dictSize, s->size, s->last, s->out,
                                             KantorBlockBound(KANTOR_BLOCK_SIZE), &s->packedSize, &s->adler);
        pthread_mutex_lock(&p->lock);
        s->ok = ok;
        s->done = 1;
        pthread_cond_broadcast(&p->finished);
        pthread_mutex_unlock(&p->lock);
    }
    KantorDeflaterEnd(&d);
    return NULL;
}

int StartPipeline(Pipeline *p)
{
    int workers = PackThreads();
    pthread_mutex_init(&p->lock, NULL);
    pthread_cond_init(&p->ready, NULL);
    pthread_cond_init(&p->finished, NULL);
    p->nSlots = 2 * workers + 2;
    for (int i = 0; i < p->nSlots; i++) {
        p->slots[i].in = (unsigned char *)malloc(IN_SIZE);
        p->slots[i].out = (unsigned char *)malloc(KantorBlockBound(KANTOR_BLOCK_SIZE));
        if (!p->slots[i].in || !p->slots[i].out)
            return 0;
    }
    for (int i = 0; i < workers; i++)
        if (pthread_create(&p->threads[p->nThreads], NULL, Worker, p) == 0)
            p->nThreads++;
    return p->nThreads > 0;
}

// Lets every worker finish the blocks it was given, then frees what StartPipeline made.
void StopPipeline(Pipeline *p)
{
    pthread_mutex_lock(&p->lock);
    p->stop = 1;
    pthread_cond_broadcast(&p->ready);
    pthread_mutex_unlock(&p->lock);
    for (int i = 0; i < p->nThreads; i++)
        pthread_join(p->threads[i], NULL);
    for (int i = 0; i < p->nSlots; i++) {
        free(p->slots[i].in);
        free(p->slots[i].out);
    }
    pthread_cond_destroy(&p->finished);
    pthread_cond_destroy(&p->ready);
    pthread_mutex_destroy(&p->lock);
}

int WriteAll(int fd, const unsigned char *data, size_t size, BuildPacked *result)
{
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            result->writeFailed = 1;
            result->error = n < 0 ? (unsigned long)errno : ENOSPC;
            return 0;
        }
        data += n;
        size -= (size_t)n;
    }
    return 1;
}

int WriteBlock(int fd, Pipeline *p, long n, KantorJoin *join, BuildPacked *result)
{
    Slot *s = &p->slots[n % p->nSlots];
    pthread_mutex_lock(&p->lock);
    while (!s->done)
        pthread_cond_wait(&p->finished, &p->lock);
    s->done = 0;
    pthread_mutex_unlock(&p->lock);
    if (!s->ok || !WriteAll(fd, s->out, s->packedSize, result))
        return 0;
    result->checksum = SfxChecksum(result->checksum, s->out, s->packedSize);
    result->size += s->packedSize;
    KantorJoinAdd(join, s->adler, s->size);
    return 1;
}

// 0 when the stream failed: a listed file could not be read whole.
int ReadBlock(BuildStream *stream, Pipeline *p, long n)
{
    Slot *s = &p->slots[n % p->nSlots];
    s->dictSize = 0;
    if (n > 0) {
        // The slot before still holds its block: it is reused only nSlots blocks later.
        const Slot *prev = &p->slots[(n - 1) % p->nSlots];
        s->dictSize = KantorCarryDictionary(prev->in, prev->dictSize, prev->size, s->in);
    }
    long got = BuildStreamRead(stream, s->in + s->dictSize, KANTOR_BLOCK_SIZE);
    s->size = got > 0 ? (size_t)got : 0;
    s->last = s->size < KANTOR_BLOCK_SIZE;
    return got >= 0;
}

}  // namespace

int PackThreads()
{
    long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    return cpus < 1 ? 1 : cpus > MAX_WORKERS ? MAX_WORKERS : (int)cpus;
}

int PackStream(BuildStream *stream, int outFd, BuildPacked *result)
{
    static Pipeline p;
    memset(&p, 0, sizeof(p));
    int ok = StartPipeline(&p);
    if (!ok)
        snprintf(result->failure, sizeof(result->failure),
                 "the compressor could not run (no memory for its blocks or threads)");
    KantorJoin join;
    unsigned char header[KANTOR_HEADER_SIZE];
    KantorJoinStart(&join, header);
    if (ok && WriteAll(outFd, header, sizeof(header), result)) {
        result->checksum = SfxChecksum(0, header, sizeof(header));
        result->size = sizeof(header);
    } else {
        ok = 0;
    }

    long nRead = 0, nWritten = 0;
    int last = 0;
    while (ok && !last) {
        if (nRead >= p.nSlots)
            ok = WriteBlock(outFd, &p, nWritten++, &join, result);
        if (!ok)
            break;
        ok = ReadBlock(stream, &p, nRead);
        last = p.slots[nRead % p.nSlots].last;
        pthread_mutex_lock(&p.lock);
        p.blockCount = ++nRead;
        pthread_cond_signal(&p.ready);
        pthread_mutex_unlock(&p.lock);
    }
    while (ok && nWritten < nRead)
        ok = WriteBlock(outFd, &p, nWritten++, &join, result);
    StopPipeline(&p);

    unsigned char trailer[KANTOR_TRAILER_SIZE];
    KantorJoinFinish(&join, trailer);
    if (ok && WriteAll(outFd, trailer, sizeof(trailer), result)) {
        result->checksum = SfxChecksum(result->checksum, trailer, sizeof(trailer));
        result->size += sizeof(trailer);
        return 1;
    }
    return 0;
}
