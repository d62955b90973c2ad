// PowerPlant X of the Mac stand-in: the doers of mouse and raw keyboard events (see
// PPx/PPxInputDoers.h).
#include <PPx/PPxInputDoers.h>

namespace PPx {

namespace {

CGPoint MouseOf(const SysCarbonEvent& event) {
  CGPoint where{0, 0};
  event.GetParameter(kEventParamMouseLocation, typeHIPoint, where);
  return where;
}

struct RawKey {
  char key = 0;
  UInt32 code = 0;
  UInt32 keyboardType = 0;
};

RawKey RawKeyOf(const SysCarbonEvent& event) {
  RawKey raw;
  event.GetParameter(kEventParamKeyMacCharCodes, typeChar, raw.key);
  event.GetParameter(kEventParamKeyCode, typeUInt32, raw.code);
  event.GetParameter(kEventParamKeyboardType, typeUInt32, raw.keyboardType);
  return raw;
}

}  // namespace

OSStatus MouseEnteredDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoMouseEntered(event, MouseOf(event));
}

OSStatus MouseExitedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoMouseExited(event, MouseOf(event));
}

OSStatus MouseWheelMovedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  EventMouseWheelAxis axis = kEventMouseWheelAxisY;
  SInt32 delta = 0;
  event.GetParameter(kEventParamMouseWheelAxis, typeMouseWheelAxis, axis);
  event.GetParameter(kEventParamMouseWheelDelta, typeSInt32, delta);
  return DoMouseWheelMoved(event, MouseOf(event), axis, delta, event.GetKeyModifiers());
}

OSStatus RawKeyDownDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  const RawKey raw = RawKeyOf(event);
  return DoRawKeyDown(event, raw.key, raw.code, event.GetKeyModifiers(), raw.keyboardType);
}

OSStatus RawKeyUpDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  const RawKey raw = RawKeyOf(event);
  return DoRawKeyUp(event, raw.key, raw.code, event.GetKeyModifiers(), raw.keyboardType);
}

OSStatus RawKeyModifiersChangedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoRawKeyModifiersChanged(event, event.GetKeyModifiers());
}

}  // namespace PPx
