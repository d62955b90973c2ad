// Lengths in picas-and-points notation: 2.5 picas read "2p6", whole picas "2p".
#pragma once

#include "USTR/USTR_String.h"

// The whole picas, "p", then the points (12 to the pica) with the given decimals; with no
// decimals, whole picas show no points. Rounding to the decimals happens before the split, so a
// value never shows 12 points. Negative values, also those above −1, carry the locale's minus.
USTR_String USTR_FormatPica(double picas, unsigned long decimals, bool plusSign);
