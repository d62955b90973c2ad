// Test hooks of the stand-in shared by every manager: per-call failure injection and call
// records. Each manager's calls check in by their own names ("FSOpenFork", "CFArrayCreate",
// "NavDialogRun", ...); the managers' older hooks (StandIn_FilesFailNext, StandIn_CFFailNext, the
// creation counters) are names for the same scheme.
//
// Nothing is recorded in a program's own run: counting starts when a test turns it on (or resets
// a manager's hooks), and a call with no injection pending takes no lock.
#pragma once
#include <MacTypes.h>

// The next `times` calls of the named function fail with status; injections for one name are
// used in the order they were made.
void StandIn_FailNext(const char* function, OSStatus status, int times = 1);
// Replaces whatever is pending for the name by `times` failures with status (0: none).
void StandIn_SetFailures(const char* function, OSStatus status, int times);
// Turns counting of calls on or off (off by default).
void StandIn_RecordCalls(bool on);
bool StandIn_RecordingCalls();
// How often the named function was called while counting was on, since the last reset.
int StandIn_CallCount(const char* function);
// Forgets every injection and count, and turns counting on.
void StandIn_CallsReset();
