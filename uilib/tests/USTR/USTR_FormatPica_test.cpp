#include "USTR/USTR_FormatNumber.h"
#include "USTR/USTR_FormatPica.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Narrow(USTR_String const& text) {
  std::string result;
  for (unsigned short unit : text)
    result += unit < 0x80 ? static_cast<char>(unit) : '?';
  return result;
}

bool LocaleIsEnglish() {
  return Narrow(USTR_FormatNumber(-1234.5, 1, false)) == "-1,234.5";
}

TEST(USTR_FormatPica, PicasAndPointsPerDecimals) {
  if (!LocaleIsEnglish())
    GTEST_SKIP() << "needs an English user locale";
  struct Case {
    double picas;
    unsigned long decimals;
    bool plusSign;
    char const* expected;
  };
  Case const cases[] = {
      {2.5, 0, false, "2p6"},
      {2.5, 1, false, "2p6.0"},
      {2.01, 0, false, "2p"},  // under half a point: whole picas only
      {2.04, 0, false, "2p"},
      {2.045, 0, false, "2p1"},
      {3.0, 2, false, "3p0.00"},
      {2.99, 0, false, "3p"},  // rounded before the split: never 12 points
      {2.999, 1, false, "3p0.0"},
      {2.99, 2, false, "2p11.88"},
      {-1.5, 0, false, "-1p6"},
      {-0.5, 0, false, "-0p6"},  // under one pica the sign stays
      {-0.5, 1, true, "-0p6.0"},
      {-0.02, 0, false, "0p"},  // rounds to nothing: no sign
      {0.02, 0, false, "0p"},
      {0.5, 0, true, "+0p6"},
      {1.25, 0, true, "+1p3"},
      {0.0, 0, true, "0p"},
      {100.5, 0, false, "100p6"},
      {1000.0, 0, false, "1,000p"},
  };
  for (Case const& c : cases)
    EXPECT_EQ(c.expected, Narrow(USTR_FormatPica(c.picas, c.decimals, c.plusSign)))
        << c.picas << " picas, " << c.decimals << " decimals";
}

TEST(USTR_FormatPica, HugeLengthsStillReadAsPicas) {
  if (!LocaleIsEnglish())
    GTEST_SKIP() << "needs an English user locale";
  // Beyond what whole point units can count exactly.
  EXPECT_EQ("1,000,000,000,000,000p6", Narrow(USTR_FormatPica(1e15 + 0.5, 0, false)));
}

}  // namespace
