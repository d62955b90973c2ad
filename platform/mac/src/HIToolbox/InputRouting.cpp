// Routing of raw input (see HIToolbox/StandInInput.h): mouse presses by window part and hit
// testing, control tracking, keys by focus and key equivalents, the wheel and the keyboard map.
#include <HIToolbox/Events.h>
#include <HIToolbox/StandInInput.h>

#include "iStandInToolbox.h"

#include <bitset>
#include <cmath>
#include <cstdlib>

namespace {

constexpr UInt32 kDoubleClickTicks = 30;
constexpr short kDoubleClickSlop = 4;  // points a second press may lie off the first
long g_Beeps = 0;

struct RoutingState {
  std::bitset<128> keysDown;
  EventTime lastPress = -1;
  Point lastPressPoint{0, 0};
  UInt32 clickCount = 0;
  HIViewRef underMouse = nullptr;  // the view the mouse is over (retained)
};

RoutingState& TheState() {
  static auto* state = new RoutingState;
  return *state;
}

Point QDPoint(CGPoint global) {
  return Point{static_cast<short>(std::lround(global.y)),
               static_cast<short>(std::lround(global.x))};
}

Rect StructureOf(WindowRef window) {
  Rect structure{0, 0, 0, 0};
  GetWindowBounds(window, kWindowStructureRgn, &structure);
  return structure;
}

// The deepest visible view under a point of the view's coordinates; later subviews lie on top.
StandIn_ViewImpl* HitView(StandIn_ViewImpl* view, HIPoint where) {
  for (auto it = view->m_Subviews.rbegin(); it != view->m_Subviews.rend(); ++it) {
    StandIn_ViewImpl* child = *it;
    if (!child->m_Visible || !CGRectContainsPoint(child->m_Frame, where))
      continue;
    return HitView(
        child, CGPointMake(where.x - child->m_Frame.origin.x, where.y - child->m_Frame.origin.y));
  }
  return view;
}

bool EnabledWithSuperviews(const StandIn_ViewImpl* view) {
  for (; view; view = view->m_Superview)
    if (!view->m_Enabled)
      return false;
  return true;
}

// Sends a mouse event ('mloc' global, 'kmod', and the extras the caller sets) to a target.
class MouseEvent {
public:
  MouseEvent(UInt32 kind, const StandIn_Input& input) : m_Event(kEventClassMouse, kind) {
    m_Event.Set(kEventParamMouseLocation, typeHIPoint, input.global);
    m_Event.Set(kEventParamKeyModifiers, typeUInt32, input.modifiers);
  }
  // The window under the mouse ('wind') and the mouse in its coordinates ('wmou').
  void SetWindow(WindowRef window, const StandIn_Input& input) {
    if (window == nullptr)
      return;
    const Rect structure = StructureOf(window);
    m_Event.Set(kEventParamWindowRef, typeWindowRef, window);
    m_Event.Set(kEventParamWindowMouseLocation, typeHIPoint,
                CGPointMake(input.global.x - structure.left, input.global.y - structure.top));
  }
  standin_tb::EventHolder& Event() { return m_Event; }
  OSStatus SendTo(EventTargetRef target) const { return m_Event.SendTo(target); }

private:
  standin_tb::EventHolder m_Event;
};

EventTargetRef TargetOf(WindowRef window) {
  return window ? GetWindowEventTarget(window) : GetApplicationEventTarget();
}

// Tells the views the mouse leaves and enters (kEventMouseExited, kEventMouseEntered).
void FollowMouseOver(HIViewRef view, const StandIn_Input& input) {
  RoutingState& state = TheState();
  if (view == state.underMouse)
    return;
  HIViewRef previous = state.underMouse;
  state.underMouse = view;
  if (view)
    CFRetain(view);
  if (previous) {
    MouseEvent(kEventMouseExited, input).SendTo(GetControlEventTarget(previous));
    CFRelease(previous);
  }
  if (view)
    MouseEvent(kEventMouseEntered, input).SendTo(GetControlEventTarget(view));
}

// The view under a global point in a window's content, or null.
StandIn_ViewImpl* ViewAt(WindowRef window, CGPoint global) {
  StandIn_ViewImpl* root = standin_tb::View(HIViewGetRoot(window));
  if (root == nullptr)
    return nullptr;
  const Rect structure = StructureOf(window);
  return HitView(root, CGPointMake(global.x - structure.left, global.y - structure.top));
}

UInt32 CountClick(const StandIn_Input& input) {
  RoutingState& state = TheState();
  const EventTime now = GetCurrentEventTime();
  const Point where = QDPoint(input.global);
  const bool again = state.lastPress >= 0 &&
                     (now - state.lastPress) * 60 <= static_cast<double>(GetDblTime()) &&
                     std::abs(where.h - state.lastPressPoint.h) <= kDoubleClickSlop &&
                     std::abs(where.v - state.lastPressPoint.v) <= kDoubleClickSlop;
  state.clickCount = again ? state.clickCount + 1 : 1;
  state.lastPress = now;
  state.lastPressPoint = where;
  return input.clickCount > 1 ? input.clickCount : state.clickCount;
}

// The window's answer to its minimum or maximum size event ('dims'), the limit when unanswered.
HISize AskSize(WindowRef window, UInt32 kind, HISize limit) {
  standin_tb::EventHolder ask(kEventClassWindow, kind);
  ask.Set(kEventParamDirectObject, typeWindowRef, window);
  Point size{static_cast<short>(std::min<CGFloat>(limit.height, 32767)),
             static_cast<short>(std::min<CGFloat>(limit.width, 32767))};
  ask.Set(kEventParamDimensions, typeQDPoint, size);
  if (ask.SendTo(GetWindowEventTarget(window)) == noErr &&
      standin_tb::Get(ask.Get(), kEventParamDimensions, typeQDPoint, &size))
    return HISize{static_cast<CGFloat>(size.h), static_cast<CGFloat>(size.v)};
  return limit;
}

// Resizing by the grow box: the content follows the mouse within the sizes the window allows.
void TrackGrow(WindowRef window, Point start) {
  Rect content{0, 0, 0, 0};
  GetWindowBounds(window, kWindowContentRgn, &content);
  HISize minimum{0, 0};
  HISize maximum{0, 0};
  GetWindowResizeLimits(window, &minimum, &maximum);
  minimum = AskSize(window, kEventWindowGetMinimumSize, minimum);
  maximum = AskSize(window, kEventWindowGetMaximumSize, maximum);
  standin_tb::EventHolder started(kEventClassWindow, kEventWindowResizeStarted);
  started.Set(kEventParamDirectObject, typeWindowRef, window);
  started.SendTo(GetWindowEventTarget(window));
  StandIn_Input input;
  while (standin_tb::NextModalInput(input)) {
    if (input.kind != StandIn_InputKind::MouseMoved && input.kind != StandIn_InputKind::MouseUp)
      continue;
    const Point mouse = QDPoint(input.global);
    StandIn_SetMouse(mouse);
    const double width = content.right - content.left + mouse.h - start.h;
    const double height = content.bottom - content.top + mouse.v - start.v;
    Rect bounds = content;
    bounds.right = static_cast<short>(
        content.left + std::max<double>(minimum.width, std::min<double>(maximum.width, width)));
    bounds.bottom = static_cast<short>(
        content.top + std::max<double>(minimum.height, std::min<double>(maximum.height, height)));
    SetWindowBounds(window, kWindowContentRgn, &bounds);
    if (input.kind == StandIn_InputKind::MouseUp)
      break;
  }
  standin_tb::EventHolder completed(kEventClassWindow, kEventWindowResizeCompleted);
  completed.Set(kEventParamDirectObject, typeWindowRef, window);
  completed.SendTo(GetWindowEventTarget(window));
}

// The parts of a window's frame: dragging, closing, collapsing, zooming and resizing.
OSStatus RouteFramePart(WindowRef window, WindowPartCode part, Point where) {
  switch (part) {
    case inDrag:
      DragWindow(window, where, nullptr);
      return noErr;
    case inGoAway: {
      standin_tb::EventHolder close(kEventClassWindow, kEventWindowClose);
      close.Set(kEventParamDirectObject, typeWindowRef, window);
      return close.SendTo(GetWindowEventTarget(window));
    }
    case inCollapseBox:
      return CollapseWindow(window, true);
    case inZoomIn:
    case inZoomOut: {
      standin_tb::EventHolder zoom(kEventClassWindow, kEventWindowZoom);
      zoom.Set(kEventParamDirectObject, typeWindowRef, window);
      return zoom.SendTo(GetWindowEventTarget(window));
    }
    case inGrow:
      TrackGrow(window, where);
      return noErr;
    default:
      return eventNotHandledErr;
  }
}

OSStatus RouteMouseDown(const StandIn_Input& input) {
  const Point where = QDPoint(input.global);
  StandIn_SetMouse(where);
  const UInt32 clicks = CountClick(input);
  WindowRef window = nullptr;
  const WindowPartCode part = FindWindow(where, &window);
  {
    // Handlers of the mouse-down itself come first, as on the Mac.
    MouseEvent down(kEventMouseDown, input);
    down.Event().Set(kEventParamClickCount, typeUInt32, clicks);
    down.Event().Set(kEventParamWindowPartCode, typeWindowPartCode, part);
    down.SetWindow(window, input);
    if (down.SendTo(TargetOf(window)) != eventNotHandledErr)
      return noErr;
  }
  if (window == nullptr)
    return eventNotHandledErr;  // the desk or the menu bar
  if (standin_tb::WindowBlockedByModal(window)) {
    SysBeep(1);
    return eventNotHandledErr;
  }
  if (!IsWindowActive(window) && GetUserFocusWindow() != window) {
    SelectWindow(window);  // the activation click only brings the window forward
    return noErr;
  }
  if (part != inContent)
    return RouteFramePart(window, part, where);
  StandIn_ViewImpl* view = ViewAt(window, input.global);
  if (view == nullptr || !EnabledWithSuperviews(view))
    return eventNotHandledErr;
  standin_tb::RouteClickToView(view, standin_tb::GlobalToView(view, input.global), input.modifiers,
                               clicks);
  return noErr;
}

// The target of keys: the user-focus window's keyboard focus, else that window, else the
// application.
EventTargetRef KeyTarget(HIViewRef* focus) {
  WindowRef window = GetUserFocusWindow();
  *focus = nullptr;
  if (window)
    GetKeyboardFocus(window, focus);
  return *focus ? GetControlEventTarget(*focus) : TargetOf(window);
}

OSStatus RouteKey(const StandIn_Input& input) {
  const bool down = input.kind == StandIn_InputKind::KeyDown;
  if (input.keyCode < TheState().keysDown.size())
    TheState().keysDown[input.keyCode] = down;
  if (down && (input.modifiers & cmdKey) && standin_tb::MatchKeyEquivalent(input))
    return noErr;
  HIViewRef focus = nullptr;
  EventTargetRef target = KeyTarget(&focus);
  if (!down) {
    standin_tb::EventHolder up(kEventClassKeyboard, kEventRawKeyUp);
    standin_tb::SetKeyParameters(up, input);
    return up.SendTo(target);
  }
  return standin_tb::RouteKeyDown(focus, target, input);
}

OSStatus RouteText(const StandIn_Input& input) {
  HIViewRef focus = nullptr;
  EventTargetRef target = KeyTarget(&focus);
  return standin_tb::InsertText(focus, target, input.text, nullptr);
}

OSStatus RouteWheel(const StandIn_Input& input) {
  StandIn_SetMouse(QDPoint(input.global));
  WindowRef window = nullptr;
  if (FindWindow(QDPoint(input.global), &window) != inContent ||
      standin_tb::WindowBlockedByModal(window))
    return eventNotHandledErr;
  StandIn_ViewImpl* view = ViewAt(window, input.global);
  MouseEvent wheel(kEventMouseWheelMoved, input);
  wheel.SetWindow(window, input);
  const UInt16 axis = input.wheelVertical ? kEventMouseWheelAxisY : kEventMouseWheelAxisX;
  wheel.Event().Set(kEventParamMouseWheelAxis, typeMouseWheelAxis, axis);
  wheel.Event().Set(kEventParamMouseWheelDelta, typeSInt32, input.wheelDelta);
  return wheel.SendTo(view ? GetControlEventTarget(view) : GetWindowEventTarget(window));
}

OSStatus RouteMouseMoved(const StandIn_Input& input) {
  const Point where = QDPoint(input.global);
  StandIn_SetMouse(where);
  WindowRef window = nullptr;
  const WindowPartCode part = FindWindow(where, &window);
  StandIn_ViewImpl* view = part == inContent ? ViewAt(window, input.global) : nullptr;
  FollowMouseOver(view, input);
  standin_tb::FollowMouseTracking(input.global, input.modifiers);
  MouseEvent moved(kEventMouseMoved, input);
  moved.SetWindow(window, input);
  return moved.SendTo(view ? GetControlEventTarget(view) : TargetOf(window));
}

OSStatus RouteModifiers(const StandIn_Input& input) {
  HIViewRef focus = nullptr;
  EventTargetRef target = KeyTarget(&focus);
  standin_tb::EventHolder changed(kEventClassKeyboard, kEventRawKeyModifiersChanged);
  changed.Set(kEventParamKeyModifiers, typeUInt32, input.modifiers);
  return changed.SendTo(target);
}

}  // namespace

