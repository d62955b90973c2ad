// Appearance Manager of the Mac stand-in (see HIToolbox/Appearance.h).
#include <HIToolbox/Appearance.h>

#include "iStandInAppearance.h"
#include "iStandInTheme.h"

#include "../CoreGraphics/iStandInCG.h"
#include "../Files/iStandInFiles.h"
#include "../Fonts/iStandInFonts.h"

#include <cmath>
#include <cstring>

namespace {

using standin_files::EnterCall;

StandIn_ThemeTextRecord g_LastText{"", Rect{0, 0, 0, 0}, RGBColor{0, 0, 0}, 0};

// The size of a theme font; 0 for an unknown id.
SInt16 SizeOf(ThemeFontID font) {
  switch (font) {
    case kThemeSystemFont:
      return 13;
    case kThemeSmallSystemFont:
      return 11;
    case kThemeViewsFont:
      return 12;
    default:
      return 0;
  }
}

cairo_font_face_t* Face() {
  return standin_fonts::FaceOf(standin_fonts::kSystemFamily);
}

std::u16string UnitsOf(CFStringRef text) {
  return text ? text->Units() : std::u16string();
}

std::string Utf8(const std::u16string& units) {
  return standin_files::Utf16ToUtf8(units);
}

RGBColor Colour(UInt32 rgb) {
  auto wide = [](UInt32 byte) { return static_cast<UInt16>(byte * 0x101); };
  return RGBColor{wide(rgb >> 16 & 0xFF), wide(rgb >> 8 & 0xFF), wide(rgb & 0xFF)};
}

StandIn_ThemeButtonRecord g_LastButton{Rect{0, 0, 0, 0}, 0, ThemeButtonDrawInfo{0, 0, 0}, 0};
StandIn_FocusRingRecord g_LastRing{Rect{0, 0, 0, 0}, false, 0};

// Runs a drawing in the current port with a context whose y runs down from the port's top left;
// paramErr without a port.
template <class Draw>
OSStatus InCurrentPort(Draw draw) {
  CGrafPtr port = nullptr;
  GetPort(&port);
  CGContextRef context = nullptr;
  if (port == nullptr || QDBeginCGContext(port, &context) != noErr)
    return paramErr;
  Rect bounds;
  GetPortBounds(port, &bounds);
  CGContextTranslateCTM(context, 0, bounds.bottom - bounds.top);
  CGContextScaleCTM(context, 1, -1);
  CGContextTranslateCTM(context, -bounds.left, -bounds.top);  // local coordinates
  draw(context);
  QDEndCGContext(port, &context);
  return noErr;
}

CGRect AsCG(const Rect& r) {
  return CGRectMake(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void FocusRing(CGContextRef context, const Rect& r) {
  standin_theme::FocusRing(context, AsCG(r));
}

}  // namespace

void standin_appearance::DrawSmallBevel(CGContextRef context, const CGRect& bounds,
                                        ThemeDrawState state) {
  using standin_theme::Look;
  standin_theme::Bevel(context, bounds,
                       (state & kThemeStatePressed)  ? Look::kPressed
                       : (state & kThemeStateActive) ? Look::kNormal
                                                     : Look::kDisabled);
}

void standin_appearance::DrawPlacard(CGContextRef context, const CGRect& bounds, bool active) {
  using namespace standin_theme;
  Fill(context, bounds, active ? kPlacard : kPlacardInactive);
  Frame(context, bounds, active ? kPlacardEdge : kPlacardEdgeInactive);
}

OSStatus DrawThemeButton(const Rect* inBounds, ThemeButtonKind inKind,
                         const ThemeButtonDrawInfo* inNewInfo, const ThemeButtonDrawInfo*,
                         ThemeEraseUPP, ThemeButtonDrawUPP, URefCon) {
  if (OSStatus err = EnterCall("DrawThemeButton"))
    return err;
  if (inBounds == nullptr || inNewInfo == nullptr || inKind != kThemeSmallBevelButton)
    return paramErr;
  const ThemeButtonDrawInfo info = *inNewInfo;
  const OSStatus status = InCurrentPort([&](CGContextRef context) {
    standin_appearance::DrawSmallBevel(context, AsCG(*inBounds), info.state);
    if (info.adornment & kThemeAdornmentFocus)
      FocusRing(context, *inBounds);
  });
  if (status == noErr)
    g_LastButton = StandIn_ThemeButtonRecord{*inBounds, inKind, info, g_LastButton.count + 1};
  return status;
}

OSStatus DrawThemeFocusRect(const Rect* inRect, Boolean inHasFocus) {
  if (OSStatus err = EnterCall("DrawThemeFocusRect"))
    return err;
  if (inRect == nullptr)
    return paramErr;
  const OSStatus status = InCurrentPort([&](CGContextRef context) {
    if (inHasFocus)
      FocusRing(context, *inRect);
  });
  if (status == noErr)
    g_LastRing = StandIn_FocusRingRecord{*inRect, inHasFocus != 0, g_LastRing.count + 1};
  return status;
}

namespace {
StandIn_PlacardRecord g_LastPlacard{Rect{0, 0, 0, 0}, 0, 0};
}  // namespace

OSStatus DrawThemePlacard(const Rect* inRect, ThemeDrawState inState) {
  if (OSStatus err = EnterCall("DrawThemePlacard"))
    return err;
  if (inRect == nullptr)
    return paramErr;
  const OSStatus status = InCurrentPort([&](CGContextRef context) {
    standin_appearance::DrawPlacard(context, AsCG(*inRect), inState == kThemeStateActive);
  });
  if (status == noErr)
    g_LastPlacard = StandIn_PlacardRecord{*inRect, inState, g_LastPlacard.count + 1};
  return status;
}

StandIn_PlacardRecord StandIn_LastThemePlacard() {
  return g_LastPlacard;
}

StandIn_ThemeButtonRecord StandIn_LastThemeButton() {
  return g_LastButton;
}

StandIn_FocusRingRecord StandIn_LastFocusRing() {
  return g_LastRing;
}

OSStatus GetThemeFont(ThemeFontID inFontID, ScriptCode, unsigned char* outFontName,
                      SInt16* outFontSize, Style* outStyle) {
  if (OSStatus err = EnterCall("GetThemeFont"))
    return err;
  if (SizeOf(inFontID) == 0)
    return paramErr;
  if (outFontName) {
    const std::size_t length = std::strlen(standin_fonts::kSystemFamily);
    outFontName[0] = static_cast<unsigned char>(length);
    std::memcpy(outFontName + 1, standin_fonts::kSystemFamily, length);
  }
  if (outFontSize)
    *outFontSize = SizeOf(inFontID);
  if (outStyle)
    *outStyle = 0;
  return noErr;
}

OSStatus TruncateThemeText(CFMutableStringRef inString, ThemeFontID inFontID, ThemeDrawState,
                           SInt16 inPixelWidthLimit, TruncCode inTruncWhere,
                           Boolean* outTruncated) {
  if (OSStatus err = EnterCall("TruncateThemeText"))
    return err;
  if (inString == nullptr || SizeOf(inFontID) == 0)
    return paramErr;
  const std::u16string& whole = inString->Units();
  const std::u16string units = standin_fonts::Truncate(
      Face(), SizeOf(inFontID), whole, inPixelWidthLimit,
      inTruncWhere == truncMiddle ? standin_fonts::Cut::kMiddle : standin_fonts::Cut::kEnd);
  const bool truncated = units != whole;
  inString->ReplaceUnits(units);
  if (outTruncated)
    *outTruncated = truncated;
  return noErr;
}

OSStatus GetThemeTextDimensions(CFStringRef inString, ThemeFontID inFontID, ThemeDrawState, Boolean,
                                Point* ioBounds, SInt16* outBaseline) {
  if (OSStatus err = EnterCall("GetThemeTextDimensions"))
    return err;
  if (inString == nullptr || ioBounds == nullptr || SizeOf(inFontID) == 0)
    return paramErr;
  const standin_fonts::TextMetrics m =
      standin_fonts::Measure(Face(), SizeOf(inFontID), Utf8(inString->Units()));
  ioBounds->h = static_cast<short>(std::ceil(m.advance));
  ioBounds->v = static_cast<short>(std::ceil(m.ascent) + std::ceil(m.descent));
  if (outBaseline)
    *outBaseline = static_cast<SInt16>(-std::ceil(m.descent));
  return noErr;
}

OSStatus DrawThemeTextBox(CFStringRef inString, ThemeFontID inFontID, ThemeDrawState, Boolean,
                          const Rect* inBoundingBox, SInt16 inJust, CGContextRef inContext) {
  if (OSStatus err = EnterCall("DrawThemeTextBox"))
    return err;
  if (inString == nullptr || inBoundingBox == nullptr || SizeOf(inFontID) == 0)
    return paramErr;
  const std::string text = Utf8(UnitsOf(inString));
  const standin_fonts::TextMetrics m = standin_fonts::Measure(Face(), SizeOf(inFontID), text);
  const Rect& box = *inBoundingBox;
  double x = box.left;
  if (inJust == 1)
    x = box.left + (box.right - box.left - m.advance) / 2;
  else if (inJust == -1)
    x = box.right - m.advance;
  const double baseline = box.top + std::ceil(m.ascent);
  RGBColor colour{0, 0, 0};
  if (inContext) {
    standin_cg::ShowTextIn(inContext, x, baseline, text, Face(), SizeOf(inFontID), true);
  } else {
    GetForeColor(&colour);
    const OSStatus status = InCurrentPort([&](CGContextRef context) {
      CGContextSetRGBFillColor(context, colour.red / 65535.0f, colour.green / 65535.0f,
                               colour.blue / 65535.0f, 1);
      standin_cg::ShowTextIn(context, x, baseline, text, Face(), SizeOf(inFontID), true);
    });
    if (status != noErr)
      return status;
  }
  g_LastText = StandIn_ThemeTextRecord{text, box, colour, g_LastText.count + 1};
  return noErr;
}

OSStatus GetThemeBrushAsColor(ThemeBrush inBrush, SInt16, Boolean, RGBColor* outColor) {
  if (OSStatus err = EnterCall("GetThemeBrushAsColor"))
    return err;
  if (outColor == nullptr)
    return paramErr;
  switch (inBrush) {
    case kThemeBrushPrimaryHighlightColor:
      *outColor = Colour(0xB5D5FF);
      return noErr;
    case kThemeBrushSecondaryHighlightColor:
      *outColor = Colour(0xD4D4D4);
      return noErr;
    case kThemeBrushFocusHighlight:
      *outColor = Colour(0x7DA7D9);
      return noErr;
    default:
      return appearanceBadBrushIndexErr;
  }
}

OSStatus GetThemeTextColor(ThemeTextColor inColor, SInt16, Boolean, RGBColor* outColor) {
  if (OSStatus err = EnterCall("GetThemeTextColor"))
    return err;
  if (outColor == nullptr)
    return paramErr;
  switch (inColor) {
    case kThemeTextColorBlack:
    case kThemeTextColorDialogActive:
      *outColor = Colour(0x000000);
      return noErr;
    case kThemeTextColorDialogInactive:
    case kThemeTextColorBevelButtonInactive:
      *outColor = Colour(0x7F7F7F);
      return noErr;
    case kThemeTextColorWhite:
      *outColor = Colour(0xFFFFFF);
      return noErr;
    default:
      return themeBadTextColorErr;
  }
}

OSStatus GetTheme(Collection ioCollection) {
  if (OSStatus err = EnterCall("GetTheme"))
    return err;
  if (ioCollection == nullptr)
    return paramErr;
  const RGBColor highlight = Colour(0xB5D5FF);
  return AddCollectionItem(ioCollection, kThemeHighlightColorTag, 1, sizeof highlight, &highlight);
}

StandIn_ThemeTextRecord StandIn_LastThemeText() {
  return g_LastText;
}
