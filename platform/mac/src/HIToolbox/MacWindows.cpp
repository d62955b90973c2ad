// Windows of the Mac stand-in (see HIToolbox/MacWindows.h).
#include "iStandInRedraw.h"
#include "iStandInToolbox.h"

#include <CoreGraphics/CGDirectDisplay.h>
#include <HIToolbox/StandInInput.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {
// How many transitions each window ran (StandIn_WindowTransitionCount).
std::map<WindowRef, long>& Transitions();
}  // namespace

namespace {

class WindowImpl;

struct WindowState {
  std::vector<WindowImpl*> zOrder;  // front to back
  WindowImpl* active = nullptr;     // the active non-floating window (not retained)
  long live = 0;
  long disposed = 0;
};

WindowState& TheState() {
  static WindowState* state = new WindowState;
  return *state;
}

bool HasTitleBar(WindowClass windowClass) {
  return windowClass != kPlainWindowClass && windowClass != kSheetWindowClass &&
         windowClass != kAlertWindowClass && windowClass != kOverlayWindowClass &&
         windowClass != kAltPlainWindowClass && windowClass != kSheetAlertWindowClass;
}

void RemoveFromZOrder(WindowImpl* window);
void Arrange();
void MarkTitleBandDirty(WindowImpl* window);

class WindowImpl final : public StandIn_Window {
public:
  WindowImpl(WindowClass cls, WindowAttributes attrs, const Rect& contentBounds)
      : StandIn_Window(standin_tb::HIObjectTypeID()),
        m_WindowClass(cls),
        m_Attributes(attrs),
        m_Content(contentBounds),
        m_Root(new StandIn_ViewImpl("root")) {
    ++TheState().live;
    m_Root.Get()->m_Window = this;
    auto contentView = new StandIn_ViewImpl("m_Content");
    contentView->m_Id = kHIViewWindowContentID;
    HIViewAddSubview(m_Root.Get(), contentView);
    CFRelease(contentView);
    if (attrs & kWindowResizableAttribute) {
      auto growBox = new StandIn_ViewImpl("growbox");
      growBox->m_Id = kHIViewWindowGrowBoxID;
      HIViewAddSubview(m_Root.Get(), growBox);
      CFRelease(growBox);
    }
    LayOutViews();
    TheState().zOrder.insert(TheState().zOrder.begin(), this);
    Arrange();
  }
  // A window whose root view is the caller's (an HIView-based custom window): no content view.
  WindowImpl(WindowClass cls, WindowAttributes attrs, const Rect& contentBounds,
             StandIn_ViewImpl* rootView)
      : StandIn_Window(standin_tb::HIObjectTypeID()),
        m_WindowClass(cls),
        m_Attributes(attrs),
        m_Content(contentBounds) {
    ++TheState().live;
    CFRetain(rootView);
    m_Root.Reset(rootView);
    m_CustomRoot = true;
    rootView->m_Window = this;
    LayOutViews();
    TheState().zOrder.insert(TheState().zOrder.begin(), this);
    Arrange();
  }
  ~WindowImpl() override { --TheState().live; }

  OSStatus StandardHandler(EventRef event) override {
    if (GetEventClass(event) != kEventClassWindow)
      return eventNotHandledErr;
    switch (GetEventKind(event)) {
      case kEventWindowClose:
        DisposeWindow(this);
        return noErr;
      case kEventWindowZoom:
        return ZoomWindowIdeal(this, m_Zoomed ? inZoomIn : inZoomOut, nullptr);
      default:
        return eventNotHandledErr;
    }
  }
  EventTargetRef ParentTarget() const override { return GetApplicationEventTarget(); }

  short TitleBar() const { return HasTitleBar(m_WindowClass) ? kStandInTitleBarHeight : 0; }
  // The title band and the shown toolbar's band above the content.
  short Top() const { return static_cast<short>(TitleBar() + m_ToolbarBand); }
  Rect Structure() const {
    Rect r = m_Content;
    r.top = static_cast<short>(r.top - Top());
    if (m_Collapsed)
      r.bottom = static_cast<short>(r.top + TitleBar());
    return r;
  }
  void LayOutViews() {
    const CGFloat width = m_Content.right - m_Content.left;
    const CGFloat height = m_Content.bottom - m_Content.top;
    m_Root.Get()->m_Frame = CGRectMake(0, 0, width, height + Top());
    if (m_CustomRoot)
      return;
    m_Root.Get()->m_Subviews.front()->m_Frame = CGRectMake(0, Top(), width, height);
    // The grow box sits in the content's bottom right corner.
    constexpr CGFloat kGrowBox = 15;
    for (StandIn_ViewImpl* view : m_Root.Get()->m_Subviews) {
      if (view->m_Id.signature == kHIViewWindowGrowBoxID.signature &&
          view->m_Id.id == kHIViewWindowGrowBoxID.id)
        view->m_Frame = CGRectMake(width - kGrowBox, Top() + height - kGrowBox, kGrowBox, kGrowBox);
      else if (view->m_Kind == standin_tb::kToolbarViewKind)
        view->m_Frame = CGRectMake(0, TitleBar(), width, m_ToolbarBand);
    }
  }
  void ReleaseViews() {
    if (m_Root.Get()) {
      m_Root.Get()->m_Window = nullptr;
      m_Root.Reset(nullptr);
    }
  }

