// The text dump of a private directory, written after the TIFF library's own directory dump.
#pragma once

#include "TIFX/TIFX_NoltDirectory.h"

#include <cstdio>

void iTIFX_PrintNoltDirectory(TIFX_NoltDirectory const& dir, FILE* out);
