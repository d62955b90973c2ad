#include "IMPN/IMPN_Tools.h"

#include <gtest/gtest.h>

#include <string>

TEST(IMPN_Tools, CreateFractionFindsTheFirstExactPowerOfTwo) {
  struct Case {
    double value;
    long whole, numerator, denominator;
  };
  Case const cases[] = {{2.375, 2, 3, 8},     {0.5, 0, 1, 2},     {3.0, 3, 0, 2},
                        {1.1, 1, 51, 512},    {-1.25, -1, -1, 4}, {0.001953125, 0, 1, 512},
                        {7.9999, 7, 511, 512}};
  for (Case const& c : cases) {
    long n = -99;
    long d = -99;
    EXPECT_EQ(IMPN_Tools::CreateFraction(c.value, &n, &d), c.whole) << c.value;
    EXPECT_EQ(n, c.numerator) << c.value;
    EXPECT_EQ(d, c.denominator) << c.value;
  }
}

TEST(IMPN_Tools, BothDateFormsGiveTheSameRecordAndSeconds) {
  IMPN_DateTime const tiff = IMPN_Tools::DateTimeToStruct("2004:03:15 10:20:30");
  IMPN_DateTime const us = IMPN_Tools::DateTimeToStruct("03/15/2004 10:20:30");
  for (IMPN_DateTime const& t : {tiff, us}) {
    EXPECT_EQ(t.year, 2004);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 15);
    EXPECT_EQ(t.hour, 10);
    EXPECT_EQ(t.minute, 20);
    EXPECT_EQ(t.second, 30);
  }
  std::uint64_t const seconds = IMPN_Tools::DateTimeToSeconds("2004:03:15 10:20:30");
  EXPECT_NE(seconds, 0u);
  EXPECT_EQ(IMPN_Tools::DateTimeToSeconds("03/15/2004 10:20:30"), seconds);
}

TEST(IMPN_Tools, SecondsOrderPrintTimes) {
  std::uint64_t const base = IMPN_Tools::DateTimeToSeconds("2004:03:15 10:20:30");
  EXPECT_EQ(IMPN_Tools::DateTimeToSeconds("2004:03:15 10:20:31"), base + 1);
  EXPECT_EQ(IMPN_Tools::DateTimeToSeconds("2004:03:16 10:20:30"), base + 86400);
  EXPECT_GT(IMPN_Tools::DateTimeToSeconds("2007:01:01 00:00:00"), base);
  EXPECT_LT(IMPN_Tools::DateTimeToSeconds("1999:12:31 23:59:59"), base);
}

TEST(IMPN_Tools, ShortAndDamagedTextsStopAtTheirEnd) {
  // Missing fields read as 0 without reading past the text.
  IMPN_DateTime const dateOnly = IMPN_Tools::DateTimeToStruct("2004:03:15");
  EXPECT_EQ(dateOnly.day, 15);
  EXPECT_EQ(dateOnly.hour, 0);
  EXPECT_EQ(dateOnly.second, 0);
  EXPECT_NE(IMPN_Tools::DateTimeToSeconds("2004:03:15"), 0u);

  IMPN_DateTime const empty = IMPN_Tools::DateTimeToStruct("");
  EXPECT_EQ(empty.year + empty.month + empty.day + empty.hour + empty.minute + empty.second, 0);

  // A text that names no valid date sorts as 0 seconds.
  for (char const* invalid : {"", "2004", "garbage", "2004:13:15 10:20:30", "2004:03:00",
                              "2004:03:15 24:00:00", "1850:01:01 00:00:00", ":::::"})
    EXPECT_EQ(IMPN_Tools::DateTimeToSeconds(invalid), 0u) << invalid;

  // Texts longer than the work buffer are cut; the date at their start still counts.
  std::string const longText = "2004:03:15 10:20:30" + std::string(200, ' ') + "99";
  EXPECT_EQ(IMPN_Tools::DateTimeToSeconds(longText),
            IMPN_Tools::DateTimeToSeconds("2004:03:15 10:20:30"));
}

TEST(IMPN_Tools, ScaleRectRoundsHalvesToEven) {
  IMPN_RectT<long> const r(10, -5, 3, 7);
  EXPECT_EQ(IMPN_Tools::ScaleRect(r, 0.5), IMPN_RectT<long>(5, -2, 2, 4));
  EXPECT_EQ(IMPN_Tools::ScaleRect(r, 2.0), IMPN_RectT<long>(20, -10, 6, 14));
  EXPECT_EQ(IMPN_Tools::ScaleRect(r, 0.0), IMPN_RectT<long>());
}

TEST(IMPN_Tools, SetProfileRange) {
  struct Case {
    unsigned long from, to;
    std::size_t count;
    unsigned long first, last;
  };
  Case const cases[] = {{5, 5, 1, 5, 5},
                        {3, 6, 3, 3, 5},
                        {1020, 1030, 4, 1020, 1023},
                        {9, 2, 0, 0, 0},
                        {1023, 1023, 1, 1023, 1023}};
  for (Case const& c : cases) {
    std::bitset<1024> bits;
    IMPN_Tools::SetProfileRange(bits, c.from, c.to);
    EXPECT_EQ(bits.count(), c.count) << c.from << ".." << c.to;
    if (c.count) {
      EXPECT_TRUE(bits.test(c.first));
      EXPECT_TRUE(bits.test(c.last));
    }
  }
  std::bitset<1024> bits;
  IMPN_Tools::SetProfileRange(bits, 2000, 2000);
  EXPECT_TRUE(bits.none());
}
