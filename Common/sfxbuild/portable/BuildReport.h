// BuildReport.h -- what both command-line builders print before and after a build, in one wording.
#pragma once

#include <stddef.h>

#include "BuildSettings.h"

// The settings keys and their defaults, as the usage text lists them.
extern const char kBuildKeysHelp[];

// "  module ... output <path>\n": what the build is about to make.
void FormatBuildPlan(const BuildSettings *s, unsigned long files, unsigned long long bytes, const char *output,
                     char *out, size_t size);

// Whether a lone argument asks for the usage: /? -? /h -h --help /help, in any case.
int BuildIsHelpArgument(const char *arg);

// "  line <n>: <pattern>: <n> files[, <n> folders left out ...]\n": what a pattern matched.
void FormatPatternLine(unsigned line, const char *pattern, unsigned long files, unsigned long folders, char *out,
                       size_t size);

// "Built <path>\n  files ...  time ...\n": the summary of a finished build.
void FormatBuildSummary(const char *output, unsigned long files, unsigned long long bytesIn,
                        unsigned long long bytesOut, unsigned long long stubBytes, unsigned long milliseconds,
                        char *out, size_t size);
