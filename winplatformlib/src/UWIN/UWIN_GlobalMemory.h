#pragma once
// A movable global memory block, locked for as long as it is owned; unlocked and freed with its
// owner. Streams made with CreateStreamOnHGlobal read such blocks.

#include <windows.h>

#include <cstddef>

class UWIN_GlobalMemory {
public:
  UWIN_GlobalMemory() noexcept = default;
  UWIN_GlobalMemory(UWIN_GlobalMemory&& other) noexcept;
  UWIN_GlobalMemory& operator=(UWIN_GlobalMemory&& other) noexcept;
  UWIN_GlobalMemory(UWIN_GlobalMemory const&) = delete;
  UWIN_GlobalMemory& operator=(UWIN_GlobalMemory const&) = delete;
  ~UWIN_GlobalMemory();

  // A block holding a copy of size bytes from data; an empty block when allocating or locking
  // fails.
  static UWIN_GlobalMemory CopyOf(void const* data, std::size_t size) noexcept;

  HGLOBAL GetHandle() const noexcept { return m_Handle; }
  bool IsNull() const noexcept { return m_Handle == nullptr; }

private:
  void Free() noexcept;

  HGLOBAL m_Handle = nullptr;
};
