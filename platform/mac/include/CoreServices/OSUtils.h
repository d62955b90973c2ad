// Operating-system utilities of the Mac stand-in: only Delay.
#pragma once
#include <MacTypes.h>

// Waits numTicks ticks (1/60 s); *finalTicks receives TickCount() afterwards. When a test has
// frozen the tick counter, the frozen value moves on by numTicks instead.
void Delay(unsigned long numTicks, unsigned long* finalTicks);
