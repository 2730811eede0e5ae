// WininitSection.h -- where a new line of WININIT.INI's [Rename] section goes.
//
// The 95 family's start-up program deletes every file named by a "NUL=<short path>"
// line of that section, one line per file. The profile-string calls keep one value
// per key, so the uninstaller adds its lines to the file's text itself.
#pragma once
#include <stddef.h>

// Offset in the text (cch bytes, no terminator needed) right after the last line
// of the [Rename] section that is not blank, so that a line inserted there joins
// the section and every other line stays where it was. *pbFound is 0 when the text
// has no such section; the offset is then the end of the text.
size_t RenameSectionEnd(const char *pText, size_t cch, int *pbFound);
