// SfxBuild.h -- one self-extracting executable from explicit inputs: the settings, the files with their stored names, the stub and the compressor.
#pragma once

#include <stddef.h>

#include "BuildSettings.h"
#include "SfxSettings.h"

// One file to store: where it is read from and the name it extracts under.
struct SfxBuildFile {
    const char *path;
    const char *name;
    unsigned line;  // where a settings file named it, for messages; 0 otherwise
};

struct SfxBuildJob {
    const BuildSettings *settings;      // the header's fields; its output is not read
    const char *output;                 // full paths, all of them
    const SfxBuildFile *files;
    size_t count;
    const char *stub;
    const char *compressor;
    const char *alsoRead;               // one more file the output must not replace, or NULL
};

// Every check, before anything is written: the settings' choices, the output
// against every file the build reads or runs (by identity, whatever its
// spelling), and the list (names, sizes, each file readable). Nonzero when the
// job may be built; otherwise *error says why, with the file's line and path.
int CheckSfxBuild(const SfxBuildJob *job, BuildError *error);

// Checks the job, then builds it. Nonzero when the output was written
// completely. A refusal sets *error; a failure while writing leaves it
// BUILD_OK (a file that could no longer be read then is BUILD_UNREADABLE).
int BuildSfxFiles(const SfxBuildJob *job, BuildError *error);

// The wizard's build: the settings' file slots in order, each stored under the
// text after its last backslash, into the settings' output (a relative name
// from the current folder, taken once, here).
int BuildSfx(const SfxSettingsRecord *settings, const char *stub, const char *compressor, BuildError *error);
