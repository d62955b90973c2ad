// A colour swatch placed in nib files by class id: one RGB colour in the well of a small bevel
// button. A click opens the colour picker; the colour can be dragged out (flavour 'colr', 6 bytes)
// and another colour dropped in; every change the user makes, and every SetSwatchColor, sends a
// command event with the control's command id from the swatch. Register the class once before the
// first nib that holds one is loaded.
//
// Parts: 10 the whole swatch (hit testing, highlight, focus); 26 the well, the bounds inset by 5
// (drawn, tracked and answered as its region alike); -1 and -2 the whole bounds.
#pragma once

#include "PPXA/PPXA_ControlDataDoers.h"
#include "PPXA/iPPXA_OnePartView.h"

#include <Carbon/Carbon.h>
#include <PPx/PPxView.h>

#include <memory>

namespace PPXA {

extern const char kColorSwatchViewClassID[];       // "com.nolt.PPXA.ColorSwatch"
extern const ControlKind kColorSwatchControlKind;  // {'cSwh', 'cSwh'}
constexpr ControlPartCode kColorSwatchWellPart = 26;
constexpr ResType kColorSwatchColorTag = 0x73436c72;       // 'sClr'
constexpr FlavorType kColorSwatchDragFlavor = 0x636f6c72;  // 'colr'

class ColorSwatch : public iPPXA_OnePartView,
                    public PPx::ControlDrawDoer,
                    public PPx::ControlHitTestDoer,
                    public PPx::ControlHitDoer,
                    public PPx::ControlTrackDoer,
                    public PPx::ControlGetPartRegionDoer,
                    public PPx::ControlGetOptimalBoundsDoer,
                    public PPx::ControlGetSizeConstraintsDoer,
                    public ControlGetDataDoer,
                    public ControlSetDataDoer,
                    public PPx::ControlDragEnterDoer,
                    public PPx::ControlDragLeaveDoer,
                    public PPx::ControlDragWithinDoer,
                    public PPx::ControlDragReceiveDoer,
                    public PPx::TextInputUnicodeForKeyEventDoer {
public:
  static constexpr const char* kGetInstanceFailed = "GetEventParameter() - failed";

  // Registers the class once per process; throws PPx::OSError.
  static void Register();
  static OSStatus HIObjectEventHandler(EventHandlerCallRef call, EventRef event, void* userData);
  static std::unique_ptr<ColorSwatch> MakeInstance();

  const char* ClassName() const override { return kColorSwatchViewClassID; }

  void InstallEventHandlers();
  void InitializeHIObject() { InstallEventHandlers(); }

  RGBColor GetSwatchColor() const { return m_Color; }
  // Stores and redraws the colour and announces it like a user's change.
  void SetSwatchColor(const RGBColor& color);
  // The whole bounds for parts 10, -1 and -2, the well for part 26, else the all-zero rectangle.
  HIRect GetControlPartBounds(ControlPartCode part) const;

  // Whether the drag carries a colour ('colr' of 6 bytes, the first one found), and which. The
  // answer is kept for that drag until a drag leaves or is dropped, so that the repeated questions
  // of one drag get one answer.
  static bool GetColorFromDrag(DragRef drag, RGBColor* color);

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
  OSStatus DoControlDragEnter(PPx::SysCarbonEvent& event, ControlRef control,
                              DragRef drag) override;
  OSStatus DoControlDragLeave(PPx::SysCarbonEvent& event, ControlRef control,
                              DragRef drag) override;
  OSStatus DoControlDragWithin(PPx::SysCarbonEvent& event, ControlRef control,
                               DragRef drag) override;
  OSStatus DoControlDragReceive(PPx::SysCarbonEvent& event, ControlRef control,
                                DragRef drag) override;
  OSStatus DoTextInputUnicodeForKeyEvent(PPx::SysCarbonEvent& event, const UniChar* text,
                                         UInt32 length, EventRef keyEvent) override;

private:
  // Drags the colour out of the swatch; the drag is gone when it returns.
  void DoColorDrag(const PPx::SysCarbonEvent& event);
  void SendColorChangedCommandEvent();
  // Forgets the last drag's answer (its DragRef may be reused by a later drag).
  static void ForgetLastDrag();

  static const EventTypeSpec kFactoryEvents[3];
  static HIObjectClassRef sm_ClassRef;

  RGBColor m_Color{0, 0, 0};
  bool m_DropAccept = false;
};

}  // namespace PPXA
