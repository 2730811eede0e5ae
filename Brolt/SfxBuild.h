// SfxBuild.h -- turns the wizard's settings into one self-extracting executable.
#pragma once

#include <stddef.h>

#include "SfxSettings.h"

// Builds settings->outputFile (relative names are taken from the current
// directory). Needs KANTOR.EXE on the program search path and pelstub.bin in
// the current directory. Nonzero when the output was written completely; shows
// no message itself.
int BuildSfx(const SfxSettingsRecord *settings);

// The same build for a file list of any length (the settings' own list is not
// read), written to pszOutput. *pAdded, when given, learns how many of the
// files went into the archive: a file that can't be read is left out.
int BuildSfxFiles(const SfxSettingsRecord *settings, const char *pszOutput, const char *const *paths, size_t count,
                  size_t *pAdded);
