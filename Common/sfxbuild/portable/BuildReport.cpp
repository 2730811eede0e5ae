// BuildReport.cpp -- the plan and summary lines of BroltBuild.exe and broltbuild, so that a CI log reads alike from both.
#include "BuildReport.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "SfxFormat.h"
#include "Text.h"

const char kBuildKeysHelp[] =
    "  [Sfx]\n"
    "  Module          = standard | setup        (standard)\n"
    "  AppName         = at most 79 characters    (My Application)\n"
    "  OpeningDialog   = yes | no                 (yes)\n"
    "  Destination     = temp | current | custom  (current; temp for a setup module)\n"
    "  CustomFolder    = the folder for custom, at most 259 characters\n"
    "  AddProgramFiles = yes | no                 (no; only with custom)\n"
    "  Launch          = program to start after extracting, at most 259 characters\n"
    "  CommandLine     = its command line, at most 79 characters\n"
    "  Output          = the file to build        (MySFX.EXE)\n"
    "  Overwrite       = all | none | ask         (ask)\n"
    "  [Files]\n"
    "  one path or pattern (* and ? in the last part) per line, in storing order\n";

namespace {

// Appends to a buffer that is always terminated; what does not fit is cut.
#ifdef __MINGW_PRINTF_FORMAT
#define ZX_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define ZX_PRINTF_FORMAT printf
#endif
void Add(char *out, size_t size, const char *format, ...) __attribute__((format(ZX_PRINTF_FORMAT, 3, 4)));
void Add(char *out, size_t size, const char *format, ...)
{
    size_t used = strnlen(out, size);
    if (used + 1 >= size)
        return;
    va_list args;
    va_start(args, format);
    vsnprintf(out + used, size - used, format, args);
    va_end(args);
}

}  // namespace

void FormatBuildPlan(const BuildSettings *s, unsigned long files, unsigned long long bytes, const char *output,
                     char *out, size_t size)
{
    static const char *const kModules[] = {"standard", "setup"};
    static const char *const kOverwrite[] = {"", "all", "none", "ask"};
    if (!out || size == 0)
        return;
    out[0] = '\0';
    int overwrite = s->overwriteMode >= 1 && s->overwriteMode <= 3 ? s->overwriteMode : 0;
    Add(out, size, "  module       %s, opening dialog %s, overwrite %s\n", kModules[s->moduleType == SFX_MODULE_SETUP],
        s->showDialog ? "on" : "off", kOverwrite[overwrite]);
    if (s->showDialog)
        Add(out, size, "  app name     %s\n", s->appName);
    if (s->destKind == SFX_DEST_TEMP)
        Add(out, size, "  extracts to  a temporary folder\n");
    else if (s->destKind == SFX_DEST_CURRENT)
        Add(out, size, "  extracts to  the current folder\n");
    else
        Add(out, size, "  extracts to  %s%s\n", s->addProgramFiles ? "Program Files\\" : "", s->customFolder);
    if (s->launchFile[0])
        Add(out, size, "  then runs    %s%s%s\n", s->launchFile, s->commandLine[0] ? " " : "", s->commandLine);
    Add(out, size, "  files        %lu (%llu bytes)\n", files, bytes);
    Add(out, size, "  output       %s\n", output);
}

void FormatBuildSummary(const char *output, unsigned long files, unsigned long long bytesIn,
                        unsigned long long bytesOut, unsigned long long stubBytes, unsigned long milliseconds,
                        char *out, size_t size)
{
    if (!out || size == 0)
        return;
    out[0] = '\0';
    Add(out, size, "Built %s\n", output);
    Add(out, size, "  files      %lu\n", files);
    Add(out, size, "  bytes in   %llu\n", bytesIn);
    Add(out, size, "  bytes out  %llu (stub %llu + header %d + packed block %llu)\n", bytesOut, stubBytes,
        SFX_HEADER_SIZE, bytesOut - stubBytes - SFX_HEADER_SIZE);
    if (bytesIn)
        Add(out, size, "  ratio      %lu.%lu%% of the input\n", (unsigned long)(bytesOut * 1000 / bytesIn / 10),
            (unsigned long)(bytesOut * 1000 / bytesIn % 10));
    else
        Add(out, size, "  ratio      - (no input bytes)\n");
    Add(out, size, "  time       %lu.%02lu s\n", milliseconds / 1000, milliseconds % 1000 / 10);
}

void FormatPatternLine(unsigned line, const char *pattern, unsigned long files, unsigned long folders, char *out,
                       size_t size)
{
    if (size == 0)
        return;
    out[0] = '\0';
    Add(out, size, "  line %u: %s: %lu files", line, pattern, files);
    if (folders)
        Add(out, size, ", %lu folders left out (the archive holds files only)", folders);
    Add(out, size, "\n");
}

int BuildIsHelpArgument(const char *arg)
{
    static const char *const kHelp[] = {"/?", "-?", "/h", "-h", "--help", "/help"};
    for (const char *help : kHelp)
        if (TextEqualNoCase(arg, help))
            return 1;
    return 0;
}
