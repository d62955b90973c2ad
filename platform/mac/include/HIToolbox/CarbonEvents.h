// Carbon Event Manager of the Mac stand-in: events with typed parameters, handlers on event
// targets, sending with propagation, one main queue, timers on the event clock, and the
// application loop, which takes its input from the current input source (HIToolbox/StandInInput.h:
// the script in tests, a display on a desktop).
//
// The event clock is virtual in tests: it starts at 0 and moves only by StandIn_AdvanceClock and
// by the pauses of the script. StandIn_UseLiveClock(true) lets real time move it too (a desktop
// run).
//
// Threads. The toolbox (this header and every HIToolbox, window, view, control, menu, nib, alert
// and Navigation call) belongs to the main thread and takes no lock. A Multiprocessing Services
// task (CoreServices/Multiprocessing.h) runs beside it and may call only:
//   - the File Manager and the other file calls (CoreServices/Files.h, Aliases.h, Folders.h);
//   - Multiprocessing Services' own calls;
//   - to hand something to the main thread: CreateEvent, SetEventParameter, GetEventParameter and
//     ReleaseEvent on an event it made, GetMainEventQueue, PostEventToQueue and
//     GetCurrentEventTime.
// Whatever else it shares with the main thread is its own state, atomic or under its own lock,
// which the main thread polls (from a timer) or reads when the posted event arrives.
// PostEventToQueue is safe from any thread and wakes the application loop (the input source's
// Wake), so a task can wake the main thread without touching the toolbox.
//
// Targets: the application, each window, view (control), menu and HIObject has one. Handlers of
// a target are called newest first, then the target's standard handler; a result other than
// eventNotHandledErr ends the dispatch. SendEventToEventTarget then goes on to the parent target:
// view -> superview ... -> root view -> window -> application; a menu goes on to the application;
// a plain HIObject has no parent. CallNextEventHandler runs the rest of that chain at once.
//
// While an event is dispatched every object on its chain is retained, so a handler may dispose
// of the object it was called for. Disposing of an object drops the queued events posted to its
// target. A C++ exception that leaves a handler is caught at the handler's boundary (the Mac would
// crash), written to the error stream, counted (StandIn_HandlerExceptionCount) and answered
// eventInternalErr (-9868).
//
// Parameters keep the type they were set with; GetEventParameter gives them as they are for
// that type or typeWildCard, and coerces between typeQDPoint and typeHIPoint; any other type
// fails with errAECoercionFail.
//
// Every toolbox call of the stand-in that answers an OSStatus (events, HIObjects, views,
// controls, menus, windows, text views, nibs, alerts) joins the per-call failure injection and
// call counts by its name (StandIn_FilesFailNext and StandIn_FilesCallCount in
// CoreServices/Files.h); the injected status is answered without doing anything.
//
// While a test turns it on (StandIn_EventLogRecord), the event log records every event sent or
// posted (class, kind, target and the direct object when it is pointer-sized), for the test to
// read with StandIn_EventLog*. Otherwise nothing is kept.
//
// Handlers and timers are named by references that are never reused: a reference to one removed
// (also with its target's object, or by StandIn_EventsReset) is answered paramErr, where the Mac
// would crash, and never reaches another.
#pragma once
#include <AE/AEDataModel.h>
#include <CoreGraphics/CGGeometry.h>
#include <MacTypes.h>

#include <CoreFoundation/CFBase.h>
#include <CoreServices/Files.h>
#include <CoreServices/MacMemory.h>
#include <HIToolbox/Events.h>

class StandIn_HIObject;
class StandIn_HIView;
class StandIn_Window;
class StandIn_Menu;

typedef StandIn_HIObject* HIObjectRef;
typedef StandIn_HIView* HIViewRef;
typedef HIViewRef ControlRef;
typedef StandIn_Window* WindowRef;
typedef StandIn_Menu* MenuRef;
typedef SInt16 ControlPartCode;
typedef UInt32 MenuCommand;

