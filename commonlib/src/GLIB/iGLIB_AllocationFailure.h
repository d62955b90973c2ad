// What every line-tagged allocation path of the library shares when an allocation fails.
#pragma once

#include <cstddef>

// True when the test hook wants this allocation to fail.
bool iGLIB_AllocationMustFail(std::size_t size, const char* file, int line);
// Runs the new-fail handler and throws GLIB_BadAllocException.
[[noreturn]] void iGLIB_AllocationFailed(std::size_t size, const char* file, int line);
