// What the stand-ins of the program's custom view classes share: the class registers once, so
// that nibs naming it load, and its views draw a placard over their bounds. Self names the class
// (kClassID) and the failure text of its registration (kRegisterFailed). The calls the program
// makes on its views are recorded.
#pragma once

#include "MKRX/iMKRX_PlaceholderLog.h"
#include "PPXA/iPPXA_CustomView.h"

#include <HIToolbox/Appearance.h>
#include <PPx/PPxView.h>
#include <PPx/PPxViewDoers.h>

#include <memory>
#include <string>

class MKRX_SheetView;

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

  // The object of a view of this class; null for null and for other views.
  static Self* FromView(HIViewRef view) {
    if (view == nullptr)
      return nullptr;
    PPXA::iPPXA_CFHolder<CFStringRef> const id(
        CFStringCreateWithCString(nullptr, Self::kClassID, kCFStringEncodingUTF8));
    return static_cast<Self*>(HIObjectDynamicCast(reinterpret_cast<HIObjectRef>(view), id.Get()));
  }

  void SetView(MKRX_SheetView* view) {
    m_View = view;
    Record("SetView");
  }
  void Refresh() { Record("Refresh"); }
  MKRX_SheetView* GetView() const { return m_View; }

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
  // Recorded under the class's own name, the part of the class id after its last dot.
  static void Record(const char* operation) {
    std::string const id = Self::kClassID;
    iMKRX_PlaceholderLog::Record("MKRX_" + id.substr(id.rfind('.') + 1) + "::" + operation);
  }

  static OSStatus HIObjectEventHandler(EventHandlerCallRef, EventRef event, void* userData) {
    return PPXA::iPPXA_HandleCustomViewEvent(event, static_cast<Self*>(userData));
  }

  static inline HIObjectClassRef sm_ClassRef = nullptr;
  MKRX_SheetView* m_View = nullptr;
};
