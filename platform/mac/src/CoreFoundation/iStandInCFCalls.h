// Internals shared by the stand-in's CF sources: the per-call failure injection and the abort
// that stands for the crash a misuse causes on the Mac.
#pragma once

namespace standin_cf {

// Counts a call of the named function (one of the calls that can fail) and tells whether a
// failure was injected for it.
bool CallFails(const char* function);

[[noreturn]] void Crash(const char* what);

// Counts one comparison of a looked-up key with a stored one (while a test records calls), so
// that tests can see how a dictionary's work grows with its size.
void CountKeyProbe();

}  // namespace standin_cf
