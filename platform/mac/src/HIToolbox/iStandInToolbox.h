// Internals shared by the stand-in's Event Manager, HIObject, window, view, menu, nib and alert
// sources. The toolbox runs on the main thread only; nothing here is locked, but for the queue
// (see PostEventToQueue in HIToolbox/CarbonEvents.h).
#pragma once
#include <HIToolbox/Controls.h>
#include <HIToolbox/HIObject.h>
#include <HIToolbox/MacTextEditor.h>
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/Menus.h>
#include <HIToolbox/StandInInput.h>
#include <HIToolbox/StandInScript.h>
#include <QD/QuickDraw.h>

#include <CoreFoundation/CFString.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct _cairo_surface;  // cairo's surface
struct StandIn_BrowserModel;
struct StandIn_WindowPixels;
class StandIn_ViewImpl;

// A column of a browser view: its property, title, kind (a property type) and width.
struct StandIn_BrowserColumn {
  UInt32 property;
  std::u16string title;
  OSType type;
  UInt16 width;
};

class StandIn_Event : public StandIn_CFObject {
public:
  struct Param {
    EventParamType type;
    std::vector<UInt8> bytes;
  };
  StandIn_Event(UInt32 eventClass, UInt32 eventKind, EventTime when, EventAttributes attributes);

  UInt32 m_Class;
  UInt32 m_Kind;
  EventTime m_When;
  EventAttributes m_Attributes;
  std::map<EventParamName, Param> m_Params;
  bool m_Queued = false;
};

// An installed handler. Its EventHandlerRef is a serial number, never reused, that the Event
// Manager looks up: a stale reference is answered, never followed.
struct StandIn_EventHandler {
  EventHandlerUPP proc = nullptr;
  std::vector<EventTypeSpec> types;
  void* userData = nullptr;
  OpaqueEventTargetRef* target = nullptr;
  EventHandlerRef ref = nullptr;
  bool removed = false;

  bool Wants(UInt32 eventClass, UInt32 eventKind) const;
};

struct OpaqueEventTargetRef {
  StandIn_HIObject* owner = nullptr;                            // null for the application
  std::vector<std::shared_ptr<StandIn_EventHandler>> handlers;  // newest first
};

struct StandIn_HIObject::Core {
  OpaqueEventTargetRef target;
  std::string classID;
  StandIn_HIObjectClass* subclass = nullptr;
  void* instance = nullptr;
};

// A retained CF reference that releases itself.
template <class Ref>
class CFHeld {
public:
  CFHeld() = default;
  explicit CFHeld(Ref ref) : m_Ref(ref) {}  // adopts
  ~CFHeld() { Reset(nullptr); }
  CFHeld(const CFHeld&) = delete;
  CFHeld& operator=(const CFHeld&) = delete;
  void Reset(Ref ref) {  // adopts ref
    Ref old = m_Ref;
    m_Ref = ref;
    if (old)
      CFRelease(old);
  }
  Ref Get() const { return m_Ref; }

private:
  Ref m_Ref = nullptr;
};

struct OpaqueTXNObject {
  StandIn_ViewImpl* view = nullptr;  // the text view that holds it (not retained)
  bool focused = false;
  UInt32 selectionStart = 0;
  UInt32 selectionEnd = 0;
  bool selectionShown = false;
  std::map<UInt32, UInt32> controls;  // 'wwrs', 'just', 'iopv'
  TXNMargins margins{0, 0, 0, 0};
  bool marginsSet = false;
  struct SizeRun {
    UInt32 start;
    UInt32 end;
    UInt32 size;
  };
  std::vector<SizeRun> sizes;
  std::u16string text;
};

// Kinds with state and drawing of their own (bevel buttons, image and segmented views, in
// ControlDefinitions.cpp) derive from it.
class StandIn_ViewImpl : public StandIn_HIView {
public:
  explicit StandIn_ViewImpl(const std::string& kind);

  OSStatus StandardHandler(EventRef event) override;
  EventTargetRef ParentTarget() const override;
  // The size GetBestControlRect answers for a kind that measures its own content; false for the
  // kinds measured by their title.
  virtual bool BestSize(CGSize* size) const {
    (void)size;
    return false;
  }

