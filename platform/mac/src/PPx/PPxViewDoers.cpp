// PowerPlant X of the Mac stand-in: the doers of custom views (see PPx/PPxViewDoers.h).
#include <PPx/PPxViewDoers.h>

#include <vector>

namespace PPx {

namespace {

ControlRef ControlOf(const SysCarbonEvent& event) {
  ControlRef control = nullptr;
  event.GetParameter(kEventParamDirectObject, typeControlRef, control);
  return control;
}

DragRef DragOf(const SysCarbonEvent& event) {
  DragRef drag = nullptr;
  event.GetParameter(kEventParamDragRef, typeDragRef, drag);
  return drag;
}

}  // namespace

OSStatus ControlDrawDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  ControlPartCode part = kControlNoPart;
  RgnHandle region = nullptr;
  CGContextRef context = nullptr;
  event.GetParameter(kEventParamControlPart, typeControlPartCode, part);
  event.GetParameter(kEventParamRgnHandle, typeQDRgnHandle, region);
  event.GetParameter(kEventParamCGContextRef, typeCGContextRef, context);
  return DoControlDraw(event, ControlOf(event), part, region, context);
}

OSStatus ControlTrackDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  HIPoint where = {0, 0};
  ControlActionUPP action = nullptr;
  ControlPartCode part = kControlNoPart;
  event.GetParameter(kEventParamMouseLocation, typeHIPoint, where);
  event.GetParameter(kEventParamControlAction, typeControlActionUPP, action);
  event.GetParameter(kEventParamControlPart, typeControlPartCode, part);
  const OSStatus status =
      DoControlTrack(event, ControlOf(event), where, event.GetKeyModifiers(), action, part);
  event.SetParameter(kEventParamControlPart, typeControlPartCode, part);
  return status;
}

OSStatus ControlGetPartRegionDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  ControlPartCode part = kControlNoPart;
  RgnHandle region = nullptr;
  event.GetParameter(kEventParamControlPart, typeControlPartCode, part);
  event.GetParameter(kEventParamControlRegion, typeQDRgnHandle, region);
  return DoControlGetPartRegion(event, ControlOf(event), part, region);
}

OSStatus ControlGetOptimalBoundsDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  HIRect bounds = CGRectMake(0, 0, 0, 0);
  SInt16 baseline = 0;
  event.GetParameter(kEventParamControlOptimalBounds, typeHIRect, bounds);
  event.GetParameter(kEventParamControlOptimalBaselineOffset, typeSInt16, baseline);
  const SInt16 baselineBefore = baseline;
  const OSStatus status = DoControlGetOptimalBounds(event, ControlOf(event), bounds, baseline);
  if (status == noErr) {
    event.SetParameter(kEventParamControlOptimalBounds, typeHIRect, bounds);
    if (baseline != baselineBefore)
      event.SetParameter(kEventParamControlOptimalBaselineOffset, typeSInt16, baseline);
  }
  return status;
}

OSStatus ControlGetSizeConstraintsDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  HISize minimum = {0, 0};
  HISize maximum = {0, 0};
  event.GetParameter(kEventParamMinimumSize, typeHISize, minimum);
  event.GetParameter(kEventParamMaximumSize, typeHISize, maximum);
  const OSStatus status = DoControlGetSizeConstraints(event, ControlOf(event), minimum, maximum);
  if (status == noErr) {
    event.SetParameter(kEventParamMinimumSize, typeHISize, minimum);
    event.SetParameter(kEventParamMaximumSize, typeHISize, maximum);
  }
  return status;
}

OSStatus ControlSetFocusPartDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  ControlPartCode part = kControlNoPart;
  Boolean everything = false;
  event.GetParameter(kEventParamControlPart, typeControlPartCode, part);
  event.GetParameter(kEventParamControlFocusEverything, typeBoolean, everything);
  const OSStatus status = DoControlSetFocusPart(event, ControlOf(event), everything != 0, part);
  if (status == noErr)
    event.SetParameter(kEventParamControlPart, typeControlPartCode, part);
  return status;
}

OSStatus ControlDragEnterDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoControlDragEnter(event, ControlOf(event), DragOf(event));
}

OSStatus ControlDragWithinDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoControlDragWithin(event, ControlOf(event), DragOf(event));
}

OSStatus ControlDragLeaveDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoControlDragLeave(event, ControlOf(event), DragOf(event));
}

OSStatus ControlDragReceiveDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoControlDragReceive(event, ControlOf(event), DragOf(event));
}

OSStatus TextInputUnicodeForKeyEventDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  UInt32 bytes = 0;
  EventRef raw = event.GetEventRef();
  GetEventParameter(raw, kEventParamTextInputSendText, typeUnicodeText, nullptr, 0, &bytes,
                    nullptr);
  std::vector<UniChar> text(bytes / sizeof(UniChar));
  if (!text.empty())
    GetEventParameter(raw, kEventParamTextInputSendText, typeUnicodeText, nullptr,
                      static_cast<UInt32>(text.size() * sizeof(UniChar)), nullptr, text.data());
  EventRef keyEvent = nullptr;
  event.GetParameter(kEventParamTextInputSendKeyboardEvent, typeEventRef, keyEvent);
  return DoTextInputUnicodeForKeyEvent(event, text.data(), static_cast<UInt32>(text.size()),
                                       keyEvent);
}

OSStatus ControlHiliteChangedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  ControlPartCode previous = kControlNoPart;
  ControlPartCode current = kControlNoPart;
  event.GetParameter(kEventParamControlPreviousPart, typeControlPartCode, previous);
  event.GetParameter(kEventParamControlCurrentPart, typeControlPartCode, current);
  return DoControlHiliteChanged(event, ControlOf(event), previous, current);
}

OSStatus ControlActivateDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoControlActivate(event, ControlOf(event));
}

OSStatus ControlDeactivateDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoControlDeactivate(event, ControlOf(event));
}

OSStatus ControlEnabledStateChangedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoControlEnabledStateChanged(event, ControlOf(event));
}

OSStatus ControlClickDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  HIPoint mouse = {0, 0};
  event.GetParameter(kEventParamMouseLocation, typeHIPoint, mouse);
  return DoControlClick(event, ControlOf(event), mouse);
}

OSStatus ScrollableGetInfoDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  CGSize imageSize = {0, 0};
  CGSize viewSize = {0, 0};
  CGSize lineSize = {0, 0};
  CGPoint origin = {0, 0};
  const OSStatus status = DoScrollableGetInfo(event, imageSize, viewSize, lineSize, origin);
  if (status == noErr) {
    event.SetParameter(kEventParamImageSize, typeHISize, imageSize);
    event.SetParameter(kEventParamViewSize, typeHISize, viewSize);
    event.SetParameter(kEventParamLineSize, typeHISize, lineSize);
    event.SetParameter(kEventParamOrigin, typeHIPoint, origin);
  }
  return status;
}

OSStatus ScrollableScrollToDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  HIPoint origin = {0, 0};
  event.GetParameter(kEventParamOrigin, typeHIPoint, origin);
  return DoScrollableScrollTo(event, origin);
}

}  // namespace PPx
