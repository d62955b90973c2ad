// Font families of the Mac stand-in: a table of family names, each drawn from one font file
// through FreeType. It starts with the bundled DejaVu Sans under "Lucida Grande" (the system
// font's family) and "DejaVu Sans"; tests may add families. Names compare exactly (case
// matters). CoreGraphics text and the font calls of ATS and ATSUI draw and measure with these.
#pragma once

// Adds (or replaces) a family; false when the file cannot be read as a font.
bool StandIn_AddFontFamily(const char* familyName, const char* fontFilePath);
// Back to the two starting families.
void StandIn_ResetFontFamilies();
