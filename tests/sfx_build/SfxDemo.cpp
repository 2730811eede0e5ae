// SfxDemo.cpp -- sfxdemo.exe: runs the wizard's build on settings from an INI file, in a process of its own, for the build tests.
//
//   sfxdemo.exe <settings.ini>
// Section [sfx] holds the settings by field name (moduleType, appName,
// showDialog, destKind, customDest, addProgramFiles, launchFile, commandLine,
// outputFile, overwriteMode) and file0 .. file99; a missing key keeps the
// wizard's default. pelstub.bin comes from the current folder, KANTOR.EXE by
// the program search order, as Brolt finds it. Exit code 0 when the build
// succeeded, 1 when it failed, 2 for a bad command line.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "SfxBuild.h"
#include "SfxSettings.h"

namespace {

void ReadText(const char *ini, const char *key, char *field, DWORD size)
{
    char def[MAX_PATH];
    lstrcpynA(def, field, sizeof(def));
    GetPrivateProfileStringA("sfx", key, def, field, size, ini);
}

void ReadInt(const char *ini, const char *key, int *field)
{
    *field = (int)GetPrivateProfileIntA("sfx", key, *field, ini);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    char szIni[MAX_PATH];
    // The profile functions look for a bare name in the Windows folder.
    if (!GetFullPathNameA(argv[1], sizeof(szIni), szIni, NULL))
        return 2;

    SetDefaultSfxSettings(&SfxSettings);
    SfxSettingsRecord *s = &SfxSettings;
    ReadInt(szIni, "moduleType", &s->moduleType);
    ReadText(szIni, "appName", s->appName, sizeof(s->appName));
    ReadInt(szIni, "showDialog", &s->showDialog);
    ReadInt(szIni, "destKind", &s->destKind);
    ReadText(szIni, "customDest", s->customDest, sizeof(s->customDest));
    ReadInt(szIni, "addProgramFiles", &s->addProgramFiles);
    ReadText(szIni, "launchFile", s->launchFile, sizeof(s->launchFile));
    ReadText(szIni, "commandLine", s->commandLine, sizeof(s->commandLine));
    ReadText(szIni, "outputFile", s->outputFile, sizeof(s->outputFile));
    ReadInt(szIni, "overwriteMode", &s->overwriteMode);
    for (int i = 0; i < SFX_MAX_FILES; i++) {
        char key[16];
        snprintf(key, sizeof(key), "file%d", i);
        ReadText(szIni, key, s->files[i], sizeof(s->files[i]));
    }
    char stub[MAX_PATH], compressor[MAX_PATH] = "";
    GetFullPathNameA("pelstub.bin", sizeof(stub), stub, NULL);
    SearchPathA(NULL, "KANTOR.EXE", NULL, sizeof(compressor), compressor, NULL);
    BuildError error;
    return BuildSfx(s, stub, compressor, &error) ? 0 : 1;
}