class StandIn_Event;
typedef StandIn_Event* EventRef;
struct OpaqueEventTargetRef;
typedef OpaqueEventTargetRef* EventTargetRef;
struct OpaqueEventHandlerRef;
typedef OpaqueEventHandlerRef* EventHandlerRef;
struct OpaqueEventHandlerCallRef;
typedef OpaqueEventHandlerCallRef* EventHandlerCallRef;
struct OpaqueEventQueueRef;
typedef OpaqueEventQueueRef* EventQueueRef;
struct OpaqueEventLoopRef;
typedef OpaqueEventLoopRef* EventLoopRef;
struct OpaqueEventLoopTimerRef;
typedef OpaqueEventLoopTimerRef* EventLoopTimerRef;

typedef UInt32 EventParamName;
typedef UInt32 EventParamType;
typedef SInt16 EventPriority;
typedef UInt32 EventAttributes;
typedef double EventTime;
typedef EventTime EventTimeout;
typedef EventTime EventTimerInterval;

typedef OSStatus (*EventHandlerProcPtr)(EventHandlerCallRef inHandlerCallRef, EventRef inEvent,
                                        void* inUserData);
typedef EventHandlerProcPtr EventHandlerUPP;
typedef void (*EventLoopTimerProcPtr)(EventLoopTimerRef inTimer, void* inUserData);
typedef EventLoopTimerProcPtr EventLoopTimerUPP;

inline EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr proc) {
  return proc;
}
inline void DisposeEventHandlerUPP(EventHandlerUPP) {}
inline EventLoopTimerUPP NewEventLoopTimerUPP(EventLoopTimerProcPtr proc) {
  return proc;
}
inline void DisposeEventLoopTimerUPP(EventLoopTimerUPP) {}

struct EventTypeSpec {
  UInt32 eventClass;
  UInt32 eventKind;
};

constexpr EventTime kEventDurationSecond = 1.0;
constexpr EventTime kEventDurationMillisecond = 0.001;
constexpr EventTime kEventDurationNoWait = 0.0;
constexpr EventTime kEventDurationForever = -1.0;

constexpr OSStatus eventAlreadyPostedErr = -9860;
constexpr OSStatus eventTargetBusyErr = -9861;
constexpr OSStatus eventClassInvalidErr = -9862;
constexpr OSStatus eventClassIncorrectErr = -9864;
constexpr OSStatus eventHandlerAlreadyInstalledErr = -9866;
constexpr OSStatus eventInternalErr = -9868;
constexpr OSStatus eventKindIncorrectErr = -9869;
constexpr OSStatus eventParameterNotFoundErr = -9870;
constexpr OSStatus eventNotHandledErr = -9874;
constexpr OSStatus eventLoopTimedOutErr = -9875;
constexpr OSStatus eventLoopQuitErr = -9876;
constexpr OSStatus eventNotInQueueErr = -9877;

enum : EventPriority {
  kEventPriorityLow = 0,
  kEventPriorityStandard = 1,
  kEventPriorityHigh = 2
};

enum : EventAttributes {
  kEventAttributeNone = 0,
  kEventAttributeUserEvent = 1
};

// Event classes.
enum : UInt32 {
  kEventClassMouse = 0x6d6f7573,        // 'mous'
  kEventClassKeyboard = 0x6b657962,     // 'keyb'
  kEventClassTextInput = 0x74657874,    // 'text'
  kEventClassApplication = 0x6170706c,  // 'appl'
  kEventClassMenu = 0x6d656e75,         // 'menu'
  kEventClassWindow = 0x77696e64,       // 'wind'
  kEventClassControl = 0x636e746c,      // 'cntl'
  kEventClassCommand = 0x636d6473,      // 'cmds'
  kEventClassHIObject = 0x68696f62,     // 'hiob'
  kEventClassScrollable = 0x7363726c,   // 'scrl'
  kEventClassToolbar = 0x74626172,      // 'tbar'
  kEventClassToolbarItem = 0x74626974,  // 'tbit'
  kEventClassAppleEvent = 0x65707063    // 'eppc'
};