  std::string m_Kind;
  CGRect m_Frame{{0, 0}, {0, 0}};
  StandIn_ViewImpl* m_Superview = nullptr;
  std::vector<StandIn_ViewImpl*> m_Subviews;  // one reference each
  StandIn_Window* m_Window = nullptr;         // the root view's window
  bool m_Visible = true;
  bool m_Enabled = true;
  bool m_Active = true;
  bool m_TracksDrags = false;
  StandIn_ViewImpl* m_Focus = nullptr;  // the root view's: its window's focus (not retained)
  ControlPartCode m_FocusPart = 0;
  StandIn_ScrollRecord m_LastScroll{0, 0, 0};
  StandIn_ScrollInfo m_ScrollInfo{{0, 0}, {0, 0}, {0, 0}, {0, 0}, 0};  // a scroll view's
  ControlPartCode m_Hilite = 0;
  SInt32 m_Value = 0;
  SInt32 m_Minimum = 0;
  SInt32 m_Maximum = 0;
  ControlID m_Id{0, 0};
  UInt32 m_Command = 0;
  SRefCon m_Reference = 0;
  ControlActionUPP m_Action = nullptr;
  HIViewFeatures m_Features = 0;
  std::u16string m_Title;
  std::string m_Content;
  CFHeld<CGImageRef> m_ContentImage;  // the picture m_Content names, once read
  bool m_ContentRead = false;
  std::vector<std::u16string> m_Items;
  std::vector<StandIn_BrowserColumn> m_Columns;
  std::shared_ptr<StandIn_BrowserModel> m_Browser;  // a browser's items (DataBrowser.cpp)
  std::map<ResType, std::vector<UInt8>> m_Data;
  CFHeld<CFStringRef> m_Text;  // static text
  CFHeld<MenuRef> m_Menu;      // pop-up
  std::unique_ptr<OpaqueTXNObject> m_TextObject;
  long m_DisplayRequests = 0;
  bool m_NeedsDisplay = false;
  std::shared_ptr<_cairo_surface> m_BackingStore;  // the root view's: its window's pixels
  std::shared_ptr<StandIn_GrafPort> m_Port;        // the root view's: its window's port
  std::shared_ptr<StandIn_WindowPixels> m_Pixels;  // the root view's: dirty region and changes

protected:
  void Finalize() override;
};

