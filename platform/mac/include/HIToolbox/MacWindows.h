// Windows of the Mac stand-in: windows as HIObjects with a class, attributes, bounds per region,
// z-order, collapse, resize limits, properties, positioning on a configurable main screen, and
// sheets.
//
// Bounds are global. A window with a title bar (every class but plain, sheet, alert and overlay)
// has a title bar 22 high above its content; its structure is title bar, the band of its toolbar
// while that shows (HIToolbox/HIToolbar.h) and content; collapsed, its structure is the title bar
// alone. Windows are placed on the main screen of
// CoreGraphics/CGDirectDisplay.h (its top left is the global origin) below its menu bar. The
// z-order lists windows front to back, the newest in front.
//
// DisposeWindow sends kEventWindowClosed, takes the window out of the z-order, drops its queued
// events, releases its views and the creator's reference (counted by StandIn_WindowDisposeCount;
// a second dispose is ignored). The standard handling of kEventWindowClose ('wind' 72) disposes
// of the window. HideSheetWindow sends kEventWindowHidden to the sheet; ShowSheetWindow
// kEventWindowShown.
//
// Layers, back to front: documents (plain windows, drawers and sheets with them), floating
// windows, utility windows, modal windows and alerts, overlays and help tags. A new or selected
// window goes to the front of its layer; a shown sheet stays right in front of its parent. The
// active window is the frontmost visible window that is not floating (floating, utility, overlay
// and help windows); a sheet's parent is active while the sheet shows, and the sheet has the
// user focus. Whenever the active window changes, the old one gets kEventWindowDeactivated and the
// new one kEventWindowActivated. Disposing of a window hides the sheet shown on it and detaches
// it.
//
// Bounds changes send kEventWindowBoundsChanged with 'attr' (kWindowBoundsChange...), 'orgb' and
// 'prvb' (the structure before) and 'crct' (the structure after), QuickDraw rectangles.
// CollapseWindow sends kEventWindowCollapsed or kEventWindowExpanded on a real change. The
// standard handling of kEventWindowZoom zooms out to the available screen or back in to the
// bounds before, and sends kEventWindowZoomed.
#pragma once
#include <HIToolbox/HIView.h>
#include <QD/QuickDraw.h>

typedef UInt32 WindowClass;
typedef UInt64 WindowAttributes;
typedef UInt16 WindowRegionCode;
typedef UInt32 WindowPositionMethod;
typedef OSType PropertyCreator;
typedef OSType PropertyTag;

enum : WindowClass {
  kAlertWindowClass = 1,
  kMovableAlertWindowClass = 2,
  kModalWindowClass = 3,
  kMovableModalWindowClass = 4,
  kFloatingWindowClass = 5,
  kDocumentWindowClass = 6,
  kUtilityWindowClass = 8,
  kHelpWindowClass = 10,
  kSheetWindowClass = 11,
  kToolbarWindowClass = 12,
  kPlainWindowClass = 13,
  kOverlayWindowClass = 14,
  kSheetAlertWindowClass = 15,
  kAltPlainWindowClass = 16,
  kDrawerWindowClass = 20,
  kAllWindowClasses = 0xFFFFFFFF
};

enum : WindowAttributes {
  kWindowNoAttributes = 0,
  kWindowCloseBoxAttribute = 1u << 0,
  kWindowHorizontalZoomAttribute = 1u << 1,
  kWindowVerticalZoomAttribute = 1u << 2,
  kWindowFullZoomAttribute = (1u << 1) | (1u << 2),
  kWindowCollapseBoxAttribute = 1u << 3,
  kWindowToolbarButtonAttribute = 1u << 6,
  kWindowResizableAttribute = 1u << 4,
  kWindowNoActivatesAttribute = 1u << 17,
  kWindowCompositingAttribute = 1u << 19,
  kWindowStandardHandlerAttribute = 1u << 25,
  kWindowLiveResizeAttribute = 1u << 28,
  kWindowHideOnSuspendAttribute = 1u << 24,
  kWindowIgnoreClicksAttribute = 1u << 29,
  kWindowStandardDocumentAttributes = (1u << 0) | (1u << 1) | (1u << 2) | (1u << 3) | (1u << 4)
};

