#include "GSTA/GSTA_Accum.h"

#include "GLIB/GLIB_LogMessage.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// A statistics class over a clock the test moves by hand.
long long g_clock = 0;

class ClockStats : public GSTA_AccumStats {
public:
  static GSTA_AccumStats* New() { return new ClockStats; }

  GSTA_AccumStats& operator=(const GSTA_AccumStats& other) override {
    m_Time = static_cast<const ClockStats&>(other).m_Time;
    return *this;
  }
  GSTA_AccumStats& operator-=(const GSTA_AccumStats& other) override {
    m_Time -= static_cast<const ClockStats&>(other).m_Time;
    return *this;
  }
  GSTA_AccumStats& operator+=(const GSTA_AccumStats& other) override {
    m_Time += static_cast<const ClockStats&>(other).m_Time;
    return *this;
  }
  bool IsAfter(const GSTA_AccumStats& other) const override {
    return m_Time >= static_cast<const ClockStats&>(other).m_Time;
  }
  void SetNow() override { m_Time = g_clock; }
  void Reset() override { m_Time = 0; }
  void GenerateReport(std::ostream* os, const GSTA_Accum& accum) const override {
    *os << "report of " << accum.GetNumCategories() << " categories by sample at " << this;
  }

  long long m_Time = 0;
};

long long TimeOf(const GSTA_Accum& accum, unsigned category) {
  return static_cast<const ClockStats*>(accum.GetStats(category))->m_Time;
}

struct LogLine {
  GLIB_SEVERITY severity;
  std::wstring text;
};
std::vector<LogLine> g_log;

void CaptureLog(GLIB_SEVERITY severity, const wchar_t* message, const char*, int) {
  g_log.push_back(LogLine{severity, message});
}

class GSTA_AccumTest : public ::testing::Test {
protected:
  void SetUp() override {
    g_clock = 0;
    g_log.clear();
    m_PreviousHandler = GLIB_LogMessage::SetHandler(&CaptureLog);
    accum.Initialize(GLIB_StringVector{GLIB_String("A"), GLIB_String("B"), GLIB_String("C")},
                     &ClockStats::New);
  }
  void TearDown() override { GLIB_LogMessage::SetHandler(m_PreviousHandler); }

  GSTA_Accum accum;
  GLIB_LogHandlerPtr m_PreviousHandler;
};

TEST_F(GSTA_AccumTest, NestedCategoriesAreNeverChargedTwice) {
  accum.Push(0);
  g_clock += 2;
  accum.Push(1);
  g_clock += 1;
  accum.Pop(1);
  g_clock += 3;
  accum.Pop(0);
  EXPECT_EQ(TimeOf(accum, 0), 5);
  EXPECT_EQ(TimeOf(accum, 1), 1);
  EXPECT_EQ(TimeOf(accum, 2), 0);
  EXPECT_EQ(accum.GetCategoryCount(0), 1u);
  EXPECT_EQ(accum.GetCategoryCount(1), 1u);
  EXPECT_EQ(accum.GetStackDepth(), 0);
  EXPECT_TRUE(g_log.empty());

  // Reopening accumulates further and counts again.
  accum.Push(1);
  g_clock += 4;
  accum.Pop(1);
  EXPECT_EQ(TimeOf(accum, 1), 5);
  EXPECT_EQ(accum.GetCategoryCount(1), 2u);
}

TEST_F(GSTA_AccumTest, MismatchedPopIsLoggedAndPopsTheTop) {
  accum.Push(0);
  accum.Push(2);
  g_clock += 7;
  accum.Pop(1);
  ASSERT_EQ(g_log.size(), 4u);
  EXPECT_EQ(g_log[0].severity, GLIB_SEVERITY_WARNING);
  EXPECT_EQ(g_log[0].text, L"GSTA_Accum::Pop expecting to pop B");
  EXPECT_EQ(g_log[1].severity, GLIB_SEVERITY_INFO);
  EXPECT_EQ(g_log[1].text, L"  Accum stack contains 2 items.");
  EXPECT_EQ(g_log[2].text, L"  Accum[ 1 ] = C");
  EXPECT_EQ(g_log[3].text, L"  Accum[ 0 ] = A");
  EXPECT_EQ(TimeOf(accum, 2), 7);  // C was on top and is charged
  EXPECT_EQ(accum.GetStackDepth(), 1);
}

