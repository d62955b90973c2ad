// The multilingual text engine (MLTE) of the Mac stand-in, as far as a text view of a nib uses
// it: focus, selection, font-size runs, object controls and the text. Its state is readable
// through TXNGetTXNObjectControls, TXNGetSelection and the StandIn_TXN* hooks.
#pragma once
#include <HIToolbox/HIView.h>

struct OpaqueTXNObject;
typedef OpaqueTXNObject* TXNObject;
typedef UInt32 TXNOffset;
typedef FourCharCode TXNControlTag;
typedef FourCharCode TXNTypeRunAttributes;
typedef OSType TXNDataType;

enum : TXNOffset {
  kTXNStartOffset = 0,
  kTXNEndOffset = 0x7FFFFFFF
};
enum : TXNControlTag {
  kTXNWordWrapStateTag = 0x77777273,  // 'wwrs'
  kTXNJustificationTag = 0x6a757374,  // 'just'
  kTXNMarginsTag = 0x6d617267,        // 'marg'
  kTXNIOPrivilegesTag = 0x696f7076    // 'iopv'
};
enum : TXNTypeRunAttributes {
  kTXNQDFontSizeAttribute = 0x73697a65  // 'size'
};
enum : TXNDataType {
  kTXNUnicodeTextData = 0x75747874  // 'utxt'
};
enum : UInt32 {
  kTXNAutoWrap = 0,
  kTXNNoAutoWrap = 1,
  kTXNReadWrite = 0,
  kTXNReadOnly = 1
};
constexpr OSStatus kTXNInvalidRunIndex = -22009;
constexpr OSStatus kTXNUnsupportedControlTag = -22018;

struct TXNMargins {
  SInt16 topMargin;
  SInt16 leftMargin;
  SInt16 bottomMargin;
  SInt16 rightMargin;
};
union TXNControlData {
  UInt32 uValue;
  SInt32 sValue;
  TXNMargins* marginsPtr;
};
union TXNAttributeData {
  void* dataPtr;
  UInt32 dataValue;
};
struct TXNTypeAttributes {
  TXNTypeRunAttributes tag;
  ByteCount size;
  TXNAttributeData data;
};

// The text view's engine object; null for a view that is no text view.
TXNObject HITextViewGetTXNObject(HIViewRef inTextView);

void TXNFocus(TXNObject iTXNObject, Boolean iBecomingFocused);
OSStatus TXNSetSelection(TXNObject iTXNObject, TXNOffset iStartOffset, TXNOffset iEndOffset);
void TXNGetSelection(TXNObject iTXNObject, TXNOffset* oStartOffset, TXNOffset* oEndOffset);
void TXNShowSelection(TXNObject iTXNObject, Boolean iShowEnd);
// Only kTXNQDFontSizeAttribute (its value in data.dataValue) is kept.
OSStatus TXNSetTypeAttributes(TXNObject iTXNObject, ItemCount iAttrCount,
                              const TXNTypeAttributes* iAttributes, TXNOffset iStartOffset,
                              TXNOffset iEndOffset);
// 'wwrs', 'just', 'iopv' and 'marg' (by pointer); kTXNUnsupportedControlTag for others.
OSStatus TXNSetTXNObjectControls(TXNObject iTXNObject, Boolean iClearAll, ItemCount iControlCount,
                                 const TXNControlTag* iControlTags,
                                 const TXNControlData* iControlData);
OSStatus TXNGetTXNObjectControls(TXNObject iTXNObject, ItemCount iControlCount,
                                 const TXNControlTag* iControlTags, TXNControlData* oControlData);
// Unicode text (kTXNUnicodeTextData) replacing the range.
OSStatus TXNSetData(TXNObject iTXNObject, TXNDataType iDataType, const void* iDataPtr,
                    ByteCount iDataSize, TXNOffset iStartOffset, TXNOffset iEndOffset);

// Test hooks: focus, the text (the caller releases it) and the font size set for a range last
// covering an offset (0 when none).
bool StandIn_TXNIsFocused(TXNObject object);
CFStringRef StandIn_TXNCopyText(TXNObject object);
UInt32 StandIn_TXNFontSizeAt(TXNObject object, TXNOffset offset);
