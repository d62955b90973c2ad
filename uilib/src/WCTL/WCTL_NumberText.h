#pragma once
// The numbers of the edit texts: read in decimal, whatever leading zeros a user types, with '.'
// or ',' as the decimal separator (the real-number key filters let both through), and written
// whatever their size.

#include <string>

#include "USTR/USTR_String.h"

// Blanks, an optional sign and decimal digits; what follows is ignored. 0 when no digit comes;
// beyond long's range the nearest limit.
long WCTL_ParseLong(USTR_String const& text);

// Blanks, an optional sign, digits with one separator and an optional exponent; what follows is
// ignored. 0 when no number comes; beyond double's range infinity, below it zero (signed).
double WCTL_ParseDouble(USTR_String const& text);

// Six decimals, like "%lf".
std::wstring WCTL_FormatDouble(double value);
