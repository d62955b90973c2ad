#include "PPXA/PPXA_ToggleButton.h"

#include "PPXA/iPPXA_CustomView.h"

#include <HIServices/Icons.h>
#include "UMAC/UMAC_QDRect.h"

namespace PPXA {

const char kToggleButtonViewClassID[] = "com.nolt.PPXA.ToggleButton";
const ControlKind kToggleButtonControlKind = {0x546c6742, 0x546c6742};  // 'TglB'

const EventTypeSpec ToggleButton::kFactoryEvents[3] = {
    {kEventClassHIObject, kEventHIObjectConstruct},
    {kEventClassHIObject, kEventHIObjectInitialize},
    {kEventClassHIObject, kEventHIObjectDestruct}};
HIObjectClassRef ToggleButton::sm_ClassRef = nullptr;

void ToggleButton::Register() {
  iPPXA_RegisterCustomViewClass(kToggleButtonViewClassID, HIObjectEventHandler, kFactoryEvents,
                                nullptr, &sm_ClassRef,
                                "HIObjectRegisterSubclass( kToggleButtonViewClassID ) failed");
}

OSStatus ToggleButton::HIObjectEventHandler(EventHandlerCallRef, EventRef event, void* userData) {
  return iPPXA_HandleCustomViewEvent(event, static_cast<ToggleButton*>(userData));
}

std::unique_ptr<ToggleButton> ToggleButton::MakeInstance() {
  return std::make_unique<ToggleButton>();
}

void ToggleButton::InstallEventHandlers() {
  EventTargetRef target = SysEventTarget();
  PPx::ControlDrawDoer::Install(target);
  PPx::ControlHitTestDoer::Install(target);
  PPx::ControlHitDoer::Install(target);
  PPx::ControlTrackDoer::Install(target);
  PPx::ControlGetPartRegionDoer::Install(target);
  PPx::ControlGetOptimalBoundsDoer::Install(target);
  PPx::ControlGetSizeConstraintsDoer::Install(target);
  ControlGetDataDoer::Install(target);
  ControlSetDataDoer::Install(target);
  PPx::ControlSetFocusPartDoer::Install(target);
  InstallBoundsChangedDoer();
  PPx::ControlHiliteChangedDoer::Install(target);
  PPx::ControlActivateDoer::Install(target);
  PPx::ControlDeactivateDoer::Install(target);
  PPx::ControlEnabledStateChangedDoer::Install(target);
}

void ToggleButton::InitializeHIObject() {
  InstallEventHandlers();
  SetMinValue(0);
  SetMaxValue(1);
}

void ToggleButton::SetGraphics(OSType creator, OSType onType, OSType onPressedType, OSType offType,
                               OSType offPressedType) {
  const OSType types[kIconCount] = {onType, onPressedType, offType, offPressedType};
  for (int i = 0; i < kIconCount; ++i) {
    IconRef icon = nullptr;
    if (GetIconRef(kOnSystemDisk, creator, types[i], &icon) != noErr)
      icon = nullptr;
    m_Icons[i].Reset(icon);
  }
  SetNeedsDisplay();
}

HIRect ToggleButton::GetControlPartBounds(ControlPartCode part) const {
  if (!iPPXA_IsWholeViewPart(part))
    return CGRectMake(0, 0, 0, 0);
  HIRect bounds = CGRectMake(0, 0, 0, 0);
  HIViewGetBounds(GetSysView(), &bounds);
  return bounds;
}

OSStatus ToggleButton::DoControlDraw(PPx::SysCarbonEvent&, ControlRef, ControlPartCode, RgnHandle,
                                     CGContextRef context) {
  if (context == nullptr)
    return noErr;
  const bool disabled = !IsEnabled();
  const bool pressed = GetControlHilite(GetSysView()) == kiPPXA_WholeViewPart;
  const HIRect rect = GetControlPartBounds(kiPPXA_WholeViewPart);
  const IconIndex which =
      GetValue() != 0 ? (pressed ? kOnPressed : kOn) : (pressed ? kOffPressed : kOff);
  IconRef icon = m_Icons[which].Get();
  if (icon == nullptr)
    return noErr;
  // Icons are drawn like images, first row at the larger y: mirror the flipped view back.
  CGContextSaveGState(context);
  CGContextTranslateCTM(context, 0, rect.size.height);
  CGContextScaleCTM(context, 1, -1);
  const RGBColor white = {0xFFFF, 0xFFFF, 0xFFFF};
  PlotIconRefInContext(context, &rect, kAlignAbsoluteCenter,
                       disabled ? kTransformDisabled : kTransformNone, &white, 0, icon);
  CGContextRestoreGState(context);
  return noErr;
}

OSStatus ToggleButton::DoControlHitTest(PPx::SysCarbonEvent&, ControlRef, HIPoint where,
                                        ControlPartCode& part) {
  part = CGRectContainsPoint(GetControlPartBounds(kiPPXA_WholeViewPart), where)
             ? kiPPXA_WholeViewPart
             : ControlPartCode(kControlNoPart);
  return noErr;
}

OSStatus ToggleButton::DoControlHit(PPx::SysCarbonEvent&, ControlRef, ControlPartCode, UInt32) {
  SetValue(GetValue() != 0 ? 0 : 1);
  return eventNotHandledErr;  // the standard hit handling (the command) follows
}

OSStatus ToggleButton::DoControlTrack(PPx::SysCarbonEvent&, ControlRef, const CGPoint&, UInt32,
                                      ControlActionUPP, ControlPartCode&) {
  return eventNotHandledErr;
}

OSStatus ToggleButton::DoControlGetPartRegion(PPx::SysCarbonEvent&, ControlRef,
                                              ControlPartCode part, RgnHandle region) {
  if (region == nullptr)
    return paramErr;
  if (!iPPXA_IsWholeViewPart(part)) {
    SetEmptyRgn(region);
    return kiPPXA_InvalidPartCode;
  }
  const UMAC_QDRect rect(GetControlPartBounds(part));
  RectRgn(region, &rect);
  return noErr;
}

OSStatus ToggleButton::DoControlGetOptimalBounds(PPx::SysCarbonEvent&, ControlRef, HIRect& bounds,
                                                 SInt16&) {
  bounds = CGRectMake(0, 0, 16, 16);
  return noErr;
}

OSStatus ToggleButton::DoControlGetSizeConstraints(PPx::SysCarbonEvent&, ControlRef,
                                                   HISize& minimum, HISize&) {
  // The icon's own size is the least the button can show; the maximum is left as it comes.
  minimum = CGSizeMake(16, 16);
  return noErr;
}

OSStatus ToggleButton::DoControlGetData(PPx::SysCarbonEvent&, ControlRef, ControlPartCode,
                                        ResType tag, Ptr buffer, Size& size) {
  if (tag != kControlKindTag)
    return eventNotHandledErr;
  return iPPXA_AnswerControlData(&kToggleButtonControlKind, sizeof kToggleButtonControlKind, buffer,
                                 size);
}

OSStatus ToggleButton::DoControlSetData(PPx::SysCarbonEvent&, ControlRef, ControlPartCode, ResType,
                                        Ptr, Size) {
  return eventNotHandledErr;
}

}  // namespace PPXA
