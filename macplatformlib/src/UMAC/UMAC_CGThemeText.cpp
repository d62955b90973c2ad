#include "UMAC/UMAC_CGThemeText.h"

#include "UMAC/UMAC_TextUtils.h"

#include <Carbon/TextCommon.h>

#include <vector>

namespace {

// The layout, disposed when the scope ends.
class LayoutHolder {
public:
  LayoutHolder() = default;
  ~LayoutHolder() {
    if (m_Layout)
      ATSUDisposeTextLayout(m_Layout);
  }
  LayoutHolder(const LayoutHolder&) = delete;
  LayoutHolder& operator=(const LayoutHolder&) = delete;
  ATSUTextLayout* Out() { return &m_Layout; }
  ATSUTextLayout Get() const { return m_Layout; }

private:
  ATSUTextLayout m_Layout = nullptr;
};

CFStringRef NameOf(const Str255 name) {
  return CFStringCreateWithBytes(kCFAllocatorDefault, name + 1, name[0],
                                 GetApplicationTextEncoding(), false);
}

}  // namespace

UMAC_CGThemeText::UMAC_CGThemeText() {
  ATSUCreateStyle(&m_Style);
  SetFont(kThemeSystemFont);
  SetAttribute(kATSUColorTag, sizeof m_TextColor, &m_TextColor);
}

UMAC_CGThemeText::~UMAC_CGThemeText() {
  if (m_Style)
    ATSUDisposeStyle(m_Style);
}

void UMAC_CGThemeText::SetAttribute(ATSUAttributeTag tag, ByteCount size, const void* value) {
  ATSUAttributeValuePtr values[] = {const_cast<void*>(value)};
  ATSUSetAttributes(m_Style, 1, &tag, &size, values);
}

void UMAC_CGThemeText::SetFont(ThemeFontID font) {
  m_FontID = font;
  Str255 name = {0};
  Style style = 0;
  GetThemeFont(font, smSystemScript, name, &m_FontSize, &style);
  if (CFStringRef familyName = NameOf(name)) {
    FMFont fmFont = 0;
    FMGetFontFromATSFontRef(ATSFontFindFromName(familyName, 0), &fmFont);
    m_FontRef = fmFont;
    CFRelease(familyName);
  }
  m_FixedSize = static_cast<Fixed>(m_FontSize) << 16;
  m_Bold = style & 1;
  m_Italic = style & 2;
  m_Underline = style & 4;
  m_Condensed = style & 32;
  m_Extended = style & 64;
  const Boolean bits[] = {m_Bold, m_Italic, m_Underline, m_Condensed, m_Extended};
  const ATSUAttributeTag tags[] = {kATSUFontTag,      kATSUSizeTag,        kATSUQDBoldfaceTag,
                                   kATSUQDItalicTag,  kATSUQDUnderlineTag, kATSUQDCondensedTag,
                                   kATSUQDExtendedTag};
  const ByteCount sizes[] = {4, 4, 1, 1, 1, 1, 1};
  ATSUAttributeValuePtr values[] = {&m_FontRef,
                                    &m_FixedSize,
                                    const_cast<Boolean*>(&bits[0]),
                                    const_cast<Boolean*>(&bits[1]),
                                    const_cast<Boolean*>(&bits[2]),
                                    const_cast<Boolean*>(&bits[3]),
                                    const_cast<Boolean*>(&bits[4])};
  ATSUSetAttributes(m_Style, 7, tags, sizes, values);
}

void UMAC_CGThemeText::ResetFontSize() {
  Str255 name = {0};
  Style style = 0;
  GetThemeFont(m_FontID, smSystemScript, name, &m_FontSize, &style);
  m_FixedSize = static_cast<Fixed>(m_FontSize) << 16;
  SetAttribute(kATSUSizeTag, sizeof m_FixedSize, &m_FixedSize);
}

void UMAC_CGThemeText::SetTextColor(ThemeTextColor color, SInt16 depth, bool colorDevice) {
  m_TextColorID = color;
  GetThemeTextColor(color, depth, colorDevice, &m_TextColor);
  SetAttribute(kATSUColorTag, sizeof m_TextColor, &m_TextColor);
}

CFStringRef UMAC_CGThemeText::GetFontName() const {
  Str255 name = {0};
  SInt16 size = 0;
  Style style = 0;
  GetThemeFont(m_FontID, smSystemScript, name, &size, &style);
  return NameOf(name);
}

void UMAC_CGThemeText::GetTextMetrics(long* ascent, long* descent) const {
  float metricAscent = 0.8f, metricDescent = -0.2f;
  if (CFStringRef name = GetFontName()) {
    ATSFontMetrics metrics;
    const ATSFontRef font = UMAC_FindFontFromName(name);
    if (font != 0 && ATSFontGetHorizontalMetrics(font, 0, &metrics) == noErr) {
      metricAscent = metrics.ascent;
      metricDescent = metrics.descent;
    }
    CFRelease(name);
  }
  *ascent = static_cast<long>(m_FontSize * metricAscent);
  *descent = static_cast<long>(-m_FontSize * metricDescent);
}

void UMAC_CGThemeText::DrawText(CGContextRef context, CFStringRef text, long width,
                                UInt32 truncation) const {
  const CFIndex length = CFStringGetLength(text);
  std::vector<UniChar> units(static_cast<size_t>(length) + 1, 0);
  CFStringGetCharacters(text, CFRangeMake(0, length), units.data());
  const UniCharCount count = static_cast<UniCharCount>(length);
  ATSUStyle styles[] = {m_Style};
  LayoutHolder layout;
  if (ATSUCreateTextLayoutWithTextPtr(units.data(), 0, count, count, 1, &count, styles,
                                      layout.Out()) != noErr)
    return;
  const ATSUAttributeTag contextTag = kATSUCGContextTag;
  const ByteCount contextSize = sizeof context;
  ATSUAttributeValuePtr contextValue[] = {&context};
  ATSUSetLayoutControls(layout.Get(), 1, &contextTag, &contextSize, contextValue);
  if (width >= 1 && truncation != 0) {
    Fixed lineWidth = static_cast<Fixed>(width << 16);
    ATSULineTruncation cut = truncation;
    const ATSUAttributeTag tags[] = {kATSULineWidthTag, kATSULineTruncationTag};
    const ByteCount sizes[] = {sizeof lineWidth, sizeof cut};
    ATSUAttributeValuePtr values[] = {&lineWidth, &cut};
    ATSUSetLineControls(layout.Get(), 0, 2, tags, sizes, values);
  }
  const CGPoint at = CGContextGetTextPosition(context);
  ATSUDrawText(layout.Get(), kATSUFromTextBeginning, kATSUToTextEnd,
               static_cast<Fixed>(at.x * 65536), static_cast<Fixed>(at.y * 65536));
}
