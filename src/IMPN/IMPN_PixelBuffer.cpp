#include "IMPN/IMPN_PixelBuffer.h"

#include "GLIB/GLIB_New.h"
#include "GLIB/GLIB_PageMemory.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {
// Page buffers released lately, up to kSpareBytes; shared by every thread that builds tiles.
class SparePages {
public:
  // A kept buffer of exactly this size, or null.
  void* Take(std::size_t size) {
    std::lock_guard<std::mutex> lock(m_Lock);
    for (std::size_t i = 0; i < m_Buffers.size(); ++i)
      if (m_Buffers[i].size == size) {
        void* pages = m_Buffers[i].pages;
        m_Buffers[i] = m_Buffers.back();
        m_Buffers.pop_back();
        m_Bytes -= size;
        return pages;
      }
    return nullptr;
  }

  // False when there is no room: the caller gives the pages back itself.
  bool Keep(void* pages, std::size_t size) noexcept {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_Bytes + size > IMPN_PixelBuffer::kSpareBytes || m_Buffers.size() == m_Buffers.capacity())
      return false;
    m_Buffers.push_back(Buffer{pages, size});
    m_Bytes += size;
    return true;
  }

  void ReleaseAll() noexcept {
    std::lock_guard<std::mutex> lock(m_Lock);
    for (Buffer const& buffer : m_Buffers)
      GLIB_ReleasePages(buffer.pages, buffer.size);
    m_Buffers.clear();
    m_Bytes = 0;
  }

  // Never destroyed: buffers may still be released while statics go at exit.
  static SparePages& Instance() {
    static SparePages* spares = new SparePages;
    return *spares;
  }

private:
  struct Buffer {
    void* pages;
    std::size_t size;
  };

  // Room for every buffer that can fit, made at once, so that keeping one never allocates.
  SparePages() {
    m_Buffers.reserve(IMPN_PixelBuffer::kSpareBytes / IMPN_PixelBuffer::kPageThreshold);
  }

  std::mutex m_Lock;
  std::vector<Buffer> m_Buffers;
  std::size_t m_Bytes = 0;
};

void* AllocatePixels(std::size_t size) {
  if (size < IMPN_PixelBuffer::kPageThreshold)
    return operator new(size, __LINE__, __FILE__);
  if (void* pages = SparePages::Instance().Take(size))
    return pages;
  return GLIB_AllocatePages(size, __LINE__, __FILE__);
}
}  // namespace

IMPN_PixelBuffer::IMPN_PixelBuffer(std::size_t size)
    : m_Bytes(static_cast<std::uint8_t*>(AllocatePixels(size))),
      m_Size(size) {}

void IMPN_PixelBuffer::ReleaseSpares() noexcept {
  SparePages::Instance().ReleaseAll();
}

IMPN_PixelBuffer::IMPN_PixelBuffer(IMPN_PixelBuffer&& other) noexcept
    : m_Bytes(std::exchange(other.m_Bytes, nullptr)),
      m_Size(std::exchange(other.m_Size, 0)) {}

IMPN_PixelBuffer& IMPN_PixelBuffer::operator=(IMPN_PixelBuffer&& other) noexcept {
  IMPN_PixelBuffer taken(std::move(other));
  Swap(taken);
  return *this;
}

void IMPN_PixelBuffer::Swap(IMPN_PixelBuffer& other) noexcept {
  std::swap(m_Bytes, other.m_Bytes);
  std::swap(m_Size, other.m_Size);
}

void IMPN_PixelBuffer::Release() noexcept {
  if (m_Size >= kPageThreshold) {
    if (!SparePages::Instance().Keep(m_Bytes, m_Size))
      GLIB_ReleasePages(m_Bytes, m_Size);
  } else
    ::operator delete(m_Bytes);
  m_Bytes = nullptr;
  m_Size = 0;
}
