// SelfCheck.h -- verifies an executable file against the checksum in its PE header.
#pragma once

// Nonzero when the file is a PE image whose stored checksum is set and equals
// the standard PE checksum recomputed over the file's bytes.
int VerifyImageChecksum(const char *pszPath);
