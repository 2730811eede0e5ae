// NativeMain.cpp -- broltbuild: BroltBuild.exe's build from the same settings file, run natively on Linux for CI jobs.
//
// Same keys, messages, exit codes and summary as BroltBuild.exe, and the same
// bytes: the stub, the header and KANTOR's packed block, made in process on
// every processor. Exit code 0 when the output was built, 1 for bad arguments
// or settings, 2 when the build failed. The output is built under a temporary
// name beside it and takes its own name only when complete.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "BuildHeader.h"
#include "BuildNames.h"
#include "BuildReport.h"
#include "BuildSettings.h"
#include "NativeInputs.h"
#include "NativePack.h"
#include "SfxFormat.h"

namespace {

enum { EXIT_BUILT = 0, EXIT_BAD_SETTINGS = 1, EXIT_BUILD_FAILED = 2 };

// A settings file with a million lines is still far below this.
const size_t kMaxSettingsBytes = 64u * 1024 * 1024;

const char kUsageHead[] =
    "Usage: broltbuild [--stub <file>] <settings.ini>\n"
    "Builds a self-extracting executable from a settings file, as BroltBuild.exe does.\n"
    "\n";
const char kUsageTail[] =
    "\n"
    "Relative paths are taken from the settings file's folder; the stub is\n"
    "pelstub.bin beside broltbuild unless --stub names another.\n"
    "Exit code: 0 built, 1 bad arguments or settings, 2 the build failed.\n";

struct Run {
    char settingsPath[NATIVE_PATH];
    char settingsDir[NATIVE_PATH];
    char exePath[NATIVE_PATH];
    char stubPath[NATIVE_PATH];
    int stubGiven;
    char output[NATIVE_PATH];
    char *text;
    size_t textLength;
    BuildSettings settings;
    NativeList inputs;
    size_t foldersSkipped;
    BuildError error;
};

// Unbuffered, so that the lines of both streams keep their order in a CI log.
__attribute__((format(printf, 2, 0))) void Write(FILE *stream, const char *format, va_list args)
{
    char text[4096];
    vsnprintf(text, sizeof(text), format, args);
    fputs(text, stream);
    fflush(stream);
}

void Say(const char *format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    Write(stdout, format, args);
    va_end(args);
}

void Complain(const char *format, ...) __attribute__((format(printf, 1, 2)));
void Complain(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    Write(stderr, format, args);
    va_end(args);
}

unsigned long MillisecondsSince(const struct timespec *start)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (unsigned long)((now.tv_sec - start->tv_sec) * 1000 + (now.tv_nsec - start->tv_nsec) / 1000000);
}

int IsFolder(const char *path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

int ReportSettings(const Run *run)
{
    char message[1024];
    FormatBuildError(&run->error, run->settingsPath, message, sizeof(message));
    Complain("%s\n", message);
    return EXIT_BAD_SETTINGS;
}

// "--stub <file>" anywhere before or after the one settings path.
int TakeArguments(int argc, char **argv, Run *run)
{
    const char *settings = NULL;
    int extra = 0;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--stub") && i + 1 < argc && !run->stubGiven) {
            snprintf(run->stubPath, sizeof(run->stubPath), "%s", argv[++i]);
            run->stubGiven = 1;
        } else if (!settings) {
            settings = argv[i];
        } else {
            extra = 1;
        }
    }
    if (!settings || extra || (run->stubGiven && !run->stubPath[0])) {
        Complain("%s%s%s", kUsageHead, kBuildKeysHelp, kUsageTail);
        return EXIT_BAD_SETTINGS;
    }
    char cwd[NATIVE_PATH];
    if (!getcwd(cwd, sizeof(cwd)) || !NativeResolve(cwd, settings, run->settingsPath, sizeof(run->settingsPath)) ||
        (run->stubGiven && !NativeResolve(cwd, run->stubPath, run->stubPath, sizeof(run->stubPath)))) {
        Complain("%s: the path is too long or not a path\n", settings);
        return EXIT_BAD_SETTINGS;
    }
    NativeFolderOf(run->settingsPath, run->settingsDir, sizeof(run->settingsDir));
    return EXIT_BUILT;
}

