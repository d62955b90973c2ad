// ATSUI of the Mac stand-in (see ATS/ATSUnicode.h).
#include <ATS/ATSUnicode.h>

#include "../CoreGraphics/iStandInCG.h"
#include "../Files/iStandInFiles.h"
#include "iStandInFonts.h"

#include <QD/QuickDraw.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

struct OpaqueATSUStyle {
  std::map<ATSUAttributeTag, std::vector<UInt8>> attributes;
};

struct OpaqueATSUTextLayout {
  const UniChar* text = nullptr;
  UniCharArrayOffset offset = 0;
  UniCharCount length = 0;
  ATSUStyle style = nullptr;  // the one run's
  CGContextRef context = nullptr;
  bool widthSet = false;
  Fixed lineWidth = 0;
  ATSULineTruncation truncation = kATSUTruncateNone;
};

namespace {

using standin_files::EnterCall;

long g_LiveStyles = 0;
long g_LiveLayouts = 0;
StandIn_ATSUDrawRecord g_LastDraw{"", CGPoint{0, 0}, 0};

template <class T>
bool Read(ATSUStyle style, ATSUAttributeTag tag, T* value) {
  auto found = style->attributes.find(tag);
  if (found == style->attributes.end() || found->second.size() != sizeof(T))
    return false;
  std::memcpy(value, found->second.data(), sizeof(T));
  return true;
}

// Runs through the tag, size and value arrays; false when one is missing.
template <class Each>
bool ForEach(ItemCount count, const ATSUAttributeTag tags[], const ByteCount sizes[],
             const ATSUAttributeValuePtr values[], Each each) {
  if (count > 0 && (tags == nullptr || sizes == nullptr || values == nullptr))
    return false;
  for (ItemCount i = 0; i < count; ++i) {
    if (values[i] == nullptr)
      return false;
    each(tags[i], sizes[i], values[i]);
  }
  return true;
}

}  // namespace

OSStatus ATSUCreateStyle(ATSUStyle* oStyle) {
  if (OSStatus err = EnterCall("ATSUCreateStyle"))
    return err;
  if (oStyle == nullptr)
    return paramErr;
  *oStyle = new OpaqueATSUStyle;
  ++g_LiveStyles;
  return noErr;
}

OSStatus ATSUDisposeStyle(ATSUStyle iStyle) {
  if (OSStatus err = EnterCall("ATSUDisposeStyle"))
    return err;
  if (iStyle == nullptr)
    return kATSUInvalidStyleErr;
  delete iStyle;
  --g_LiveStyles;
  return noErr;
}

OSStatus ATSUSetAttributes(ATSUStyle iStyle, ItemCount iAttributeCount,
                           const ATSUAttributeTag iTag[], const ByteCount iValueSize[],
                           const ATSUAttributeValuePtr iValue[]) {
  if (OSStatus err = EnterCall("ATSUSetAttributes"))
    return err;
  if (iStyle == nullptr)
    return kATSUInvalidStyleErr;
  const bool whole = ForEach(iAttributeCount, iTag, iValueSize, iValue,
                             [&](ATSUAttributeTag tag, ByteCount size, const void* value) {
                               const auto* bytes = static_cast<const UInt8*>(value);
                               iStyle->attributes[tag].assign(bytes, bytes + size);
                             });
  return whole ? OSStatus(noErr) : OSStatus(paramErr);
}

OSStatus ATSUGetAttribute(ATSUStyle iStyle, ATSUAttributeTag iTag, ByteCount iExpectedValueSize,
                          ATSUAttributeValuePtr oValue, ByteCount* oActualValueSize) {
  if (OSStatus err = EnterCall("ATSUGetAttribute"))
    return err;
  if (iStyle == nullptr)
    return kATSUInvalidStyleErr;
  auto found = iStyle->attributes.find(iTag);
  if (found == iStyle->attributes.end())
    return kATSUNotSetErr;
  if (oValue)
    std::memcpy(oValue, found->second.data(),
                std::min<ByteCount>(iExpectedValueSize, found->second.size()));
  if (oActualValueSize)
    *oActualValueSize = found->second.size();
  return noErr;
}

OSStatus ATSUCreateTextLayoutWithTextPtr(const UniChar* iText, UniCharArrayOffset iTextOffset,
                                         UniCharCount iTextLength, UniCharCount iTextTotalLength,
                                         ItemCount iNumberOfRuns, const UniCharCount iRunLengths[],
                                         ATSUStyle iStyles[], ATSUTextLayout* oTextLayout) {
  if (OSStatus err = EnterCall("ATSUCreateTextLayoutWithTextPtr"))
    return err;
  if (oTextLayout == nullptr || iText == nullptr || iTextOffset + iTextLength > iTextTotalLength ||
      iNumberOfRuns != 1 || iRunLengths == nullptr || iStyles == nullptr || iStyles[0] == nullptr)
    return paramErr;
  auto* layout = new OpaqueATSUTextLayout;
  layout->text = iText;
  layout->offset = iTextOffset;
  layout->length = iTextLength;
  layout->style = iStyles[0];
  *oTextLayout = layout;
  ++g_LiveLayouts;
  return noErr;
}

OSStatus ATSUDisposeTextLayout(ATSUTextLayout iTextLayout) {
  if (OSStatus err = EnterCall("ATSUDisposeTextLayout"))
    return err;
  if (iTextLayout == nullptr)
    return kATSUInvalidTextLayoutErr;
  delete iTextLayout;
  --g_LiveLayouts;
  return noErr;
}