// Event kinds, by class.
enum : UInt32 {
  kEventMouseDown = 1,
  kEventAppleEvent = 1,
  kEventRawKeyDown = 1,
  kEventRawKeyRepeat = 2,
  kEventRawKeyUp = 3,
  kEventMouseMoved = 5,
  kEventTextInputUnicodeForKeyEvent = 2,
  kEventCommandProcess = 1,
  kEventCommandUpdateStatus = 2,
  kEventHIObjectConstruct = 1,
  kEventHIObjectInitialize = 2,
  kEventHIObjectDestruct = 3,
  kEventWindowDrawContent = 2,
  kEventWindowActivated = 5,
  kEventWindowDeactivated = 6,
  kEventWindowShown = 24,
  kEventWindowHidden = 25,
  kEventWindowBoundsChanged = 27,
  kEventWindowClose = 72,
  kEventWindowClosed = 73,
  kEventControlHit = 1,
  kEventControlHitTest = 3,
  kEventControlDraw = 4,
  kEventControlSetFocusPart = 7,
  kEventControlActivate = 9,
  kEventControlDeactivate = 10,
  kEventControlClick = 13,
  kEventControlDragEnter = 18,
  kEventControlDragWithin = 19,
  kEventControlDragLeave = 20,
  kEventControlDragReceive = 21,
  kEventControlTrack = 51,
  kEventControlGetPartRegion = 101,
  kEventControlSetData = 103,
  kEventControlGetData = 104,
  kEventControlGetSizeConstraints = 105,
  kEventControlValueFieldChanged = 151,
  kEventControlBoundsChanged = 154,
  kEventControlHiliteChanged = 160,
  kEventControlEnabledStateChanged = 161,
  kEventControlDispose = 1001,
  kEventMenuOpening = 4,
  kEventMenuEnableItems = 8,
  kEventToolbarGetDefaultIdentifiers = 1,
  kEventToolbarGetAllowedIdentifiers = 2,
  kEventToolbarCreateItemWithIdentifier = 3,
  kEventToolbarCreateItemFromDrag = 4,
  kEventToolbarItemCreateCustomView = 6,
  kEventControlGetOptimalBounds = 1003,
  kEventScrollableGetInfo = 1,
  kEventScrollableInfoChanged = 2,
  kEventScrollableScrollTo = 10
};