enum : WindowRegionCode {
  kWindowTitleBarRgn = 0,
  kWindowStructureRgn = 32,
  kWindowContentRgn = 33,
  kWindowGlobalPortRgn = 40  // the window's port in global coordinates: its content
};

// How a dialog blocks the rest of the program (Navigation Services' options).
typedef UInt32 WindowModality;
enum : WindowModality {
  kWindowModalityNone = 0,
  kWindowModalitySystemModal = 1,
  kWindowModalityAppModal = 2,
  kWindowModalityWindowModal = 3
};

enum : WindowPositionMethod {
  kWindowCenterOnMainScreen = 1,
  kWindowCenterOnParentWindow = 2,
  kWindowCenterOnParentWindowScreen = 3,
  kWindowCascadeOnMainScreen = 4,
  kWindowCascadeOnParentWindow = 5,
  kWindowCascadeOnParentWindowScreen = 6,
  kWindowCascadeStartAtParentWindowScreen = 10,
  kWindowAlertPositionOnMainScreen = 7,
  kWindowAlertPositionOnParentWindow = 8,
  kWindowAlertPositionOnParentWindowScreen = 9
};

enum : UInt32 {
  kWindowBoundsChangeUserDrag = 1u << 0,
  kWindowBoundsChangeUserResize = 1u << 1,
  kWindowBoundsChangeSizeChanged = 1u << 2,
  kWindowBoundsChangeOriginChanged = 1u << 3,
  kWindowBoundsChangeZoom = 1u << 4
};

// Window parts of FindWindow.
typedef SInt16 WindowPartCode;
enum : WindowPartCode {
  inDesk = 0,
  inNoWindow = 0,
  inMenuBar = 1,
  inContent = 3,
  inDrag = 4,
  inGrow = 5,
  inGoAway = 6,
  inZoomIn = 7,
  inZoomOut = 8,
  inCollapseBox = 11,
};

constexpr OSStatus errWindowPropertyNotFound = -5604;
constexpr OSStatus errWindowNotFound = -5610;
constexpr short kStandInTitleBarHeight = 22;

// Content bounds, global.
OSStatus CreateNewWindow(WindowClass inWindowClass, WindowAttributes inAttributes,
                         const Rect* inContentBounds, WindowRef* outWindow);
void DisposeWindow(WindowRef window);

// Custom windows: the stand-in makes HIView-based ones only (kWindowDefHIView), whose root view
// is the given view (retained, covering the structure; there is no content view). paramErr for
// another definition or a view that already has a superview or window.
typedef UInt32 WindowDefType;
enum : WindowDefType {
  kWindowDefHIView = 3
};
struct WindowDefSpec {
  WindowDefType defType;
  union {
    void* classRef;
    short procID;
    HIViewRef rootView;
  } u;
};
OSStatus CreateCustomWindow(const WindowDefSpec* def, WindowClass windowClass,
                            WindowAttributes attributes, const Rect* contentBounds,
                            WindowRef* outWindow);

// Window features: every window starts opaque (kWindowIsOpaque); the render pass clears the
// backing store of a window that is not opaque to transparent instead of white.
enum : UInt64 {
  kWindowIsOpaque = 1u << 14
};
OSStatus HIWindowChangeFeatures(WindowRef inWindow, UInt64 inSetThese, UInt64 inClearThese);
OSStatus HIWindowGetFeatures(WindowRef inWindow, UInt64* outFeatures);
OSStatus GetWindowClass(WindowRef inWindow, WindowClass* outClass);
OSStatus GetWindowAttributes(WindowRef window, WindowAttributes* outAttributes);
OSStatus ChangeWindowAttributes(WindowRef window, WindowAttributes setTheseAttributes,
                                WindowAttributes clearTheseAttributes);

OSStatus SetWindowTitleWithCFString(WindowRef inWindow, CFStringRef inString);
// The caller releases the title.
OSStatus CopyWindowTitleAsCFString(WindowRef inWindow, CFStringRef* outString);