OSStatus ATSUSetLayoutControls(ATSUTextLayout iTextLayout, ItemCount iAttributeCount,
                               const ATSUAttributeTag iTag[], const ByteCount iValueSize[],
                               const ATSUAttributeValuePtr iValue[]) {
  if (OSStatus err = EnterCall("ATSUSetLayoutControls"))
    return err;
  if (iTextLayout == nullptr)
    return kATSUInvalidTextLayoutErr;
  const bool whole = ForEach(iAttributeCount, iTag, iValueSize, iValue,
                             [&](ATSUAttributeTag tag, ByteCount size, const void* value) {
                               if (tag == kATSUCGContextTag && size == sizeof(CGContextRef))
                                 std::memcpy(&iTextLayout->context, value, sizeof(CGContextRef));
                             });
  return whole ? OSStatus(noErr) : OSStatus(paramErr);
}

OSStatus ATSUSetLineControls(ATSUTextLayout iTextLayout, UniCharArrayOffset,
                             ItemCount iAttributeCount, const ATSUAttributeTag iTag[],
                             const ByteCount iValueSize[], const ATSUAttributeValuePtr iValue[]) {
  if (OSStatus err = EnterCall("ATSUSetLineControls"))
    return err;
  if (iTextLayout == nullptr)
    return kATSUInvalidTextLayoutErr;
  const bool whole =
      ForEach(iAttributeCount, iTag, iValueSize, iValue,
              [&](ATSUAttributeTag tag, ByteCount size, const void* value) {
                if (tag == kATSULineWidthTag && size == sizeof(Fixed)) {
                  std::memcpy(&iTextLayout->lineWidth, value, sizeof(Fixed));
                  iTextLayout->widthSet = true;
                } else if (tag == kATSULineTruncationTag && size == sizeof(ATSULineTruncation)) {
                  std::memcpy(&iTextLayout->truncation, value, sizeof(ATSULineTruncation));
                }
              });
  return whole ? OSStatus(noErr) : OSStatus(paramErr);
}

OSStatus ATSUDrawText(ATSUTextLayout iTextLayout, UniCharArrayOffset iLineOffset,
                      UniCharCount iLineLength, ATSUTextMeasurement iLocationX,
                      ATSUTextMeasurement iLocationY) {
  if (OSStatus err = EnterCall("ATSUDrawText"))
    return err;
  if (iTextLayout == nullptr)
    return kATSUInvalidTextLayoutErr;
  const OpaqueATSUTextLayout& layout = *iTextLayout;
  const UniCharArrayOffset start =
      iLineOffset == kATSUFromTextBeginning ? layout.offset : iLineOffset;
  const UniCharCount length = iLineLength == kATSUToTextEnd ? layout.length : iLineLength;
  std::u16string units(reinterpret_cast<const char16_t*>(layout.text) + start, length);
  ATSUFontID font = 0;
  Fixed size = 12 << 16;
  RGBColor colour{0, 0, 0};
  Read(layout.style, kATSUFontTag, &font);
  Read(layout.style, kATSUSizeTag, &size);
  Read(layout.style, kATSUColorTag, &colour);
  std::vector<std::string> names = standin_fonts::FamilyNames();
  cairo_font_face_t* face = standin_fonts::FaceOf(
      font >= 1 && font <= names.size() ? names[font - 1] : standin_fonts::kSystemFamily);
  const double points = size / 65536.0;
  if (layout.widthSet &&
      (layout.truncation == kATSUTruncateEnd || layout.truncation == kATSUTruncateMiddle))
    units = standin_fonts::Truncate(face, points, units, layout.lineWidth / 65536.0,
                                    layout.truncation == kATSUTruncateMiddle
                                        ? standin_fonts::Cut::kMiddle
                                        : standin_fonts::Cut::kEnd);
  const std::string text = standin_files::Utf16ToUtf8(units);
  const double x = iLocationX / 65536.0, y = iLocationY / 65536.0;
  if (CGContextRef c = layout.context) {
    CGContextSaveGState(c);
    CGContextSetRGBFillColor(c, colour.red / 65535.0f, colour.green / 65535.0f,
                             colour.blue / 65535.0f, 1);
    standin_cg::ShowTextIn(c, x, y, text, face, points, false);
    CGContextRestoreGState(c);
    const double advance = standin_fonts::Measure(face, points, text).advance;
    CGContextSetTextPosition(c, CGFloat(x + advance), CGFloat(y));
  }
  g_LastDraw = StandIn_ATSUDrawRecord{text, CGPoint{CGFloat(x), CGFloat(y)}, g_LastDraw.count + 1};
  return noErr;
}

OSStatus FMGetFontFromATSFontRef(ATSFontRef iFont, FMFont* oFont) {
  if (OSStatus err = EnterCall("FMGetFontFromATSFontRef"))
    return err;
  if (oFont == nullptr || FMGetATSFontRefFromFont(iFont) == 0)
    return kFMInvalidFontFamilyErr;
  *oFont = iFont;
  return noErr;
}

long StandIn_ATSUStyleLiveCount() {
  return g_LiveStyles;
}

long StandIn_ATSULayoutLiveCount() {
  return g_LiveLayouts;
}

StandIn_ATSUDrawRecord StandIn_LastATSUDraw() {
  return g_LastDraw;
}
