// BuildNames.h -- file names as every builder sees them: Windows-1252 text, compared without case.
//
// A self-extractor stores a file's name in the ANSI code page of a Western
// Windows and the file system compares names letters without case. One fixed
// table decides order and duplicates for all builders, never the code page of
// the machine that happens to build, so the same list gives the same bytes. On
// Linux the names arrive as UTF-8 from the directory; these helpers turn them
// into the bytes a Windows build stores.
#pragma once

#include <stddef.h>

// Upper-case form of a Windows-1252 byte (a-z, the accented letters, s/z/oe with caron or ligature, y diaeresis).
unsigned char BuildUpper1252(unsigned char c);

// <0, 0, >0 like strcmp, letters of Windows-1252 without case.
int BuildCompareNames(const char *a, const char *b);

// A pattern's last part against a name: * any run of characters, ? exactly
// one, letters without case; "*.*" takes every name, as on Windows.
int BuildWildcardMatch(const char *pattern, const char *name);

// UTF-8 into Windows-1252. 0 when the text is not UTF-8, holds a character
// that Windows-1252 lacks, or does not fit in size bytes with its terminator.
int BuildUtf8To1252(const char *utf8, char *out, size_t size);
