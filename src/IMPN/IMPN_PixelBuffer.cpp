#include "IMPN/IMPN_PixelBuffer.h"

#include "GLIB/GLIB_New.h"
#include "GLIB/GLIB_PageMemory.h"

#include <utility>

IMPN_PixelBuffer::IMPN_PixelBuffer(std::size_t size)
    : m_Bytes(static_cast<std::uint8_t*>(
          size >= kPageThreshold ? GLIB_AllocatePages(size, __LINE__, __FILE__) :
                                 operator new(size, __LINE__, __FILE__))),
      m_Size(size) {}

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
  if (m_Size >= kPageThreshold)
    GLIB_ReleasePages(m_Bytes, m_Size);
  else
    ::operator delete(m_Bytes);
  m_Bytes = nullptr;
  m_Size = 0;
}
