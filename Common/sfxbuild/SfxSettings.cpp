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
