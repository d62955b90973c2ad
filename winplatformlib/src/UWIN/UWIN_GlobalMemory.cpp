#include "UWIN/UWIN_GlobalMemory.h"

#include <cstring>
#include <utility>

UWIN_GlobalMemory::UWIN_GlobalMemory(UWIN_GlobalMemory&& other) noexcept
    : m_Handle(std::exchange(other.m_Handle, nullptr)) {}

UWIN_GlobalMemory& UWIN_GlobalMemory::operator=(UWIN_GlobalMemory&& other) noexcept {
  if (this != &other) {
    Free();
    m_Handle = std::exchange(other.m_Handle, nullptr);
  }
  return *this;
}

UWIN_GlobalMemory::~UWIN_GlobalMemory() {
  Free();
}

UWIN_GlobalMemory UWIN_GlobalMemory::CopyOf(void const* data, std::size_t size) noexcept {
  UWIN_GlobalMemory block;
  HGLOBAL const handle = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!handle)
    return block;
  void* const bytes = GlobalLock(handle);
  if (!bytes) {
    GlobalFree(handle);
    return block;
  }
  std::memcpy(bytes, data, size);
  block.m_Handle = handle;
  return block;
}

void UWIN_GlobalMemory::Free() noexcept {
  if (!m_Handle)
    return;
  GlobalUnlock(m_Handle);
  GlobalFree(m_Handle);
  m_Handle = nullptr;
}
