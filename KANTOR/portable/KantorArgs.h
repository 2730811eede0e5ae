// KantorArgs.h -- splits the compressor's command line into its input and output paths.
#pragma once

#include <stddef.h>

// cmdLine is the whole command line, program name first:
//   KANTOR.EXE /I:<input> /O:<output>
// The paths come unquoted and may hold blanks: the input is everything between
// "/I:" and the first " /O:", the output everything after that "/O:". A path
// wrapped in one pair of quotes is taken without them. Switch letters may be
// lower case. Fails (0) when a switch is missing, a path is empty, or a path
// does not fit its buffer.
int KantorSplitCommandLine(const char *cmdLine, char *input, size_t inputSize, char *output, size_t outputSize);
