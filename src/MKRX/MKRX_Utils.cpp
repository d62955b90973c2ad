#include "MKRX/MKRX_Utils.h"

#include "UMAC/UMAC_TextUtils.h"

#include <Carbon/TextCommon.h>
#include <CoreFoundation/CFString.h>
#include <HIToolbox/Appearance.h>

#include <array>

bool MKRX_Utils::sm_ThemeFontInfoInited = false;
std::string MKRX_Utils::sm_ThemeFontName;
ATSFontMetrics MKRX_Utils::sm_ThemeFontMetrics = {};

namespace {

constexpr unsigned kComponentScale = 257;  // 0xFF * 257 = 0xFFFF
constexpr std::uint8_t kOpaque = 100;      // alpha is a percentage

std::uint16_t Widened(std::uint8_t component) {
  return static_cast<std::uint16_t>(component * kComponentScale);
}

std::uint8_t Narrowed(std::uint16_t component) {
  return static_cast<std::uint8_t>(component / kComponentScale);
}

// A new string of a Mac Roman text; null when it cannot be made.
CFStringRef NewMacRomanString(std::string const& text) {
  return CFStringCreateWithBytes(nullptr, reinterpret_cast<const UInt8*>(text.data()),
                                 static_cast<CFIndex>(text.size()), kCFStringEncodingMacRoman,
                                 false);
}

// The text in Mac Roman, at most 255 bytes; empty when it cannot be converted.
std::string MacRomanText(CFStringRef text) {
  std::array<char, 256> buffer = {};
  if (!CFStringGetCString(text, buffer.data(), static_cast<CFIndex>(buffer.size()),
                          kCFStringEncodingMacRoman))
    return std::string();
  return std::string(buffer.data());
}

}  // namespace

CGPoint MKRX_Utils::IMPNToCGPoint(IMPN_PointT<long> const& point) {
  return CGPointMake(static_cast<float>(point.x), -static_cast<float>(point.y));
}

CGRect MKRX_Utils::IMPNToCGRect(IMPN_RectT<long> const& rect) {
  return CGRectMake(static_cast<float>(rect.left), -static_cast<float>(rect.top + rect.height),
                    static_cast<float>(rect.width), static_cast<float>(rect.height));
}

CGPoint MKRX_Utils::ScaleCGPoint(CGPoint const& point, float factor) {
  return CGPointMake(point.x * factor, point.y * factor);
}

CGRect MKRX_Utils::ScaleCGRect(CGRect const& rect, float factor) {
  return CGRectMake(rect.origin.x * factor, rect.origin.y * factor, rect.size.width * factor,
                    rect.size.height * factor);
}

RGBColor MKRX_Utils::RGB8ToRGBColor(IMPN_RGBColor8 const& color) {
  return RGBColor{Widened(color.red), Widened(color.green), Widened(color.blue)};
}

RGBColor MKRX_Utils::RGBA8ToRGBColor(IMPN_RGBAColor8 const& color) {
  return RGBColor{Widened(color.red), Widened(color.green), Widened(color.blue)};
}

IMPN_RGBColor8 MKRX_Utils::RGBToRGB8Color(RGBColor const& color) {
  return IMPN_RGBColor8(Narrowed(color.red), Narrowed(color.green), Narrowed(color.blue));
}

IMPN_RGBAColor8 MKRX_Utils::RGBToRGBA8Color(RGBColor const& color) {
  return IMPN_RGBAColor8(Narrowed(color.red), Narrowed(color.green), Narrowed(color.blue), kOpaque);
}

bool MKRX_Utils::GetColorDepth(CGrafPtr port, short& depth) {
  const short portDepth = port != nullptr ? GetPixDepth(port) : 0;
  if (portDepth <= 0) {
    depth = 1;
    return false;
  }
  depth = portDepth;
  return true;
}

std::string const& MKRX_Utils::GetThemeFontPostScriptName() {
  InitThemeFontInfo();
  return sm_ThemeFontName;
}

ATSFontMetrics const& MKRX_Utils::GetThemeFontMetrics() {
  InitThemeFontInfo();
  return sm_ThemeFontMetrics;
}

void MKRX_Utils::InitThemeFontInfo() {
  if (sm_ThemeFontInfoInited)
    return;
  sm_ThemeFontInfoInited = true;

  // The theme's name is a Mac Roman family name; under another text encoding it may not be one,
  // and the system font's family is the safe choice.
  std::string name = "Lucida Grande";
  if (GetApplicationTextEncoding() == kTextEncodingMacRoman) {
    Str255 themeName = {0};
    SInt16 size = 0;
    Style style = 0;
    if (GetThemeFont(kThemeSystemFont, smSystemScript, themeName, &size, &style) == noErr)
      name.assign(reinterpret_cast<const char*>(themeName + 1), themeName[0]);
  }

  CFStringRef family = NewMacRomanString(name);
  const ATSFontRef font = family != nullptr ? UMAC_FindFontFromName(family) : 0;
  if (family != nullptr)
    CFRelease(family);
  if (font != 0) {
    CFStringRef postScriptName = nullptr;
    if (ATSFontGetPostScriptName(font, kATSOptionFlagsDefault, &postScriptName) == noErr &&
        postScriptName != nullptr) {
      const std::string converted = MacRomanText(postScriptName);
      if (!converted.empty())
        name = converted;
      CFRelease(postScriptName);
    }
    ATSFontGetHorizontalMetrics(font, kATSOptionFlagsDefault, &sm_ThemeFontMetrics);
  }
  sm_ThemeFontName = name.substr(0, 255);
}
