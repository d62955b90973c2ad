// Custom view events of the Mac stand-in: part regions, optimal bounds, size constraints,
// keyboard focus and control drag events (see HIToolbox/Controls.h).
#include "iStandInRedraw.h"
#include "iStandInToolbox.h"

#include <algorithm>
#include <set>
#include <string>

namespace {

bool g_FullKeyboardAccess = false;

HIRect BoundsOf(const StandIn_ViewImpl* view) {
  return CGRectMake(0, 0, view->m_Frame.size.width, view->m_Frame.size.height);
}

// Offers the view a focus part; answers the part it took (0 for none).
ControlPartCode AskFocus(StandIn_ViewImpl* view, ControlPartCode part) {
  standin_tb::EventHolder event(kEventClassControl, kEventControlSetFocusPart);
  ControlRef control = view;
  const Boolean everything = g_FullKeyboardAccess;
  event.Set(kEventParamDirectObject, typeControlRef, control);
  event.Set(kEventParamControlPart, typeControlPartCode, part);
  event.Set(kEventParamControlFocusEverything, typeBoolean, everything);
  CFRetain(view);
  const OSStatus status = event.SendTo(&view->StandInCore().target);
  CFRelease(view);
  ControlPartCode taken = kControlFocusNoPart;
  if (status == noErr)
    standin_tb::Get(event.Get(), kEventParamControlPart, typeControlPartCode, &taken);
  return taken;
}

StandIn_ViewImpl* RootOfWindow(WindowRef window) {
  return window ? standin_tb::View(HIViewGetRoot(window)) : nullptr;
}

void SetFocus(StandIn_ViewImpl* root, StandIn_ViewImpl* view, ControlPartCode part) {
  const bool focused = part != kControlFocusNoPart && view != nullptr;
  StandIn_ViewImpl* old = root->m_Focus;
  root->m_Focus = focused ? view : nullptr;
  root->m_FocusPart = focused ? part : ControlPartCode(kControlFocusNoPart);
  // The focus ring moves from the one to the other.
  if (old != root->m_Focus) {
    standin_tb::MarkDirty(old);
    standin_tb::MarkDirty(root->m_Focus);
  }
}

// The window's views below the root, depth first.
void CollectViews(StandIn_ViewImpl* view, std::vector<StandIn_ViewImpl*>* views) {
  for (StandIn_ViewImpl* child : view->m_Subviews) {
    views->push_back(child);
    CollectViews(child, views);
  }
}

// Moves the focus to the next (-1) or previous (-2) part of the window.
OSStatus MoveFocus(const char* call, WindowRef window, ControlFocusPart direction) {
  if (OSStatus err = standin_tb::EnterCall(call))
    return err;
  StandIn_ViewImpl* root = RootOfWindow(window);
  if (root == nullptr)
    return errInvalidWindowRef;
  StandIn_ViewImpl* focus = root->m_Focus;
  if (focus) {
    const ControlPartCode part = AskFocus(focus, direction);
    SetFocus(root, focus, part);
    if (part != kControlFocusNoPart)
      return noErr;
  }
  std::vector<StandIn_ViewImpl*> views;
  CollectViews(root, &views);
  if (direction == kControlFocusPrevPart)
    std::reverse(views.begin(), views.end());
  // Start after the old focus and come round to it last.
  auto start = std::find(views.begin(), views.end(), focus);
  if (start != views.end())
    std::rotate(views.begin(), start + 1, views.end());
  for (StandIn_ViewImpl* view : views) {
    if (!HIViewIsVisible(view) || !IsControlEnabled(view))
      continue;
    const ControlPartCode part = AskFocus(view, direction);
    if (part != kControlFocusNoPart) {
      SetFocus(root, view, part);
      return noErr;
    }
  }
  return noErr;
}

}  // namespace

