// SfxChecksum.h -- checksum of an archive's packed block, for writer, stub and tests alike.
//
// Reflected table-driven CRC-32 (polynomial 0xEDB88320) with the register
// starting at 0 and no final inversion: "abc" gives 0xCA6598D0, nothing gives 0.
// Pass the previous result as crc to go on over data that comes in pieces.
//
// The first call fills the tables; a program that sums on several threads at
// once makes one call before it starts them.
#pragma once

#include <stddef.h>
#include <stdint.h>

uint32_t SfxChecksum(uint32_t crc, const void *data, size_t length);
