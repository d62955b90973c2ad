// PowerPlant X of the Mac stand-in: the doers of mouse and raw keyboard events.
// - entered, exited: the global mouse location ('mloc');
// - wheel moved: 'mloc', the axis ('mwax') and delta ('mwdl') and the modifiers;
// - raw key down and up: the character ('kchr'), the key code ('kcod'), the modifiers ('kmod')
//   and the keyboard type ('kbdt');
// - modifiers changed: the modifiers now held.
#pragma once
#include <HIToolbox/CarbonEvents.h>

#include <PPx/PPxEventTarget.h>

namespace PPx {

class MouseEnteredDoer : public SpecificEventDoer<kEventClassMouse, kEventMouseEntered> {
protected:
  virtual OSStatus DoMouseEntered(SysCarbonEvent& event, const CGPoint& where) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class MouseExitedDoer : public SpecificEventDoer<kEventClassMouse, kEventMouseExited> {
protected:
  virtual OSStatus DoMouseExited(SysCarbonEvent& event, const CGPoint& where) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class MouseWheelMovedDoer : public SpecificEventDoer<kEventClassMouse, kEventMouseWheelMoved> {
protected:
  virtual OSStatus DoMouseWheelMoved(SysCarbonEvent& event, const CGPoint& where,
                                     EventMouseWheelAxis axis, SInt32 delta, UInt32 modifiers) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class RawKeyDownDoer : public SpecificEventDoer<kEventClassKeyboard, kEventRawKeyDown> {
protected:
  virtual OSStatus DoRawKeyDown(SysCarbonEvent& event, char key, UInt32 keyCode, UInt32 modifiers,
                                UInt32 keyboardType) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class RawKeyUpDoer : public SpecificEventDoer<kEventClassKeyboard, kEventRawKeyUp> {
protected:
  virtual OSStatus DoRawKeyUp(SysCarbonEvent& event, char key, UInt32 keyCode, UInt32 modifiers,
                              UInt32 keyboardType) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class RawKeyModifiersChangedDoer
    : public SpecificEventDoer<kEventClassKeyboard, kEventRawKeyModifiersChanged> {
protected:
  virtual OSStatus DoRawKeyModifiersChanged(SysCarbonEvent& event, UInt32 modifiers) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

}  // namespace PPx
