// ATSUI of the Mac stand-in: styles as attribute sets and one-line text layouts drawn into a CG
// context attached as a layout control. A style's font (tag 261, an ATSUFontID from the Font
// Manager), size (262, 16.16 points) and colour (263, RGBColor) are used; the other attributes
// are kept. A layout draws its text at (x, y) in 16.16 points in the context's user space, glyphs
// upright with y up, cut at the end (truncation 2, kATSUTruncateEnd) or in the middle (3) to the
// line width when both line controls are set, and leaves the context's text position at the
// text's end. Every call joins the per-call failure injection by name.
#pragma once
#include <ATS/ATSFont.h>
#include <CoreGraphics/CGContext.h>

#include <string>

typedef UInt32 ATSUAttributeTag;
typedef void* ATSUAttributeValuePtr;
typedef const void* ConstATSUAttributeValuePtr;
typedef UInt32 ATSUFontID;
typedef UInt32 UniCharArrayOffset;
typedef UInt32 ATSULineTruncation;
typedef Fixed ATSUTextMeasurement;
struct OpaqueATSUStyle;
typedef OpaqueATSUStyle* ATSUStyle;
struct OpaqueATSUTextLayout;
typedef OpaqueATSUTextLayout* ATSUTextLayout;

enum : ATSUAttributeTag {
  kATSULineWidthTag = 1,
  kATSULineTruncationTag = 12,
  kATSUQDBoldfaceTag = 256,
  kATSUQDItalicTag = 257,
  kATSUQDUnderlineTag = 258,
  kATSUQDCondensedTag = 259,
  kATSUQDExtendedTag = 260,
  kATSUFontTag = 261,
  kATSUSizeTag = 262,
  kATSUColorTag = 263,
  kATSUCGContextTag = 32767
};
enum : ATSULineTruncation {
  kATSUTruncateNone = 0,
  kATSUTruncateStart = 1,
  kATSUTruncateEnd = 2,
  kATSUTruncateMiddle = 3
};
constexpr UniCharArrayOffset kATSUFromTextBeginning = 0xFFFFFFFF;
constexpr UniCharArrayOffset kATSUToTextEnd = 0xFFFFFFFF;
constexpr OSStatus kATSUInvalidStyleErr = -8851;
constexpr OSStatus kATSUInvalidTextLayoutErr = -8852;
constexpr OSStatus kATSUNotSetErr = -8841;

OSStatus ATSUCreateStyle(ATSUStyle* oStyle);
OSStatus ATSUDisposeStyle(ATSUStyle iStyle);
OSStatus ATSUSetAttributes(ATSUStyle iStyle, ItemCount iAttributeCount,
                           const ATSUAttributeTag iTag[], const ByteCount iValueSize[],
                           const ATSUAttributeValuePtr iValue[]);
// Copies the attribute (at most iExpectedValueSize bytes); kATSUNotSetErr when it is not set.
OSStatus ATSUGetAttribute(ATSUStyle iStyle, ATSUAttributeTag iTag, ByteCount iExpectedValueSize,
                          ATSUAttributeValuePtr oValue, ByteCount* oActualValueSize);
// The layout copies nothing: the text must live as long as the layout.
OSStatus ATSUCreateTextLayoutWithTextPtr(const UniChar* iText, UniCharArrayOffset iTextOffset,
                                         UniCharCount iTextLength, UniCharCount iTextTotalLength,
                                         ItemCount iNumberOfRuns, const UniCharCount iRunLengths[],
                                         ATSUStyle iStyles[], ATSUTextLayout* oTextLayout);
OSStatus ATSUDisposeTextLayout(ATSUTextLayout iTextLayout);
OSStatus ATSUSetLayoutControls(ATSUTextLayout iTextLayout, ItemCount iAttributeCount,
                               const ATSUAttributeTag iTag[], const ByteCount iValueSize[],
                               const ATSUAttributeValuePtr iValue[]);
OSStatus ATSUSetLineControls(ATSUTextLayout iTextLayout, UniCharArrayOffset iLineStart,
                             ItemCount iAttributeCount, const ATSUAttributeTag iTag[],
                             const ByteCount iValueSize[], const ATSUAttributeValuePtr iValue[]);
OSStatus ATSUDrawText(ATSUTextLayout iTextLayout, UniCharArrayOffset iLineOffset,
                      UniCharCount iLineLength, ATSUTextMeasurement iLocationX,
                      ATSUTextMeasurement iLocationY);
OSStatus FMGetFontFromATSFontRef(ATSFontRef iFont, FMFont* oFont);

// Test hooks: styles and layouts alive (leak checks); what the last ATSUDrawText drew (UTF-8,
// after truncation) and where (points).
long StandIn_ATSUStyleLiveCount();
long StandIn_ATSULayoutLiveCount();
struct StandIn_ATSUDrawRecord {
  std::string text;
  CGPoint where;
  long count;  // layouts drawn since the process began
};
StandIn_ATSUDrawRecord StandIn_LastATSUDraw();
