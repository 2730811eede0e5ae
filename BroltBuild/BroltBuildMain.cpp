// BroltBuildMain.cpp -- BroltBuild.exe: the wizard's build run from a settings file, for scripts and CI jobs.
//
// Exit code 0 when the output was built, 1 for bad arguments or settings, 2 when
// the build failed. Nothing is left behind on failure: the output is built
// under a temporary name beside it and takes its own name only when complete.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "BuildReport.h"
#include "BuildRun.h"
#include "Console.h"
#include "ImageChecksum.h"
#include "Win32Host.h"

namespace {

const char kUsageHead[] =
    "Usage: BroltBuild.exe <settings.ini>\n"
    "Builds a self-extracting executable from a settings file, as the Brolt wizard does.\n"
    "\n";
const char kUsageTail[] =
    "\n"
    "Relative paths are taken from the settings file's folder; KANTOR.EXE and\n"
    "pelstub.bin from the folder of BroltBuild.exe.\n"
    "Exit code: 0 built, 1 bad arguments or settings, 2 the build failed.\n";

int IsFile(const char *path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int CheckCompanions(const BuildRun *run)
{
    const char *companions[2] = {run->tools[0], run->stub};
    for (const char *path : companions) {
        if (!IsFile(path)) {
            Complain("The build failed: %s is missing; it belongs beside BroltBuild.exe (%s).\n",
                     strrchr(path, '\\') + 1, path);
            return 0;
        }
    }
    return 1;
}

int Main(int argc, char **argv, BuildRun *run, Win32Host *host)
{
    char exe[MAX_PATH], exeDir[MAX_PATH], compressor[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, exe, sizeof(exe));
    if (n == 0 || n >= sizeof(exe) || !VerifyExecutableFile(exe)) {
        Complain("The program file BroltBuild.exe is corrupt and can't be run. Please install it again.\n");
        return BUILD_EXIT_FAILED;
    }
    BuildFolderOf(exe, '\\', exeDir, sizeof(exeDir));
    snprintf(compressor, sizeof(compressor), "%s\\KANTOR.EXE", exeDir);
    snprintf(run->stub, sizeof(run->stub), "%s\\pelstub.bin", exeDir);
    MakeWin32Host(host, compressor, ConsoleSay, run);

    if (argc == 2 && BuildIsHelpArgument(argv[1])) {
        Say("%s%s%s", kUsageHead, kBuildKeysHelp, kUsageTail);
        return BUILD_EXIT_BUILT;
    }
    if (argc != 2) {
        Complain("%s%s%s", kUsageHead, kBuildKeysHelp, kUsageTail);
        return BUILD_EXIT_SETTINGS;
    }
    n = GetFullPathNameA(argv[1], MAX_PATH, run->settingsPath, NULL);
    if (n == 0 || n >= MAX_PATH) {
        Complain("%s: the path is too long or not a path\n", argv[1]);
        return BUILD_EXIT_SETTINGS;
    }
    static char packingWith[3 * MAX_PATH];
    snprintf(packingWith, sizeof(packingWith), "%s and %s", compressor, run->stub);
    run->packingWith = packingWith;
    run->checkTools = CheckCompanions;
    Say("BroltBuild: reading %s\n", run->settingsPath);
    return RunBuildFile(run);
}

}  // namespace

int main(int argc, char **argv)
{
    static BuildRun run;
    static Win32Host host;
    int rc = Main(argc, argv, &run, &host);
    FreeBuildRun(&run);
    return rc;
}