int ReadSettingsText(Run *run)
{
    int fd = open(run->settingsPath, O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        Complain("%s: can't be read: %s\n", run->settingsPath, strerror(fd < 0 ? errno : EISDIR));
        if (fd >= 0)
            close(fd);
        return EXIT_BAD_SETTINGS;
    }
    if ((unsigned long long)st.st_size > kMaxSettingsBytes) {
        close(fd);
        SetBuildError(&run->error, BUILD_SETTINGS_TOO_BIG, 0, NULL, NULL);
        run->error.number = kMaxSettingsBytes / (1024 * 1024);
        return ReportSettings(run);
    }
    size_t size = (size_t)st.st_size;
    run->text = (char *)malloc(size ? size : 1);
    size_t got = 0;
    while (run->text && got < size) {
        ssize_t n = read(fd, run->text + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += (size_t)n;
    }
    int why = errno;
    close(fd);
    if (!run->text || got != size) {
        Complain("%s: can't be read: %s\n", run->settingsPath, strerror(run->text ? why : ENOMEM));
        return EXIT_BAD_SETTINGS;
    }
    run->textLength = size;
    return EXIT_BUILT;
}

int OnFileLine(void *context, unsigned line, const char *path, BuildError *error)
{
    Run *run = (Run *)context;
    size_t filesBefore = run->inputs.count, foldersBefore = run->foldersSkipped;
    if (!AddNativeLine(&run->inputs, run->settingsDir, line, path, &run->foldersSkipped, error))
        return 0;
    if (!BuildHasWildcard(path))
        return 1;
    char text[BUILD_PATH_TEXT + 128];
    FormatPatternLine(line, path, (unsigned long)(run->inputs.count - filesBefore),
                      (unsigned long)(run->foldersSkipped - foldersBefore), text, sizeof(text));
    Say("%s", text);
    return 1;
}

// Two full paths Windows takes for one file: letters without case, compared
// in Windows-1252 where the names can be written so.
int SameOnWindows(const char *a, const char *b)
{
    char x[NATIVE_PATH], y[NATIVE_PATH];
    if (BuildUtf8To1252(a, x, sizeof(x)) && BuildUtf8To1252(b, y, sizeof(y)))
        return BuildCompareNames(x, y) == 0;
    return strcmp(a, b) == 0;
}

// The output's name, letters without case, against every file this run reads:
// on Windows it would replace that file, whatever a Linux folder holds.
int OutputIsReadOnWindows(const Run *run)
{
    const char *needed[3] = {run->stubPath, run->exePath, run->settingsPath};
    for (const char *path : needed)
        if (path[0] && SameOnWindows(path, run->output))
            return 1;
    for (size_t i = 0; i < run->inputs.count; i++)
        if (SameOnWindows(run->inputs.files[i].path, run->output))
            return 1;
    return 0;
}

// The output must not replace anything this run reads or runs: by identity,
// so that no other spelling, link or hard link of one of them gets through.
int CheckOutput(Run *run)
{
    unsigned outputLine = run->settings.keyLine[BUILD_KEY_OUTPUT];
    if (!NativeResolve(run->settingsDir, run->settings.output, run->output, sizeof(run->output))) {
        SetBuildError(&run->error, BUILD_TOO_LONG, outputLine, "Output", run->settings.output);
        run->error.number = (unsigned long)(strlen(run->settingsDir) + 1 + strlen(run->settings.output));
        run->error.limit = NATIVE_PATH - 1;
        return 0;
    }
    char dir[NATIVE_PATH];
    NativeFolderOf(run->output, dir, sizeof(dir));
    if (!IsFolder(dir)) {
        SetBuildError(&run->error, BUILD_NO_OUTPUT_FOLDER, outputLine, "Output", run->settings.output);
        return 0;
    }
    if (OutputIsReadOnWindows(run)) {
        SetBuildError(&run->error, BUILD_OUTPUT_IS_READ, outputLine, "Output", run->settings.output);
        return 0;
    }
    NativeIdentity out;
    if (!GetNativeIdentity(run->output, &out))
        return CheckNativeList(&run->inputs, run->settings.filesLine, NULL, 0, NULL, &run->error);
    const char *needed[3] = {run->stubPath, run->exePath, run->settingsPath};
    for (const char *path : needed) {
        NativeIdentity id;
        if (path[0] && GetNativeIdentity(path, &id) && id.device == out.device && id.inode == out.inode) {
            SetBuildError(&run->error, BUILD_OUTPUT_IS_READ, outputLine, "Output", run->settings.output);
            return 0;
        }
    }
    return CheckNativeList(&run->inputs, run->settings.filesLine, &out, outputLine, run->settings.output,
                           &run->error);
}

int CheckStub(const Run *run)
{
    struct stat st;
    errno = 0;
    if (stat(run->stubPath, &st) == 0 && S_ISREG(st.st_mode) && access(run->stubPath, R_OK) == 0)
        return 1;
    if (run->stubGiven)
        Complain("The build failed: the stub %s can't be read: %s\n", run->stubPath,
                 strerror(errno ? errno : EISDIR));
    else
        Complain("The build failed: pelstub.bin is missing; it belongs beside broltbuild (%s).\n", run->stubPath);
    return 0;
}

void SayPlan(const Run *run)
{
    char text[2048];
    FormatBuildPlan(&run->settings, (unsigned long)run->inputs.count, run->inputs.totalBytes, run->output, text,
                    sizeof(text));
    Say("%s", text);
}

int WriteAll(int fd, const unsigned char *data, size_t size)
{
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 0;
        data += n;
        size -= (size_t)n;
    }
    return 1;
}

