// Windows of the Mac stand-in (see HIToolbox/MacWindows.h).
#include "iStandInToolbox.h"

#include <algorithm>

namespace {

class WindowImpl;

struct WindowState {
  std::vector<WindowImpl*> zOrder;  // front to back
  long live = 0;
  long disposed = 0;
  Rect screen{0, 0, 768, 1024};
  short menuBar = 22;
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

class WindowImpl final : public StandIn_Window {
public:
  WindowImpl(WindowClass cls, WindowAttributes attrs, const Rect& contentBounds)
      : StandIn_Window(standin_tb::HIObjectTypeID()),
        windowClass(cls),
        attributes(attrs),
        content(contentBounds),
        root(new StandIn_ViewImpl("root")) {
    ++TheState().live;
    root.Get()->window = this;
    auto contentView = new StandIn_ViewImpl("content");
    contentView->id = kHIViewWindowContentID;
    HIViewAddSubview(root.Get(), contentView);
    CFRelease(contentView);
    LayOutViews();
    TheState().zOrder.insert(TheState().zOrder.begin(), this);
  }
  ~WindowImpl() override { --TheState().live; }

  OSStatus StandardHandler(EventRef event) override {
    if (GetEventClass(event) == kEventClassWindow && GetEventKind(event) == kEventWindowClose) {
      DisposeWindow(this);
      return noErr;
    }
    return eventNotHandledErr;
  }
  EventTargetRef ParentTarget() const override { return GetApplicationEventTarget(); }

  short TitleBar() const { return HasTitleBar(windowClass) ? kStandInTitleBarHeight : 0; }
  Rect Structure() const {
    Rect r = content;
    r.top = static_cast<short>(r.top - TitleBar());
    if (collapsed)
      r.bottom = static_cast<short>(r.top + TitleBar());
    return r;
  }
  void LayOutViews() {
    const CGFloat width = content.right - content.left;
    const CGFloat height = content.bottom - content.top;
    root.Get()->frame = CGRectMake(0, 0, width, height + TitleBar());
    root.Get()->subviews.front()->frame = CGRectMake(0, TitleBar(), width, height);
  }
  void ReleaseViews() {
    if (root.Get()) {
      root.Get()->window = nullptr;
      root.Reset(nullptr);
    }
  }

  WindowClass windowClass;
  WindowAttributes attributes;
  Rect content;
  bool visible = false;
  bool collapsed = false;
  bool disposed = false;
  std::u16string title;
  HISize minimum{64, 64};
  HISize maximum{32000, 32000};
  std::map<std::pair<PropertyCreator, PropertyTag>, std::vector<UInt8>> properties;
  WindowImpl* sheetParent = nullptr;
  CFHeld<StandIn_ViewImpl*> root;

protected:
  void Finalize() override {
    RemoveFromZOrder(this);
    ReleaseViews();
  }
};

WindowImpl* Impl(WindowRef window) {
  return static_cast<WindowImpl*>(window);
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

void MoveStructureTo(WindowImpl* window, short left, short top) {
  const Rect structure = window->Structure();
  const short dx = static_cast<short>(left - structure.left);
  const short dy = static_cast<short>(top - structure.top);
  window->content = Rect{static_cast<short>(window->content.top + dy),
                         static_cast<short>(window->content.left + dx),
                         static_cast<short>(window->content.bottom + dy),
                         static_cast<short>(window->content.right + dx)};
}

Rect Available() {
  Rect r = TheState().screen;
  r.top = static_cast<short>(r.top + TheState().menuBar);
  return r;
}

}  // namespace

namespace standin_tb {

HIViewRef ContentView(WindowRef window) {
  StandIn_ViewImpl* root = window ? Impl(window)->root.Get() : nullptr;
  return root && !root->subviews.empty() ? root->subviews.front() : nullptr;
}

}  // namespace standin_tb

HIViewRef HIViewGetRoot(WindowRef inWindow) {
  return inWindow ? Impl(inWindow)->root.Get() : nullptr;
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

void DisposeWindow(WindowRef window) {
  if (window == nullptr || Impl(window)->disposed)
    return;
  WindowImpl* impl = Impl(window);
  CFRetain(impl);
  impl->disposed = true;
  ++TheState().disposed;
  SendWindowEvent(impl, kEventWindowClosed);
  RemoveFromZOrder(impl);
  standin_tb::DropQueuedEventsFor(GetWindowEventTarget(impl));
  impl->ReleaseViews();
  standin_tb::RemoveAllHandlers(impl->StandInCore().target);
  CFRelease(impl);  // the creator's reference
  CFRelease(impl);
}

OSStatus GetWindowClass(WindowRef inWindow, WindowClass* outClass) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowClass"))
    return err;
  if (inWindow == nullptr || outClass == nullptr)
    return errInvalidWindowRef;
  *outClass = Impl(inWindow)->windowClass;
  return noErr;
}

OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* outAttributes) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowAttributes"))
    return err;
  if (window == nullptr || outAttributes == nullptr)
    return errInvalidWindowRef;
  *outAttributes = Impl(window)->attributes;
  return noErr;
}

