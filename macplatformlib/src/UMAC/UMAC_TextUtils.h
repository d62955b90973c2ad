// Text utilities of the Mac platform layer: between the foundation's wide strings (one 32-bit
// wchar_t per character), CFStrings and HFS names (both UTF-16). A character above U+FFFF takes
// a surrogate pair in UTF-16 and is one wide character again when read back; an unpaired
// surrogate passes through as one character.
#pragma once

#include "GLIB/GLIB_String.h"

#include <CoreFoundation/CFString.h>
#include <CoreServices/Files.h>

// The name's characters; a length above 255 is taken as 255 (the record holds no more).
GLIB_WString UMAC_HFSUniStrToWString(HFSUniStr255 const& name);

// The text as an HFS name. Throws the toolbox error (1436015) with bdNamErr (-37) when the text
// takes more than 255 UTF-16 units: a name is never cut.
HFSUniStr255 UMAC_WStringToHFSUniStr(GLIB_WString const& text);

// A new CFString the caller releases; null when CoreFoundation cannot make one.
CFStringRef UMAC_WStringToCFString(GLIB_WString const& text);

// The text's characters. The text stays the caller's.
void UMAC_CFStringToWString(GLIB_WString& result, CFStringRef const& text);
GLIB_WString UMAC_CFStringToWString(CFStringRef const& text);

// The text in the application text encoding; a character the encoding lacks becomes '?'.
GLIB_String UMAC_CFStringToString(CFStringRef const& text);
