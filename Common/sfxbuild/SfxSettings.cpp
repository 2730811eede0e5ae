// SfxSettings.cpp -- the one settings record of a run and the defaults a first-time user sees.
#include "SfxSettings.h"

#include <string.h>

SfxSettingsRecord SfxSettings;

void SetDefaultSfxSettings(SfxSettingsRecord *settings)
{
    if (!settings)
        return;
    memset(settings, 0, sizeof(*settings));
    settings->moduleType = 0;
    strcpy(settings->appName, "My Application");
    settings->showDialog = 1;
    settings->destKind = 1;
    strcpy(settings->customDest, "My Destination Directory");
    settings->addProgramFiles = 0;
    strcpy(settings->outputFile, "MySFX.EXE");
    settings->testRun = 1;
    settings->overwriteMode = 3;
}
