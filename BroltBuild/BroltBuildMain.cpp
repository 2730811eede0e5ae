// BroltBuildMain.cpp -- BroltBuild.exe: the wizard's build run from a settings file, for scripts and CI jobs.
//
// Exit code 0 when the output was built, 1 for bad arguments or settings, 2 when
// the build failed. Nothing is left behind on failure: the output is built
// under a temporary name beside it and takes its own name only when complete.
#include <windows.h>
#include <string.h>

#include "BuildReport.h"
#include "BuildSettings.h"
#include "Console.h"
#include "ImageChecksum.h"
#include "InputFiles.h"
#include "Owners.h"
#include "SfxBuild.h"
#include "SfxFormat.h"

namespace {

enum { EXIT_BUILT = 0, EXIT_BAD_SETTINGS = 1, EXIT_BUILD_FAILED = 2 };

// A settings file with a million lines is still far below this.
const DWORD kMaxSettingsBytes = 64u * 1024 * 1024;

const char kUsageHead[] =
    "Usage: BroltBuild.exe <settings.ini>\n"
    "Builds a self-extracting executable from a settings file, as the Brolt wizard does.\n"
    "\n";
const char kUsageTail[] =
    "\n"
    "Relative paths are taken from the settings file's folder; KANTOR.EXE and\n"
    "pelstub.bin from the folder of BroltBuild.exe.\n"
    "Exit code: 0 built, 1 bad arguments or settings, 2 the build failed.\n";

struct Run {
    char settingsPath[MAX_PATH];
    char settingsDir[MAX_PATH];
    char exePath[MAX_PATH];
    char exeDir[MAX_PATH];
    char output[MAX_PATH];
    char stub[MAX_PATH];
    char compressor[MAX_PATH];
    char *text;
    DWORD textLength;
    BuildSettings settings;
    InputList inputs;
    size_t foldersSkipped;
    BuildError error;
};

// "C:\a\b.ini" -> "C:\a"; a root keeps its backslash so it stays a folder.
void FolderOf(const char *path, char *dir)
{
    lstrcpynA(dir, path, MAX_PATH);
    char *slash = strrchr(dir, '\\');
    if (slash)
        slash[slash == dir + 2 && dir[1] == ':' ? 1 : 0] = '\0';
}

int IsFolder(const char *path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

int IsFile(const char *path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int ReportSettings(const Run *run)
{
    char message[1024];
    FormatBuildError(&run->error, run->settingsPath, message, sizeof(message));
    Complain("%s\n", message);
    return EXIT_BAD_SETTINGS;
}

int ReadSettingsText(Run *run)
{
    FileHandle h(CreateFileA(run->settingsPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, NULL));
    if (!h.IsValid()) {
        Complain("%s: can't be read: %s\n", run->settingsPath, SystemErrorText(GetLastError()));
        return EXIT_BAD_SETTINGS;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(h, &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxSettingsBytes) {
        SetBuildError(&run->error, BUILD_SETTINGS_TOO_BIG, 0, NULL, NULL);
        run->error.number = kMaxSettingsBytes / (1024 * 1024);
        return ReportSettings(run);
    }
    run->text = (char *)HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    DWORD got = 0;
    if (!run->text || !(size == 0 || ReadFile(h, run->text, size, &got, NULL)) || got != size) {
        Complain("%s: can't be read: %s\n", run->settingsPath, SystemErrorText(GetLastError()));
        return EXIT_BAD_SETTINGS;
    }
    run->textLength = size;
    return EXIT_BUILT;
}

int OnFileLine(void *context, unsigned line, const char *path, BuildError *error)
{
    Run *run = (Run *)context;
    size_t filesBefore = run->inputs.count, foldersBefore = run->foldersSkipped;
    if (!AddInputLine(&run->inputs, run->settingsDir, line, path, &run->foldersSkipped, error))
        return 0;
    if (!BuildHasWildcard(path))
        return 1;
    char text[BUILD_PATH_TEXT + 128];
    FormatPatternLine(line, path, (unsigned long)(run->inputs.count - filesBefore),
                      (unsigned long)(run->foldersSkipped - foldersBefore), text, sizeof(text));
    Say("%s", text);
    return 1;
}

// The job as the build library takes it: the header's fields, the files, and
// the stub and compressor beside this program.
SfxBuildJob MakeJob(Run *run, const char *output)
{
    return {&run->settings, output, run->inputs.files, run->inputs.count, run->stub, run->compressor,
            run->settingsPath};
}

// The build library's checks, with the real output: the build itself writes
// to a temporary name beside it. Its refusals are told at the settings' lines.
int CheckOutput(Run *run)
{
    unsigned outputLine = run->settings.keyLine[BUILD_KEY_OUTPUT];
    if (!ResolvePath(run->settingsDir, run->settings.output, run->output)) {
        SetBuildError(&run->error, BUILD_TOO_LONG, outputLine, "Output", run->settings.output);
        run->error.number = (unsigned long)(lstrlenA(run->settingsDir) + 1 + lstrlenA(run->settings.output));
        run->error.limit = MAX_PATH - 1;
        return 0;
    }
    char dir[MAX_PATH];
    FolderOf(run->output, dir);
    if (!IsFolder(dir)) {
        SetBuildError(&run->error, BUILD_NO_OUTPUT_FOLDER, outputLine, "Output", run->settings.output);
        return 0;
    }
    SfxBuildJob job = MakeJob(run, run->output);
    if (CheckSfxBuild(&job, &run->error))
        return 1;
    if (!lstrcmpA(run->error.where, "Output"))
        SetBuildError(&run->error, run->error.problem, outputLine, "Output", run->settings.output);
    else if (!run->error.line)
        run->error.line = run->settings.filesLine;
    return 0;
}

void SayPlan(const Run *run)
{
    char text[2048];
    FormatBuildPlan(&run->settings, (unsigned long)run->inputs.count, run->inputs.totalBytes, run->output, text,
                    sizeof(text));
    Say("%s", text);
}

unsigned long long SizeOf(const char *path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    return ((unsigned long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

void SayBuilt(const Run *run, DWORD started)
{
    char text[2048];
    FormatBuildSummary(run->output, (unsigned long)run->inputs.count, run->inputs.totalBytes, SizeOf(run->output),
                       SizeOf(run->stub), GetTickCount() - started, text, sizeof(text));
    Say("%s", text);
}

int Build(Run *run, DWORD started)
{
    // Built under a name of its own beside the output, so that a failed build
    // leaves an earlier output as it was and no partial file at all.
    char dir[MAX_PATH];
    FolderOf(run->output, dir);
    TempFile partial;
    if (!partial.Create(dir, "SFX")) {
        Complain("The build failed: can't write in the folder %s: %s\n", dir, SystemErrorText(GetLastError()));
        return EXIT_BUILD_FAILED;
    }
    Say("Packing with %s and %s ...\n", run->compressor, run->stub);
    SfxBuildJob job = MakeJob(run, partial);
    BuildError error;
    SetLastError(0);
    int built = BuildSfxFiles(&job, &error);
    DWORD why = GetLastError();
    if (!built && error.problem == BUILD_UNREADABLE) {
        char message[1024];
        FormatBuildError(&error, run->settingsPath, message, sizeof(message));
        Complain("The build failed: %s while packing (%s).\n", message,
                 why ? SystemErrorText(why) : "it changed while it was read");
        return EXIT_BUILD_FAILED;
    }
    if (!built && error.problem != BUILD_OK) {
        char message[600];
        FormatBuildProblem(&error, message, sizeof(message));
        Complain("The build failed: %s.\n", message);
        return EXIT_BUILD_FAILED;
    }
    if (!built) {
        Complain("The build failed: KANTOR.EXE did not pack the files or the output could not be written (%s).\n",
                 why ? SystemErrorText(why) : "no system error given");
        return EXIT_BUILD_FAILED;
    }
    if (!MoveFileExA(partial, run->output, MOVEFILE_REPLACE_EXISTING)) {
        Complain("The build failed: %s can't be replaced: %s\n", run->output, SystemErrorText(GetLastError()));
        return EXIT_BUILD_FAILED;
    }
    partial.Keep();
    SayBuilt(run, started);
    return EXIT_BUILT;
}

// The settings file's full path from the one argument; EXIT_BUILT to go on.
int TakeSettingsPath(int argc, char **argv, Run *run)
{
    if (argc != 2) {
        Complain("%s%s%s", kUsageHead, kBuildKeysHelp, kUsageTail);
        return EXIT_BAD_SETTINGS;
    }
    DWORD n = GetFullPathNameA(argv[1], sizeof(run->settingsPath), run->settingsPath, NULL);
    if (n == 0 || n >= sizeof(run->settingsPath)) {
        Complain("%s: the path is too long or not a path\n", argv[1]);
        return EXIT_BAD_SETTINGS;
    }
    FolderOf(run->settingsPath, run->settingsDir);
    return EXIT_BUILT;
}

int CheckCompanions(const Run *run)
{
    const char *companions[2] = {run->compressor, run->stub};
    for (const char *path : companions) {
        const char *name = strrchr(path, '\\') + 1;
        if (!IsFile(path)) {
            Complain("The build failed: %s is missing; it belongs beside BroltBuild.exe (%s).\n", name, path);
            return 0;
        }
    }
    return 1;
}

int Main(int argc, char **argv, Run *run)
{
    DWORD started = GetTickCount();
    DWORD n = GetModuleFileNameA(NULL, run->exePath, sizeof(run->exePath));
    if (n == 0 || n >= sizeof(run->exePath) || !VerifyExecutableFile(run->exePath)) {
        Complain("The program file BroltBuild.exe is corrupt and can't be run. Please install it again.\n");
        return EXIT_BUILD_FAILED;
    }
    FolderOf(run->exePath, run->exeDir);
    wsprintfA(run->compressor, "%s\\KANTOR.EXE", run->exeDir);
    wsprintfA(run->stub, "%s\\pelstub.bin", run->exeDir);

    if (argc == 2 && BuildIsHelpArgument(argv[1])) {
        Say("%s%s%s", kUsageHead, kBuildKeysHelp, kUsageTail);
        return EXIT_BUILT;
    }
    int rc = TakeSettingsPath(argc, argv, run);
    if (rc != EXIT_BUILT)
        return rc;
    Say("BroltBuild: reading %s\n", run->settingsPath);
    rc = ReadSettingsText(run);
    if (rc != EXIT_BUILT)
        return rc;
    // First the whole text, so that a wrong key is reported before any disk work.
    if (!ParseBuildSettings(run->text, run->textLength, &run->settings, NULL, NULL, &run->error))
        return ReportSettings(run);

    // Relative paths in the settings are the settings file's: ResolvePath takes its folder.
    if (!ParseBuildSettings(run->text, run->textLength, &run->settings, OnFileLine, run, &run->error))
        return ReportSettings(run);
    if (!CheckOutput(run))
        return ReportSettings(run);
    if (!CheckCompanions(run))
        return EXIT_BUILD_FAILED;
    SayPlan(run);
    return Build(run, started);
}

}  // namespace

int main(int argc, char **argv)
{
    static Run run;
    int rc = Main(argc, argv, &run);
    FreeInputList(&run.inputs);
    if (run.text)
        HeapFree(GetProcessHeap(), 0, run.text);
    return rc;
}