namespace standin_tb {

bool AskOptimalBounds(StandIn_ViewImpl* view, HIRect* bounds, float* baseline) {
  EventHolder event(kEventClassControl, kEventControlGetOptimalBounds);
  ControlRef control = view;
  const HIRect start = BoundsOf(view);
  const SInt16 noBaseline = 0;
  event.Set(kEventParamDirectObject, typeControlRef, control);
  event.Set(kEventParamControlOptimalBounds, typeHIRect, start);
  event.Set(kEventParamControlOptimalBaselineOffset, typeSInt16, noBaseline);
  if (event.SendTo(&view->StandInCore().target) != noErr)
    return false;
  SInt16 offset = 0;
  Get(event.Get(), kEventParamControlOptimalBounds, typeHIRect, bounds);
  Get(event.Get(), kEventParamControlOptimalBaselineOffset, typeSInt16, &offset);
  *baseline = offset;
  return true;
}

OSStatus StandardPartRegion(StandIn_ViewImpl* view, EventRef event) {
  ControlPartCode part = kControlNoPart;
  RgnHandle region = nullptr;
  Get(event, kEventParamControlPart, typeControlPartCode, &part);
  Get(event, kEventParamControlRegion, typeQDRgnHandle, &region);
  if (region == nullptr)
    return paramErr;
  const bool whole = part == kControlStructureMetaPart || part == kControlContentMetaPart ||
                     (part != kControlNoPart && part == ClickPart(*view));
  if (!whole) {
    SetEmptyRgn(region);
    return errInvalidPartCode;
  }
  SetRectRgn(region, 0, 0, static_cast<short>(view->m_Frame.size.width),
             static_cast<short>(view->m_Frame.size.height));
  return noErr;
}

OSStatus StandardFocusPart(StandIn_ViewImpl* view, EventRef event) {
  ControlPartCode part = kControlFocusNoPart;
  Get(event, kEventParamControlPart, typeControlPartCode, &part);
  // A text view has one part: moving on from it leaves it. With full keyboard access the other
  // controls a user can work from the keyboard take the focus the same way.
  const StandIn_ViewImpl* root = RootOf(view);
  const bool focused = root && root->m_Focus == view;
  Boolean everything = false;
  Get(event, kEventParamControlFocusEverything, typeBoolean, &everything);
  static const std::set<std::string> kKeyboardControls{"push", "check", "popup", "slider", "tab"};
  if (view->m_Kind != "textview" && !(everything && kKeyboardControls.count(view->m_Kind)))
    part = kControlFocusNoPart;
  else if (part == kControlFocusNextPart || part == kControlFocusPrevPart)
    part = focused ? 0 : 1;
  SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
  return noErr;
}

void ForgetFocusWithin(StandIn_ViewImpl* view) {
  StandIn_ViewImpl* root = RootOf(view);
  if (root == nullptr || root->m_Focus == nullptr)
    return;
  for (StandIn_ViewImpl* up = root->m_Focus; up; up = up->m_Superview) {
    if (up == view) {
      SetFocus(root, nullptr, kControlFocusNoPart);
      return;
    }
  }
}

}  // namespace standin_tb

OSStatus GetControlRegion(ControlRef inControl, ControlPartCode inPart, RgnHandle outRegion) {
  if (OSStatus err = standin_tb::EnterCall("GetControlRegion"))
    return err;
  if (inControl == nullptr || outRegion == nullptr)
    return paramErr;
  standin_tb::EventHolder event(kEventClassControl, kEventControlGetPartRegion);
  event.Set(kEventParamDirectObject, typeControlRef, inControl);
  event.Set(kEventParamControlPart, typeControlPartCode, inPart);
  event.Set(kEventParamControlRegion, typeQDRgnHandle, outRegion);
  return event.SendTo(GetControlEventTarget(inControl));
}

OSStatus HIViewGetOptimalBounds(HIViewRef inView, HIRect* outBounds, float* outBaseLineOffset) {
  if (OSStatus err = standin_tb::EnterCall("HIViewGetOptimalBounds"))
    return err;
  if (inView == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inView);
  HIRect bounds = BoundsOf(view);
  float baseline = 0;
  if (!standin_tb::AskOptimalBounds(view, &bounds, &baseline)) {
    Rect best{0, 0, 0, 0};
    SInt16 offset = 0;
    GetBestControlRect(inView, &best, &offset);
    bounds = CGRectMake(0, 0, best.right - best.left, best.bottom - best.top);
    baseline = offset;
  }
  if (outBounds)
    *outBounds = bounds;
  if (outBaseLineOffset)
    *outBaseLineOffset = baseline;
  return noErr;
}

OSStatus HIViewGetSizeConstraints(HIViewRef inView, HISize* outMinSize, HISize* outMaxSize) {
  if (OSStatus err = standin_tb::EnterCall("HIViewGetSizeConstraints"))
    return err;
  if (inView == nullptr)
    return paramErr;
  standin_tb::EventHolder event(kEventClassControl, kEventControlGetSizeConstraints);
  HISize minimum{0, 0};
  HISize maximum{32767, 32767};
  event.Set(kEventParamDirectObject, typeControlRef, inView);
  event.Set(kEventParamMinimumSize, typeHISize, minimum);
  event.Set(kEventParamMaximumSize, typeHISize, maximum);
  const OSStatus status = event.SendTo(GetControlEventTarget(inView));
  if (status != noErr && status != eventNotHandledErr)
    return status;
  standin_tb::Get(event.Get(), kEventParamMinimumSize, typeHISize, &minimum);
  standin_tb::Get(event.Get(), kEventParamMaximumSize, typeHISize, &maximum);
  if (outMinSize)
    *outMinSize = minimum;
  if (outMaxSize)
    *outMaxSize = maximum;
  return noErr;
}

