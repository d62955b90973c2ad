#include "WCTL/WCTL_NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "support/WCTL_TestDialog.h"

namespace {

struct LongCase {
  wchar_t const* m_Text;
  long m_Value;
};

TEST(NumberText, WholeNumbersReadInDecimal) {
  for (LongCase const& c :
       {LongCase{L"010", 10}, LongCase{L"08", 8}, LongCase{L"0x1F", 0}, LongCase{L"  -42", -42},
        LongCase{L"+7", 7}, LongCase{L"12abc", 12}, LongCase{L"", 0}, LongCase{L"-", 0},
        LongCase{L"abc", 0}, LongCase{L"--3", 0}, LongCase{L"3.9", 3},
        LongCase{L"2147483647", LONG_MAX}, LongCase{L"99999999999999999999999", LONG_MAX},
        LongCase{L"-2147483648", LONG_MIN}, LongCase{L"-99999999999999999999999", LONG_MIN}}) {
    EXPECT_EQ(WCTL_ParseLong(U(c.m_Text)), c.m_Value) << W(U(c.m_Text));
  }
}

struct DoubleCase {
  wchar_t const* m_Text;
  double m_Value;
};

TEST(NumberText, RealNumbersReadWithEitherSeparatorAndFullPrecision) {
  double const infinity = std::numeric_limits<double>::infinity();
  for (DoubleCase const& c :
       {DoubleCase{L"3,5", 3.5}, DoubleCase{L"3.5", 3.5}, DoubleCase{L"0.1", 0.1},
        DoubleCase{L"16777217", 16777217.0}, DoubleCase{L"123456.789", 123456.789},
        DoubleCase{L" -2,25", -2.25}, DoubleCase{L"+,5", 0.5}, DoubleCase{L"5.", 5.0},
        DoubleCase{L"1e3", 1000.0}, DoubleCase{L"3.5.2", 3.5}, DoubleCase{L"08", 8.0},
        DoubleCase{L"", 0.0}, DoubleCase{L".", 0.0}, DoubleCase{L"-", 0.0}, DoubleCase{L"inf", 0.0},
        DoubleCase{L"--1", 0.0}, DoubleCase{L"1e999", infinity}, DoubleCase{L"-1e999", -infinity},
        DoubleCase{L"1e-999", 0.0}}) {
    EXPECT_EQ(WCTL_ParseDouble(U(c.m_Text)), c.m_Value) << W(U(c.m_Text));
  }
}

TEST(NumberText, AnyDoubleIsWrittenWithSixDecimals) {
  EXPECT_EQ(WCTL_FormatDouble(3.5), L"3.500000");
  EXPECT_EQ(WCTL_FormatDouble(-0.25), L"-0.250000");
  std::wstring const largest = WCTL_FormatDouble(std::numeric_limits<double>::max());
  EXPECT_EQ(largest.size(), 309u + 7u);
  EXPECT_EQ(largest.substr(0, 6), L"179769");
  EXPECT_EQ(largest.substr(largest.size() - 7), L".000000");
  // What is written reads back.
  EXPECT_EQ(WCTL_ParseDouble(U(WCTL_FormatDouble(-1234.5).c_str())), -1234.5);
}

}  // namespace