void ShowWindow(WindowRef window);
void HideWindow(WindowRef window);
Boolean IsWindowVisible(WindowRef window);
// Brings the window to the front.
void SelectWindow(WindowRef window);
void BringToFront(WindowRef window);
// Puts the window right behind behindWindow; null: to the back.
void SendBehind(WindowRef window, WindowRef behindWindow);
// The frontmost visible window; FrontNonFloatingWindow: the frontmost visible one that does not
// float; GetFrontWindowOfClass: the frontmost of a class.
WindowRef FrontWindow();
WindowRef FrontNonFloatingWindow();
WindowRef ActiveNonFloatingWindow();
// The window that takes the keyboard: the sheet shown on the active window, else that window.
WindowRef GetUserFocusWindow();
Boolean IsWindowActive(WindowRef window);
// The window and its part under a global point: the frontmost visible window whose structure
// holds it, skipping windows that ignore clicks; the menu bar above every window. A shown
// toolbar's band counts as content (its views are in the window's view tree).
WindowPartCode FindWindow(Point thePoint, WindowRef* window);
// Zooms out to the available screen (inZoomOut) or back in to the bounds before (inZoomIn), with
// kEventWindowBoundsChanged (kWindowBoundsChangeZoom) and kEventWindowZoomed.
OSStatus ZoomWindowIdeal(WindowRef inWindow, WindowPartCode inPartCode, Point* ioIdealSize);
// Moves (and with kWindowConstrainMayResize shrinks) the window so that its structure lies in
// the available screen; the new structure goes to outStructure when asked.
enum : UInt32 {
  kWindowConstrainMayResize = 1u << 0,
  kWindowConstrainMoveRegardlessOfFit = 1u << 1,
  kWindowConstrainAllowPartial = 1u << 2,
  kWindowConstrainCalcOnly = 1u << 3,
  kWindowConstrainStandardOptions = kWindowConstrainMoveRegardlessOfFit
};
OSStatus ConstrainWindowToScreen(WindowRef inWindowRef, WindowRegionCode inRegionCode,
                                 UInt32 inOptions, const Rect* inScreenRect, Rect* outStructure);
WindowRef GetFrontWindowOfClass(WindowClass inWindowClass, Boolean mustBeVisible);
WindowRef GetNextWindow(WindowRef window);

OSStatus CollapseWindow(WindowRef window, Boolean collapse);
Boolean IsWindowCollapsed(WindowRef window);

OSStatus GetWindowBounds(WindowRef window, WindowRegionCode regionCode, Rect* globalBounds);
// Structure or content bounds; the other follows.
OSStatus SetWindowBounds(WindowRef window, WindowRegionCode regionCode, const Rect* globalBounds);
// Drags the window by its point startPt (global): the structure follows the mouse inputs of the
// current input source (HIToolbox/StandInInput.h) until the button goes up; with none, it moves to
// where the mouse is (StandIn_SetMouse in QD/QuickDraw.h).
void DragWindow(WindowRef window, Point startPt, const Rect* boundsRect);
OSStatus MoveWindowStructure(WindowRef window, short hGlobal, short vGlobal);
// Content sizes; either may be null.
OSStatus SetWindowResizeLimits(WindowRef inWindow, const HISize* inMinLimits,
                               const HISize* inMaxLimits);
OSStatus GetWindowResizeLimits(WindowRef inWindow, HISize* outMinLimits, HISize* outMaxLimits);
// Places the window on the main screen, or relative to its parent: centred, at the alert
// position (a third of the free height above) or cascaded 20 points down and right of the
// parent (or of the screen's corner).
OSStatus RepositionWindow(WindowRef window, WindowRef parentWindow, WindowPositionMethod method);
// The main screen less the menu bar.
OSStatus GetAvailableWindowPositioningBounds(void* inDevice, Rect* outAvailableRect);

OSStatus SetWindowProperty(WindowRef window, PropertyCreator propertyCreator,
                           PropertyTag propertyTag, ByteCount propertySize,
                           const void* propertyBuffer);
OSStatus GetWindowProperty(WindowRef window, PropertyCreator propertyCreator,
                           PropertyTag propertyTag, ByteCount bufferSize, ByteCount* actualSize,
                           void* propertyBuffer);