namespace standin_tb {

HIPoint ViewToGlobal(StandIn_ViewImpl* view, HIPoint where) {
  HIViewConvertPoint(&where, view, nullptr);
  if (WindowRef window = HIViewGetWindow(view)) {
    const Rect structure = StructureOf(window);
    where.x += structure.left;
    where.y += structure.top;
  }
  return where;
}

HIPoint GlobalToView(StandIn_ViewImpl* view, HIPoint global) {
  if (WindowRef window = HIViewGetWindow(view)) {
    const Rect structure = StructureOf(window);
    global.x -= structure.left;
    global.y -= structure.top;
  }
  HIViewConvertPoint(&global, nullptr, view);
  return global;
}

bool TrackUntilRelease(StandIn_ViewImpl* view, ControlPartCode part) {
  CFRetain(view);
  const CGRect bounds = CGRectMake(0, 0, view->m_Frame.size.width, view->m_Frame.size.height);
  HiliteControl(view, part);
  bool inside = true;
  StandIn_Input input;
  while (standin_tb::NextModalInput(input)) {
    if (input.kind != StandIn_InputKind::MouseMoved && input.kind != StandIn_InputKind::MouseUp)
      continue;
    StandIn_SetMouse(QDPoint(input.global));
    inside = CGRectContainsPoint(bounds, GlobalToView(view, input.global));
    if (input.kind == StandIn_InputKind::MouseUp)
      break;
    HiliteControl(view, inside ? part : ControlPartCode(kControlNoPart));
  }
  HiliteControl(view, kControlNoPart);  // the mouse is up: tracking ends unhighlighted
  CFRelease(view);
  return inside;
}

HIViewRef ViewUnderPoint(CGPoint global) {
  WindowRef window = nullptr;
  if (FindWindow(QDPoint(global), &window) != inContent || WindowBlockedByModal(window))
    return nullptr;
  return ViewAt(window, global);
}

}  // namespace standin_tb

