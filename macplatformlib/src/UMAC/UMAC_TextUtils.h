// Text utilities of the Mac platform layer: between CFStrings and the foundation's wide strings.
#pragma once

#include "GLIB/GLIB_String.h"

#include <CoreFoundation/CFString.h>

// One wide character per UTF-16 unit of text (surrogates are not joined). The text stays the
// caller's.
void UMAC_CFStringToWString(GLIB_WString& result, CFStringRef const& text);
