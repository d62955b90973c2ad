#include "UMAC/UMAC_TextUtils.h"

#include "UMAC/UMAC_AutoCollection.h"
#include "UMAC/UMAC_Exception.h"
#include "UMAC/UMAC_PlatformDetector.h"
#include "UMAC/iUMAC_UTF16.h"

#include <Carbon/TextCommon.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace {

std::size_t const kHFSNameUnits = sizeof(HFSUniStr255::unicode) / sizeof(UniChar);

RGBColor const kBlack = {0, 0, 0};
RGBColor const kGray = {36751, 36751, 36751};
ATSOptionFlags const kFamilyIteratorOptions = 0x2000;

// A mutable copy of a text, released when the scope ends.
class MutableCopy {
public:
  explicit MutableCopy(CFStringRef text)
      : m_Text(CFStringCreateMutableCopy(kCFAllocatorDefault, 0, text)) {
    if (m_Text == nullptr)
      UMAC_THROW_TOOLBOX(memFullErr);
  }
  ~MutableCopy() { CFRelease(m_Text); }
  MutableCopy(MutableCopy const&) = delete;
  MutableCopy& operator=(MutableCopy const&) = delete;
  CFMutableStringRef Get() const { return m_Text; }

private:
  CFMutableStringRef m_Text;
};

void TruncateAndMeasure(CFMutableStringRef text, Rect const& box, Point* dimensions,
                        SInt16* baseline, ThemeFontID font, ThemeDrawState state,
                        TruncCode truncWhere) {
  OSStatus err = TruncateThemeText(text, font, state, static_cast<SInt16>(box.right - box.left),
                                   truncWhere, nullptr);
  if (err != noErr)
    UMAC_THROW_TOOLBOX(err);
  err = GetThemeTextDimensions(text, font, state, false, dimensions, baseline);
  if (err != noErr)
    UMAC_THROW_TOOLBOX(err);
}

// The fore colour of the current port, put back when the scope ends.
class SavedForeColor {
public:
  SavedForeColor() { GetForeColor(&m_Colour); }
  ~SavedForeColor() { RGBForeColor(&m_Colour); }
  SavedForeColor(SavedForeColor const&) = delete;
  SavedForeColor& operator=(SavedForeColor const&) = delete;

private:
  RGBColor m_Colour;
};

}  // namespace

GLIB_WString UMAC_HFSUniStrToWString(HFSUniStr255 const& name) {
  std::size_t const length = std::min<std::size_t>(name.length, kHFSNameUnits);
  return iUMAC_UTF16ToWide(name.unicode, length);
}

HFSUniStr255 UMAC_WStringToHFSUniStr(GLIB_WString const& text) {
  std::vector<UniChar> const units = iUMAC_WideToUTF16(text);
  if (units.size() > kHFSNameUnits)
    UMAC_THROW_TOOLBOX(bdNamErr);
  HFSUniStr255 name = {};
  name.length = static_cast<UInt16>(units.size());
  std::copy(units.begin(), units.end(), name.unicode);
  return name;
}

CFStringRef UMAC_WStringToCFString(GLIB_WString const& text) {
  std::vector<UniChar> const units = iUMAC_WideToUTF16(text);
  return CFStringCreateWithCharacters(kCFAllocatorDefault, units.data(),
                                      static_cast<CFIndex>(units.size()));
}

void UMAC_CFStringToWString(GLIB_WString& result, CFStringRef const& text) {
  CFIndex const length = CFStringGetLength(text);
  std::vector<UniChar> units(static_cast<std::size_t>(length));
  if (length > 0)
    CFStringGetCharacters(text, CFRangeMake(0, length), units.data());
  GLIB_WString wide = iUMAC_UTF16ToWide(units.data(), units.size());
  result.swap(wide);
}

GLIB_WString UMAC_CFStringToWString(CFStringRef const& text) {
  GLIB_WString result;
  UMAC_CFStringToWString(result, text);
  return result;
}

GLIB_String UMAC_CFStringToString(CFStringRef const& text) {
  // Straight from the units: a character above U+FFFF stays whole, which a detour through
  // wide characters narrowed one by one would not keep.
  CFRange const whole = CFRangeMake(0, CFStringGetLength(text));
  CFStringEncoding const encoding = GetApplicationTextEncoding();
  CFIndex size = 0;
  CFStringGetBytes(text, whole, encoding, '?', false, nullptr, 0, &size);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  CFIndex used = 0;
  if (size > 0)
    CFStringGetBytes(text, whole, encoding, '?', false, reinterpret_cast<UInt8*>(&bytes[0]), size,
                     &used);
  bytes.resize(static_cast<std::size_t>(used));
  return GLIB_String(std::move(bytes));
}

// The instances of one font family, walked with the Font Manager.
class iUMAC_FontFamilyInstanceIterator {
public:
  explicit iUMAC_FontFamilyInstanceIterator(ATSFontFamilyRef family)
      : m_Status(FMCreateFontFamilyInstanceIterator(FMGetFontFamilyFromATSFontFamilyRef(family),
                                                    &m_Iterator)) {}
  ~iUMAC_FontFamilyInstanceIterator() {
    if (m_Status == noErr)
      FMDisposeFontFamilyInstanceIterator(&m_Iterator);
  }
  iUMAC_FontFamilyInstanceIterator(iUMAC_FontFamilyInstanceIterator const&) = delete;
  iUMAC_FontFamilyInstanceIterator& operator=(iUMAC_FontFamilyInstanceIterator const&) = delete;