OSStatus StandIn_DeliverInput(const StandIn_Input& input) {
  StandIn_SetKeyModifiers(input.modifiers);
  switch (input.kind) {
    case StandIn_InputKind::MouseDown:
      return RouteMouseDown(input);
    case StandIn_InputKind::MouseUp: {
      // A release that no tracking loop took.
      StandIn_SetMouse(QDPoint(input.global));
      WindowRef window = nullptr;
      FindWindow(QDPoint(input.global), &window);
      return MouseEvent(kEventMouseUp, input).SendTo(TargetOf(window));
    }
    case StandIn_InputKind::MouseMoved:
      return RouteMouseMoved(input);
    case StandIn_InputKind::Wheel:
      return RouteWheel(input);
    case StandIn_InputKind::KeyDown:
    case StandIn_InputKind::KeyUp:
      return RouteKey(input);
    case StandIn_InputKind::ModifiersChanged:
      return RouteModifiers(input);
    case StandIn_InputKind::Text:
      return RouteText(input);
  }
  return eventNotHandledErr;
}

UInt32 GetDblTime() {
  return kDoubleClickTicks;
}

UInt32 GetCurrentKeyModifiers() {
  return GetCurrentEventKeyModifiers();
}

void GetKeys(KeyMap theKeys) {
  UInt8 bytes[16] = {};
  const std::bitset<128>& down = TheState().keysDown;
  for (std::size_t code = 0; code < down.size(); ++code)
    if (down[code])
      bytes[code / 8] = static_cast<UInt8>(bytes[code / 8] | (1u << (code % 8)));
  std::memcpy(theKeys, bytes, sizeof bytes);
}

