// BuildHeader.h -- the archive header's fields from the build's settings, filled in one place for every builder.
#pragma once

#include "BuildSettings.h"
#include "SfxFormat.h"

// Every field but the packed block's (packedFlag, packedSize, packedCrc),
// which the writer sets once the block is made. Each text goes in by its
// length into a zeroed field, never a settings buffer with what lies after
// it, so the same settings give the same bytes from any builder.
void FillSfxHeader(const BuildSettings *settings, SfxHeader *header);
