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
// answer (HIToolbox/StandInScript.h), false (released in place) when nothing is scripted.
Boolean WaitMouseMoved(Point initialGlobalMouse);
