#include "MCTL/MCTL_Control.h"

#include "UCTL/UCTL_Messages.h"

std::uint32_t MCTL_ConvertKeyModifiers(UInt32 carbonModifiers) {
  std::uint32_t modifiers = 0;
  if (carbonModifiers & shiftKey)
    modifiers |= kUCTL_ShiftKey;
  if (carbonModifiers & controlKey)
    modifiers |= kUCTL_ControlKey;
  if (carbonModifiers & cmdKey)
    modifiers |= kUCTL_CommandKey;
  if (carbonModifiers & optionKey)
    modifiers |= kUCTL_OptionKey;
  return modifiers;
}

void MCTL_Control::SetControlSize(long width, long height) {
  HIViewRef view = GetView();
  if (view == nullptr)
    return;
  HIRect frame;
  HIViewGetFrame(view, &frame);
  frame.size.width = static_cast<CGFloat>(width < 0 ? 0 : width);
  frame.size.height = static_cast<CGFloat>(height < 0 ? 0 : height);
  HIViewSetFrame(view, &frame);
}

void MCTL_Control::MoveControlBy(long dx, long dy) {
  const IMPN_RectT<long> bounds = ControlBounds();
  MoveControlTo(bounds.left + dx, bounds.top + dy);
}

void MCTL_Control::MoveControlTo(long x, long y) {
  if (HIViewRef view = GetView())
    HIViewPlaceInSuperviewAt(view, static_cast<CGFloat>(x), static_cast<CGFloat>(y));
}

IMPN_RectT<long> MCTL_Control::ControlBounds() const {
  IMPN_RectT<long> bounds;
  HIViewRef view = GetView();
  if (view == nullptr)
    return bounds;
  HIRect frame;
  HIViewGetFrame(view, &frame);
  bounds.left = static_cast<long>(frame.origin.x);
  bounds.top = static_cast<long>(frame.origin.y);
  bounds.width = static_cast<long>(frame.size.width);
  bounds.height = static_cast<long>(frame.size.height);
  return bounds;
}

void MCTL_Control::RefreshControl() {
  if (HIViewRef view = GetView())
    HIViewSetNeedsDisplay(view, true);
}

void MCTL_Control::SetControlVisible(bool visible) {
  if (HIViewRef view = GetView())
    HIViewSetVisible(view, visible);
}

bool MCTL_Control::IsControlVisible() const {
  HIViewRef view = GetView();
  return view && HIViewIsVisible(view);
}

void MCTL_Control::SetControlEnabled(bool enabled) {
  HIViewRef view = GetView();
  if (view == nullptr)
    return;
  if (enabled)
    EnableControl(view);
  else
    DisableControl(view);
}

bool MCTL_Control::IsControlEnabled() const {
  HIViewRef view = GetView();
  return view && ::IsControlEnabled(view);
}

void MCTL_Control::AttachView(PPx::View& view, ControlRef control) {
  HIRect frame;
  HIViewGetFrame(control, &frame);
  CFRetain(control);
  view.Initialize(control, frame);
}

std::uint32_t MCTL_Control::SignatureOf(ControlRef control) {
  ControlID id = {0, 0};
  GetControlID(control, &id);
  return id.signature;
}

OSStatus MCTL_Control::BroadcastClick(GLIB_MessageDispatcher const& dispatcher, HIViewRef ownView,
                                      ControlRef control, UInt32 modifiers) {
  if (control != ownView)
    return eventNotHandledErr;
  dispatcher.BroadcastMessage(
      UCTL_ControlClickedMessage(SignatureOf(control), MCTL_ConvertKeyModifiers(modifiers)));
  return eventNotHandledErr;
}
