// StubChecksum.h -- the packed block's checksum (SfxChecksum's CRC-32 variant), four bytes a step.
//
// The stub sums every packed byte before it expands any: a byte at a time that
// pass took longer than the expansion. The four tables are built at the first
// call, so they cost the stub's file nothing.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Same value as SfxChecksum for the same bytes; pass the previous result to go on.
uint32_t StubChecksum(uint32_t crc, const void *data, size_t length);
