// NativeMain.cpp -- broltbuild: BroltBuild.exe's build from the same settings file, run natively on Linux for CI jobs.
//
// Same keys, messages, exit codes and summary as BroltBuild.exe, and the same
// bytes: the one build run on POSIX files, KANTOR's packed block made in
// process on every processor. Exit code 0 when the output was built, 1 for
// bad arguments or settings, 2 when the build failed.
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "BuildReport.h"
#include "BuildRun.h"
#include "NativeHost.h"
#include "NativePack.h"

namespace {

const char kUsageHead[] =
    "Usage: broltbuild [--stub <file>] <settings.ini>\n"
    "Builds a self-extracting executable from a settings file, as BroltBuild.exe does.\n"
    "\n";
const char kUsageTail[] =
    "\n"
    "Relative paths are taken from the settings file's folder; the stub is\n"
    "pelstub.bin beside broltbuild unless --stub names another.\n"
    "Exit code: 0 built, 1 bad arguments or settings, 2 the build failed.\n";

int g_stubGiven;

// "--stub <file>" anywhere before or after the one settings path.
int TakeArguments(int argc, char **argv, BuildRun *run)
{
    const char *settings = NULL, *stub = NULL;
    int extra = 0;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--stub") && i + 1 < argc && !stub)
            stub = argv[++i];
        else if (!settings)
            settings = argv[i];
        else
            extra = 1;
    }
    g_stubGiven = stub != NULL;
    if (!settings || extra || (stub && !stub[0])) {
        fprintf(stderr, "%s%s%s", kUsageHead, kBuildKeysHelp, kUsageTail);
        return 0;
    }
    char cwd[BUILD_RUN_PATH];
    if (!getcwd(cwd, sizeof(cwd)) ||
        NativeResolve(cwd, settings, run->settingsPath, sizeof(run->settingsPath)) >= sizeof(run->settingsPath) ||
        (stub && NativeResolve(cwd, stub, run->stub, sizeof(run->stub)) >= sizeof(run->stub))) {
        fprintf(stderr, "%s: the path is too long or not a path\n", settings);
        return 0;
    }
    return 1;
}

int CheckStub(const BuildRun *run)
{
    struct stat st;
    errno = 0;
    if (stat(run->stub, &st) == 0 && S_ISREG(st.st_mode) && access(run->stub, R_OK) == 0)
        return 1;
    if (g_stubGiven)
        fprintf(stderr, "The build failed: the stub %s can't be read: %s\n", run->stub, strerror(errno ? errno : EISDIR));
    else
        fprintf(stderr, "The build failed: pelstub.bin is missing; it belongs beside broltbuild (%s).\n", run->stub);
    return 0;
}

int Main(int argc, char **argv, BuildRun *run)
{
    // A reader that stops early (| head) takes the log away, not the build:
    // the writes to it fail and are let go, and the output is still finished.
    signal(SIGPIPE, SIG_IGN);
    static char self[BUILD_RUN_PATH];
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    self[n > 0 ? n : 0] = '\0';
    if (argc == 2 && BuildIsHelpArgument(argv[1])) {
        printf("%s%s%s", kUsageHead, kBuildKeysHelp, kUsageTail);
        return BUILD_EXIT_BUILT;
    }
    if (!TakeArguments(argc, argv, run))
        return BUILD_EXIT_SETTINGS;
    if (!g_stubGiven) {
        char exeDir[BUILD_RUN_PATH];
        BuildFolderOf(self, '/', exeDir, sizeof(exeDir));
        if (NativeResolve(exeDir, "pelstub.bin", run->stub, sizeof(run->stub)) >= sizeof(run->stub))
            run->stub[0] = '\0';
    }
    run->tools[0] = self;
    static char packingWith[BUILD_RUN_PATH + 32];
    snprintf(packingWith, sizeof(packingWith), "%d threads and %s", PackThreads(), run->stub);
    run->packingWith = packingWith;
    run->checkTools = CheckStub;
    printf("broltbuild: reading %s\n", run->settingsPath);
    fflush(stdout);
    return RunBuildFile(run);
}

}  // namespace

int main(int argc, char **argv)
{
    static BuildHost host;
    static BuildRun run;
    MakeNativeHost(&host);
    run.host = &host;
    int rc = Main(argc, argv, &run);
    FreeBuildRun(&run);
    return rc;
}
