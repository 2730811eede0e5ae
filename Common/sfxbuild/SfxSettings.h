// SfxSettings.h -- the wizard's settings record: filled with defaults at start,
// written by the pages on Next, read by the build.
#pragma once

enum { SFX_MAX_FILES = 100 };

struct SfxSettingsRecord {
    int moduleType;                    // 0 standard module, 1 setup module
    char files[SFX_MAX_FILES][260];    // attached files in list order; unused slots empty
    char appName[80];
    int showDialog;                    // 1 opening dialog, 0 extract automatically
    int destKind;                      // 0 temporary, 1 current, 2 custom directory
    char customDest[260];
    int addProgramFiles;               // put Program Files in front of the custom directory
    char launchFile[260];              // program to start after extraction, empty for none
    char commandLine[80];
    char outputFile[80];
    int testRun;                       // start the new file after a successful build
    int overwriteMode;                 // 1 overwrite all, 2 none, 3 ask
};

extern SfxSettingsRecord SfxSettings;

// Puts every field back to the values a first-time user sees.
void SetDefaultSfxSettings(SfxSettingsRecord *settings);

struct BuildSettings;

// The record as the settings every builder builds from: once, each text
// bounded and terminated, the file slots left to the caller.
void SfxSettingsToBuild(const SfxSettingsRecord *record, BuildSettings *settings);
