// Line-tagged allocation: new (__LINE__, __FILE__) T(...). When the system allocator fails, the
// process-wide new-fail handler runs with the size and place; the default one releases the
// exception-handling reserve and throws GLIB_BadAllocException. Release such objects with the
// plain delete.
#pragma once

#include "GLIB/GLIB_Exception.h"

#include <cstddef>

void* operator new(std::size_t size, int line, const char* file);
// Called by the language when a constructor throws after the allocation above.
void operator delete(void* p, int line, const char* file) noexcept;

using GLIB_NewFailHandlerPtr =
    GLIB_PlainFunctionPtr<void(std::size_t size, const char* file, int line)>;

// Releases the exception-handling reserve (once) and throws GLIB_BadAllocException.
void GLIB_DefaultNewFailHandler(std::size_t size, const char* file, int line);

// For tests of what a failed allocation leaves behind: asked before every line-tagged
// allocation, from whichever thread makes it; when it answers true, that allocation fails as if
// the system had refused it. Null, the default, lets every allocation through.
using GLIB_AllocationFailureHookPtr =
    GLIB_PlainFunctionPtr<bool(std::size_t size, const char* file, int line)>;
void GLIB_SetAllocationFailureHook(GLIB_AllocationFailureHookPtr hook);

// A scratch buffer of count elements from the line-tagged allocation, released on every path.
template <class T>
class GLIB_ScratchBuffer {
public:
  GLIB_ScratchBuffer(std::size_t count, int line, const char* file)
      : m_Data(static_cast<T*>(operator new(count * sizeof(T), line, file))) {}
  ~GLIB_ScratchBuffer() { ::operator delete(m_Data); }
  GLIB_ScratchBuffer(const GLIB_ScratchBuffer&) = delete;
  GLIB_ScratchBuffer& operator=(const GLIB_ScratchBuffer&) = delete;

  T* Get() const { return m_Data; }

private:
  T* m_Data;
};
