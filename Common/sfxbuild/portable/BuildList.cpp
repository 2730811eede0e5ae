// BuildList.cpp -- the settings' choices and the list of files, checked the same way by every builder.
#include "BuildList.h"

#include <stdlib.h>
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

// Entries by name as the platform compares them, then by place, so that the
// first of two equal names comes first; a merge sort, since qsort can't be
// handed the comparison.
void SortByName(const BuildEntry **order, const BuildEntry **spare, size_t count, BuildNameOrder compareNames)
{
    for (size_t width = 1; width < count; width *= 2) {
        for (size_t left = 0; left < count; left += 2 * width) {
            size_t mid = left + width < count ? left + width : count;
            size_t right = mid + width < count ? mid + width : count;
            size_t a = left, b = mid, out = left;
            while (a < mid || b < right) {
                int takeA = b == right || (a < mid && compareNames(order[a]->name, order[b]->name) <= 0);
                spare[out++] = takeA ? order[a++] : order[b++];
            }
        }
        memcpy(order, spare, count * sizeof(*order));
    }
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

int CheckBuildEntries(const BuildEntry *entries, size_t count, unsigned filesLine, BuildNameOrder compareNames,
                      BuildError *error)
{
    if (count > SFX_MAX_ENTRIES) {
        SetBuildError(error, BUILD_TOO_MANY_FILES, filesLine, "[Files]", NULL);
        error->number = (unsigned long)count;
        error->limit = SFX_MAX_ENTRIES;
        return 0;
    }
    for (size_t i = 0; i < count; i++) {
        if (!SfxIsSafeStoredName(entries[i].name))
            return Fail(error, BUILD_NAME_REFUSED, entries[i].line, "[Files]", entries[i].path);
        if (entries[i].size > 0xFFFFFFFFull)
            return Fail(error, BUILD_FILE_TOO_BIG, entries[i].line, "[Files]", entries[i].path);
    }
    if (count < 2)
        return 1;
    const BuildEntry **order = (const BuildEntry **)malloc(2 * count * sizeof(*order));
    if (!order)
        return Fail(error, BUILD_NO_MEMORY, filesLine, "[Files]", NULL);
    for (size_t i = 0; i < count; i++)
        order[i] = &entries[i];
    SortByName(order, order + count, count, compareNames);
    const BuildEntry *first = NULL, *again = NULL;
    for (size_t i = 1; i < count && !again; i++)
        if (compareNames(order[i - 1]->name, order[i]->name) == 0) {
            first = order[i - 1];
            again = order[i];
        }
    free(order);
    if (!again)
        return 1;
    SetBuildError(error, BUILD_NAME_TWICE, again->line, "[Files]", again->path);
    error->number = first->line;
    return 0;
}
