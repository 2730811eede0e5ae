// NativeHost.cpp -- POSIX files, folders and the partial output for the build run; packing in process.
#include "NativeHost.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "BuildNames.h"
#include "NativePack.h"

namespace {

// A file descriptor as a handle: 0 stays "no file".
BuildHandle Handle(int fd)
{
    return fd < 0 ? NULL : (BuildHandle)(intptr_t)(fd + 1);
}

int Fd(BuildHandle h)
{
    return (int)(intptr_t)h - 1;
}

void Describe(const struct stat *st, BuildFileInfo *info)
{
    info->kind = S_ISREG(st->st_mode) ? BUILD_KIND_FILE : S_ISDIR(st->st_mode) ? BUILD_KIND_FOLDER : BUILD_KIND_OTHER;
    info->size = (unsigned long long)st->st_size;
    info->volume = (unsigned long long)st->st_dev;
    info->index = (unsigned long long)st->st_ino;
}

size_t Resolve(void *, const char *base, const char *text, char *full, size_t size)
{
    return NativeResolve(base, text, full, size);
}

struct DirCloser {
    DIR *d;
    ~DirCloser() { if (d) closedir(d); }
};

int List(void *, const char *folder, const char *rawPattern, BuildFoundName found, void *context)
{
    char pattern[BUILD_RUN_PATH];
    if (!BuildUtf8To1252(rawPattern, pattern, sizeof(pattern)))
        snprintf(pattern, sizeof(pattern), "%s", rawPattern);
    DirCloser d = {opendir(folder)};
    for (struct dirent *e = d.d ? readdir(d.d) : NULL; e; e = readdir(d.d)) {
        char name[BUILD_RUN_PATH];
        if (!BuildUtf8To1252(e->d_name, name, sizeof(name)))
            snprintf(name, sizeof(name), "%s", e->d_name);
        if (BuildWildcardMatch(pattern, name) && !found(context, e->d_name, 0))
            return 0;
    }
    return d.d != NULL;
}

int StoredName(void *, const char *name, char *out, size_t size)
{
    return BuildUtf8To1252(name, out, size);
}

void Identify(void *, const char *path, int, BuildFileInfo *info)
{
    memset(info, 0, sizeof(*info));
    struct stat st;
    if (stat(path, &st) == 0) {
        Describe(&st, info);
        return;
    }
    // A link whose target is gone is there, yet can't be read.
    struct stat link;
    if ((errno != ENOENT && errno != ENOTDIR) || lstat(path, &link) == 0)
        info->kind = BUILD_KIND_OTHER;
}

// Without blocking, so that a pipe put in a file's place fails instead of waiting for a writer.
BuildHandle Open(void *, const char *path, BuildFileInfo *info)
{
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st;
    int described = fd >= 0 && fstat(fd, &st) == 0;
    if (described && S_ISREG(st.st_mode)) {
        Describe(&st, info);
        return Handle(fd);
    }
    int why = !described ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    if (fd >= 0)
        close(fd);
    errno = why;
    return NULL;
}

long Read(void *, BuildHandle file, void *buffer, size_t size)
{
    for (;;) {
        ssize_t n = read(Fd(file), buffer, size);
        if (n >= 0 || errno != EINTR)
            return (long)n;
    }
}

void Close(void *, BuildHandle file)
{
    close(Fd(file));
}

// An earlier output without write permission is one its owner wants kept, as
// Windows keeps a read-only file.
int MayReplace(void *, const char *output)
{
    struct stat st;
    if (lstat(output, &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 0222) != 0)
        return 1;
    errno = EACCES;
    return 0;
}

// The partial output's name for the signal handler: a CI job that is
// cancelled mid-build leaves no SFX*.tmp beside the output either.
char g_partialPath[BUILD_RUN_PATH];
volatile sig_atomic_t g_partialMade;

void RemovePartialAndStop(int signal)
{
    if (g_partialMade)
        unlink(g_partialPath);
    ::signal(signal, SIG_DFL);
    raise(signal);
}

BuildHandle CreatePartial(void *, const char *folder, char *path, size_t size)
{
    static const int kStops[] = {SIGINT, SIGTERM, SIGHUP};
    for (int stop : kStops)
        signal(stop, RemovePartialAndStop);
    int fd = -1;
    int n = snprintf(g_partialPath, sizeof(g_partialPath), "%s%sSFXXXXXXX.tmp", folder, strcmp(folder, "/") ? "/" : "");
    if (n >= 0 && (size_t)n < sizeof(g_partialPath) && (size_t)n < size)
        fd = mkstemps(g_partialPath, 4);
    else
        errno = ENAMETOOLONG;
    g_partialMade = fd >= 0;
    snprintf(path, size, "%s", g_partialPath);
    return Handle(fd);
}

int WriteAll(int fd, const void *data, size_t size)
{
    const char *p = (const char *)data;
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return 0;
        }
        p += n;
        size -= (size_t)n;
    }
    return 1;
}

