// PackedFrame.h -- the zlib frame of the packed block: two-byte head, deflate data, Adler-32 trailer.
//
// The stub inflates with zlib's inflateBack, which reads bare deflate data and
// leaves the frame to its caller; that keeps zlib's gzip and CRC code out of
// the stub.
#pragma once

#include <stddef.h>
#include <stdint.h>

// A deflate stream with a window of at most 32 KiB and no preset dictionary.
int SfxPackedHeadOk(uint8_t cmf, uint8_t flg);

// Adler-32 running sum; start from 1.
uint32_t SfxAdler32(uint32_t adler, const uint8_t *data, size_t length);

// The trailer stores the sum big-endian.
uint32_t SfxPackedTrailer(const uint8_t trailer[4]);