  WindowClass m_WindowClass;
  WindowAttributes m_Attributes;
  Rect m_Content;
  bool m_Visible = false;
  bool m_Collapsed = false;
  bool m_Disposed = false;
  bool m_CustomRoot = false;
  short m_ToolbarBand = 0;
  UInt64 m_Features = kWindowIsOpaque;
  std::u16string m_Title;
  bool m_Zoomed = false;
  Rect m_UserState{0, 0, 0, 0};  // the content bounds before zooming out
  HISize m_Minimum{64, 64};
  HISize m_Maximum{32000, 32000};
  std::map<std::pair<PropertyCreator, PropertyTag>, std::vector<UInt8>> m_Properties;
  WindowImpl* m_SheetParent = nullptr;
  CFHeld<StandIn_ViewImpl*> m_Root;

protected:
  void Finalize() override {
    RemoveFromZOrder(this);
    ReleaseViews();
  }
};

// Layers, back to front: documents (with their sheets and drawers), floating windows, utility
// windows, modal windows and alerts, overlays and help tags.
int LayerOf(WindowClass windowClass) {
  switch (windowClass) {
    case kFloatingWindowClass:
    case kToolbarWindowClass:
      return 2;
    case kUtilityWindowClass:
      return 3;
    case kAlertWindowClass:
    case kMovableAlertWindowClass:
    case kModalWindowClass:
    case kMovableModalWindowClass:
      return 4;
    case kOverlayWindowClass:
    case kHelpWindowClass:
      return 5;
    default:
      return 1;
  }
}

// Floating windows never become the active window nor take the keyboard.
bool IsFloating(const WindowImpl* window) {
  const int layer = LayerOf(window->m_WindowClass);
  return layer == 2 || layer == 3 || layer == 5;
}

// Keeps the z-order in layers (the order within a layer unchanged) with each shown sheet right in
// front of its parent.
void Arrange() {
  auto& z = TheState().zOrder;
  std::stable_sort(z.begin(), z.end(), [](const WindowImpl* a, const WindowImpl* b) {
    return LayerOf(a->m_WindowClass) > LayerOf(b->m_WindowClass);
  });
  std::vector<WindowImpl*> sheets;
  for (WindowImpl* window : z)
    if (window->m_SheetParent)
      sheets.push_back(window);
  for (WindowImpl* sheet : sheets) {
    RemoveFromZOrder(sheet);
    z.insert(std::find(z.begin(), z.end(), sheet->m_SheetParent), sheet);
  }
}

WindowImpl* Impl(WindowRef window) {
  return static_cast<WindowImpl*>(window);
}

// The title band, and the toolbar's band under it, which follow the window's activity.
void MarkTitleBandDirty(WindowImpl* window) {
  if (window == nullptr || window->Top() == 0)
    return;
  const CGRect band =
      CGRectMake(0, 0, window->m_Content.right - window->m_Content.left, window->Top());
  standin_tb::MarkWindowDirty(window, &band);
}

void RemoveFromZOrder(WindowImpl* window) {
  auto& z = TheState().zOrder;
  z.erase(std::remove(z.begin(), z.end(), window), z.end());
}

OSStatus SendWindowEvent(WindowImpl* window, UInt32 kind) {
  standin_tb::EventHolder event(kEventClassWindow, kind);
  WindowRef ref = window;
  event.Set(kEventParamDirectObject, typeWindowRef, ref);
  return event.SendTo(GetWindowEventTarget(window));
}

// The window that should be active: the frontmost visible window that is not floating (for a
// sheet, its parent).
WindowImpl* ActivationCandidate() {
  for (WindowImpl* window : TheState().zOrder) {
    if (!window->m_Visible || window->m_Disposed || IsFloating(window))
      continue;
    return window->m_SheetParent ? window->m_SheetParent : window;
  }
  return nullptr;
}

// Sends kEventWindowDeactivated to the window that stops being active and kEventWindowActivated
// to the one that becomes active. A handler may show, hide or select windows: the round repeats
// until the active window is the candidate.
void UpdateActivation() {
  for (int round = 0; round < 8; ++round) {
    WindowImpl* next = ActivationCandidate();
    WindowImpl* previous = TheState().active;
    if (next == previous)
      return;
    TheState().active = next;
    // Active and inactive windows' title bands look different.
    MarkTitleBandDirty(previous);
    MarkTitleBandDirty(next);
    if (previous) {
      CFRetain(previous);
      SendWindowEvent(previous, kEventWindowDeactivated);
      CFRelease(previous);
    }
    if (next && TheState().active == next) {
      CFRetain(next);
      SendWindowEvent(next, kEventWindowActivated);
      CFRelease(next);
    }
  }
}

// kEventWindowBoundsChanged with the change's attributes and the previous and current structure.
void SendBoundsChanged(WindowImpl* window, UInt32 attributes, const Rect& previous) {
  const Rect current = window->Structure();
  if (previous.left != current.left || previous.top != current.top)
    attributes |= kWindowBoundsChangeOriginChanged;
  if (previous.right - previous.left != current.right - current.left ||
      previous.bottom - previous.top != current.bottom - current.top)
    attributes |= kWindowBoundsChangeSizeChanged;
  standin_tb::EventHolder event(kEventClassWindow, kEventWindowBoundsChanged);
  WindowRef ref = window;
  event.Set(kEventParamDirectObject, typeWindowRef, ref);
  event.Set(kEventParamAttributes, typeUInt32, attributes);
  event.Set(kEventParamOriginalBounds, typeQDRectangle, previous);
  event.Set(kEventParamPreviousBounds, typeQDRectangle, previous);
  event.Set(kEventParamCurrentBounds, typeQDRectangle, current);
  CFRetain(window);
  event.SendTo(GetWindowEventTarget(window));
  CFRelease(window);
}

void MoveStructureTo(WindowImpl* window, short left, short top) {
  const Rect structure = window->Structure();
  const short dx = static_cast<short>(left - structure.left);
  const short dy = static_cast<short>(top - structure.top);
  window->m_Content = Rect{static_cast<short>(window->m_Content.top + dy),
                           static_cast<short>(window->m_Content.left + dx),
                           static_cast<short>(window->m_Content.bottom + dy),
                           static_cast<short>(window->m_Content.right + dx)};
}

// The main screen less the menu bar.
Rect Available() {
  const StandIn_Screen screen = StandIn_MainScreen();
  return Rect{screen.menuBarHeight, 0, screen.height, screen.width};
}

}  // namespace

