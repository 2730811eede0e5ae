// StubChecksum.h -- the packed block's checksum (SfxChecksum's CRC-32 variant), eight bytes a step.
//
// The stub sums every packed byte before it expands any: a byte at a time that
// pass took longer than the expansion. The caller provides room for the eight
// tables, so they cost the stub's file nothing.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct StubChecksumTable {
    uint32_t entry[8][256];  // entry[k][i]: byte i followed by k zero bytes
};

void StubChecksumInit(StubChecksumTable *table);

// Same value as SfxChecksum for the same bytes; pass the previous result to go on.
uint32_t StubChecksum(const StubChecksumTable *table, uint32_t crc, const void *data, size_t length);