OSStatus ChangeWindowAttributes(WindowRef window, WindowAttributes setTheseAttributes,
                                WindowAttributes clearTheseAttributes) {
  if (OSStatus err = standin_tb::EnterCall("ChangeWindowAttributes"))
    return err;
  if (window == nullptr)
    return errInvalidWindowRef;
  WindowAttributes& attributes = Impl(window)->attributes;
  attributes = (attributes | setTheseAttributes) & ~clearTheseAttributes;
  return noErr;
}

OSStatus SetWindowTitleWithCFString(WindowRef inWindow, CFStringRef inString) {
  if (OSStatus err = standin_tb::EnterCall("SetWindowTitleWithCFString"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  Impl(inWindow)->title = standin_tb::Units(inString);
  return noErr;
}

OSStatus CopyWindowTitleAsCFString(WindowRef inWindow, CFStringRef* outString) {
  if (OSStatus err = standin_tb::EnterCall("CopyWindowTitleAsCFString"))
    return err;
  if (inWindow == nullptr || outString == nullptr)
    return errInvalidWindowRef;
  *outString = new StandIn_CFString(Impl(inWindow)->title);
  return noErr;
}

void ShowWindow(WindowRef window) {
  if (window == nullptr || Impl(window)->visible)
    return;
  Impl(window)->visible = true;
  SendWindowEvent(Impl(window), kEventWindowShown);
}

void HideWindow(WindowRef window) {
  if (window == nullptr || !Impl(window)->visible)
    return;
  Impl(window)->visible = false;
  SendWindowEvent(Impl(window), kEventWindowHidden);
}

Boolean IsWindowVisible(WindowRef window) {
  return window && Impl(window)->visible;
}

void BringToFront(WindowRef window) {
  if (window == nullptr || Impl(window)->disposed)
    return;
  RemoveFromZOrder(Impl(window));
  TheState().zOrder.insert(TheState().zOrder.begin(), Impl(window));
}

void SelectWindow(WindowRef window) {
  BringToFront(window);
}

void SendBehind(WindowRef window, WindowRef behindWindow) {
  if (window == nullptr || window == behindWindow || Impl(window)->disposed)
    return;
  RemoveFromZOrder(Impl(window));
  auto& z = TheState().zOrder;
  auto place = behindWindow ? std::find(z.begin(), z.end(), Impl(behindWindow)) : z.end();
  if (place != z.end())
    ++place;
  z.insert(place, Impl(window));
}

WindowRef FrontWindow() {
  auto& z = TheState().zOrder;
  return z.empty() ? nullptr : z.front();
}

WindowRef GetFrontWindowOfClass(WindowClass inWindowClass, Boolean mustBeVisible) {
  for (WindowImpl* window : TheState().zOrder)
    if ((inWindowClass == kAllWindowClasses || window->windowClass == inWindowClass) &&
        (!mustBeVisible || window->visible))
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
  Impl(window)->collapsed = collapse;
  return noErr;
}

Boolean IsWindowCollapsed(WindowRef window) {
  return window && Impl(window)->collapsed;
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
      *globalBounds = impl->content;
      if (impl->collapsed)
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
  if (regionCode == kWindowContentRgn) {
    impl->content = *globalBounds;
  } else if (regionCode == kWindowStructureRgn) {
    impl->content = *globalBounds;
    impl->content.top = static_cast<short>(impl->content.top + impl->TitleBar());
  } else {
    return paramErr;
  }
  impl->LayOutViews();
  SendWindowEvent(impl, kEventWindowBoundsChanged);
  return noErr;
}

OSStatus MoveWindowStructure(WindowRef window, short hGlobal, short vGlobal) {
  if (OSStatus err = standin_tb::EnterCall("MoveWindowStructure"))
    return err;
  if (window == nullptr)
    return errInvalidWindowRef;
  MoveStructureTo(Impl(window), hGlobal, vGlobal);
  return noErr;
}

OSStatus SetWindowResizeLimits(WindowRef inWindow, const HISize* inMinLimits,
                               const HISize* inMaxLimits) {
  if (OSStatus err = standin_tb::EnterCall("SetWindowResizeLimits"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  if (inMinLimits)
    Impl(inWindow)->minimum = *inMinLimits;
  if (inMaxLimits)
    Impl(inWindow)->maximum = *inMaxLimits;
  return noErr;
}

OSStatus GetWindowResizeLimits(WindowRef inWindow, HISize* outMinLimits, HISize* outMaxLimits) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowResizeLimits"))
    return err;
  if (inWindow == nullptr)
    return errInvalidWindowRef;
  if (outMinLimits)
    *outMinLimits = Impl(inWindow)->minimum;
  if (outMaxLimits)
    *outMaxLimits = Impl(inWindow)->maximum;
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
  Impl(window)->properties[{propertyCreator, propertyTag}].assign(bytes, bytes + propertySize);
  return noErr;
}

OSStatus GetWindowProperty(WindowRef window, PropertyCreator propertyCreator,
                           PropertyTag propertyTag, ByteCount bufferSize, ByteCount* actualSize,
                           void* propertyBuffer) {
  if (OSStatus err = standin_tb::EnterCall("GetWindowProperty"))
    return err;
  if (window == nullptr)
    return errInvalidWindowRef;
  auto& properties = Impl(window)->properties;
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
  return Impl(window)->properties.erase({propertyCreator, propertyTag}) ? noErr
                                                                        : errWindowPropertyNotFound;
}

OSStatus ShowSheetWindow(WindowRef inSheet, WindowRef inParentWindow) {
  if (inSheet == nullptr || inParentWindow == nullptr)
    return errInvalidWindowRef;
  if (OSStatus err = standin_tb::EnterCall("ShowSheetWindow"))
    return err;
  WindowImpl* sheet = Impl(inSheet);
  if (sheet->windowClass != kSheetWindowClass && sheet->windowClass != kSheetAlertWindowClass)
    return paramErr;
  sheet->sheetParent = Impl(inParentWindow);
  const Rect parent = Impl(inParentWindow)->content;
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
  if (sheet->sheetParent == nullptr)
    return paramErr;
  sheet->sheetParent = nullptr;
  HideWindow(sheet);
  return noErr;
}

OSStatus GetSheetWindowParent(WindowRef inSheet, WindowRef* outParentWindow) {
  if (OSStatus err = standin_tb::EnterCall("GetSheetWindowParent"))
    return err;
  if (inSheet == nullptr || outParentWindow == nullptr)
    return errInvalidWindowRef;
  *outParentWindow = Impl(inSheet)->sheetParent;
  return noErr;
}

long StandIn_WindowLiveCount() {
  return TheState().live;
}

long StandIn_WindowDisposeCount() {
  return TheState().disposed;
}

void StandIn_WindowsResetCounts() {
  TheState().disposed = 0;
}

bool StandIn_WindowIsDisposed(WindowRef window) {
  return window && Impl(window)->disposed;
}

void StandIn_SetMainScreen(Rect bounds, short menuBarHeight) {
  TheState().screen = bounds;
  TheState().menuBar = menuBarHeight;
}
