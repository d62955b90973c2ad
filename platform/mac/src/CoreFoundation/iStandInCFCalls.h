// Internals shared by the stand-in's CF sources: the per-call failure injection and the abort
// that stands for the crash a misuse causes on the Mac.
#pragma once

namespace standin_cf {

// Counts a call of the named function (one of the calls that can fail) and tells whether a
// failure was injected for it.
bool CallFails(const char* function);

[[noreturn]] void Crash(const char* what);

}  // namespace standin_cf