  OSStatus Next(ATSFontRef* font) {
    if (m_Status != noErr)
      return m_Status;
    FMFont fmFont = 0;
    FMFontStyle style = 0;
    FMFontSize size = 0;
    OSStatus const err = FMGetNextFontFamilyInstance(&m_Iterator, &fmFont, &style, &size);
    if (err == noErr)
      *font = FMGetATSFontRefFromFont(fmFont);
    return err;
  }

private:
  FMFontFamilyInstanceIterator m_Iterator = {};
  OSStatus m_Status;
};

namespace {

// The family iterator, released when the scope ends.
class FamilyIterator {
public:
  FamilyIterator() {
    m_Status = ATSFontFamilyIteratorCreate(kATSFontContextGlobal, nullptr, nullptr,
                                           kFamilyIteratorOptions, &m_Iterator);
  }
  ~FamilyIterator() {
    if (m_Iterator)
      ATSFontFamilyIteratorRelease(&m_Iterator);
  }
  FamilyIterator(FamilyIterator const&) = delete;
  FamilyIterator& operator=(FamilyIterator const&) = delete;
  bool Made() const { return m_Status == noErr; }
  // The next family; false at the end or on a failure. A change of the font set restarts.
  bool Next(ATSFontFamilyRef* family) {
    for (;;) {
      OSStatus const err = ATSFontFamilyIteratorNext(m_Iterator, family);
      if (err == noErr)
        return true;
      if (err != kATSIterationScopeModified)
        return false;
      if (ATSFontFamilyIteratorReset(kATSFontContextGlobal, nullptr, nullptr,
                                     kFamilyIteratorOptions, &m_Iterator) != noErr)
        return false;
    }
  }

private:
  ATSFontFamilyIterator m_Iterator = nullptr;
  OSStatus m_Status = noErr;
};

}  // namespace

ATSFontRef UMAC_FindFontFromName(CFStringRef name) {
  FamilyIterator families;
  if (!families.Made())
    return 0;
  ATSFontFamilyRef family = 0;
  while (families.Next(&family)) {
    CFStringRef familyName = nullptr;
    if (ATSFontFamilyGetName(family, 0, &familyName) != noErr)
      return 0;
    bool const equal = CFStringCompare(name, familyName, 0) == kCFCompareEqualTo;
    CFRelease(familyName);
    if (equal) {
      iUMAC_FontFamilyInstanceIterator instances(family);
      ATSFontRef font = 0;
      return instances.Next(&font) == noErr ? font : 0;
    }
  }
  return 0;
}

void UMAC_MeasureTextInBox(CFStringRef text, Rect const& box, Point* dimensions, SInt16* baseline,
                           ThemeFontID font, ThemeDrawState state, TruncCode truncWhere) {
  MutableCopy copy(text);
  TruncateAndMeasure(copy.Get(), box, dimensions, baseline, font, state, truncWhere);
}

RGBColor UMAC_GetHighlightColor(bool active) {
  RGBColor colour = {0, 0, 0};
  if (UMAC_PlatformDetector::IsOsX()) {
    CGrafPtr port = nullptr;
    GetPort(&port);
    OSStatus const err = GetThemeBrushAsColor(active ? kThemeBrushPrimaryHighlightColor
                                                     : kThemeBrushSecondaryHighlightColor,
                                              GetPixDepth(port), true, &colour);
    if (err != noErr)
      UMAC_THROW_TOOLBOX(err);
    return colour;
  }
  UMAC_AutoCollection theme;
  OSStatus err = GetTheme(theme.Get());
  SInt32 size = sizeof colour;
  if (err == noErr)
    err = GetTaggedCollectionItem(theme.Get(), kThemeHighlightColorTag, 1, &size, &colour);
  if (err != noErr)
    UMAC_THROW_TOOLBOX(err);
  return colour;
}

void UMAC_DrawTextInBox(CFStringRef text, Rect const& box, bool highlight, SInt16 justification,
                        ThemeFontID font, ThemeDrawState state, TruncCode truncWhere,
                        RGBColor const* colour) {
  MutableCopy copy(text);
  Point dimensions = {0, 0};
  SInt16 baseline = 0;
  TruncateAndMeasure(copy.Get(), box, &dimensions, &baseline, font, state, truncWhere);
  Rect textRect = box;
  textRect.top = static_cast<short>(box.bottom - dimensions.v + baseline);
  SavedForeColor saved;
  if (highlight) {
    RGBColor const hilite = UMAC_GetHighlightColor(state == kThemeStateActive);
    RGBForeColor(&hilite);
    Rect const painted = {textRect.top, box.left, static_cast<short>(box.bottom + baseline),
                          static_cast<short>(box.left + dimensions.h)};
    PaintRect(&painted);
  }
  RGBForeColor(colour ? colour : (state == kThemeStateActive ? &kBlack : &kGray));
  OSStatus const err =
      DrawThemeTextBox(copy.Get(), font, state, false, &textRect, justification, nullptr);
  if (err != noErr)
    UMAC_THROW_TOOLBOX(err);
}
