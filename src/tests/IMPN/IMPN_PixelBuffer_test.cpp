#include "IMPN/IMPN_PixelBuffer.h"

#include "GLIB/GLIB_New.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <utility>

namespace {
bool RefuseAll(std::size_t, char const*, int) {
  return true;
}

std::size_t const kTileBytes = 512 * 512;
}  // namespace

TEST(PixelBuffer, SmallAndPagedBuffersHoldTheirBytesAndMove) {
  for (std::size_t size : {std::size_t(3), IMPN_PixelBuffer::kPageThreshold, kTileBytes * 3}) {
    IMPN_PixelBuffer buffer(size);
    ASSERT_NE(buffer.Get(), nullptr);
    EXPECT_EQ(buffer.Size(), size);
    std::memset(buffer.Get(), 0x5A, size);
    std::uint8_t* const bytes = buffer.Get();
    IMPN_PixelBuffer moved(std::move(buffer));
    EXPECT_EQ(buffer.Get(), nullptr);
    EXPECT_EQ(buffer.Size(), 0u);
    EXPECT_EQ(moved.Get(), bytes);
    EXPECT_EQ(moved.Get()[size - 1], 0x5A);
    IMPN_PixelBuffer other(7);
    other = std::move(moved);
    EXPECT_EQ(other.Get(), bytes);
  }
  IMPN_PixelBuffer::ReleaseSpares();
}

TEST(PixelBuffer, AReleasedTileBufferServesTheNextOfItsSize) {
  IMPN_PixelBuffer::ReleaseSpares();
  std::uint8_t* released = nullptr;
  {
    IMPN_PixelBuffer buffer(kTileBytes);
    released = buffer.Get();
  }
  IMPN_PixelBuffer other(kTileBytes * 3);
  EXPECT_NE(other.Get(), released);
  IMPN_PixelBuffer same(kTileBytes);
  EXPECT_EQ(same.Get(), released);
  IMPN_PixelBuffer::ReleaseSpares();
}

TEST(PixelBuffer, ARefusedAllocationThrowsAndLeavesNothing) {
  for (std::size_t size : {std::size_t(3), kTileBytes}) {
    IMPN_PixelBuffer kept(size);
    GLIB_SetAllocationFailureHook(RefuseAll);
    EXPECT_THROW(IMPN_PixelBuffer buffer(size * 2), std::bad_alloc);
    GLIB_SetAllocationFailureHook(nullptr);
    EXPECT_NE(kept.Get(), nullptr);
  }
}
