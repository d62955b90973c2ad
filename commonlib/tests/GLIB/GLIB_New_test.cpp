#include "GLIB/GLIB_Globals.h"
#include "GLIB/GLIB_New.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace {

// The address sanitiser ends the process on any failed allocation, so the paths that need the
// system allocator to fail run only without it.
#if defined(__SANITIZE_ADDRESS__)
#define SKIP_WITHOUT_FAILING_ALLOCATOR()                                                           \
  GTEST_SKIP() << "the address sanitiser aborts on a failed allocation"
#else
#define SKIP_WITHOUT_FAILING_ALLOCATOR() (void)0
#endif

std::size_t HugeSize() {
  volatile std::size_t size = std::numeric_limits<std::size_t>::max() / 4;
  return size;
}

struct FailureRecord {
  std::size_t size = 0;
  const char* file = nullptr;
  int line = 0;
  int calls = 0;
};

FailureRecord& Failures() {
  static FailureRecord record;
  return record;
}

void ReturningHandler(std::size_t size, const char* file, int line) {
  Failures() = {size, file, line, Failures().calls + 1};
}

class ScopedNewFailHandler {
public:
  explicit ScopedNewFailHandler(GLIB_NewFailHandlerPtr handler)
      : m_Previous(m_Globals.GetNewFailHandler()) {
    m_Globals.SetNewFailHandler(handler);
    Failures() = FailureRecord();
  }
  ~ScopedNewFailHandler() { m_Globals.SetNewFailHandler(m_Previous); }

private:
  GLIB_GlobalsInst m_Globals;
  GLIB_NewFailHandlerPtr m_Previous;
};

struct Widget {
  int value = 5;
};

struct ThrowsInConstructor {
  ThrowsInConstructor() {
    buffer = new char[64];
    delete[] buffer;
    throw 3;
  }
  char* buffer;
};

TEST(TaggedNew, AllocatesAndReleasesWithPlainDelete) {
  Widget* w = new (__LINE__, __FILE__) Widget;
  EXPECT_EQ(5, w->value);
  delete w;
}

TEST(TaggedNew, MatchingDeleteReleasesWhenConstructorThrows) {
  // Leak checkers see the memory go; the exception reaches the caller.
  EXPECT_THROW(new (__LINE__, __FILE__) ThrowsInConstructor, int);
}

TEST(TaggedNew, DefaultHandlerReleasesReserveOnceAndThrowsWithPlaceOfAllocation) {
  SKIP_WITHOUT_FAILING_ALLOCATOR();
  GLIB_GlobalsInst globals;
  ASSERT_EQ(GLIB_NewFailHandlerPtr(GLIB_DefaultNewFailHandler), globals.GetNewFailHandler());
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int line = __LINE__ + 2;
    try {
      operator new(HugeSize(), line, "alloc.cpp");
      FAIL() << "allocation did not fail";
    } catch (const GLIB_BadAllocException& e) {
      EXPECT_EQ(HugeSize(), e.requestedSize());
      EXPECT_STREQ("alloc.cpp", e.file());
      EXPECT_EQ(line, e.line());
    }
    EXPECT_FALSE(globals.HasExceptionHandlingMemory());
  }
}

TEST(TaggedNew, HandlerThatReturnsStillEndsInBadAlloc) {
  SKIP_WITHOUT_FAILING_ALLOCATOR();
  ScopedNewFailHandler handler(ReturningHandler);
  EXPECT_THROW(operator new(HugeSize(), 77, "x.cpp"), GLIB_BadAllocException);
  EXPECT_EQ(1, Failures().calls);
  EXPECT_EQ(HugeSize(), Failures().size);
  EXPECT_STREQ("x.cpp", Failures().file);
  EXPECT_EQ(77, Failures().line);
}

TEST(DefaultNewFailHandler, ThrowsWithItsArguments) {
  try {
    GLIB_DefaultNewFailHandler(123, "h.cpp", 9);
    FAIL();
  } catch (const GLIB_BadAllocException& e) {
    EXPECT_EQ(123u, e.requestedSize());
    EXPECT_STREQ("h.cpp", e.file());
    EXPECT_EQ(9, e.line());
    const std::bad_alloc& base = e;
    EXPECT_NE(nullptr, base.what());
  }
}

TEST(ScratchBuffer, HoldsRequestedElements) {
  GLIB_ScratchBuffer<wchar_t> buffer(16, __LINE__, __FILE__);
  std::wmemset(buffer.Get(), L'a', 16);
  EXPECT_EQ(L'a', buffer.Get()[15]);
}

// Fails the allocations of one file and lets every other through.
bool FailInRefused(std::size_t, const char* file, int) {
  return std::strcmp(file, "refused.cpp") == 0;
}

TEST(AllocationFailureHook, FailsTheAllocationsItChoosesThroughTheHandler) {
  ScopedNewFailHandler handler(ReturningHandler);
  GLIB_SetAllocationFailureHook(FailInRefused);
  EXPECT_THROW(operator new(24, 31, "refused.cpp"), GLIB_BadAllocException);
  void* granted = operator new(24, 32, "granted.cpp");
  GLIB_SetAllocationFailureHook(nullptr);
  EXPECT_NE(nullptr, granted);
  ::operator delete(granted);
  EXPECT_EQ(1, Failures().calls);
  EXPECT_EQ(24u, Failures().size);
  EXPECT_STREQ("refused.cpp", Failures().file);
  EXPECT_EQ(31, Failures().line);
  // Off again: the same place allocates.
  void* again = operator new(24, 31, "refused.cpp");
  EXPECT_NE(nullptr, again);
  ::operator delete(again);
}

}  // namespace
