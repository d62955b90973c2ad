#include "GSTA/GSTA_TimeStats.h"

#include <HIToolbox/Events.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

class GSTA_MacTimeStatsTest : public ::testing::Test {
protected:
  void SetUp() override {
    accum.Initialize(GLIB_StringVector{GLIB_String("Load"), GLIB_String("Draw")},
                     &GSTA_TimeStats::New);
  }
  void TearDown() override { StandIn_ReleaseTickCount(); }

  std::uint32_t Ticks(unsigned category) const {
    return static_cast<const GSTA_TimeStats*>(accum.GetStats(category))->GetTicks();
  }

  GSTA_Accum accum;
};

TEST_F(GSTA_MacTimeStatsTest, MeasuresTicksWhileOnTop) {
  StandIn_SetTickCount(1000);
  accum.Push(0);
  StandIn_SetTickCount(1120);
  accum.Push(1);
  StandIn_SetTickCount(1180);
  accum.Pop(1);
  StandIn_SetTickCount(1360);
  accum.Pop(0);
  EXPECT_EQ(Ticks(0), 300u);
  EXPECT_EQ(Ticks(1), 60u);
}

TEST_F(GSTA_MacTimeStatsTest, TicksWrapAround) {
  StandIn_SetTickCount(0xFFFFFFF0u);
  accum.Push(0);
  StandIn_SetTickCount(0x10u);
  accum.Pop(0);
  EXPECT_EQ(Ticks(0), 32u);
  GSTA_TimeStats later(0x10u);
  EXPECT_FALSE(later.IsAfter(GSTA_TimeStats(0xFFFFFFF0u)));  // plain unsigned comparison
}

TEST_F(GSTA_MacTimeStatsTest, ReportListsEveryCategoryWithItsShare) {
  StandIn_SetTickCount(0);
  accum.Push(0);
  StandIn_SetTickCount(150);
  accum.Pop(0);
  accum.Push(1);
  StandIn_SetTickCount(210);
  accum.Pop(1);
  accum.Push(0);
  StandIn_SetTickCount(360);
  accum.Pop(0);

  std::ostringstream report;
  accum.GenerateReport(&report);
  EXPECT_EQ(report.str(), "\n"
                          "%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%\n"
                          "%\n"
                          "% Object           # Objs WallTime    % \n"
                          "% ---------------- ------ -------- -----\n"
                          "%             Load      2      5.0  83.3\n"
                          "%             Draw      1      1.0  16.7\n"
                          "%                  ------ --------\n"
                          "%            Total      3      6.0     \n");
  EXPECT_EQ(report.precision(), 6);
  EXPECT_EQ(report.flags() & std::ios_base::floatfield, std::ios_base::fmtflags());
}

TEST_F(GSTA_MacTimeStatsTest, ReportWithNoTimeShowsZeroShares) {
  std::ostringstream report;
  accum.GenerateReport(&report);
  const std::string text = report.str();
  EXPECT_NE(text.find("%             Load      0      0.0   0.0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("%             Draw      0      0.0   0.0\n"), std::string::npos) << text;
}

}  // namespace
