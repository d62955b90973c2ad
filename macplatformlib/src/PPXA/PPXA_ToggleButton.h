// A two-state graphic button placed in nib files by class id: its value is 0 or 1, each click
// flips it (the system's hit handling, such as sending the command, follows), and it shows one of
// four icons (on, on pressed, off, off pressed), dimmed while disabled. Register the class once
// before the first nib that holds one is loaded.
#pragma once

#include "PPXA/PPXA_ControlDataDoers.h"
#include "PPXA/iPPXA_OnePartView.h"

#include <PPx/PPxView.h>
#include "UMAC/UMAC_IconRef.h"

#include <memory>

namespace PPXA {

extern const char kToggleButtonViewClassID[];       // "com.nolt.PPXA.ToggleButton"
extern const ControlKind kToggleButtonControlKind;  // {'TglB', 'TglB'}

class ToggleButton : public iPPXA_OnePartView,
                     public PPx::ControlDrawDoer,
                     public PPx::ControlHitTestDoer,
                     public PPx::ControlHitDoer,
                     public PPx::ControlTrackDoer,
                     public PPx::ControlGetPartRegionDoer,
                     public PPx::ControlGetOptimalBoundsDoer,
                     public PPx::ControlGetSizeConstraintsDoer,
                     public ControlGetDataDoer,
                     public ControlSetDataDoer {
public:
  static constexpr const char* kGetInstanceFailed = "GetEventParameter() - failed";

  // Registers the class once per process; throws PPx::OSError.
  static void Register();
  static OSStatus HIObjectEventHandler(EventHandlerCallRef call, EventRef event, void* userData);
  static std::unique_ptr<ToggleButton> MakeInstance();

  const char* ClassName() const override { return kToggleButtonViewClassID; }

  void InstallEventHandlers();
  // Installs the handlers and keeps the value within 0...1.
  void InitializeHIObject();
  // The four icons by creator and type (none when the type has no icon); the old ones are
  // released.
  void SetGraphics(OSType creator, OSType onType, OSType onPressedType, OSType offType,
                   OSType offPressedType);
  // The whole bounds for parts 10, -1 and -2, else the all-zero rectangle.
  HIRect GetControlPartBounds(ControlPartCode part) const;

protected:
  OSStatus DoControlDraw(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                         RgnHandle region, CGContextRef context) override;
  OSStatus DoControlHitTest(PPx::SysCarbonEvent& event, ControlRef control, HIPoint where,
                            ControlPartCode& part) override;
  OSStatus DoControlHit(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                        UInt32 modifiers) override;
  OSStatus DoControlTrack(PPx::SysCarbonEvent& event, ControlRef control, const CGPoint& where,
                          UInt32 modifiers, ControlActionUPP action,
                          ControlPartCode& part) override;
  OSStatus DoControlGetPartRegion(PPx::SysCarbonEvent& event, ControlRef control,
                                  ControlPartCode part, RgnHandle region) override;
  OSStatus DoControlGetOptimalBounds(PPx::SysCarbonEvent& event, ControlRef control, HIRect& bounds,
                                     SInt16& baselineOffset) override;
  OSStatus DoControlGetSizeConstraints(PPx::SysCarbonEvent& event, ControlRef control,
                                       HISize& minimum, HISize& maximum) override;
  OSStatus DoControlGetData(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                            ResType tag, Ptr buffer, Size& size) override;
  OSStatus DoControlSetData(PPx::SysCarbonEvent& event, ControlRef control, ControlPartCode part,
                            ResType tag, Ptr buffer, Size size) override;

private:
  enum IconIndex {
    kOn,
    kOnPressed,
    kOff,
    kOffPressed,
    kIconCount
  };

  static const EventTypeSpec kFactoryEvents[3];
  static HIObjectClassRef sm_ClassRef;

  UMAC_IconRef m_Icons[kIconCount];
};

}  // namespace PPXA
