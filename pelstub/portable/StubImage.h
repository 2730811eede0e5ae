// StubImage.h -- where the archive starts in a self-extractor: right after the stub's PE image.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { STUB_IMAGE_PROBE = 4096 };  // leading bytes of the file the lookup needs

// Finds the file offset of the first byte after the PE image whose leading
// bytes are given (at most STUB_IMAGE_PROBE of them): the end of the last
// section's raw data, then past a certificate table that sits exactly there
// (a stub signed before the archive was appended). A signature appended to the
// whole file later lies beyond the archive and does not move this offset.
// Returns 0 when the bytes are not a PE image or the result lies past fileSize.
int StubFindImageEnd(const uint8_t *head, size_t headLength, uint64_t fileSize, uint64_t *imageEnd);