OSStatus GetWindowPropertySize(WindowRef window, PropertyCreator creator, PropertyTag tag,
                               ByteCount* size);
OSStatus RemoveWindowProperty(WindowRef window, PropertyCreator propertyCreator,
                              PropertyTag propertyTag);

// Sheets: a window of the sheet class shown on a parent.
OSStatus ShowSheetWindow(WindowRef inSheet, WindowRef inParentWindow);
OSStatus HideSheetWindow(WindowRef inSheet);
OSStatus GetSheetWindowParent(WindowRef inSheet, WindowRef* outParentWindow);

// Test hooks.
// Windows alive (made and not yet freed) and disposals since the last reset.
long StandIn_WindowLiveCount();
long StandIn_WindowDisposeCount();
void StandIn_WindowsResetCounts();
// Whether DisposeWindow ran for the window (the object may live on while referenced).
bool StandIn_WindowIsDisposed(WindowRef window);
// The main screen (CoreGraphics/CGDirectDisplay.h) given by its global bounds, whose top left is
// the origin, and its menu bar height.
void StandIn_SetMainScreen(Rect bounds, short menuBarHeight);

// Window transitions. The stand-in runs a transition synchronously: the window ends at the final
// bounds (structure, global) before the call returns, whatever the effect; a hide or show
// action hides or shows it. Options may be null.
typedef UInt32 WindowTransitionEffect;
typedef UInt32 WindowTransitionAction;
enum : UInt32 {
  kWindowZoomTransitionEffect = 1,
  kWindowSheetTransitionEffect = 2,
  kWindowSlideTransitionEffect = 3,
  kWindowFadeTransitionEffect = 4,
  kWindowGenieTransitionEffect = 5
};
enum : UInt32 {
  kWindowShowTransitionAction = 1,
  kWindowHideTransitionAction = 2,
  kWindowMoveTransitionAction = 3,
  kWindowResizeTransitionAction = 4
};
struct TransitionWindowOptions {
  UInt32 version;
  EventTime duration;
  WindowRef window;
  void* userData;
};
OSStatus TransitionWindowWithOptions(WindowRef inWindow, WindowTransitionEffect inEffect,
                                     WindowTransitionAction inAction, const HIRect* inBounds,
                                     Boolean inAsync, TransitionWindowOptions* inOptions);
// Test hook: how many transitions the window ran.
long StandIn_WindowTransitionCount(WindowRef window);

// Mouse-tracking regions: a window's region (in its port's coordinates, the content's top left
// as origin) whose target hears kEventMouseEntered when the mouse moves into it and
// kEventMouseExited when it moves out (into another window too), each with the region
// (kEventParamMouseTrackingRef), the mouse ('mloc' global, 'wmou' in the window's structure) and
// the modifiers. The region is copied; the caller keeps its own. Released by its owner, or
// silently with its window.
typedef struct StandIn_MouseTrackingRegion* MouseTrackingRef;
typedef UInt32 MouseTrackingOptions;
struct MouseTrackingRegionID {
  OSType signature;
  SInt32 id;
};
enum : UInt32 {
  kEventParamMouseTrackingRef = 0x6D74726B,  // 'mtrk'
  typeMouseTrackingRef = 0x6D74726B          // 'mtrk'
};
OSStatus CreateMouseTrackingRegion(WindowRef inWindow, RgnHandle inRegion, RgnHandle inClip,
                                   MouseTrackingOptions inOptions, MouseTrackingRegionID inID,
                                   void* inRefCon, EventTargetRef inTargetToNotify,
                                   MouseTrackingRef* outTrackingRef);
// A new region for the same target; whether the mouse is inside is found again at the next move.
OSStatus ChangeMouseTrackingRegion(MouseTrackingRef inTrackingRef, RgnHandle inRegion,
                                   RgnHandle inClip);
OSStatus ReleaseMouseTrackingRegion(MouseTrackingRef inTrackingRef);
OSStatus GetMouseTrackingRegionID(MouseTrackingRef inTrackingRef, MouseTrackingRegionID* outID);
// Test hook: the regions alive (a leak check).
long StandIn_MouseTrackingRegionLiveCount();
