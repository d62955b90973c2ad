// Text in a theme font and colour, drawn with ATSUI into a CoreGraphics context at the context's
// text position.
#pragma once

#include <ATS/ATSUnicode.h>
#include <HIToolbox/Appearance.h>

class UMAC_CGThemeText {
public:
  // The system font, no theme colour, black.
  UMAC_CGThemeText();
  ~UMAC_CGThemeText();
  UMAC_CGThemeText(const UMAC_CGThemeText&) = delete;
  UMAC_CGThemeText& operator=(const UMAC_CGThemeText&) = delete;

  // The theme font's family, size and QuickDraw style bits.
  void SetFont(ThemeFontID font);
  // The theme font's size again.
  void ResetFontSize();
  void SetTextColor(ThemeTextColor color, SInt16 depth, bool colorDevice);
  // A new CFString the caller releases.
  CFStringRef GetFontName() const;
  // In whole points; 80 % and 20 % of the size when the font's metrics cannot be read.
  void GetTextMetrics(long* ascent, long* descent) const;
  // Draws the whole text at the context's text position; cut to width at the truncation when the
  // width is at least 1 and the truncation not 0. The text position ends at the text's end.
  void DrawText(CGContextRef context, CFStringRef text, long width, UInt32 truncation) const;

  ThemeFontID GetFontID() const { return m_FontID; }
  SInt16 GetFontSize() const { return m_FontSize; }
  ThemeTextColor GetTextColorID() const { return m_TextColorID; }
  const RGBColor& GetTextColor() const { return m_TextColor; }

private:
  void SetAttribute(ATSUAttributeTag tag, ByteCount size, const void* value);

  ThemeFontID m_FontID = 0;
  SInt16 m_FontSize = 0;
  ThemeTextColor m_TextColorID = -1;
  ATSUStyle m_Style = nullptr;
  ATSUFontID m_FontRef = 0;
  Fixed m_FixedSize = 0;
  RGBColor m_TextColor = {0, 0, 0};
  bool m_Bold = false;
  bool m_Italic = false;
  bool m_Underline = false;
  bool m_Condensed = false;
  bool m_Extended = false;
};
