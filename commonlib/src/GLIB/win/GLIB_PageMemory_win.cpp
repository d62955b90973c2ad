#include "GLIB/GLIB_PageMemory.h"

#include "GLIB/iGLIB_AllocationFailure.h"

#include <windows.h>

void* GLIB_AllocatePages(std::size_t size, int line, const char* file) {
  if (!iGLIB_AllocationMustFail(size, file, line)) {
    void* pages = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (pages != nullptr)
      return pages;
  }
  iGLIB_AllocationFailed(size, file, line);
}

void GLIB_ReleasePages(void* pages, std::size_t) noexcept {
  if (pages != nullptr)
    VirtualFree(pages, 0, MEM_RELEASE);
}

std::uint64_t GLIB_PhysicalMemorySize() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status))
    return 0;
  return status.ullTotalPhys;
}