namespace standin_tb {

bool WindowBlockedByModal(WindowRef window) {
  WindowImpl* impl = Impl(window);
  for (WindowImpl* other : TheState().zOrder) {
    if (other == impl)
      return false;  // nothing modal in front of it
    if (other->m_Visible && (other->m_SheetParent == impl || LayerOf(other->m_WindowClass) == 4))
      return true;
  }
  return false;
}

HIViewRef ContentView(WindowRef window) {
  if (window == nullptr || Impl(window)->m_CustomRoot)
    return nullptr;
  StandIn_ViewImpl* root = Impl(window)->m_Root.Get();
  return root && !root->m_Subviews.empty() ? root->m_Subviews.front() : nullptr;
}

bool WindowIsOpaque(WindowRef window) {
  return window == nullptr || (Impl(window)->m_Features & kWindowIsOpaque) != 0;
}

}  // namespace standin_tb

namespace standin_tb {

WindowFrameLook FrameLookOf(WindowRef window) {
  WindowFrameLook look;
  if (window == nullptr)
    return look;
  const WindowImpl* impl = Impl(window);
  look.titleBar = impl->TitleBar();
  look.title = impl->m_Title;
  look.active = IsWindowActive(window);
  look.closeBox = (impl->m_Attributes & kWindowCloseBoxAttribute) != 0;
  look.collapseBox = (impl->m_Attributes & kWindowCollapseBoxAttribute) != 0;
  look.zoomBox = (impl->m_Attributes & kWindowFullZoomAttribute) != 0;
  return look;
}

void SetToolbarBand(WindowRef window, short height) {
  WindowImpl* impl = Impl(window);
  if (impl == nullptr || impl->m_CustomRoot || impl->m_ToolbarBand == height)
    return;
  // The structure's top stays; the content keeps its size below the band.
  const Rect previous = impl->Structure();
  const short dy = static_cast<short>(height - impl->m_ToolbarBand);
  impl->m_ToolbarBand = height;
  impl->m_Content.top = static_cast<short>(impl->m_Content.top + dy);
  impl->m_Content.bottom = static_cast<short>(impl->m_Content.bottom + dy);
  impl->LayOutViews();
  MarkWindowDirty(window, nullptr);
  SendBoundsChanged(impl, 0, previous);
}

std::vector<ShownWindow> ShownWindowsBackToFront() {
  std::vector<ShownWindow> shown;
  const auto& z = TheState().zOrder;
  for (auto it = z.rbegin(); it != z.rend(); ++it)
    if ((*it)->m_Visible && !(*it)->m_Disposed)
      shown.push_back(ShownWindow{*it, (*it)->Structure()});
  return shown;
}

}  // namespace standin_tb

HIViewRef HIViewGetRoot(WindowRef inWindow) {
  return inWindow ? Impl(inWindow)->m_Root.Get() : nullptr;
}

OSStatus CreateNewWindow(WindowClass inWindowClass, WindowAttributes inAttributes,
                         const Rect* inContentBounds, WindowRef* outWindow) {
  if (outWindow == nullptr || inContentBounds == nullptr)
    return paramErr;
  *outWindow = nullptr;
  if (OSStatus err = standin_tb::EnterCall("CreateNewWindow"))
    return err;
  *outWindow = new WindowImpl(inWindowClass, inAttributes, *inContentBounds);
  return noErr;
}