namespace standin_tb {

StandIn_ViewImpl* View(HIViewRef view);
// The part a click on the view's kind hits.
ControlPartCode ClickPart(const StandIn_ViewImpl& view);
// The root view of the tree the view is in.
StandIn_ViewImpl* RootOf(StandIn_ViewImpl* view);
// The content view of a window.
HIViewRef ContentView(WindowRef window);
// Takes the next scripted answer of the kind when it lies within minimum..maximum; false when none
// is scripted, or when it lies outside (the fault is recorded with the dialog's name).
bool TakeScriptedAnswer(StandIn_AnswerKind kind, long minimum, long maximum, const char* dialog,
                        long* answer);
// Control tracking: highlights the part and follows the mouse inputs of the current source
// (highlighted while inside the view) until the button goes up; true when it goes up inside the
// view (or the source has nothing more, the release in place).
bool TrackUntilRelease(StandIn_ViewImpl* view, ControlPartCode part);
// The next input for a modal loop (tracking, window and drag moves, alerts, dialogs): a wake is
// the application loop's, which delivers what other threads posted once the modal loop is over,
// so the wait goes on through it. False once the current source has nothing more.
bool NextModalInput(StandIn_Input& input);
// The deepest visible view under a global point in the content of the window there, as a click
// would find it; null over a frame, the desk, the menu bar or a window a modal window blocks.
HIViewRef ViewUnderPoint(CGPoint global);
// The global point of a point in the view's coordinates, and back.
HIPoint ViewToGlobal(StandIn_ViewImpl* view, HIPoint where);
HIPoint GlobalToView(StandIn_ViewImpl* view, HIPoint global);
// Whether a window is modal-blocked from the user: a sheet shows on it, or an alert or modal window
// shows in front of it.
bool WindowBlockedByModal(WindowRef window);
// Records a scripted answer that could not be given (StandIn_TakeScriptFaults).
void RecordScriptFault(const std::string& why);
// A drop plan of the script: the views a drag passes over (one reference each, which the taker
// releases) and whether it is dropped on the last.
struct DropPlan {
  std::vector<HIViewRef> path;
  bool drop = false;
};
// Takes the next drop plan; false (and an empty plan) when none is scripted.
bool TakeDropPlan(DropPlan* plan);

// The one CF type id of every HIObject, event and nib reference kind.
CFTypeID HIObjectTypeID();
CFTypeID EventTypeID();

// Counts a call and answers an error injected for it (see StandIn_FilesFailNext).
OSStatus EnterCall(const char* function);

// An owned event reference.
class EventHolder {
public:
  EventHolder(UInt32 eventClass, UInt32 eventKind);
  ~EventHolder();
  EventHolder(const EventHolder&) = delete;
  EventHolder& operator=(const EventHolder&) = delete;
  EventRef Get() const { return m_Event; }
  template <class T>
  void Set(EventParamName name, EventParamType type, const T& value) {
    SetEventParameter(m_Event, name, type, sizeof(T), &value);
  }
  OSStatus SendTo(EventTargetRef target) const { return SendEventToEventTarget(m_Event, target); }

private:
  EventRef m_Event;
};

// Reads a parameter of exactly the type's size; false when it is missing.
template <class T>
bool Get(EventRef event, EventParamName name, EventParamType type, T* value) {
  return GetEventParameter(event, name, type, nullptr, sizeof(T), nullptr, value) == noErr;
}

// The backing store of the window whose root view this is, made (white) when it has none.
_cairo_surface* EnsureBackingStore(StandIn_ViewImpl* root);
// Whether the window is opaque (its backing store starts white, else transparent).
bool WindowIsOpaque(WindowRef window);
// The window's content rectangle in its backing store.
CGRect ContentInStructure(WindowRef window);

// Drops the queued events posted to a target (the object is going).
void DropQueuedEventsFor(EventTargetRef target);
// Removes every handler of a target.
void RemoveAllHandlers(OpaqueEventTargetRef& target);

// The live-instance count per class id.
void CountInstance(const std::string& classID, int delta);

// The custom view's answer to kEventControlGetOptimalBounds; false when nothing answered.
bool AskOptimalBounds(StandIn_ViewImpl* view, HIRect* bounds, float* baseline);
// The standard handling of kEventControlGetPartRegion and kEventControlSetFocusPart.
OSStatus StandardPartRegion(StandIn_ViewImpl* view, EventRef event);
OSStatus StandardFocusPart(StandIn_ViewImpl* view, EventRef event);

// The standard handling of the scrollable events (a scroll view's info-changed).
OSStatus StandardScrollableEvent(StandIn_ViewImpl* view, EventRef event);

// Forgets the window's focus when it lies in the view's tree (the tree leaves its window).
void ForgetFocusWithin(StandIn_ViewImpl* view);

// A new view of a built-in kind or a subclass over "com.apple.hiview" (views are made in
// HIView.cpp).
StandIn_HIObject* NewHIViewObject(const std::string& classID);
// A new toolbar item of the base class (made in HIToolbar.cpp).
StandIn_HIObject* NewToolbarItemObject();

// The Data Browser's part of a browser view (DataBrowser.cpp): its model, made with the view;
// the removal of its items as the view goes; its standard drawing.
std::shared_ptr<StandIn_BrowserModel> NewBrowserModel();
void DisposeBrowserItems(StandIn_ViewImpl* view);
OSStatus DrawBrowser(StandIn_ViewImpl* view, EventRef event);

std::string Utf8(CFStringRef text);
CFStringRef NewString(const std::string& utf8);
std::u16string Units(CFStringRef text);

// The roads of routed input, shared by StandIn_DeliverInput and the scripted calls: a click on a
// view (the control click, hit test, tracking and hit; answers the part hit), a key down to a
// target (raw key, then text input, then a text view's own insertion), text to a target, a key
// equivalent of the menus (true when an enabled item took it), and the raw key's parameters.
ControlPartCode RouteClickToView(StandIn_ViewImpl* view, HIPoint where, UInt32 modifiers,
                                 UInt32 clickCount);
OSStatus RouteKeyDown(HIViewRef focus, EventTargetRef target, const StandIn_Input& input);
OSStatus InsertText(HIViewRef focus, EventTargetRef target, const std::u16string& text,
                    EventRef rawKey);
bool MatchKeyEquivalent(const StandIn_Input& input);
void SetKeyParameters(EventHolder& event, const StandIn_Input& input);
// Lets go of the view the mouse is over when it lies in the window (the window goes).
void ForgetMouseOverIn(WindowRef window);
// Tells the mouse-tracking regions the mouse entered or left where it is now.
void FollowMouseTracking(CGPoint global, UInt32 modifiers);
// Releases the window's mouse-tracking regions (the window goes).
void ReleaseMouseTrackingIn(WindowRef window);

// What a menu shows, for drawing it: its title and its items.
struct MenuItemLook {
  std::u16string text;
  bool enabled = true;
  bool separator = false;
  CharParameter mark = 0;
  CharParameter key = 0;  // the key equivalent's character, 0 for none
  UInt8 keyModifiers = 0;
  MenuRef submenu = nullptr;  // not retained
};
struct MenuLook {
  std::u16string title;
  std::vector<MenuItemLook> items;
};
MenuLook LookOf(MenuRef menu);
// The root menu (not retained), or null.
MenuRef RootMenuOf();

// What a window's frame shows, for drawing it.
struct WindowFrameLook {
  short titleBar = 0;  // the title band's height; 0 for a window without one
  std::u16string title;
  bool active = false;
  bool closeBox = false;
  bool collapseBox = false;
  bool zoomBox = false;
};
WindowFrameLook FrameLookOf(WindowRef window);
// The kind of the view a shown toolbar draws in, a subview of its window's root below the title
// band; and the height of that band (0: no toolbar shown), which the window's structure grows by.
constexpr char kToolbarViewKind[] = "toolbar";
void SetToolbarBand(WindowRef window, short height);
// The visible windows, back to front, with their structures.
struct ShownWindow {
  WindowRef window;
  Rect structure;
};
std::vector<ShownWindow> ShownWindowsBackToFront();

}  // namespace standin_tb
