// Event Manager of the Mac stand-in: only the tick counter.
#pragma once
#include <MacTypes.h>

// Ticks (1/60 s) since the stand-in's clock started; wraps modulo 2^32.
UInt32 TickCount(void);

// Test hooks: freeze the counter at a value (later calls return it until it is set again),
// or let it follow the real clock once more.
void StandIn_SetTickCount(UInt32 ticks);
void StandIn_ReleaseTickCount(void);
