// PowerPlant X of the Mac stand-in: the doers of window events (see PPx/PPxWindowDoers.h).
#include <PPx/PPxWindowDoers.h>

namespace PPx {

namespace {

WindowRef WindowOf(const SysCarbonEvent& event) {
  WindowRef window = nullptr;
  event.GetParameter(kEventParamDirectObject, typeWindowRef, window);
  return window;
}

// Asks for a size ('dims') and writes the answer back on noErr.
template <class Ask>
OSStatus AskSize(SysCarbonEvent& event, Ask ask) {
  Point size{0, 0};
  event.GetParameter(kEventParamDimensions, typeQDPoint, size);
  const OSStatus status = ask(WindowOf(event), size);
  if (status == noErr)
    event.SetParameter(kEventParamDimensions, typeQDPoint, size);
  return status;
}

}  // namespace

OSStatus WindowActivatedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoWindowActivated(event, WindowOf(event));
}

OSStatus WindowDeactivatedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoWindowDeactivated(event, WindowOf(event));
}

OSStatus WindowBoundsChangedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  UInt32 attributes = 0;
  Rect original{0, 0, 0, 0};
  Rect previous{0, 0, 0, 0};
  Rect current{0, 0, 0, 0};
  event.GetParameter(kEventParamAttributes, typeUInt32, attributes);
  event.GetParameter(kEventParamOriginalBounds, typeQDRectangle, original);
  event.GetParameter(kEventParamPreviousBounds, typeQDRectangle, previous);
  event.GetParameter(kEventParamCurrentBounds, typeQDRectangle, current);
  return DoWindowBoundsChanged(event, WindowOf(event), attributes, original, previous, current);
}

OSStatus WindowGetMinimumSizeDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return AskSize(event, [&](WindowRef window, Point& size) {
    return DoWindowGetMinimumSize(event, window, size);
  });
}

OSStatus WindowGetMaximumSizeDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return AskSize(event, [&](WindowRef window, Point& size) {
    return DoWindowGetMaximumSize(event, window, size);
  });
}

OSStatus WindowResizeCompletedDoer::DoEvent(EventHandlerCallRef, SysCarbonEvent& event) {
  return DoWindowResizeCompleted(event, WindowOf(event));
}

}  // namespace PPx
