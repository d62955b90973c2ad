// PowerPlant X of the Mac stand-in: the doers of custom views. Each unpacks its event's
// parameters, calls its Do operation and writes the answers the event carries back into it:
// - draw: the part ('cprt', 0 when absent), the region ('rgnh') and the context ('cntx');
// - track: the mouse ('mloc', view coordinates), modifiers, action ('caup'); the part ('cprt') is
//   written back whatever the answer, so a handler that leaves tracking to the standard handling
//   still chooses the part it tracks;
// - part region: the part and the region to fill ('crgn');
// - optimal bounds ('cobn', an HIRect) and baseline ('cobo'), size constraints ('mnsz', 'mxsz',
//   HISize): they come in as the event holds them and go back on noErr;
// - focus: the requested part (0 none, -1 next, -2 previous, else a part) and 'fevr' (focus
//   everything, as full keyboard access asks); the resulting part goes back on noErr;
// - drags: the DragRef ('drag'); a handler that accepts sets 'cldg' on the event itself;
// - text input: the typed characters ('tstx') and the raw key event ('tske', null when absent);
// - hilite changed: the previous and current parts ('copc', 'cnpc');
// - click: the mouse ('mloc') in global coordinates;
// - scrollable get-info: image, view and line sizes and origin ('imsz', 'vwsz', 'lnsz', 'orgn'),
//   written back on noErr; scroll-to: the new origin ('orgn').
#pragma once
#include <HIToolbox/Controls.h>
#include <HIToolbox/Drag.h>

#include <PPx/PPxEventTarget.h>

namespace PPx {

class ControlDrawDoer : public SpecificEventDoer<kEventClassControl, kEventControlDraw> {
protected:
  virtual OSStatus DoControlDraw(SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                                 RgnHandle region, CGContextRef context) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlTrackDoer : public SpecificEventDoer<kEventClassControl, kEventControlTrack> {
protected:
  virtual OSStatus DoControlTrack(SysCarbonEvent& event, ControlRef control, const CGPoint& where,
                                  UInt32 modifiers, ControlActionUPP action,
                                  ControlPartCode& part) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlGetPartRegionDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlGetPartRegion> {
protected:
  virtual OSStatus DoControlGetPartRegion(SysCarbonEvent& event, ControlRef control,
                                          ControlPartCode part, RgnHandle region) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlGetOptimalBoundsDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlGetOptimalBounds> {
protected:
  virtual OSStatus DoControlGetOptimalBounds(SysCarbonEvent& event, ControlRef control,
                                             HIRect& bounds, SInt16& baselineOffset) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlGetSizeConstraintsDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlGetSizeConstraints> {
protected:
  virtual OSStatus DoControlGetSizeConstraints(SysCarbonEvent& event, ControlRef control,
                                               HISize& minimum, HISize& maximum) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlSetFocusPartDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlSetFocusPart> {
protected:
  virtual OSStatus DoControlSetFocusPart(SysCarbonEvent& event, ControlRef control,
                                         bool focusEverything, ControlPartCode& part) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlDragEnterDoer : public SpecificEventDoer<kEventClassControl, kEventControlDragEnter> {
protected:
  virtual OSStatus DoControlDragEnter(SysCarbonEvent& event, ControlRef control, DragRef drag) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlDragWithinDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlDragWithin> {
protected:
  virtual OSStatus DoControlDragWithin(SysCarbonEvent& event, ControlRef control, DragRef drag) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlDragLeaveDoer : public SpecificEventDoer<kEventClassControl, kEventControlDragLeave> {
protected:
  virtual OSStatus DoControlDragLeave(SysCarbonEvent& event, ControlRef control, DragRef drag) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlDragReceiveDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlDragReceive> {
protected:
  virtual OSStatus DoControlDragReceive(SysCarbonEvent& event, ControlRef control,
                                        DragRef drag) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class TextInputUnicodeForKeyEventDoer
    : public SpecificEventDoer<kEventClassTextInput, kEventTextInputUnicodeForKeyEvent> {
protected:
  virtual OSStatus DoTextInputUnicodeForKeyEvent(SysCarbonEvent& event, const UniChar* text,
                                                 UInt32 length, EventRef keyEvent) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlHiliteChangedDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlHiliteChanged> {
protected:
  virtual OSStatus DoControlHiliteChanged(SysCarbonEvent& event, ControlRef control,
                                          ControlPartCode previousPart,
                                          ControlPartCode currentPart) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlActivateDoer : public SpecificEventDoer<kEventClassControl, kEventControlActivate> {
protected:
  virtual OSStatus DoControlActivate(SysCarbonEvent& event, ControlRef control) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlDeactivateDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlDeactivate> {
protected:
  virtual OSStatus DoControlDeactivate(SysCarbonEvent& event, ControlRef control) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlEnabledStateChangedDoer
    : public SpecificEventDoer<kEventClassControl, kEventControlEnabledStateChanged> {
protected:
  virtual OSStatus DoControlEnabledStateChanged(SysCarbonEvent& event, ControlRef control) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ControlClickDoer : public SpecificEventDoer<kEventClassControl, kEventControlClick> {
protected:
  virtual OSStatus DoControlClick(SysCarbonEvent& event, ControlRef control,
                                  const CGPoint& globalMouse) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ScrollableGetInfoDoer
    : public SpecificEventDoer<kEventClassScrollable, kEventScrollableGetInfo> {
protected:
  virtual OSStatus DoScrollableGetInfo(SysCarbonEvent& event, CGSize& imageSize, CGSize& viewSize,
                                       CGSize& lineSize, CGPoint& origin) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class ScrollableScrollToDoer
    : public SpecificEventDoer<kEventClassScrollable, kEventScrollableScrollTo> {
protected:
  virtual OSStatus DoScrollableScrollTo(SysCarbonEvent& event, const CGPoint& origin) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

}  // namespace PPx
