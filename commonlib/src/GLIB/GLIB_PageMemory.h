// Whole pages straight from the system, given back to it at once when released, for large
// buffers that come and go in numbers (display tiles): memory freed this way leaves the resident
// size, where a heap would keep it for later requests.
#pragma once

#include <cstddef>
#include <cstdint>

// size bytes in fresh pages, line-tagged like operator new: a refusal goes through the new-fail
// handler and ends in GLIB_BadAllocException, and the allocation-failure hook is asked first.
void* GLIB_AllocatePages(std::size_t size, int line, const char* file);
// Gives back what GLIB_AllocatePages returned for the same size; null does nothing.
void GLIB_ReleasePages(void* pages, std::size_t size) noexcept;

// The machine's installed memory in bytes; 0 when the system does not say.
std::uint64_t GLIB_PhysicalMemorySize();
