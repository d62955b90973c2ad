// Wide text (one 32-bit wchar_t per character) to and from UTF-16, the units of CFStrings and
// HFS names.
#pragma once

#include "GLIB/GLIB_String.h"

#include <MacTypes.h>

#include <cstddef>
#include <vector>

// One unit per character, a surrogate pair above U+FFFF. A value that is no code point (above
// U+10FFFF or negative) becomes U+FFFD; a lone surrogate value passes as its one unit.
std::vector<UniChar> iUMAC_WideToUTF16(GLIB_WString const& text);

// One wide character per unit, a high surrogate followed by a low one joined into one character.
// An unpaired surrogate passes as its own character.
GLIB_WString iUMAC_UTF16ToWide(UniChar const* units, std::size_t count);
