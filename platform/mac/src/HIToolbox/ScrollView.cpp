// Scrolling of the Mac stand-in: HIViewScrollRect and the scroll view's questions to its
// scrollable content (see HIToolbox/HIView.h).
#include "iStandInToolbox.h"

namespace {

// Sends the event to the scroll view's subviews in order until one answers it (the scrollable
// content); eventNotHandledErr when none does.
OSStatus SendToContent(StandIn_ViewImpl* scrollView, EventRef event) {
  if (scrollView == nullptr)
    return paramErr;
  const std::vector<StandIn_ViewImpl*> subviews = scrollView->m_Subviews;
  for (StandIn_ViewImpl* subview : subviews) {
    CFRetain(subview);
    const OSStatus status = SendEventToEventTarget(event, &subview->StandInCore().target);
    CFRelease(subview);
    if (status != eventNotHandledErr)
      return status;
  }
  return eventNotHandledErr;
}

}  // namespace

namespace standin_tb {

OSStatus StandardScrollableEvent(StandIn_ViewImpl* view, EventRef event) {
  if (GetEventKind(event) != kEventScrollableInfoChanged || view->m_Kind != "scrollview")
    return eventNotHandledErr;
  EventHolder ask(kEventClassScrollable, kEventScrollableGetInfo);
  if (SendToContent(view, ask.Get()) != noErr)
    return noErr;
  StandIn_ScrollInfo& info = view->m_ScrollInfo;
  Get(ask.Get(), kEventParamImageSize, typeHISize, &info.imageSize);
  Get(ask.Get(), kEventParamViewSize, typeHISize, &info.viewSize);
  Get(ask.Get(), kEventParamLineSize, typeHISize, &info.lineSize);
  Get(ask.Get(), kEventParamOrigin, typeHIPoint, &info.origin);
  ++info.asked;
  return noErr;
}

}  // namespace standin_tb

OSStatus HIViewScrollRect(HIViewRef inView, const HIRect*, CGFloat inDX, CGFloat inDY) {
  if (OSStatus err = standin_tb::EnterCall("HIViewScrollRect"))
    return err;
  if (inView == nullptr)
    return paramErr;
  StandIn_ScrollRecord& record = standin_tb::View(inView)->m_LastScroll;
  record = StandIn_ScrollRecord{inDX, inDY, record.count + 1};
  return HIViewSetNeedsDisplay(inView, true);
}

StandIn_ScrollRecord StandIn_HIViewLastScroll(HIViewRef inView) {
  return inView ? standin_tb::View(inView)->m_LastScroll : StandIn_ScrollRecord{0, 0, 0};
}

StandIn_ScrollInfo StandIn_ScrollViewInfo(HIViewRef scrollView) {
  return scrollView ? standin_tb::View(scrollView)->m_ScrollInfo
                    : StandIn_ScrollInfo{{0, 0}, {0, 0}, {0, 0}, {0, 0}, 0};
}

OSStatus StandIn_ScrollViewScrollTo(HIViewRef scrollView, HIPoint origin) {
  standin_tb::EventHolder scroll(kEventClassScrollable, kEventScrollableScrollTo);
  scroll.Set(kEventParamOrigin, typeHIPoint, origin);
  return SendToContent(standin_tb::View(scrollView), scroll.Get());
}
