#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_New.h"
#include "GLIB/GLIB_PageMemory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool RefuseAll(std::size_t, const char*, int) {
  return true;
}

TEST(PageMemory, GivesWritablePagesAndTakesThemBack) {
  for (std::size_t size : {std::size_t(1), std::size_t(4096), std::size_t(768 * 1024 + 3)}) {
    auto* bytes = static_cast<unsigned char*>(GLIB_AllocatePages(size, __LINE__, __FILE__));
    ASSERT_NE(nullptr, bytes);
    // Fresh pages hold zeros.
    EXPECT_EQ(0, bytes[0]);
    EXPECT_EQ(0, bytes[size - 1]);
    std::memset(bytes, 0xA5, size);
    EXPECT_EQ(0xA5, bytes[size - 1]);
    GLIB_ReleasePages(bytes, size);
  }
  GLIB_ReleasePages(nullptr, 4096);
}

TEST(PageMemory, FailureHookRefusesLikeTheSystem) {
  GLIB_SetAllocationFailureHook(RefuseAll);
  try {
    GLIB_AllocatePages(65536, 12, "pages.cpp");
    GLIB_SetAllocationFailureHook(nullptr);
    FAIL() << "allocation did not fail";
  } catch (const GLIB_BadAllocException& e) {
    GLIB_SetAllocationFailureHook(nullptr);
    EXPECT_EQ(65536u, e.requestedSize());
    EXPECT_STREQ("pages.cpp", e.file());
    EXPECT_EQ(12, e.line());
  }
}

TEST(PageMemory, KnowsTheInstalledMemory) {
  EXPECT_GE(GLIB_PhysicalMemorySize(), std::uint64_t(64) << 20);
}

}  // namespace
