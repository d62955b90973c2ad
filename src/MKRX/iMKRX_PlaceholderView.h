// What the stand-ins of the program's custom view classes share: the class registers once, so
// that nibs naming it load, and its views draw a placard over their bounds. Self names the class
// (kClassID) and the failure text of its registration (kRegisterFailed).
#pragma once

#include "PPXA/iPPXA_CustomView.h"

#include <HIToolbox/Appearance.h>
#include <PPx/PPxView.h>
#include <PPx/PPxViewDoers.h>

#include <memory>

template <class Self>
class iMKRX_PlaceholderView : public PPx::View, public PPx::ControlDrawDoer {
public:
  static constexpr const char* kGetInstanceFailed = "GetEventParameter() - failed";

  // Once per process; throws PPx::OSError.
  static void Register() {
    static const EventTypeSpec kEvents[3] = {{kEventClassHIObject, kEventHIObjectConstruct},
                                             {kEventClassHIObject, kEventHIObjectInitialize},
                                             {kEventClassHIObject, kEventHIObjectDestruct}};
    PPXA::iPPXA_RegisterCustomViewClass(Self::kClassID, HIObjectEventHandler, kEvents, nullptr,
                                        &sm_ClassRef, Self::kRegisterFailed);
  }
  static bool IsRegistered() { return sm_ClassRef != nullptr; }

  static std::unique_ptr<Self> MakeInstance() { return std::make_unique<Self>(); }
  void InitializeHIObject() { PPx::ControlDrawDoer::Install(SysEventTarget()); }
  const char* ClassName() const override { return Self::kClassID; }

protected:
  OSStatus DoControlDraw(PPx::SysCarbonEvent&, ControlRef, ControlPartCode, RgnHandle,
                         CGContextRef) override {
    HIRect bounds = CGRectMake(0, 0, 0, 0);
    HIViewGetBounds(GetSysView(), &bounds);
    const Rect placard = {0, 0, static_cast<short>(bounds.size.height),
                          static_cast<short>(bounds.size.width)};
    DrawThemePlacard(&placard, IsActive() ? kThemeStateActive : kThemeStateInactive);
    return noErr;
  }

private:
  static OSStatus HIObjectEventHandler(EventHandlerCallRef, EventRef event, void* userData) {
    return PPXA::iPPXA_HandleCustomViewEvent(event, static_cast<Self*>(userData));
  }

  static inline HIObjectClassRef sm_ClassRef = nullptr;
};