OSStatus SetKeyboardFocus(WindowRef inWindow, ControlRef inControl, ControlFocusPart inPart) {
  if (OSStatus err = standin_tb::EnterCall("SetKeyboardFocus"))
    return err;
  StandIn_ViewImpl* root = RootOfWindow(inWindow);
  if (root == nullptr)
    return errInvalidWindowRef;
  if (inControl == nullptr || HIViewGetWindow(inControl) != inWindow)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inControl);
  StandIn_ViewImpl* old = root->m_Focus;
  if (old && (old != view || inPart == kControlFocusNoPart)) {
    SetFocus(root, nullptr, kControlFocusNoPart);
    AskFocus(old, kControlFocusNoPart);
  }
  if (inPart == kControlFocusNoPart)
    return noErr;
  const ControlPartCode part = AskFocus(view, inPart);
  SetFocus(root, view, part);
  return part == kControlFocusNoPart ? errCouldntSetFocus : OSStatus(noErr);
}

OSStatus GetKeyboardFocus(WindowRef inWindow, ControlRef* outControl) {
  if (OSStatus err = standin_tb::EnterCall("GetKeyboardFocus"))
    return err;
  StandIn_ViewImpl* root = RootOfWindow(inWindow);
  if (root == nullptr)
    return errInvalidWindowRef;
  if (outControl == nullptr)
    return paramErr;
  *outControl = root->m_Focus;
  return noErr;
}

ControlPartCode StandIn_KeyboardFocusPart(WindowRef inWindow) {
  StandIn_ViewImpl* root = RootOfWindow(inWindow);
  return root ? root->m_FocusPart : ControlPartCode(kControlFocusNoPart);
}

OSStatus ClearKeyboardFocus(WindowRef inWindow) {
  if (OSStatus err = standin_tb::EnterCall("ClearKeyboardFocus"))
    return err;
  StandIn_ViewImpl* root = RootOfWindow(inWindow);
  if (root == nullptr)
    return errInvalidWindowRef;
  if (StandIn_ViewImpl* old = root->m_Focus) {
    SetFocus(root, nullptr, kControlFocusNoPart);
    AskFocus(old, kControlFocusNoPart);
  }
  return noErr;
}

OSStatus AdvanceKeyboardFocus(WindowRef inWindow) {
  return MoveFocus("AdvanceKeyboardFocus", inWindow, kControlFocusNextPart);
}

OSStatus ReverseKeyboardFocus(WindowRef inWindow) {
  return MoveFocus("ReverseKeyboardFocus", inWindow, kControlFocusPrevPart);
}

void StandIn_SetFullKeyboardAccess(bool everything) {
  g_FullKeyboardAccess = everything;
}

OSStatus SetControlDragTrackingEnabled(ControlRef inControl, Boolean inTracks) {
  if (OSStatus err = standin_tb::EnterCall("SetControlDragTrackingEnabled"))
    return err;
  if (inControl == nullptr)
    return paramErr;
  standin_tb::View(inControl)->m_TracksDrags = inTracks;
  return noErr;
}

OSStatus IsControlDragTrackingEnabled(ControlRef inControl, Boolean* outTracks) {
  if (OSStatus err = standin_tb::EnterCall("IsControlDragTrackingEnabled"))
    return err;
  if (inControl == nullptr || outTracks == nullptr)
    return paramErr;
  *outTracks = standin_tb::View(inControl)->m_TracksDrags;
  return noErr;
}

OSStatus StandIn_SendControlDragEvent(ControlRef inControl, UInt32 inKind, DragRef inDrag,
                                      Boolean* outWouldAccept) {
  if (outWouldAccept)
    *outWouldAccept = false;
  if (inControl == nullptr)
    return paramErr;
  StandIn_ViewImpl* view = standin_tb::View(inControl);
  if (!view->m_TracksDrags)
    return eventNotHandledErr;
  standin_tb::EventHolder event(kEventClassControl, inKind);
  const Boolean refused = false;
  event.Set(kEventParamDirectObject, typeControlRef, inControl);
  event.Set(kEventParamDragRef, typeDragRef, inDrag);
  event.Set(kEventParamControlWouldAcceptDrop, typeBoolean, refused);
  CFRetain(view);
  const OSStatus status = event.SendTo(&view->StandInCore().target);
  CFRelease(view);
  if (outWouldAccept)
    standin_tb::Get(event.Get(), kEventParamControlWouldAcceptDrop, typeBoolean, outWouldAccept);
  return status;
}
