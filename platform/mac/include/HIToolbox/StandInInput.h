// Raw user input of the Mac stand-in: what an input source delivers (the script in tests, a
// display's input on a desktop), and the one entry that routes it as the Mac does.
//
// The application event loop and every modal loop (mouse tracking, control tracking, window
// dragging, drags, alerts, Navigation dialogs) take their input from the current source, so a test
// that scripts raw input drives the same roads as a user at a screen.
#pragma once
#include <CoreGraphics/CGGeometry.h>
#include <HIToolbox/CarbonEvents.h>
#include <MacTypes.h>

#include <string>

enum class StandIn_InputKind {
  MouseDown,
  MouseUp,
  MouseMoved,
  Wheel,
  KeyDown,
  KeyUp,
  ModifiersChanged,
  Text,
};

struct StandIn_Input {
  StandIn_InputKind kind = StandIn_InputKind::MouseMoved;
  CGPoint global = {0, 0};  // mouse kinds and the wheel: where, in global coordinates
  UInt32 clickCount = 1;    // MouseDown and MouseUp
  UInt32 modifiers = 0;     // every kind: the modifier keys held (cmdKey, shiftKey, ...)
  UInt32 keyCode = 0;       // KeyDown and KeyUp: the Mac virtual key code (space is 49)
  UniChar character = 0;    // KeyDown and KeyUp
  bool wheelVertical = true;
  SInt32 wheelDelta = 0;
  std::u16string text;  // Text
};

// Where input comes from.
class StandIn_InputSource {
public:
  virtual ~StandIn_InputSource() = default;
  // Takes the next input when one arrives before the deadline, a time on the event clock
  // (kEventDurationForever: no deadline). Answers false at the deadline, when woken, or when the
  // source has nothing more to give.
  virtual bool NextInput(EventTime deadline, StandIn_Input& input) = 0;
  // Ends a NextInput that waits; callable from any thread. A wake that comes while nothing waits
  // ends the next NextInput at once.
  virtual void Wake() = 0;
  // Whether the source has nothing more to give, ever (the script once it has run out; a display
  // never). The application loop returns then rather than wait for nothing.
  virtual bool Exhausted() const { return false; }
};

// Whether a user at a display answers what the script answers otherwise (a presenter turns it on;
// off by default): alerts the script does not answer show as windows (HIToolbox/Dialogs.h), and
// drags without a drop plan follow the mouse (HIToolbox/Drag.h).
void StandIn_SetUserAtDisplay(bool atDisplay);
bool StandIn_UserAtDisplay();

// The current source; the script when none was set. Null sets the script back.
void StandIn_SetInputSource(StandIn_InputSource* source);
StandIn_InputSource& StandIn_CurrentInputSource();

// The script: raw input and pauses, handed out in order on the event clock. A pause is the user
// doing nothing for a while: a NextInput whose deadline comes first moves the clock to its
// deadline and answers false, and the rest of the pause is still to come; a later deadline (or
// none) moves the clock past the whole pause and goes on with what follows. Under the virtual
// clock nothing takes real time. Once the script is empty it is exhausted: NextInput answers
// false at once, without moving the clock, and the application loop returns (see
// RunApplicationEventLoop).
// Appends raw input to the script.
void StandIn_ScriptInput(const StandIn_Input& input);
// Appends a pause of that many seconds (less than 0 counts as 0).
void StandIn_ScriptPause(EventTimerInterval seconds);
// Empties the script (StandIn_EventsReset does it too).
void StandIn_ScriptInputClear();

// Routes one input as the Mac does. Answers noErr when something took it, else
// eventNotHandledErr. Every input sets the modifier keys GetCurrentEventKeyModifiers reports.
// - A press finds the window and its part (FindWindow) and sends kEventMouseDown ('mloc', 'kmod',
//   'ccnt', 'wpar', 'wind', 'wmou') to the window, else the application; a handler that takes it
//   ends the road. Otherwise a window blocked by a sheet or a modal window beeps (SysBeep); a click
//   on a window that is neither active nor the user focus selects it and goes no further; the
//   frame's parts drag (DragWindow), close (kEventWindowClose), collapse, zoom (kEventWindowZoom)
//   or resize by the grow box (the minimum and maximum size events, then
//   kEventWindowResizeCompleted); in the content the deepest visible view under the point, when it
//   and its superviews are enabled, takes the click as StandIn_ClickView describes, tracking until
//   the release comes from the source. The click count is the source's when above 1, else counted
//   here: a press within GetDblTime ticks and 4 points of the last counts one more.
// - A release no tracking loop took goes to its window as kEventMouseUp.
// - A move sends kEventMouseExited to the view the mouse leaves, kEventMouseEntered to the one it
//   enters and kEventMouseMoved to the view under it (else its window or the application).
// - The wheel sends kEventMouseWheelMoved ('mwax', 'mwdl') to the view under the mouse.
// - A key down with the Command key first looks for an enabled menu item with that key equivalent
//   (HIToolbox/Menus.h); otherwise keys go to the user-focus window's keyboard focus, else that
//   window, else the application: kEventRawKeyDown ('kchr', 'kuni', 'kcod', 'kmod', 'kbdt'), then
//   unhandled as text input, then into a text view; kEventRawKeyUp; kEventRawKeyModifiersChanged.
//   Keys down are kept for GetKeys (HIToolbox/Events.h).
// - Text goes to the same target as text input, then into a text view.
OSStatus StandIn_DeliverInput(const StandIn_Input& input);
