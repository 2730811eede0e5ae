// SfxBuild.h -- the wizard's build: its settings record through the one build run.
#pragma once

#include "BuildSettings.h"
#include "SfxSettings.h"

// The settings' file slots in order, each stored under the text after its
// last backslash, into the settings' output (a relative name from the current
// folder, taken once, here), with the stub and the compressor at the paths
// given. Nonzero when built; a refusal sets *error, a failure leaves it BUILD_OK.
int BuildSfx(const SfxSettingsRecord *settings, const char *stub, const char *compressor, BuildError *error);
