#include "USTR/USTR_FormatNumber.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace {

std::wstring Wide(USTR_String const& text) {
  return std::wstring(text.begin(), text.end());
}

std::wstring LocaleText(LCTYPE type) {
  wchar_t buffer[64] = {};
  ::GetLocaleInfoW(::GetUserDefaultLCID(), type, buffer, 64);
  return buffer;
}

bool UserLocaleIsEnglish() {
  return PRIMARYLANGID(LANGIDFROMLCID(::GetUserDefaultLCID())) == LANG_ENGLISH &&
         LocaleText(LOCALE_SDECIMAL) == L"." && LocaleText(LOCALE_STHOUSAND) == L",";
}

TEST(USTR_FormatNumberWindows, EnglishLocaleGroupsAndRounds) {
  if (!UserLocaleIsEnglish())
    GTEST_SKIP() << "needs an English user locale";
  struct Case {
    double value;
    unsigned long decimals;
    bool plusSign;
    wchar_t const* expected;
  };
  Case const cases[] = {
      {-1234.5, 1, true, L"-1,234.5"},  // negative: the locale's minus, never a plus
      {1234.4, 0, false, L"1,234"},
      {12.5, 2, true, L"+12.50"},
      {0.0, 1, true, L"0.0"},     // zero gets no plus
      {0.25, 2, false, L"0.25"},  // leading zero kept
      {1234567.0, 0, false, L"1,234,567"},
  };
  for (Case const& c : cases)
    EXPECT_EQ(std::wstring(c.expected), Wide(USTR_FormatNumber(c.value, c.decimals, c.plusSign)))
        << c.value;
}

TEST(USTR_FormatNumberWindows, TextLongerThanAFixedBufferIsFormattedWhole) {
  // 51 integer digits, grouped, and two decimals: beyond 64 characters.
  std::wstring const text = Wide(USTR_FormatNumber(1e50, 2, true));
  ASSERT_GT(text.size(), 64u);
  EXPECT_EQ(L'+', text.front());
  std::wstring const tail = LocaleText(LOCALE_SDECIMAL) + L"00";
  EXPECT_EQ(tail, text.substr(text.size() - tail.size()));
}

TEST(USTR_FormatNumberWindows, UnformattableValueFallsBackToPlainText) {
  // The locale formatter rejects what is not a number, and absurdly long numbers are not given
  // to it; plain text stands in.
  EXPECT_EQ(std::wstring(L"nan"),
            Wide(USTR_FormatNumber(std::numeric_limits<double>::quiet_NaN(), 2, true)));
  EXPECT_EQ(std::wstring(L"+inf"),
            Wide(USTR_FormatNumber(std::numeric_limits<double>::infinity(), 2, true)));
  EXPECT_EQ(std::wstring(L"-inf"),
            Wide(USTR_FormatNumber(-std::numeric_limits<double>::infinity(), 0, false)));
  std::wstring const huge = Wide(USTR_FormatNumber(-1e300, 2, false));
  EXPECT_EQ(305u, huge.size());  // "-1" and 300 digits, ".00": no grouping
  EXPECT_EQ(std::wstring(L"-1000"), huge.substr(0, 5));
  EXPECT_EQ(std::wstring(L".00"), huge.substr(huge.size() - 3));
}

TEST(USTR_FormatNumberWindows, HugeDecimalCountStaysBounded) {
  std::wstring const text = Wide(USTR_FormatNumber(-1.5, ULONG_MAX, false));
  ASSERT_FALSE(text.empty());
  EXPECT_LT(text.size(), 200u);
  EXPECT_NE(std::wstring::npos, text.find(L'1'));
}

}  // namespace