// Parameter names.
enum : EventParamName {
  kEventParamDirectObject = 0x2d2d2d2d,                  // '----'
  kEventParamPostTarget = 0x70747267,                    // 'ptrg'
  kEventParamWindowRef = 0x77696e64,                     // 'wind'
  kEventParamControlRef = 0x6374726c,                    // 'ctrl'
  kEventParamKeyModifiers = 0x6b6d6f64,                  // 'kmod'
  kEventParamMouseLocation = 0x6d6c6f63,                 // 'mloc'
  kEventParamControlPart = 0x63707274,                   // 'cprt'
  kEventParamControlDataTag = 0x63647467,                // 'cdtg'
  kEventParamControlDataBuffer = 0x63646266,             // 'cdbf'
  kEventParamControlDataBufferSize = 0x63646273,         // 'cdbs'
  kEventParamHIObjectInstance = 0x68696f69,              // 'hioi'
  kEventParamUserData = 0x75737264,                      // 'usrd'
  kEventParamKeyCode = 0x6b636f64,                       // 'kcod'
  kEventParamKeyMacCharCodes = 0x6b636872,               // 'kchr'
  kEventParamKeyUnicodes = 0x6b756e69,                   // 'kuni'
  kEventParamTextInputSendText = 0x74737478,             // 'tstx'
  kEventParamCGContextRef = 0x636e7478,                  // 'cntx'
  kEventParamWindowMouseLocation = 0x776d6f75,           // 'wmou'
  kEventParamMenuFirstOpen = 0x6d667374,                 // 'mfst'
  kEventParamMenuContext = 0x6d637478,                   // 'mctx'
  kEventParamMinimumSize = 0x6d6e737a,                   // 'mnsz'
  kEventParamMaximumSize = 0x6d78737a,                   // 'mxsz'
  kEventParamAttributes = 0x61747472,                    // 'attr'
  kEventParamToolbar = 0x74626172,                       // 'tbar'
  kEventParamToolbarItem = 0x74626974,                   // 'tbit'
  kEventParamToolbarItemIdentifier = 0x74626969,         // 'tbii'
  kEventParamToolbarItemConfigData = 0x74626964,         // 'tbid'
  kEventParamMutableArray = 0x6d617272,                  // 'marr'
  kEventParamDragRef = 0x64726167,                       // 'drag'
  kEventParamRgnHandle = 0x72676e68,                     // 'rgnh'
  kEventParamControlRegion = 0x6372676e,                 // 'crgn'
  kEventParamControlAction = 0x63617570,                 // 'caup'
  kEventParamControlFocusEverything = 0x66657672,        // 'fevr'
  kEventParamControlPreviousPart = 0x636f7063,           // 'copc'
  kEventParamControlCurrentPart = 0x636e7063,            // 'cnpc'
  kEventParamControlOptimalBounds = 0x636f626e,          // 'cobn'
  kEventParamControlOptimalBaselineOffset = 0x636f626f,  // 'cobo'
  kEventParamPreviousBounds = 0x70727662,                // 'prvb'
  kEventParamCurrentBounds = 0x63726374,                 // 'crct'
  kEventParamControlWouldAcceptDrop = 0x636c6467,        // 'cldg'
  kEventParamTextInputSendKeyboardEvent = 0x74736b65,    // 'tske'
  kEventParamImageSize = 0x696d737a,                     // 'imsz'
  kEventParamViewSize = 0x7677737a,                      // 'vwsz'
  kEventParamLineSize = 0x6c6e737a,                      // 'lnsz'
  kEventParamOrigin = 0x6f72676e,                        // 'orgn'
  kEventParamAEEventClass = 0x65636c73,                  // 'ecls'
  kEventParamAEEventID = 0x65766964                      // 'evid'
};

// Parameter types.
enum : EventParamType {
  typeWindowRef = 0x77696e64,          // 'wind'
  typeControlRef = 0x6374726c,         // 'ctrl'
  typeMenuRef = 0x6d656e75,            // 'menu'
  typeHIObjectRef = 0x68696f62,        // 'hiob'
  typeEventTargetRef = 0x65747267,     // 'etrg'
  typeHICommand = 0x68636d64,          // 'hcmd'
  typeUInt32 = 0x6d61676e,             // 'magn'
  typeSInt16 = 0x73686f72,             // 'shor'
  typeBoolean = 0x626f6f6c,            // 'bool'
  typeEnumeration = 0x656e756d,        // 'enum'
  typeQDPoint = 0x51447074,            // 'QDpt'
  typeHIPoint = 0x68697074,            // 'hipt'
  typeHIRect = 0x68697263,             // 'hirc'
  typeControlPartCode = 0x63707274,    // 'cprt'
  typePtr = 0x70747220,                // 'ptr '
  typeVoidPtr = 0x766f6964,            // 'void'
  typeCFStringRef = 0x63667374,        // 'cfst'
  typeUnicodeText = 0x75747874,        // 'utxt'
  typeCGContextRef = 0x636e7478,       // 'cntx'
  typeHISize = 0x6869737a,             // 'hisz'
  typeHIToolbarRef = 0x74626172,       // 'tbar'
  typeHIToolbarItemRef = 0x74626974,   // 'tbit'
  typeCFMutableArrayRef = 0x63666d61,  // 'cfma'
  typeCFTypeRef = 0x63667479,          // 'cfty'
  typeDragRef = 0x64726167,            // 'drag'
  typeQDRgnHandle = 0x72676e68,        // 'rgnh'
  typeControlActionUPP = 0x63617570,   // 'caup'
  typeEventRef = 0x65767266            // 'evrf'
};
constexpr EventParamType typeLongInteger = typeSInt32;