OSStatus CreateCustomWindow(const WindowDefSpec* def, WindowClass windowClass,
                            WindowAttributes attributes, const Rect* contentBounds,
                            WindowRef* outWindow) {
  if (outWindow == nullptr || contentBounds == nullptr || def == nullptr)
    return paramErr;
  *outWindow = nullptr;
  if (OSStatus err = standin_tb::EnterCall("CreateCustomWindow"))
    return err;
  if (def->defType != kWindowDefHIView || def->u.rootView == nullptr)
    return paramErr;  // the stand-in makes HIView-based custom windows only
  StandIn_ViewImpl* root = standin_tb::View(def->u.rootView);
  if (root->m_Superview || root->m_Window)
    return paramErr;
  *outWindow = new WindowImpl(windowClass, attributes, *contentBounds, root);
  return noErr;
}

OSStatus HIWindowChangeFeatures(WindowRef inWindow, UInt64 inSetThese, UInt64 inClearThese) {
  if (OSStatus err = standin_tb::EnterCall("HIWindowChangeFeatures"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  UInt64& features = Impl(inWindow)->m_Features;
  features = (features | inSetThese) & ~inClearThese;
  standin_tb::MarkWindowDirty(inWindow, nullptr);  // the background may have changed
  return noErr;
}

OSStatus HIWindowGetFeatures(WindowRef inWindow, UInt64* outFeatures) {
  if (OSStatus err = standin_tb::EnterCall("HIWindowGetFeatures"))
    return err;
  if (inWindow == nullptr || outFeatures == nullptr)
    return errInvalidWindowRef;
  *outFeatures = Impl(inWindow)->m_Features;
  return noErr;
}

void DisposeWindow(WindowRef window) {
  if (window == nullptr || Impl(window)->m_Disposed)
    return;
  WindowImpl* impl = Impl(window);
  CFRetain(impl);
  impl->m_Disposed = true;
  ++TheState().disposed;
  SendWindowEvent(impl, kEventWindowClosed);
  // A sheet shown on the window goes with it; the window forgets the parent it was a sheet of.
  for (WindowImpl* other : std::vector<WindowImpl*>(TheState().zOrder))
    if (other->m_SheetParent == impl)
      HideSheetWindow(other);
  impl->m_SheetParent = nullptr;
  if (TheState().active == impl)
    TheState().active = nullptr;
  RemoveFromZOrder(impl);
  standin_tb::DropQueuedEventsFor(GetWindowEventTarget(impl));
  standin_tb::ForgetMouseOverIn(impl);
  standin_tb::ReleaseMouseTrackingIn(impl);
  Transitions().erase(window);
  impl->ReleaseViews();
  standin_tb::RemoveAllHandlers(impl->StandInCore().target);
  UpdateActivation();
  CFRelease(impl);  // the creator's reference
  CFRelease(impl);
}

OSStatus GetWindowClass(WindowRef inWindow, WindowClass* outClass) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowClass"))
    return err;
  if (inWindow == nullptr || outClass == nullptr)
    return errInvalidWindowRef;
  *outClass = Impl(inWindow)->m_WindowClass;
  return noErr;
}

OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* outAttributes) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowAttributes"))
    return err;
  if (window == nullptr || outAttributes == nullptr)
    return errInvalidWindowRef;
  *outAttributes = Impl(window)->m_Attributes;
  return noErr;
}

OSStatus ChangeWindowAttributes(WindowRef window, WindowAttributes setTheseAttributes,
                                WindowAttributes clearTheseAttributes) {
  if (OSStatus err = standin_tb::EnterCall("ChangeWindowAttributes"))
    return err;
  if (window == nullptr)
    return errInvalidWindowRef;
  WindowAttributes& attributes = Impl(window)->m_Attributes;
  attributes = (attributes | setTheseAttributes) & ~clearTheseAttributes;
  MarkTitleBandDirty(Impl(window));  // its boxes
  return noErr;
}

