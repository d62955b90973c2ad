// Locale-formatted numbers for the user: the value rounded to the given number of decimals, with
// the user's decimal and grouping separators and minus form.
#pragma once

#include "USTR/USTR_String.h"

// A "+" leads when plusSign is set and the value is greater than 0.
USTR_String USTR_FormatNumber(double value, unsigned long decimals, bool plusSign);
