// Text utilities of the Mac platform layer: between the foundation's wide strings (one 32-bit
// wchar_t per character), CFStrings and HFS names (both UTF-16). A character above U+FFFF takes
// a surrogate pair in UTF-16 and is one wide character again when read back; an unpaired
// surrogate passes through as one character.
#pragma once

#include "GLIB/GLIB_String.h"

#include <ATS/ATSFont.h>
#include <CoreFoundation/CFString.h>
#include <CoreServices/Files.h>
#include <HIToolbox/Appearance.h>

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

// The first font of the family whose name equals name exactly (case counts); 0 when there is
// none or the font iteration fails. A change of the font set under the walk restarts it.
ATSFontRef UMAC_FindFontFromName(CFStringRef name);

// The text truncated to the box's width at truncWhere, then measured: its width (h), height (v)
// and baseline (zero or negative). Throws the toolbox error on any failure.
void UMAC_MeasureTextInBox(CFStringRef text, Rect const& box, Point* dimensions, SInt16* baseline,
                           ThemeFontID font, ThemeDrawState state, TruncCode truncWhere);

// The system highlight colour (primary when active, else secondary). Throws the toolbox error.
RGBColor UMAC_GetHighlightColor(bool active);

// Draws the text, truncated to the box's width, on the bottom of the box in the current port:
// on the highlight colour when highlight is set; in colour when given, else black when the state
// is active and grey (0x8F8F) otherwise. The port's fore colour comes back. Throws the toolbox
// error on any failure.
void UMAC_DrawTextInBox(CFStringRef text, Rect const& box, bool highlight, SInt16 justification,
                        ThemeFontID font, ThemeDrawState state, TruncCode truncWhere,
                        RGBColor const* colour);
