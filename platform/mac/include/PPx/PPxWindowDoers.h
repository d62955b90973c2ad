// PowerPlant X of the Mac stand-in: the doers of window events. Each unpacks the window (the
// direct object) and the event's parameters and calls its Do operation:
// - activated, deactivated, resize completed: the window;
// - bounds changed: 'attr' (kWindowBoundsChange...), the original, previous and current structure
//   ('orgb', 'prvb', 'crct', QuickDraw rectangles);
// - minimum and maximum size: the size ('dims', a QuickDraw point: h the width, v the height),
//   written back on noErr.
#pragma once
#include <HIToolbox/MacWindows.h>

#include <PPx/PPxEventTarget.h>

namespace PPx {

class WindowActivatedDoer : public SpecificEventDoer<kEventClassWindow, kEventWindowActivated> {
protected:
  virtual OSStatus DoWindowActivated(SysCarbonEvent& event, WindowRef window) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class WindowDeactivatedDoer : public SpecificEventDoer<kEventClassWindow, kEventWindowDeactivated> {
protected:
  virtual OSStatus DoWindowDeactivated(SysCarbonEvent& event, WindowRef window) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class WindowBoundsChangedDoer
    : public SpecificEventDoer<kEventClassWindow, kEventWindowBoundsChanged> {
protected:
  virtual OSStatus DoWindowBoundsChanged(SysCarbonEvent& event, WindowRef window, UInt32 attributes,
                                         const Rect& originalBounds, const Rect& previousBounds,
                                         const Rect& currentBounds) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class WindowGetMinimumSizeDoer
    : public SpecificEventDoer<kEventClassWindow, kEventWindowGetMinimumSize> {
protected:
  virtual OSStatus DoWindowGetMinimumSize(SysCarbonEvent& event, WindowRef window,
                                          Point& minimumSize) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class WindowGetMaximumSizeDoer
    : public SpecificEventDoer<kEventClassWindow, kEventWindowGetMaximumSize> {
protected:
  virtual OSStatus DoWindowGetMaximumSize(SysCarbonEvent& event, WindowRef window,
                                          Point& maximumSize) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

class WindowResizeCompletedDoer
    : public SpecificEventDoer<kEventClassWindow, kEventWindowResizeCompleted> {
protected:
  virtual OSStatus DoWindowResizeCompleted(SysCarbonEvent& event, WindowRef window) = 0;
  OSStatus DoEvent(EventHandlerCallRef call, SysCarbonEvent& event) override;
};

}  // namespace PPx