// The stub goes over piece by piece: --stub may name any file, however large.
int CopyStub(const char *path, int outFd, unsigned long long *size)
{
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    static unsigned char buffer[64 * 1024];
    *size = 0;
    ssize_t n;
    while ((n = read(fd, buffer, sizeof(buffer))) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || !WriteAll(outFd, buffer, (size_t)n))
            break;
        *size += (unsigned long long)n;
    }
    close(fd);
    return n == 0;
}

// The partial output's name for the signal handler: a CI job that is
// cancelled mid-build leaves no SFX*.tmp beside the output either.
char g_partialPath[NATIVE_PATH];
volatile sig_atomic_t g_partialMade;

void RemovePartialAndStop(int signal)
{
    if (g_partialMade)
        unlink(g_partialPath);
    ::signal(signal, SIG_DFL);
    raise(signal);
}

// Owns the partial output: removed on every return unless it took its name.
struct Partial {
    char *path = g_partialPath;
    int fd = -1;
    ~Partial()
    {
        if (fd >= 0)
            close(fd);
        if (g_partialMade)
            unlink(path);
        g_partialMade = 0;
    }
};

// The partial output beside the output, removed by its owner unless it takes the output's name.
int StartPartial(const Run *run, Partial *partial)
{
    char dir[NATIVE_PATH];
    NativeFolderOf(run->output, dir, sizeof(dir));
    static const int kStops[] = {SIGINT, SIGTERM, SIGHUP};
    for (int stop : kStops)
        signal(stop, RemovePartialAndStop);
    int n = snprintf(partial->path, NATIVE_PATH, "%s%sSFXXXXXXX.tmp", dir, strcmp(dir, "/") ? "/" : "");
    if (n >= 0 && n < NATIVE_PATH)
        partial->fd = mkstemps(partial->path, 4);
    g_partialMade = partial->fd >= 0;
    if (partial->fd < 0)
        Complain("The build failed: can't write in the folder %s: %s\n", dir, strerror(errno));
    return partial->fd >= 0;
}

// The header every builder fills, with the packed block's fields.
void EncodeHeader(const BuildSettings &s, const PackResult &packed, uint8_t image[SFX_HEADER_SIZE])
{
    SfxHeader header;
    FillSfxHeader(&s, &header);
    header.packedFlag = 1;
    header.packedSize = (uint32_t)packed.packedSize;
    header.packedCrc = packed.packedCrc;
    SfxEncodeHeader(&header, image);
}

// Writes the header into its place after the stub and gives the partial output its name.
int FinishOutput(const Run *run, Partial *partial, unsigned long long stubSize, const uint8_t image[SFX_HEADER_SIZE])
{
    // Stamped with the time it is finished, creation and change alike, as BroltBuild.exe does.
    mode_t mask = umask(0);
    umask(mask);
    int fd = partial->fd;
    partial->fd = -1;
    if (pwrite(fd, image, SFX_HEADER_SIZE, (off_t)stubSize) != SFX_HEADER_SIZE || fchmod(fd, 0666 & ~mask) != 0 ||
        futimens(fd, NULL) != 0 || close(fd) != 0) {
        Complain("The build failed: the output could not be written (%s).\n", strerror(errno));
        return 0;
    }
    if (rename(partial->path, run->output) != 0) {
        Complain("The build failed: %s can't be replaced: %s\n", run->output, strerror(errno));
        return 0;
    }
    g_partialMade = 0;
    return 1;
}

// An earlier output without write permission is one its owner wants kept, as
// Windows keeps a read-only file: refused before anything is written.
int CheckReplaceable(const Run *run)
{
    struct stat st;
    if (lstat(run->output, &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 0222) != 0)
        return 1;
    Complain("The build failed: %s can't be replaced: %s\n", run->output, strerror(EACCES));
    return 0;
}