OSStatus SetWindowTitleWithCFString(WindowRef inWindow, CFStringRef inString) {
  if (OSStatus err = standin_tb::EnterCall("SetWindowTitleWithCFString"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  Impl(inWindow)->m_Title = standin_tb::Units(inString);
  MarkTitleBandDirty(Impl(inWindow));
  return noErr;
}

OSStatus CopyWindowTitleAsCFString(WindowRef inWindow, CFStringRef* outString) {
  if (OSStatus err = standin_tb::EnterCall("CopyWindowTitleAsCFString"))
    return err;
  if (inWindow == nullptr || outString == nullptr)
    return errInvalidWindowRef;
  *outString = new StandIn_CFString(Impl(inWindow)->m_Title);
  return noErr;
}

void ShowWindow(WindowRef window) {
  if (window == nullptr || Impl(window)->m_Visible)
    return;
  Impl(window)->m_Visible = true;
  SendWindowEvent(Impl(window), kEventWindowShown);
  UpdateActivation();
}

void HideWindow(WindowRef window) {
  if (window == nullptr || !Impl(window)->m_Visible)
    return;
  Impl(window)->m_Visible = false;
  SendWindowEvent(Impl(window), kEventWindowHidden);
  UpdateActivation();
}

Boolean IsWindowVisible(WindowRef window) {
  return window && Impl(window)->m_Visible;
}

void BringToFront(WindowRef window) {
  if (window == nullptr || Impl(window)->m_Disposed)
    return;
  RemoveFromZOrder(Impl(window));
  TheState().zOrder.insert(TheState().zOrder.begin(), Impl(window));
  Arrange();
  UpdateActivation();
}

void SelectWindow(WindowRef window) {
  // Selecting a sheet selects its parent, the sheet staying in front of it.
  WindowImpl* impl = window ? Impl(window) : nullptr;
  BringToFront(impl && impl->m_SheetParent ? impl->m_SheetParent : impl);
}

void SendBehind(WindowRef window, WindowRef behindWindow) {
  if (window == nullptr || window == behindWindow || Impl(window)->m_Disposed)
    return;
  RemoveFromZOrder(Impl(window));
  auto& z = TheState().zOrder;
  auto place = behindWindow ? std::find(z.begin(), z.end(), Impl(behindWindow)) : z.end();
  if (place != z.end())
    ++place;
  z.insert(place, Impl(window));
  Arrange();
  UpdateActivation();
}

WindowRef FrontWindow() {
  for (WindowImpl* window : TheState().zOrder)
    if (window->m_Visible)
      return window;
  return nullptr;
}

WindowRef FrontNonFloatingWindow() {
  for (WindowImpl* window : TheState().zOrder)
    if (window->m_Visible && !IsFloating(window))
      return window;
  return nullptr;
}

WindowRef ActiveNonFloatingWindow() {
  return TheState().active;
}

WindowRef GetUserFocusWindow() {
  WindowImpl* active = TheState().active;
  for (WindowImpl* window : TheState().zOrder)
    if (active && window->m_SheetParent == active && window->m_Visible)
      return window;
  return active;
}

Boolean IsWindowActive(WindowRef window) {
  return window && (Impl(window) == TheState().active ||
                    (IsFloating(Impl(window)) && Impl(window)->m_Visible));
}

WindowRef GetFrontWindowOfClass(WindowClass inWindowClass, Boolean mustBeVisible) {
  for (WindowImpl* window : TheState().zOrder)
    if ((inWindowClass == kAllWindowClasses || window->m_WindowClass == inWindowClass) &&
        (!mustBeVisible || window->m_Visible))
      return window;
  return nullptr;
}

WindowRef GetNextWindow(WindowRef window) {
  auto& z = TheState().zOrder;
  auto found = std::find(z.begin(), z.end(), Impl(window));
  return found == z.end() || found + 1 == z.end() ? nullptr : *(found + 1);
}

OSStatus CollapseWindow(WindowRef window, Boolean collapse) {
  if (OSStatus err = standin_tb::EnterCall("CollapseWindow"))
    return err;
  if (window == nullptr)
    return errInvalidWindowRef;
  WindowImpl* impl = Impl(window);
  if (impl->m_Collapsed == (collapse != 0))
    return noErr;
  impl->m_Collapsed = collapse;
  CFRetain(impl);
  SendWindowEvent(impl, collapse ? kEventWindowCollapsed : kEventWindowExpanded);
  CFRelease(impl);
  return noErr;
}

Boolean IsWindowCollapsed(WindowRef window) {
  return window && Impl(window)->m_Collapsed;
}

OSStatus GetWindowBounds(WindowRef window, WindowRegionCode regionCode, Rect* globalBounds) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowBounds"))
    return err;
  if (window == nullptr || globalBounds == nullptr)
    return errInvalidWindowRef;
  WindowImpl* impl = Impl(window);
  const Rect structure = impl->Structure();
  switch (regionCode) {
    case kWindowStructureRgn:
      *globalBounds = structure;
      return noErr;
    case kWindowContentRgn:
    case kWindowGlobalPortRgn:
      *globalBounds = impl->m_Content;
      if (impl->m_Collapsed)
        globalBounds->bottom = globalBounds->top;
      return noErr;
    case kWindowTitleBarRgn:
      *globalBounds = Rect{structure.top, structure.left,
                           static_cast<short>(structure.top + impl->TitleBar()), structure.right};
      return noErr;
    default:
      return paramErr;
  }
}

OSStatus SetWindowBounds(WindowRef window, WindowRegionCode regionCode, const Rect* globalBounds) {
  if (OSStatus err = standin_tb::EnterCall("SetWindowBounds"))
    return err;
  if (window == nullptr || globalBounds == nullptr)
    return errInvalidWindowRef;
  WindowImpl* impl = Impl(window);
  const Rect previous = impl->Structure();
  if (regionCode == kWindowContentRgn) {
    impl->m_Content = *globalBounds;
  } else if (regionCode == kWindowStructureRgn) {
    impl->m_Content = *globalBounds;
    impl->m_Content.top = static_cast<short>(impl->m_Content.top + impl->Top());
  } else {
    return paramErr;
  }
  impl->LayOutViews();
  SendBoundsChanged(impl, 0, previous);
  return noErr;
}

namespace {

std::map<WindowRef, long>& Transitions() {
  static auto* transitions = new std::map<WindowRef, long>;
  return *transitions;
}

}  // namespace

OSStatus TransitionWindowWithOptions(WindowRef inWindow, WindowTransitionEffect,
                                     WindowTransitionAction inAction, const HIRect* inBounds,
                                     Boolean, TransitionWindowOptions*) {
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  ++Transitions()[inWindow];
  switch (inAction) {
    case kWindowShowTransitionAction:
      ShowWindow(inWindow);
      break;
    case kWindowHideTransitionAction:
      HideWindow(inWindow);
      break;
    case kWindowMoveTransitionAction:
    case kWindowResizeTransitionAction: {
      if (inBounds == nullptr)
        return paramErr;
      // Where the animation would end.
      const Rect bounds{static_cast<short>(std::lround(inBounds->origin.y)),
                        static_cast<short>(std::lround(inBounds->origin.x)),
                        static_cast<short>(std::lround(CGRectGetMaxY(*inBounds))),
                        static_cast<short>(std::lround(CGRectGetMaxX(*inBounds)))};
      return SetWindowBounds(inWindow, kWindowStructureRgn, &bounds);
    }
    default:
      return paramErr;
  }
  return noErr;
}

long StandIn_WindowTransitionCount(WindowRef window) {
  auto const found = Transitions().find(window);
  return found == Transitions().end() ? 0 : found->second;
}

void DragWindow(WindowRef window, Point startPt, const Rect*) {
  if (window == nullptr)
    return;
  const Rect start = Impl(window)->Structure();
  auto follow = [&](Point mouse) {
    MoveWindowStructure(window, static_cast<short>(start.left + mouse.h - startPt.h),
                        static_cast<short>(start.top + mouse.v - startPt.v));
  };
  StandIn_Input input;
  bool moved = false;
  while (standin_tb::NextModalInput(input)) {
    if (input.kind != StandIn_InputKind::MouseMoved && input.kind != StandIn_InputKind::MouseUp)
      continue;
    const Point mouse{static_cast<short>(input.global.y), static_cast<short>(input.global.x)};
    StandIn_SetMouse(mouse);
    follow(mouse);
    moved = true;
    if (input.kind == StandIn_InputKind::MouseUp)
      break;
  }
  if (!moved)
    follow(StandIn_GlobalMouse());
}

WindowPartCode FindWindow(Point thePoint, WindowRef* window) {
  if (window)
    *window = nullptr;
  const StandIn_Screen screen = StandIn_MainScreen();
  if (thePoint.v >= 0 && thePoint.v < screen.menuBarHeight && thePoint.h >= 0 &&
      thePoint.h < screen.width)
    return inMenuBar;
  for (WindowImpl* impl : TheState().zOrder) {
    const Rect structure = impl->Structure();
    if (!impl->m_Visible || (impl->m_Attributes & kWindowIgnoreClicksAttribute) ||
        thePoint.h < structure.left || thePoint.h >= structure.right ||
        thePoint.v < structure.top || thePoint.v >= structure.bottom)
      continue;
    if (window)
      *window = impl;
    if (thePoint.v < structure.top + impl->TitleBar()) {
      // The title bar's buttons, 12 wide from 8 points in: close, collapse, zoom.
      const int x = thePoint.h - structure.left;
      const WindowAttributes attributes = impl->m_Attributes;
      if (x >= 8 && x < 20 && (attributes & kWindowCloseBoxAttribute))
        return inGoAway;
      if (x >= 28 && x < 40 && (attributes & kWindowCollapseBoxAttribute))
        return inCollapseBox;
      if (x >= 48 && x < 60 && (attributes & kWindowFullZoomAttribute))
        return impl->m_Zoomed ? inZoomIn : inZoomOut;
      return inDrag;
    }
    const Rect& content = impl->m_Content;
    if ((impl->m_Attributes & kWindowResizableAttribute) && thePoint.h >= content.right - 15 &&
        thePoint.v >= content.bottom - 15)
      return inGrow;
    return inContent;
  }
  return inDesk;
}

OSStatus ZoomWindowIdeal(WindowRef inWindow, WindowPartCode inPartCode, Point*) {
  if (OSStatus err = standin_tb::EnterCall("ZoomWindowIdeal"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  WindowImpl* impl = Impl(inWindow);
  if (inPartCode != inZoomIn && inPartCode != inZoomOut)
    return paramErr;
  const bool out = inPartCode == inZoomOut;
  if (out == impl->m_Zoomed)
    return noErr;
  const Rect previous = impl->Structure();
  if (out) {
    impl->m_UserState = impl->m_Content;
    Rect area = Available();
    area.top = static_cast<short>(area.top + impl->Top());
    impl->m_Content = area;
  } else {
    impl->m_Content = impl->m_UserState;
  }
  impl->m_Zoomed = out;
  impl->LayOutViews();
  CFRetain(impl);
  SendBoundsChanged(impl, kWindowBoundsChangeZoom, previous);
  SendWindowEvent(impl, kEventWindowZoomed);
  CFRelease(impl);
  return noErr;
}

OSStatus ConstrainWindowToScreen(WindowRef inWindowRef, WindowRegionCode, UInt32 inOptions,
                                 const Rect* inScreenRect, Rect* outStructure) {
  if (OSStatus err = standin_tb::EnterCall("ConstrainWindowToScreen"))
    return err;
  if (inWindowRef == nullptr)
    return errInvalidWindowRef;
  WindowImpl* impl = Impl(inWindowRef);
  const Rect area = inScreenRect ? *inScreenRect : Available();
  Rect structure = impl->Structure();
  const int areaWidth = area.right - area.left;
  const int areaHeight = area.bottom - area.top;
  int width = structure.right - structure.left;
  int height = structure.bottom - structure.top;
  const bool fits = width <= areaWidth && height <= areaHeight;
  if (!fits && (inOptions & kWindowConstrainMayResize)) {
    width = std::min(width, areaWidth);
    height = std::min(height, areaHeight);
  } else if (!fits && !(inOptions & kWindowConstrainMoveRegardlessOfFit)) {
    if (outStructure)
      *outStructure = structure;
    return noErr;
  }
  // Right and bottom edges in first, then left and top, so a window too large keeps its top left.
  int left = std::min<int>(structure.left, area.right - width);
  int top = std::min<int>(structure.top, area.bottom - height);
  left = std::max<int>(left, area.left);
  top = std::max<int>(top, area.top);
  structure = Rect{static_cast<short>(top), static_cast<short>(left),
                   static_cast<short>(top + height), static_cast<short>(left + width)};
  if (outStructure)
    *outStructure = structure;
  if (inOptions & kWindowConstrainCalcOnly)
    return noErr;
  return SetWindowBounds(inWindowRef, kWindowStructureRgn, &structure);
}

OSStatus MoveWindowStructure(WindowRef window, short hGlobal, short vGlobal) {
  if (OSStatus err = standin_tb::EnterCall("MoveWindowStructure"))
    return err;
  if (window == nullptr)
    return errInvalidWindowRef;
  const Rect previous = Impl(window)->Structure();
  MoveStructureTo(Impl(window), hGlobal, vGlobal);
  if (previous.left != hGlobal || previous.top != vGlobal)
    SendBoundsChanged(Impl(window), 0, previous);
  return noErr;
}

OSStatus SetWindowResizeLimits(WindowRef inWindow, const HISize* inMinLimits,
                               const HISize* inMaxLimits) {
  if (OSStatus err = standin_tb::EnterCall("SetWindowResizeLimits"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  if (inMinLimits)
    Impl(inWindow)->m_Minimum = *inMinLimits;
  if (inMaxLimits)
    Impl(inWindow)->m_Maximum = *inMaxLimits;
  return noErr;
}

OSStatus GetWindowResizeLimits(WindowRef inWindow, HISize* outMinLimits, HISize* outMaxLimits) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowResizeLimits"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  if (outMinLimits)
    *outMinLimits = Impl(inWindow)->m_Minimum;
  if (outMaxLimits)
    *outMaxLimits = Impl(inWindow)->m_Maximum;
  return noErr;
}

OSStatus RepositionWindow(WindowRef window, WindowRef parentWindow, WindowPositionMethod method) {
  if (OSStatus err = standin_tb::EnterCall("RepositionWindow"))
    return err;
  if (window == nullptr)
    return errInvalidWindowRef;
  WindowImpl* impl = Impl(window);
  const bool onParent = method == kWindowCenterOnParentWindow ||
                        method == kWindowCascadeOnParentWindow ||
                        method == kWindowAlertPositionOnParentWindow;
  if (onParent && parentWindow == nullptr)
    return paramErr;
  const Rect area = onParent ? Impl(parentWindow)->Structure() : Available();
  const Rect structure = impl->Structure();
  const int width = structure.right - structure.left;
  const int height = structure.bottom - structure.top;
  const int areaWidth = area.right - area.left;
  const int areaHeight = area.bottom - area.top;
  int left = area.left + (areaWidth - width) / 2;
  int top = area.top + (areaHeight - height) / 2;
  switch (method) {
    case kWindowCenterOnMainScreen:
    case kWindowCenterOnParentWindow:
    case kWindowCenterOnParentWindowScreen:
      break;
    case kWindowAlertPositionOnMainScreen:
    case kWindowAlertPositionOnParentWindow:
    case kWindowAlertPositionOnParentWindowScreen:
      top = area.top + (areaHeight - height) / 3;
      break;
    case kWindowCascadeOnMainScreen:
    case kWindowCascadeOnParentWindowScreen:
    case kWindowCascadeStartAtParentWindowScreen:
    case kWindowCascadeOnParentWindow: {
      const Rect base = parentWindow ? Impl(parentWindow)->Structure() : Available();
      left = base.left + 20;
      top = base.top + 20;
      break;
    }
    default:
      return paramErr;
  }
  MoveStructureTo(impl, static_cast<short>(left), static_cast<short>(top));
  return noErr;
}

OSStatus GetAvailableWindowPositioningBounds(void*, Rect* outAvailableRect) {
  if (OSStatus err = standin_tb::EnterCall("GetAvailableWindowPositioningBounds"))
    return err;
  if (outAvailableRect == nullptr)
    return paramErr;
  *outAvailableRect = Available();
  return noErr;
}

OSStatus SetWindowProperty(WindowRef window, PropertyCreator propertyCreator,
                           PropertyTag propertyTag, ByteCount propertySize,
                           const void* propertyBuffer) {
  if (window == nullptr)
    return errInvalidWindowRef;
  if (OSStatus err = standin_tb::EnterCall("SetWindowProperty"))
    return err;
  auto bytes = static_cast<const UInt8*>(propertyBuffer);
  Impl(window)->m_Properties[{propertyCreator, propertyTag}].assign(bytes, bytes + propertySize);
  return noErr;
}

OSStatus GetWindowProperty(WindowRef window, PropertyCreator propertyCreator,
                           PropertyTag propertyTag, ByteCount bufferSize, ByteCount* actualSize,
                           void* propertyBuffer) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowProperty"))
    return err;
  if (window == nullptr)
    return errInvalidWindowRef;
  auto& properties = Impl(window)->m_Properties;
  auto found = properties.find({propertyCreator, propertyTag});
  if (found == properties.end())
    return errWindowPropertyNotFound;
  if (actualSize)
    *actualSize = found->second.size();
  if (propertyBuffer)
    std::memcpy(propertyBuffer, found->second.data(), std::min(bufferSize, found->second.size()));
  return noErr;
}

OSStatus GetWindowPropertySize(WindowRef window, PropertyCreator creator, PropertyTag tag,
                               ByteCount* size) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowPropertySize"))
    return err;
  return GetWindowProperty(window, creator, tag, 0, size, nullptr);
}

OSStatus RemoveWindowProperty(WindowRef window, PropertyCreator propertyCreator,
                              PropertyTag propertyTag) {
  if (OSStatus err = standin_tb::EnterCall("RemoveWindowProperty"))
    return err;
  if (window == nullptr)
    return errInvalidWindowRef;
  return Impl(window)->m_Properties.erase({propertyCreator, propertyTag})
             ? noErr
             : errWindowPropertyNotFound;
}

OSStatus ShowSheetWindow(WindowRef inSheet, WindowRef inParentWindow) {
  if (inSheet == nullptr || inParentWindow == nullptr)
    return errInvalidWindowRef;
  if (OSStatus err = standin_tb::EnterCall("ShowSheetWindow"))
    return err;
  WindowImpl* sheet = Impl(inSheet);
  if (sheet->m_WindowClass != kSheetWindowClass && sheet->m_WindowClass != kSheetAlertWindowClass)
    return paramErr;
  sheet->m_SheetParent = Impl(inParentWindow);
  Arrange();
  const Rect parent = Impl(inParentWindow)->m_Content;
  const Rect structure = sheet->Structure();
  const int width = structure.right - structure.left;
  MoveStructureTo(sheet, static_cast<short>(parent.left + (parent.right - parent.left - width) / 2),
                  parent.top);
  ShowWindow(sheet);
  return noErr;
}

OSStatus HideSheetWindow(WindowRef inSheet) {
  if (inSheet == nullptr)
    return errInvalidWindowRef;
  if (OSStatus err = standin_tb::EnterCall("HideSheetWindow"))
    return err;
  WindowImpl* sheet = Impl(inSheet);
  if (sheet->m_SheetParent == nullptr)
    return paramErr;
  sheet->m_SheetParent = nullptr;
  HideWindow(sheet);
  return noErr;
}

OSStatus GetSheetWindowParent(WindowRef inSheet, WindowRef* outParentWindow) {
  if (OSStatus err = standin_tb::EnterCall("GetSheetWindowParent"))
    return err;
  if (inSheet == nullptr || outParentWindow == nullptr)
    return errInvalidWindowRef;
  *outParentWindow = Impl(inSheet)->m_SheetParent;
  return noErr;
}

long StandIn_WindowLiveCount() {
  return TheState().live;
}

long StandIn_WindowDisposeCount() {
  return TheState().disposed;
}

void StandIn_SetMainScreen(Rect bounds, short menuBarHeight) {
  StandIn_SetMainScreen(StandIn_Screen{static_cast<SInt16>(bounds.right - bounds.left),
                                       static_cast<SInt16>(bounds.bottom - bounds.top),
                                       menuBarHeight});
}

void StandIn_WindowsResetCounts() {
  TheState().disposed = 0;
}

bool StandIn_WindowIsDisposed(WindowRef window) {
  return window && Impl(window)->m_Disposed;
}
