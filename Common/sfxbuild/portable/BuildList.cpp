// BuildList.cpp -- the settings' choices, checked the same way by every builder.
#include "BuildList.h"

#include <string.h>

#include "SfxFormat.h"
#include "Text.h"

namespace {

int Fail(BuildError *error, int problem, unsigned line, const char *where, const char *text)
{
    SetBuildError(error, problem, line, where, text);
    return 0;
}

// "C:x:s" and "\\?\C:\x:s" are streams too: only the drive's colon is a path's own.
int NamesStream(const char *path)
{
    if (!strncmp(path, "\\\\?\\", 4) || !strncmp(path, "\\\\.\\", 4))
        path += 4;
    if (path[0] && path[1] == ':')
        path += 2;
    return strchr(path, ':') != NULL;
}

}  // namespace

int BuildIsWindowsFileName(const char *path)
{
    const char *name = path;
    for (const char *c = path; *c; c++)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    size_t n = strlen(name);
    // Windows drops a trailing dot or blank and opens a device for a device
    // name, so such a name reaches another file than the one written, on Linux too.
    return n == 0 || (name[n - 1] != '.' && name[n - 1] != ' ' && !TextIsDeviceName(name, n));
}

int CheckBuildChoices(const BuildChoices *c, const unsigned *keyLine, BuildError *error)
{
    static const unsigned kNoLines[BUILD_KEY_COUNT] = {0};
    const unsigned *at = keyLine ? keyLine : kNoLines;
    if (c->moduleType == SFX_MODULE_SETUP && c->launchFile[0] == '\0')
        return Fail(error, BUILD_SETUP_NEEDS_LAUNCH, at[BUILD_KEY_MODULE], "Module", "");
    if (!SfxIsLaunchFileInside(c->launchFile))
        return Fail(error, BUILD_LAUNCH_OUTSIDE, at[BUILD_KEY_LAUNCH], "Launch", c->launchFile);
    // The header's destination field holds either a marker byte or the folder's text.
    unsigned char first = (unsigned char)c->customFolder[0];
    if (c->destKind == SFX_DEST_CUSTOM && (first == SFX_MARK_CURRENT || first == SFX_MARK_FOURTH))
        return Fail(error, BUILD_FOLDER_IS_MARKER, at[BUILD_KEY_CUSTOMFOLDER], "CustomFolder", c->customFolder);
    if (NamesStream(c->output))
        return Fail(error, BUILD_OUTPUT_IS_STREAM, at[BUILD_KEY_OUTPUT], "Output", c->output);
    if (!BuildIsWindowsFileName(c->output))
        return Fail(error, BUILD_OUTPUT_NAME_REFUSED, at[BUILD_KEY_OUTPUT], "Output", c->output);
    return 1;
}
