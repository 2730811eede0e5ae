// NativePack.cpp -- reads the files into 1 MB blocks, deflates them on worker threads and writes them in order.
//
// The same pipeline as KANTOR.EXE, with the work stream made on the fly instead
// of read from a work file: the main thread fills a ring of slots, each worker
// deflates the next filled slot (KantorBlocks.h), and the main thread writes the
// slots out in order and checksums them as they go.
#include "NativePack.h"

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
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
    long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    int workers = cpus < 1 ? 1 : cpus > MAX_WORKERS ? MAX_WORKERS : (int)cpus;
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

// The work stream, made record by record as the blocks ask for it.
struct Source {
    const NativeList *list;
    size_t next;                            // the next file to open
    int fd;                                 // the file whose contents are being read, or -1
    uint8_t head[SFX_ENTRY_HEAD_SIZE];
    size_t headLeft;                        // bytes of head still to hand on
    uint32_t contentsLeft;
    int failed;
    int error;                              // errno of the failure, 0 when the file changed
    size_t added;
};

// Opens the next file and makes its record head. Like the wizard's build, the
// size is the file's own at this moment.
int OpenNext(Source *src)
{
    const NativeFile *f = &src->list->files[src->next++];
    src->fd = open(f->path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st;
    if (src->fd < 0 || fstat(src->fd, &st) != 0) {
        src->error = errno;
        return 0;
    }
    if (!S_ISREG(st.st_mode) || (unsigned long long)st.st_size > 0xFFFFFFFFull)
        return 0;
    SfxFileEntry entry;
    memset(&entry, 0, sizeof(entry));
    // Only the name and its terminator: the rest of the field stays zero, as
    // every byte of the output must come from the inputs.
    memcpy(entry.name, f->name, strnlen(f->name, sizeof(entry.name) - 1));
    entry.size = (uint32_t)st.st_size;
    SfxEncodeEntryHead(&entry, src->head);
    src->headLeft = sizeof(src->head);
    src->contentsLeft = entry.size;
    return 1;
}

// Fills dst with up to size bytes of the stream; fewer only at its end.
size_t Fill(Source *src, unsigned char *dst, size_t size)
{
    size_t got = 0;
    while (got < size && !src->failed) {
        if (src->headLeft) {
            size_t n = src->headLeft < size - got ? src->headLeft : size - got;
            memcpy(dst + got, src->head + sizeof(src->head) - src->headLeft, n);
            src->headLeft -= n;
            got += n;
        } else if (src->contentsLeft) {
            size_t want = src->contentsLeft < size - got ? src->contentsLeft : size - got;
            ssize_t n = read(src->fd, dst + got, want);
            if (n < 0 && errno == EINTR)
                continue;
            // A file cut short after its head was written can't be left out any more.
            if (n <= 0) {
                src->error = n < 0 ? errno : 0;
                src->failed = 1;
                break;
            }
            src->contentsLeft -= (uint32_t)n;
            got += (size_t)n;
        } else if (src->fd >= 0) {
            close(src->fd);
            src->fd = -1;
            src->added++;
        } else if (src->next < src->list->count) {
            if (!OpenNext(src))
                src->failed = 1;
        } else {
            break;
        }
    }
    return got;
}

int WriteAll(int fd, const unsigned char *data, size_t size, PackResult *result)
{
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            result->writeError = n < 0 ? errno : ENOSPC;
            return 0;
        }
        data += n;
        size -= (size_t)n;
    }
    return 1;
}

int WriteBlock(int fd, Pipeline *p, long n, KantorJoin *join, PackResult *result)
{
    Slot *s = &p->slots[n % p->nSlots];
    pthread_mutex_lock(&p->lock);
    while (!s->done)
        pthread_cond_wait(&p->finished, &p->lock);
    s->done = 0;
    pthread_mutex_unlock(&p->lock);
    if (!s->ok || !WriteAll(fd, s->out, s->packedSize, result))
        return 0;
    result->packedCrc = SfxChecksum(result->packedCrc, s->out, s->packedSize);
    result->packedSize += s->packedSize;
    KantorJoinAdd(join, s->adler, s->size);
    return 1;
}

void ReadBlock(Source *src, Pipeline *p, long n)
{
    Slot *s = &p->slots[n % p->nSlots];
    s->dictSize = 0;
    if (n > 0) {
        // The slot before still holds its block: it is reused only nSlots blocks later.
        const Slot *prev = &p->slots[(n - 1) % p->nSlots];
        s->dictSize = KantorCarryDictionary(prev->in, prev->dictSize, prev->size, s->in);
    }
    s->size = Fill(src, s->in + s->dictSize, KANTOR_BLOCK_SIZE);
    s->last = s->size < KANTOR_BLOCK_SIZE;
}

}  // namespace

int PackFiles(const NativeList *list, int outFd, PackResult *result)
{
    memset(result, 0, sizeof(*result));
    static Pipeline p;
    memset(&p, 0, sizeof(p));
    Source src;
    memset(&src, 0, sizeof(src));
    src.list = list;
    src.fd = -1;

    int ok = StartPipeline(&p);
    result->threads = p.nThreads;
    KantorJoin join;
    unsigned char header[KANTOR_HEADER_SIZE];
    KantorJoinStart(&join, header);
    if (ok && WriteAll(outFd, header, sizeof(header), result)) {
        result->packedCrc = SfxChecksum(0, header, sizeof(header));
        result->packedSize = sizeof(header);
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
        ReadBlock(&src, &p, nRead);
        last = p.slots[nRead % p.nSlots].last;
        pthread_mutex_lock(&p.lock);
        p.blockCount = ++nRead;
        pthread_cond_signal(&p.ready);
        pthread_mutex_unlock(&p.lock);
        ok = !src.failed;
    }
    while (ok && nWritten < nRead)
        ok = WriteBlock(outFd, &p, nWritten++, &join, result);
    StopPipeline(&p);
    if (src.fd >= 0)
        close(src.fd);
    result->filesAdded = src.added;
    result->readFailed = src.failed;
    result->failedFile = src.next ? src.next - 1 : 0;
    result->readError = src.error;

    unsigned char trailer[KANTOR_TRAILER_SIZE];
    KantorJoinFinish(&join, trailer);
    if (ok && WriteAll(outFd, trailer, sizeof(trailer), result)) {
        result->packedCrc = SfxChecksum(result->packedCrc, trailer, sizeof(trailer));
        result->packedSize += sizeof(trailer);
        return 1;
    }
    return 0;
}