OSStatus TrackMouseLocation(GrafPtr inPort, Point* outPt, MouseTrackingResult* outResult) {
  if (outPt == nullptr || outResult == nullptr)
    return paramErr;
  StandIn_Input input;
  *outResult = kMouseTrackingMouseUp;  // nothing more from the source: released where it is
  Point global = StandIn_GlobalMouse();
  while (standin_tb::NextModalInput(input)) {
    if (input.kind == StandIn_InputKind::KeyDown && input.keyCode == kVK_Escape) {
      *outResult = kMouseTrackingUserCancelled;
      break;
    }
    if (input.kind == StandIn_InputKind::ModifiersChanged) {
      StandIn_SetKeyModifiers(input.modifiers);
      *outResult = kMouseTrackingKeyModifiersChanged;
      break;
    }
    if (input.kind == StandIn_InputKind::MouseMoved || input.kind == StandIn_InputKind::MouseUp) {
      global = QDPoint(input.global);
      StandIn_SetMouse(global);
      *outResult = input.kind == StandIn_InputKind::MouseUp ? kMouseTrackingMouseUp
                                                            : kMouseTrackingMouseDragged;
      break;
    }
  }
  *outPt = global;
  if (inPort != nullptr) {
    GrafPtr old = nullptr;
    GetPort(&old);
    SetPort(inPort);
    GlobalToLocal(outPt);
    SetPort(old);
  }
  return noErr;
}

void standin_tb::ForgetMouseOverIn(WindowRef window) {
  RoutingState& state = TheState();
  if (state.underMouse && HIViewGetWindow(state.underMouse) == window) {
    CFRelease(state.underMouse);
    state.underMouse = nullptr;
  }
}

void StandIn_RoutingReset() {
  RoutingState& state = TheState();
  state.keysDown.reset();
  state.lastPress = -1;
  state.clickCount = 0;
  if (state.underMouse) {
    CFRelease(state.underMouse);
    state.underMouse = nullptr;
  }
}

long StandIn_BeepCount() {
  return g_Beeps;
}

void SysBeep(short) {
  ++g_Beeps;
}