// Input, window, command-status and menu events of the routing (HIToolbox/StandInInput.h).
enum : UInt32 {
  kEventMouseUp = 2,
  kEventMouseEntered = 8,
  kEventMouseExited = 9,
  kEventMouseWheelMoved = 10,
  kEventRawKeyModifiersChanged = 4,
  kEventWindowResizeStarted = 28,
  kEventWindowResizeCompleted = 29,
  kEventWindowCollapsed = 67,
  kEventWindowExpanded = 70,
  kEventWindowZoom = 75,
  kEventWindowZoomed = 76,
  kEventWindowGetMinimumSize = 80,
  kEventWindowGetMaximumSize = 81,
};
enum : EventParamName {
  kEventParamClickCount = 0x63636e74,       // 'ccnt'
  kEventParamMouseWheelAxis = 0x6d776178,   // 'mwax'
  kEventParamMouseWheelDelta = 0x6d77646c,  // 'mwdl'
  kEventParamKeyboardType = 0x6b626474,     // 'kbdt'
  kEventParamOriginalBounds = 0x6f726762,   // 'orgb'
  kEventParamDimensions = 0x64696d73,       // 'dims'
  kEventParamWindowPartCode = 0x77706172,   // 'wpar'
};
enum : EventParamType {
  typeQDRectangle = 0x71647274,     // 'qdrt'
  typeMouseWheelAxis = 0x6d776178,  // 'mwax'
  typeWindowPartCode = 0x77706172,  // 'wpar'
};
typedef UInt16 EventMouseWheelAxis;
enum : EventMouseWheelAxis {
  kEventMouseWheelAxisX = 0,
  kEventMouseWheelAxisY = 1
};
enum : UInt32 {
  kMenuContextMenuBar = 1 << 0,
  kMenuContextKeyMatching = 1 << 14,
};

// Modifier key bits of kEventParamKeyModifiers.
enum : UInt32 {
  cmdKey = 0x0100,
  shiftKey = 0x0200,
  alphaLock = 0x0400,
  optionKey = 0x0800,
  controlKey = 0x1000,
  rightShiftKey = 0x2000,
  rightOptionKey = 0x4000,
  rightControlKey = 0x8000
};

// A command: menus and controls send it with kEventCommandProcess as the direct object.
struct HICommand {
  UInt32 attributes;
  UInt32 commandID;
  struct {
    MenuRef menuRef;
    UInt16 menuItemIndex;
  } menu;
};
struct HICommandExtended {
  UInt32 attributes;
  UInt32 commandID;
  union {
    ControlRef control;
    WindowRef window;
    struct {
      MenuRef menuRef;
      UInt16 menuItemIndex;
    } menu;
  } source;
};
enum : UInt32 {
  kHICommandFromMenu = 1,
  kHICommandFromControl = 2,
  kHICommandFromWindow = 4
};
enum : UInt32 {
  kHICommandOK = 0x6f6b2020,      // 'ok  '
  kHICommandCancel = 0x6e6f7421,  // 'not!'
  kHICommandQuit = 0x71756974,    // 'quit'
  kHICommandClose = 0x636c6f73    // 'clos'
};

// Events: reference counted (CF objects); CreateEvent gives the first reference.
OSStatus CreateEvent(CFAllocatorRef inAllocator, UInt32 inClassID, UInt32 inKind, EventTime inWhen,
                     EventAttributes inAttributes, EventRef* outEvent);
