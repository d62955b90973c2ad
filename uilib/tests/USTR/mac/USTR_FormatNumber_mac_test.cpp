#include "USTR/USTR_FormatNumber.h"
#include "USTR/USTR_FormatPica.h"

#include <CoreFoundation/CFLocale.h>
#include <CoreFoundation/CFNumberFormatter.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Units(USTR_String const& text) {
  return std::u16string(text.begin(), text.end());
}

class USTR_FormatNumberMac : public ::testing::Test {
protected:
  void TearDown() override {
    StandIn_CFLocaleSetCurrent("en_US");
    StandIn_CFNumberFormatterFailNextCreations(0);
  }
};

TEST_F(USTR_FormatNumberMac, FollowsTheCurrentLocale) {
  struct Case {
    char const* locale;
    double value;
    unsigned long decimals;
    bool plusSign;
    std::u16string expected;
  };
  Case const cases[] = {
      {"en_US", 1234.4, 0, false, u"1,234"},
      {"en_US", -1234.5, 1, true, u"-1,234.5"},  // negative: never a plus
      {"en_US", 12.5, 2, true, u"+12.50"},       // exactly that many decimals
      {"en_US", 0.0, 1, true, u"0.0"},           // zero gets no plus
      {"en_US", 45.0, 1, true, u"+45.0"},
      {"de_DE", 1234.5, 2, false, u"1.234,50"},
      {"sv_SE", -45.25, 1, true, u"\u221245,2"},  // the locale's own minus; tie to even
  };
  for (Case const& c : cases) {
    StandIn_CFLocaleSetCurrent(c.locale);
    EXPECT_EQ(c.expected, Units(USTR_FormatNumber(c.value, c.decimals, c.plusSign)))
        << c.locale << " " << c.value;
  }
}

TEST_F(USTR_FormatNumberMac, PicasUnderOnePicaKeepTheLocalesMinus) {
  StandIn_CFLocaleSetCurrent("sv_SE");
  EXPECT_EQ(u"\u22120p6", Units(USTR_FormatPica(-0.5, 0, false)));
  EXPECT_EQ(u"\u22121p6,0", Units(USTR_FormatPica(-1.5, 1, false)));
}

TEST_F(USTR_FormatNumberMac, WithoutAFormatterFallsBackToPlainDigitsAndLeaksNothing) {
  long const before = StandIn_CFLiveObjectCount();
  StandIn_CFLocaleSetCurrent("de_DE");
  StandIn_CFNumberFormatterFailNextCreations(1);
  EXPECT_EQ(u"+1234.50", Units(USTR_FormatNumber(1234.5, 2, true)));
  EXPECT_EQ(u"1.234,50", Units(USTR_FormatNumber(1234.5, 2, false)));
  EXPECT_EQ(before, StandIn_CFLiveObjectCount());
}

}  // namespace
