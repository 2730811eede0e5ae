// PeChecksum.h -- the standard PE image checksum, so a program can verify its own file.
//
// The sum runs over the whole file as little-endian 16-bit words (an odd last
// byte padded with 0), skipping the 4-byte checksum field itself, folding the
// carry back into the low 16 bits; the file length is added at the end.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Finds the checksum field in the optional header. `data` holds the first
// `size` bytes of the file (the headers suffice). Returns 1 and sets
// *fieldOffset for an MZ file with a PE signature, 0 otherwise.
int PeChecksumFieldOffset(const uint8_t *data, size_t size, uint32_t *fieldOffset);

// Adds one piece of the file, which starts at file offset `start` (even), to a
// running 16-bit sum that starts at 0. Every piece but the last must have an
// even length.
uint32_t PeChecksumAdd(uint32_t sum, const uint8_t *data, size_t size, uint64_t start,
                       uint32_t fieldOffset);

// Folds the running sum and adds the file length.
uint32_t PeChecksumFinish(uint32_t sum, uint64_t fileLength);

// The whole computation over a file held in memory.
uint32_t PeChecksum(const uint8_t *data, size_t size, uint32_t fieldOffset);

// Reads the stored checksum (little-endian) at the field offset.
uint32_t PeStoredChecksum(const uint8_t *data, uint32_t fieldOffset);
