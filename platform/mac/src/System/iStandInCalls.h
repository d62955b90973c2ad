// The one failure injection and call record behind every manager's test hooks.
#pragma once
#include <MacTypes.h>

namespace standin_calls {

// Counts a call of the named function (while counting is on) and returns the status injected
// for it, else noErr.
OSStatus Enter(const char* function);

}  // namespace standin_calls
