#pragma once
#include <cstddef>
#include <cstdint>

// Owns the bytes of one display tile or scratch buffer. Large buffers are pages of their own,
// so that the memory of a dropped tile goes back to the system at once; small ones come from
// the heap. Both kinds are line-tagged allocations: a refusal throws GLIB_BadAllocException.
class IMPN_PixelBuffer {
public:
  IMPN_PixelBuffer() = default;
  // Uninitialised bytes; throws and leaves nothing allocated when memory is short.
  explicit IMPN_PixelBuffer(std::size_t size);
  ~IMPN_PixelBuffer() { Release(); }
  IMPN_PixelBuffer(IMPN_PixelBuffer&& other) noexcept;
  IMPN_PixelBuffer& operator=(IMPN_PixelBuffer&& other) noexcept;
  IMPN_PixelBuffer(IMPN_PixelBuffer const&) = delete;
  IMPN_PixelBuffer& operator=(IMPN_PixelBuffer const&) = delete;

  std::uint8_t* Get() const { return m_Bytes; }
  std::size_t Size() const { return m_Size; }
  void Swap(IMPN_PixelBuffer& other) noexcept;

  // From this size on a buffer has pages of its own.
  static std::size_t const kPageThreshold = 64 * 1024;
  // Released page buffers kept for the next of the same size, so that a steady exchange of
  // tiles (panning under a full budget) is spared fresh mappings and their page faults.
  static std::size_t const kSpareBytes = 4 * 1024 * 1024;
  // Gives the kept buffers back to the system, as after a large release.
  static void ReleaseSpares() noexcept;

private:
  void Release() noexcept;

  std::uint8_t* m_Bytes = nullptr;
  std::size_t m_Size = 0;
};