int Write(void *, BuildHandle file, const void *data, size_t size)
{
    return WriteAll(Fd(file), data, size);
}

int WriteAt(void *, BuildHandle file, unsigned long long offset, const void *data, size_t size)
{
    return pwrite(Fd(file), data, size, (off_t)offset) == (ssize_t)size;
}

// Stamped with the time it is finished, modification and access alike, as
// BroltBuild.exe stamps its three times with one value; the mode is 0666 less the umask.
int Seal(void *, BuildHandle file)
{
    mode_t mask = umask(0);
    umask(mask);
    int fd = Fd(file);
    int ok = fchmod(fd, 0666 & ~mask) == 0 && futimens(fd, NULL) == 0;
    int why = errno;
    ok = close(fd) == 0 && ok;
    if (!ok && why)
        errno = why;
    return ok;
}

int Rename(void *, const char *from, const char *to)
{
    if (rename(from, to) != 0)
        return 0;
    g_partialMade = 0;
    return 1;
}

void Discard(void *, BuildHandle file, const char *path)
{
    if (file)
        close(Fd(file));
    unlink(path);
    g_partialMade = 0;
}

int Pack(void *, BuildStream *stream, BuildHandle out, BuildPacked *packed)
{
    return PackStream(stream, Fd(out), packed);
}

unsigned long LastError(void *)
{
    return (unsigned long)errno;
}

const char *ErrorText(void *, unsigned long code)
{
    return strerror((int)code);
}

// Unbuffered, so that the lines of both streams keep their order in a CI log.
void Say(void *, int problem, const char *text)
{
    FILE *stream = problem ? stderr : stdout;
    fputs(text, stream);
    fflush(stream);
}

unsigned long Milliseconds(void *)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (unsigned long)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

// Every listed file may stay open from its check to its packing when the
// process may hold that many; the rest are opened again and must be the same.
size_t KeepOpen()
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0)
            getrlimit(RLIMIT_NOFILE, &limit);
    }
    // Room for the settings, the stub, the output and the packer's own.
    return limit.rlim_cur == RLIM_INFINITY ? (size_t)-1 : limit.rlim_cur > 64 ? (size_t)(limit.rlim_cur - 64) : 0;
}

}  // namespace

size_t NativeResolve(const char *base, const char *text, char *full, size_t size)
{
    size_t needed = strlen(base) + 1 + strlen(text);
    char joined[2 * BUILD_RUN_PATH + 2];
    if (needed + 1 > sizeof(joined))
        return needed;
    int absolute = text[0] == '/' || text[0] == '\\';
    snprintf(joined, sizeof(joined), "%s%s%s", absolute ? "" : base, absolute ? "" : "/", text);
    for (char *c = joined; *c; c++)
        if (*c == '\\')
            *c = '/';
    // Component by component into full; ".." takes the last one back off.
    size_t used = 0;
    const char *p = joined;
    while (*p) {
        while (*p == '/')
            p++;
        const char *end = p;
        while (*end && *end != '/')
            end++;
        size_t n = (size_t)(end - p);
        if (n == 0 || (n == 1 && p[0] == '.')) {
        } else if (n == 2 && p[0] == '.' && p[1] == '.') {
            while (used > 0 && full[used - 1] != '/')
                used--;
            if (used > 0)
                used--;
        } else {
            if (used + 1 + n + 1 > size)
                return needed;
            full[used++] = '/';
            memcpy(full + used, p, n);
            used += n;
        }
        p = end;
    }
    if (used == 0) {
        if (size < 2)
            return needed;
        full[used++] = '/';
    }
    full[used] = '\0';
    return used;
}

void MakeNativeHost(BuildHost *host)
{
    memset(host, 0, sizeof(*host));
    host->separator = '/';
    host->pathLimit = BUILD_RUN_PATH;
    host->keepOpen = KeepOpen();
    host->resolve = Resolve;
    host->list = List;
    host->storedName = StoredName;
    host->identify = Identify;
    host->open = Open;
    host->read = Read;
    host->close = Close;
    host->mayReplace = MayReplace;
    host->createPartial = CreatePartial;
    host->write = Write;
    host->writeAt = WriteAt;
    host->seal = Seal;
    host->rename = Rename;
    host->discard = Discard;
    host->pack = Pack;
    host->lastError = LastError;
    host->errorText = ErrorText;
    host->say = Say;
    host->milliseconds = Milliseconds;
}