int Build(Run *run, const struct timespec *started)
{
    if (!CheckReplaceable(run))
        return EXIT_BUILD_FAILED;
    Partial partial;
    if (!StartPartial(run, &partial))
        return EXIT_BUILD_FAILED;
    unsigned long long stubSize = 0;
    uint8_t image[SFX_HEADER_SIZE];
    memset(image, 0, sizeof(image));
    if (!CopyStub(run->stubPath, partial.fd, &stubSize) || !WriteAll(partial.fd, image, sizeof(image))) {
        Complain("The build failed: the output could not be written (%s).\n", strerror(errno));
        return EXIT_BUILD_FAILED;
    }
    PackResult packed;
    long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    Say("Packing with %ld threads and %s ...\n", cpus < 1 ? 1 : cpus > 8 ? 8 : cpus, run->stubPath);
    int ok = PackFiles(&run->inputs, partial.fd, &packed);
    if (packed.readFailed && packed.failedFile < run->inputs.count) {
        // The file and the line that named it, as the checks before would have told them.
        const NativeFile *f = &run->inputs.files[packed.failedFile];
        BuildError error;
        SetBuildError(&error, BUILD_UNREADABLE, f->line, "[Files]", f->path);
        char message[1024];
        FormatBuildError(&error, run->settingsPath, message, sizeof(message));
        Complain("The build failed: %s while packing (%s).\n", message,
                 packed.readError ? strerror(packed.readError) : "it changed while it was read");
        return EXIT_BUILD_FAILED;
    }
    if (!ok && packed.writeError) {
        Complain("The build failed: the output could not be written (%s).\n", strerror(packed.writeError));
        return EXIT_BUILD_FAILED;
    }
    if (!ok || packed.filesAdded != run->inputs.count) {
        Complain("The build failed: the compressor could not run (no memory for its blocks or threads).\n");
        return EXIT_BUILD_FAILED;
    }
    if (packed.packedSize > 0xFFFFFFFFull) {
        BuildError error;
        SetBuildError(&error, BUILD_PACKED_TOO_BIG, 0, NULL, NULL);
        error.number = (unsigned long)(packed.packedSize >> 20);
        error.limit = 4096;
        char message[600];
        FormatBuildProblem(&error, message, sizeof(message));
        Complain("The build failed: %s.\n", message);
        return EXIT_BUILD_FAILED;
    }
    EncodeHeader(run->settings, packed, image);
    if (!FinishOutput(run, &partial, stubSize, image))
        return EXIT_BUILD_FAILED;
    char text[2048];
    FormatBuildSummary(run->output, (unsigned long)run->inputs.count, run->inputs.totalBytes,
                       stubSize + SFX_HEADER_SIZE + packed.packedSize, stubSize, MillisecondsSince(started), text,
                       sizeof(text));
    Say("%s", text);
    return EXIT_BUILT;
}

int Main(int argc, char **argv, Run *run)
{
    // A reader that stops early (| head) takes the log away, not the build:
    // the writes to it fail and are let go, and the output is still finished.
    signal(SIGPIPE, SIG_IGN);
    struct timespec started;
    clock_gettime(CLOCK_MONOTONIC, &started);
    ssize_t n = readlink("/proc/self/exe", run->exePath, sizeof(run->exePath) - 1);
    run->exePath[n > 0 ? n : 0] = '\0';
    if (argc == 2 && BuildIsHelpArgument(argv[1])) {
        Say("%s%s%s", kUsageHead, kBuildKeysHelp, kUsageTail);
        return EXIT_BUILT;
    }
    int rc = TakeArguments(argc, argv, run);
    if (rc != EXIT_BUILT)
        return rc;
    if (!run->stubGiven) {
        char exeDir[NATIVE_PATH];
        NativeFolderOf(run->exePath, exeDir, sizeof(exeDir));
        if (!NativeResolve(exeDir, "pelstub.bin", run->stubPath, sizeof(run->stubPath)))
            run->stubPath[0] = '\0';
    }
    Say("broltbuild: reading %s\n", run->settingsPath);
    rc = ReadSettingsText(run);
    if (rc != EXIT_BUILT)
        return rc;
    // First the whole text, so that a wrong key is reported before any disk work.
    if (!ParseBuildSettings(run->text, run->textLength, &run->settings, NULL, NULL, &run->error))
        return ReportSettings(run);
    if (!ParseBuildSettings(run->text, run->textLength, &run->settings, OnFileLine, run, &run->error) ||
        !CheckOutput(run))
        return ReportSettings(run);
    if (!CheckStub(run))
        return EXIT_BUILD_FAILED;
    SayPlan(run);
    return Build(run, &started);
}

}  // namespace

int main(int argc, char **argv)
{
    static Run run;
    int rc = Main(argc, argv, &run);
    FreeNativeList(&run.inputs);
    free(run.text);
    return rc;
}