EventRef CopyEvent(EventRef inOther);
EventRef RetainEvent(EventRef inEvent);
void ReleaseEvent(EventRef inEvent);
UInt32 GetEventClass(EventRef inEvent);
UInt32 GetEventKind(EventRef inEvent);
EventTime GetEventTime(EventRef inEvent);
// The classic record of an event: a mouse-down for the mouse-down and the control click, track
// and hit events (true), else a null event (false); the location ('mloc' as a QuickDraw point),
// the modifier keys ('kmod', else the current ones) and the time in ticks. An Apple event's
// Carbon event gives a high-level event (true) for AEProcessAppleEvent: its class as the message,
// its ID in the point's bytes.
Boolean ConvertEventRefToEventRecord(EventRef inEvent, EventRecord* outEvent);
OSStatus SetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inType,
                           UInt32 inSize, const void* inPtr);
// Copies at most inBufferSize bytes; outActualType, outActualSize and outData may be null.
OSStatus GetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inDesiredType,
                           EventParamType* outActualType, UInt32 inBufferSize,
                           UInt32* outActualSize, void* outData);
OSStatus RemoveEventParameter(EventRef inEvent, EventParamName inName);

// Targets and handlers.
EventTargetRef GetApplicationEventTarget();
EventTargetRef GetWindowEventTarget(WindowRef inWindow);
EventTargetRef GetControlEventTarget(ControlRef inControl);
EventTargetRef GetMenuEventTarget(MenuRef inMenu);
EventTargetRef HIObjectGetEventTarget(HIObjectRef inObject);

OSStatus InstallEventHandler(EventTargetRef inTarget, EventHandlerUPP inHandler, UInt32 inNumTypes,
                             const EventTypeSpec* inList, void* inUserData,
                             EventHandlerRef* outRef);
// paramErr for a handler already removed, also by the disposal of its target's object.
OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef);
OSStatus AddEventTypesToHandler(EventHandlerRef inHandlerRef, UInt32 inNumTypes,
                                const EventTypeSpec* inList);
OSStatus RemoveEventTypesFromHandler(EventHandlerRef inHandlerRef, UInt32 inNumTypes,
                                     const EventTypeSpec* inList);
OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef inEvent);

inline OSStatus InstallApplicationEventHandler(EventHandlerUPP h, UInt32 n, const EventTypeSpec* l,
                                               void* u, EventHandlerRef* o) {
  return InstallEventHandler(GetApplicationEventTarget(), h, n, l, u, o);
}
inline OSStatus InstallWindowEventHandler(WindowRef w, EventHandlerUPP h, UInt32 n,
                                          const EventTypeSpec* l, void* u, EventHandlerRef* o) {
  return InstallEventHandler(GetWindowEventTarget(w), h, n, l, u, o);
}
inline OSStatus InstallControlEventHandler(ControlRef c, EventHandlerUPP h, UInt32 n,
                                           const EventTypeSpec* l, void* u, EventHandlerRef* o) {
  return InstallEventHandler(GetControlEventTarget(c), h, n, l, u, o);
}
inline OSStatus InstallMenuEventHandler(MenuRef m, EventHandlerUPP h, UInt32 n,
                                        const EventTypeSpec* l, void* u, EventHandlerRef* o) {
  return InstallEventHandler(GetMenuEventTarget(m), h, n, l, u, o);
}

// Sending dispatches at once and returns the result; posting queues the event (retained) for
// the target in its kEventParamPostTarget parameter, else the application. Posting is safe from
// any thread and wakes the application loop. The application's standard handling sends the
// quit command on as the quit Apple event to the program itself, and hands Apple events
// ('eppc') to AEProcessAppleEvent (AE/AppleEvents.h).
OSStatus SendEventToEventTarget(EventRef inEvent, EventTargetRef inTarget);
EventQueueRef GetMainEventQueue();
EventQueueRef GetCurrentEventQueue();
OSStatus PostEventToQueue(EventQueueRef inQueue, EventRef inEvent, EventPriority inPriority);
// eventNotInQueueErr when the event is not queued.
OSStatus RemoveEventFromQueue(EventQueueRef inQueue, EventRef inEvent);

