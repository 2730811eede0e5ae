// SfxBuild.cpp -- the wizard's record mapped to the build's settings once, and built by the one run.
#include "SfxBuild.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "Win32Host.h"

int BuildSfx(const SfxSettingsRecord *settings, const char *stub, const char *compressor, BuildError *error)
{
    SetBuildError(error, BUILD_OK, 0, NULL, NULL);
    if (!settings)
        return 0;
    static BuildRun run;
    static Win32Host host;
    memset(&run, 0, sizeof(run));
    MakeWin32Host(&host, compressor, NULL, &run);
    SfxSettingsToBuild(settings, &run.settings);
    snprintf(run.stub, sizeof(run.stub), "%s", stub ? stub : "");
    DWORD n = GetCurrentDirectoryA(sizeof(run.base), run.base);
    if (n == 0 || n >= sizeof(run.base))
        return 0;
    // The record's slots are fixed buffers: never read past one even if it lacks its terminator.
    static char paths[SFX_MAX_FILES][sizeof(settings->files[0])];
    const char *list[SFX_MAX_FILES];
    size_t count = 0;
    for (int i = 0; i < SFX_MAX_FILES; i++) {
        size_t length = strnlen(settings->files[i], sizeof(settings->files[i]) - 1);
        if (length == 0)
            continue;
        memcpy(paths[count], settings->files[i], length);
        paths[count][length] = '\0';
        list[count] = paths[count];
        count++;
    }
    int code = RunBuildList(&run, list, count);
    *error = run.error;
    FreeBuildRun(&run);
    return code == BUILD_EXIT_BUILT;
}
