#include "PPXA/PPXA_TextView.h"

namespace PPXA {

void TextView::Attach(ControlRef view) {
  HIRect frame = CGRectMake(0, 0, 0, 0);
  HIViewGetFrame(view, &frame);
  CFRetain(view);
  Initialize(view, frame);
}

OSStatus TextView::Focus(bool focused) {
  TXNObject object = GetTXNObject();
  if (object == nullptr)
    return paramErr;
  TXNFocus(object, focused);
  return noErr;
}

OSStatus TextView::SetSelection(TXNOffset start, TXNOffset end) {
  return TXNSetSelection(GetTXNObject(), start, end);
}

OSStatus TextView::ShowSelection(bool showEnd) {
  TXNObject object = GetTXNObject();
  if (object == nullptr)
    return paramErr;
  TXNShowSelection(object, showEnd);
  return noErr;
}

OSStatus TextView::SetFontSize(long size, UInt32 start, UInt32 end) {
  TXNTypeAttributes attribute;
  attribute.tag = kTXNQDFontSizeAttribute;
  attribute.size = 4;
  attribute.data.dataValue = static_cast<UInt32>(size);
  return TXNSetTypeAttributes(GetTXNObject(), 1, &attribute, start, end);
}

OSStatus TextView::SetWordWrapState(UInt32 state) {
  TXNControlData data;
  data.uValue = state;
  return SetObjectControl(kTXNWordWrapStateTag, data);
}

OSStatus TextView::SetJustification(UInt32 justification) {
  TXNControlData data;
  data.uValue = justification;
  return SetObjectControl(kTXNJustificationTag, data);
}

OSStatus TextView::SetMargins(TXNMargins* margins) {
  TXNControlData data;
  data.marginsPtr = margins;
  return SetObjectControl(kTXNMarginsTag, data);
}

OSStatus TextView::SetPrivileges(UInt32 privileges) {
  TXNControlData data;
  data.uValue = privileges;
  return SetObjectControl(kTXNIOPrivilegesTag, data);
}

OSStatus TextView::SetObjectControl(TXNControlTag tag, TXNControlData data) {
  return TXNSetTXNObjectControls(GetTXNObject(), false, 1, &tag, &data);
}

}  // namespace PPXA
