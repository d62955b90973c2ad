#include <HIToolbox/Events.h>

#include <gtest/gtest.h>

TEST(StandInEvents, TickCountCanBeFrozenAndReleased) {
  StandIn_SetTickCount(0xFFFFFFFFu);
  EXPECT_EQ(TickCount(), 0xFFFFFFFFu);
  EXPECT_EQ(TickCount(), 0xFFFFFFFFu);
  StandIn_ReleaseTickCount();
  const UInt32 first = TickCount();
  EXPECT_GE(TickCount(), first);
}
