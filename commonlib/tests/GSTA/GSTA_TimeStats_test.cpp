// Behaviour both flavours' GSTA_TimeStats share.
#include "GSTA/GSTA_TimeStats.h"

#include "support_OtherStats.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

int g_factoryCalls = 0;

// Samples in creation order: accumulated A, started A, accumulated B, ... ; B's accumulated
// sample is of another kind.
GSTA_AccumStats* MixedFactory() {
  return ++g_factoryCalls == 3 ? static_cast<GSTA_AccumStats*>(new OtherStats)
                               : GSTA_TimeStats::New();
}

void ExpectCastFailure(const std::function<void()>& operation) {
  try {
    operation();
    ADD_FAILURE() << "no exception";
  } catch (const GSTA_Exception& e) {
    EXPECT_EQ(e.code(), 1205001u);
    EXPECT_EQ(e.NMessage(), "Dynamic cast failed");
  }
}

TEST(GSTA_TimeStats, MixingWithAnotherKindOfStatisticsThrows) {
  GSTA_TimeStats stats;
  OtherStats other;
  GSTA_AccumStats& base = stats;
  ExpectCastFailure([&] { base = other; });
  ExpectCastFailure([&] { base -= other; });
  ExpectCastFailure([&] { base += other; });
  ExpectCastFailure([&] { base.IsAfter(other); });

  GSTA_Accum accum;
  g_factoryCalls = 0;
  accum.Initialize(GLIB_StringVector{GLIB_String("A"), GLIB_String("B")}, &MixedFactory);
  std::ostringstream report;
  ExpectCastFailure([&] { accum.GenerateReport(&report); });
}

TEST(GSTA_TimeStats, FactoryMakesZeroedSamples) {
  GSTA_AccumStats* made = GSTA_TimeStats::New();
  GSTA_TimeStats zero;
  ASSERT_NE(dynamic_cast<GSTA_TimeStats*>(made), nullptr);
  EXPECT_TRUE(made->IsAfter(zero));
  EXPECT_TRUE(zero.IsAfter(*made));
  delete made;
}

}  // namespace
