#include "GLIB/GLIB_PageMemory.h"

#include "GLIB/iGLIB_AllocationFailure.h"

#include <sys/mman.h>
#include <unistd.h>

void* GLIB_AllocatePages(std::size_t size, int line, const char* file) {
  if (!iGLIB_AllocationMustFail(size, file, line)) {
    void* pages = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANON, -1, 0);
    if (pages != MAP_FAILED)
      return pages;
  }
  iGLIB_AllocationFailed(size, file, line);
}

void GLIB_ReleasePages(void* pages, std::size_t size) noexcept {
  if (pages != nullptr)
    munmap(pages, size);
}

std::uint64_t GLIB_PhysicalMemorySize() {
  long const pages = sysconf(_SC_PHYS_PAGES);
  long const pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0)
    return 0;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}
