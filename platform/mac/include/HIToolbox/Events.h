// Event Manager of the Mac stand-in: the tick counter, classic event records and the mouse-moved
// wait of drag starts.
#pragma once
#include <MacTypes.h>

// Ticks (1/60 s) since the stand-in's clock started; wraps modulo 2^32.
UInt32 TickCount(void);

// Test hooks: freeze the counter at a value (later calls return it until it is set again),
// or let it follow the real clock once more.
void StandIn_SetTickCount(UInt32 ticks);
void StandIn_ReleaseTickCount(void);

typedef UInt16 EventKind;
typedef UInt16 EventModifiers;
enum : EventKind {
  nullEvent = 0,
  mouseDown = 1,
  mouseUp = 2,
  keyDown = 3,
  kHighLevelEvent = 23
};

// A classic event (ConvertEventRefToEventRecord in HIToolbox/CarbonEvents.h makes one).
struct EventRecord {
  EventKind what;
  UInt32 message;
  UInt32 when;
  Point where;
  EventModifiers modifiers;
};

// Whether the mouse moves away from the point before the button goes up: the script's next
// answer (HIToolbox/StandInScript.h) when one is scripted, else the mouse inputs of the current
// input source (HIToolbox/StandInInput.h): true at a move of more than 2 points, false at the
// release or when the source has nothing more.
Boolean WaitMouseMoved(Point initialGlobalMouse);

// The keyboard as routed input left it (HIToolbox/StandInInput.h).
// The double-click time in ticks (30): a second press within it and 4 points of the first counts
// as one more click.
UInt32 GetDblTime(void);
// The modifier keys held now (the same as GetCurrentEventKeyModifiers).
UInt32 GetCurrentKeyModifiers(void);
// The keys down by Mac virtual key code: byte code / 8, bit code % 8 of 16 bytes.
typedef UInt32 KeyMap[4];
void GetKeys(KeyMap theKeys);
enum : UInt16 {
  kVK_Space = 0x31,
  kVK_Delete = 0x33,
  kVK_Escape = 0x35
};

// Mouse tracking: waits for the next mouse input of the current source and answers where the
// mouse is, in the port's coordinates (global without a port), and what happened: a move with
// the button down (dragged), the release (mouse up; also when the source has nothing more), the
// escape key (cancelled) or a change of the modifier keys.
typedef UInt16 MouseTrackingResult;
enum : MouseTrackingResult {
  kMouseTrackingMouseDown = 1,
  kMouseTrackingMouseUp = 2,
  kMouseTrackingMouseExited = 3,
  kMouseTrackingMouseEntered = 4,
  kMouseTrackingMouseDragged = 5,
  kMouseTrackingKeyModifiersChanged = 6,
  kMouseTrackingUserCancelled = 7,
  kMouseTrackingTimedOut = 8,
  kMouseTrackingMouseMoved = 9
};
class StandIn_GrafPort;
OSStatus TrackMouseLocation(StandIn_GrafPort* inPort, Point* outPt, MouseTrackingResult* outResult);

// The alert sound; the stand-in counts it (StandIn_BeepCount), as when a click meets a modal
// window.
void SysBeep(short duration);
long StandIn_BeepCount();
// Forgets the keys down, the last click and the view under the mouse.
void StandIn_RoutingReset();