// The event clock, in seconds (see above); safe from any thread.
EventTime GetCurrentEventTime();
UInt32 GetCurrentEventKeyModifiers();

// The application loop, until QuitApplicationEventLoop: it delivers what is queued, fires the
// timers that are due (each once a round: a repeating timer that fell behind fires once and goes
// on from its next time after now), and then waits on the current input source until the next
// timer is due or input arrives, which it hands to StandIn_DeliverInput. Before the first round
// it queues the open-documents event of the launch arguments (StandIn_SetLaunchArguments).
// When the source has nothing more to give (the script in a test has run out) the loop returns
// instead of waiting: StandIn_EventLoopRanDry tells it. A test that wants time to pass scripts a
// pause (StandIn_ScriptPause); the loop fires the timers due within it at their times.
void RunApplicationEventLoop();
// Ends the loop after the event or timer at hand; the rest stays queued.
void QuitApplicationEventLoop();

// Timers on the event clock. An interval of 0 fires once.
EventLoopRef GetMainEventLoop();
EventLoopRef GetCurrentEventLoop();
OSStatus InstallEventLoopTimer(EventLoopRef inEventLoop, EventTimerInterval inFireDelay,
                               EventTimerInterval inInterval, EventLoopTimerUPP inTimerProc,
                               void* inTimerData, EventLoopTimerRef* outTimer);
OSStatus RemoveEventLoopTimer(EventLoopTimerRef inTimer);
OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef inTimer, EventTimerInterval inNextFire);

// Test hooks.
// One record of the event log.
struct StandIn_EventLogEntry {
  bool posted;  // else sent
  UInt32 eventClass;
  UInt32 eventKind;
  EventTargetRef target;
  const void* directObject;  // the pointer-sized direct object, else null
};
// Turns the event log on or off (StandIn_EventsReset turns it off and empties it).
void StandIn_EventLogRecord(bool on);
long StandIn_EventLogCount();
StandIn_EventLogEntry StandIn_EventLogAt(long index);
// How many logged events have this class and kind.
long StandIn_EventLogCountOf(UInt32 eventClass, UInt32 eventKind);
void StandIn_EventLogClear();
// Delivers queued events (also those posted meanwhile) until the queue is empty; returns how
// many were delivered. Stops after 10000 as a guard against events that post themselves.
long StandIn_RunUntilIdle();
long StandIn_QueuedEventCount();
// Moves the clock on as an idle loop would pass that time: each timer fires at each of its times
// (in time order), with the queue delivered after each firing.
void StandIn_AdvanceClock(EventTimerInterval seconds);
// When the next timer is due, on the event clock; kEventDurationForever when none is set.
EventTime StandIn_NextTimerFireTime();
// Whether the last RunApplicationEventLoop returned because its input source had run out,
// rather than by QuitApplicationEventLoop.
bool StandIn_EventLoopRanDry();
// Lets real time move the event clock (a desktop run), or stops it where it stands.
void StandIn_UseLiveClock(bool live);
// Timers installed and not removed.
long StandIn_TimerLiveCount();
// Handlers installed and not removed.
long StandIn_EventHandlerLiveCount();
// Exceptions caught at a handler's boundary since the last reset.
long StandIn_HandlerExceptionCount();
// The modifier keys GetCurrentEventKeyModifiers reports.
void StandIn_SetKeyModifiers(UInt32 modifiers);
// Whether QuitApplicationEventLoop was called since the last reset.
bool StandIn_QuitRequested();
// Empties the queue (releasing its events, Apple events included), the log (turning it off),
// the input script and the exception count, removes every timer, clears the quit request and
// sets the clock back to 0, virtual. Handlers stay.
void StandIn_EventsReset();
