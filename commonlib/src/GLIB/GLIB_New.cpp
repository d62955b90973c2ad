#include "GLIB/GLIB_New.h"

#include "GLIB/GLIB_Globals.h"
#include "GLIB/iGLIB_AllocationFailure.h"

#include <atomic>

namespace {
std::atomic<GLIB_AllocationFailureHookPtr::Function> s_FailureHook{nullptr};
}  // namespace

void GLIB_SetAllocationFailureHook(GLIB_AllocationFailureHookPtr hook) {
  s_FailureHook.store(hook.Get());
}

bool iGLIB_AllocationMustFail(std::size_t size, const char* file, int line) {
  const GLIB_AllocationFailureHookPtr::Function hook = s_FailureHook.load();
  return hook != nullptr && hook(size, file, line);
}

void iGLIB_AllocationFailed(std::size_t size, const char* file, int line) {
  const GLIB_NewFailHandlerPtr handler = GLIB_GlobalsInst().GetNewFailHandler();
  if (!handler.IsNull()) {
    handler(size, file, line);
  }
  // A handler must not return: callers use the result untested, and a new-expression must
  // not see null from this operator. Fail here on its behalf.
  throw GLIB_BadAllocException(size, file, line);
}

void* operator new(std::size_t size, int line, const char* file) {
  void* p = nullptr;
  if (!iGLIB_AllocationMustFail(size, file, line)) {
    try {
      p = ::operator new(size);
    } catch (const std::bad_alloc&) {
      p = nullptr;
    }
  }
  if (p != nullptr) {
    return p;
  }
  iGLIB_AllocationFailed(size, file, line);
}

void operator delete(void* p, int, const char*) noexcept {
  ::operator delete(p);
}

void GLIB_DefaultNewFailHandler(std::size_t size, const char* file, int line) {
  GLIB_GlobalsInst().FreeExceptionHandlingMemory();
  throw GLIB_BadAllocException(size, file, line);
}