TEST_F(GSTA_AccumTest, ResetZeroesButKeepsTheCategories) {
  accum.Push(0);
  g_clock += 3;
  accum.Pop(0);
  accum.Push(1);
  accum.Reset();
  EXPECT_EQ(accum.GetNumCategories(), 3u);
  EXPECT_EQ(accum.GetCategoryStr(1), "B");
  EXPECT_EQ(TimeOf(accum, 0), 0);
  EXPECT_EQ(accum.GetCategoryCount(0), 0u);
  EXPECT_EQ(accum.GetCategoryCount(1), 0u);
  EXPECT_EQ(accum.GetStackDepth(), 0);
}

TEST_F(GSTA_AccumTest, ReportIsWrittenByTheFirstCategorysSample) {
  std::ostringstream report;
  accum.GenerateReport(&report);
  std::ostringstream expected;
  expected << "report of 3 categories by sample at " << accum.GetStats(0);
  EXPECT_EQ(report.str(), expected.str());

  accum.Initialize(GLIB_StringVector(), &ClockStats::New);
  EXPECT_EQ(accum.GetNumCategories(), 0u);
  std::ostringstream none;
  accum.GenerateReport(&none);
  EXPECT_EQ(none.str(), "");
}

TEST_F(GSTA_AccumTest, AFullStackRefusesFurtherPushesAndKeepsPopsPaired) {
  for (int i = 0; i < GSTA_Accum::kStackDepth; ++i)
    accum.Push(0);
  accum.Push(1);  // one too many: refused, B is not counted
  EXPECT_EQ(accum.GetStackDepth(), GSTA_Accum::kStackDepth);
  EXPECT_EQ(accum.GetCategoryCount(1), 0u);
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0].severity, GLIB_SEVERITY_WARNING);
  EXPECT_EQ(g_log[0].text, L"GSTA_Accum::Push stack full, not pushing B");

  g_clock += 10;
  accum.Pop(1);  // undoes the refused push; A stays open
  EXPECT_EQ(accum.GetStackDepth(), GSTA_Accum::kStackDepth);
  for (int i = 0; i < GSTA_Accum::kStackDepth; ++i)
    accum.Pop(0);
  EXPECT_EQ(accum.GetStackDepth(), 0);
  EXPECT_EQ(g_log.size(), 1u);  // every pop matched
  EXPECT_EQ(TimeOf(accum, 0), 10);
  EXPECT_EQ(accum.GetCategoryCount(0), static_cast<unsigned>(GSTA_Accum::kStackDepth));
}

TEST_F(GSTA_AccumTest, PopOnAnEmptyStackAndUnknownCategoriesAreIgnored) {
  accum.Pop(0);
  accum.Push(3);
  ASSERT_EQ(g_log.size(), 2u);
  EXPECT_EQ(g_log[0].text, L"GSTA_Accum::Pop on an empty stack, not popping A");
  EXPECT_EQ(g_log[1].text, L"GSTA_Accum::Push unknown category #3");
  EXPECT_EQ(accum.GetStackDepth(), 0);

  // The accumulator still works afterwards.
  accum.Push(2);
  g_clock += 2;
  accum.Pop(2);
  EXPECT_EQ(TimeOf(accum, 2), 2);
}

TEST(GSTA_AccumEmpty, ConstructedWithoutCategories) {
  GSTA_Accum accum;
  EXPECT_EQ(accum.GetNumCategories(), 0u);
  EXPECT_EQ(accum.GetStackDepth(), 0);
  std::ostringstream report;
  accum.GenerateReport(&report);
  EXPECT_EQ(report.str(), "");
  accum.Reset();
  accum.Finalize();
}

}  // namespace
