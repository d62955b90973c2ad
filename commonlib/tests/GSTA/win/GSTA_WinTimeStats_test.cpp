#include "GSTA/GSTA_TimeStats.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

namespace {

constexpr std::int64_t kSecond = 10000000;  // 100 ns units

// Burns processor time so that the process's own clocks move.
void BusyFor(std::chrono::milliseconds duration) {
  volatile unsigned sink = 0;
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end)
    for (unsigned i = 0; i < 10000; ++i)
      sink = sink + i;
}

void SetSample(const GSTA_Accum& accum, unsigned category, const GSTA_TimeStats& value) {
  *const_cast<GSTA_AccumStats*>(accum.GetStats(category)) = value;
}

TEST(GSTA_WinTimeStats, ALaterSampleIsAfterAnEarlierOne) {
  GSTA_TimeStats earlier;
  earlier.SetNow();
  BusyFor(std::chrono::milliseconds(50));
  GSTA_TimeStats later;
  later.SetNow();
  EXPECT_TRUE(later.IsAfter(earlier));
  later -= earlier;
  EXPECT_GE(later.GetWallTime(), 0);
  EXPECT_GE(later.GetKernelTime(), 0);
  EXPECT_GE(later.GetUserTime(), 0);
  EXPECT_GT(later.GetWallTime() + later.GetUserTime(), 0);
}

TEST(GSTA_WinTimeStats, IsAfterNeedsAllThreeTimes) {
  const GSTA_TimeStats base(10, 10, 10);
  EXPECT_TRUE(GSTA_TimeStats(10, 10, 10).IsAfter(base));
  EXPECT_FALSE(GSTA_TimeStats(11, 9, 11).IsAfter(base));
  EXPECT_FALSE(GSTA_TimeStats(11, 11, 9).IsAfter(base));
  EXPECT_FALSE(GSTA_TimeStats(9, 11, 11).IsAfter(base));
}

TEST(GSTA_WinTimeStats, ArithmeticOnAllThreeTimes) {
  GSTA_TimeStats sum(1, 2, 3);
  sum += GSTA_TimeStats(10, 20, 30);
  sum -= GSTA_TimeStats(100, 100, 100);
  EXPECT_EQ(sum.GetWallTime(), -89);
  EXPECT_EQ(sum.GetUserTime(), -78);
  EXPECT_EQ(sum.GetKernelTime(), -67);
  EXPECT_DOUBLE_EQ(GSTA_TimeStats(kSecond * 3, 0, 0).GetWallSeconds(), 3.0);
  sum.Reset();
  EXPECT_EQ(sum.GetWallTime() | sum.GetUserTime() | sum.GetKernelTime(), 0);
}

TEST(GSTA_WinTimeStats, ReportHasAColumnPairPerMeasure) {
  GSTA_Accum accum;
  accum.Initialize(GLIB_StringVector{GLIB_String("Load"), GLIB_String("Draw")},
                   &GSTA_TimeStats::New);
  accum.Push(0);
  accum.Pop(0);
  accum.Push(0);
  accum.Pop(0);
  accum.Push(1);
  accum.Pop(1);
  SetSample(accum, 0, GSTA_TimeStats(5 * kSecond, 2 * kSecond, 0));
  SetSample(accum, 1, GSTA_TimeStats(1 * kSecond, 2 * kSecond, 0));

  std::ostringstream report;
  accum.GenerateReport(&report);
  EXPECT_EQ(report.str(),
            "\r\n"
            "......................................................................\r\n"
            ".\r\n"
            ". Object           # Objs WallTime  Perc  KrnlTime Perc UserTime  Perc\r\n"
            ". ---------------- ------ -------- ----- -------- ----- -------- -----\r\n"
            ". Load                  2      5.0  83.3      0.0   0.0      2.0  50.0\r\n"
            ". Draw                  1      1.0  16.7      0.0   0.0      2.0  50.0\r\n"
            ".                  ------ --------       --------       --------      \r\n"
            ". TOTAL                 3      6.0            0.0            4.0      \r\n");
  EXPECT_EQ(report.precision(), 6);
  EXPECT_EQ(report.flags() & std::ios_base::floatfield, std::ios_base::fmtflags());
}

}  // namespace
