// SfxSettings.cpp -- the one settings record of a run and the defaults a first-time user sees.
#include "SfxSettings.h"

#include <string.h>

#include "BuildSettings.h"

SfxSettingsRecord SfxSettings;

void SetDefaultSfxSettings(SfxSettingsRecord *settings)
{
    if (!settings)
        return;
    // The defaults a settings file's missing keys take, so the wizard and the builders start alike.
    BuildSettings defaults;
    SetDefaultBuildSettings(&defaults);
    memset(settings, 0, sizeof(*settings));
    settings->moduleType = defaults.moduleType;
    static_assert(sizeof(settings->appName) == sizeof(defaults.appName), "one field size");
    memcpy(settings->appName, defaults.appName, sizeof(settings->appName));
    settings->showDialog = defaults.showDialog;
    settings->destKind = defaults.destKind;
    // Only the wizard shows a folder before one is chosen; it is never built while the kind is current.
    strcpy(settings->customDest, "My Destination Directory");
    settings->addProgramFiles = defaults.addProgramFiles;
    static_assert(sizeof(settings->outputFile) <= sizeof(defaults.output), "copied whole");
    memcpy(settings->outputFile, defaults.output, sizeof(settings->outputFile));
    settings->outputFile[sizeof(settings->outputFile) - 1] = '\0';
    settings->testRun = 1;
    settings->overwriteMode = defaults.overwriteMode;
}

namespace {

// The record's texts are fixed buffers: never read past one even if it lacks its terminator.
void Take(char *dst, size_t dstSize, const char *src, size_t srcSize)
{
    size_t n = strnlen(src, srcSize);
    if (n >= dstSize)
        n = dstSize - 1;
    memcpy(dst, src, n);
    dst[n] = '\0';
}

#define TAKE(dst, src) Take(dst, sizeof(dst), src, sizeof(src))

}  // namespace

void SfxSettingsToBuild(const SfxSettingsRecord *r, BuildSettings *s)
{
    SetDefaultBuildSettings(s);
    s->moduleType = r->moduleType;
    s->showDialog = r->showDialog;
    s->destKind = r->destKind;
    s->addProgramFiles = r->addProgramFiles;
    s->overwriteMode = r->overwriteMode;
    TAKE(s->appName, r->appName);
    TAKE(s->customFolder, r->customDest);
    TAKE(s->launchFile, r->launchFile);
    TAKE(s->commandLine, r->commandLine);
    TAKE(s->output, r->outputFile);
}
