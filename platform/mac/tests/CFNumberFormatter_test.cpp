#include <CoreFoundation/CFLocale.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFNumberFormatter.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Format(const char* locale, double value, long minDigits, long maxDigits) {
  StandIn_CFLocaleSetCurrent(locale);
  CFLocaleRef current = CFLocaleCopyCurrent();
  CFNumberFormatterRef formatter =
      CFNumberFormatterCreate(kCFAllocatorDefault, current, kCFNumberFormatterDecimalStyle);
  CFNumberRef minNumber = CFNumberCreate(kCFAllocatorDefault, kCFNumberLongType, &minDigits);
  CFNumberRef maxNumber = CFNumberCreate(kCFAllocatorDefault, kCFNumberLongType, &maxDigits);
  CFNumberFormatterSetProperty(formatter, kCFNumberFormatterMaxFractionDigits, maxNumber);
  CFNumberFormatterSetProperty(formatter, kCFNumberFormatterMinFractionDigits, minNumber);
  CFStringRef text = CFNumberFormatterCreateStringWithValue(kCFAllocatorDefault, formatter,
                                                            kCFNumberDoubleType, &value);
  std::u16string result = text->Units();
  CFRelease(text);
  CFRelease(minNumber);
  CFRelease(maxNumber);
  CFRelease(formatter);
  CFRelease(current);
  StandIn_CFLocaleSetCurrent("en_US");
  return result;
}

TEST(StandInCFNumberFormatter, FormatsInTheLocalesSeparators) {
  struct Case {
    const char* locale;
    double value;
    long minDigits;
    long maxDigits;
    std::u16string expected;
  };
  const Case cases[] = {
      {"en_US", 1234.4, 0, 0, u"1,234"},        {"en_US", -1234567.25, 2, 2, u"-1,234,567.25"},
      {"en_US", 12.5, 0, 3, u"12.5"},   // trailing zeros dropped down to the minimum
      {"en_US", 0.125, 2, 2, u"0.12"},  // a tie goes to the even digit
      {"en_US", 999.996, 2, 2, u"1,000.00"},    {"de_DE", 1234.5, 1, 1, u"1.234,5"},
      {"fr_FR", 1234.5, 1, 1, u"1\u202F234,5"}, {"sv_SE", -1234.5, 1, 1, u"\u22121\u00A0234,5"},
      {"xx_YY", 1234.5, 1, 1, u"1,234.5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, Format(c.locale, c.value, c.minDigits, c.maxDigits))
        << c.locale << " " << c.value;
  }
}

TEST(StandInCFNumberFormatter, FailsCreationWhenToldAndLeaksNothing) {
  const long before = StandIn_CFLiveObjectCount();
  CFLocaleRef locale = CFLocaleCopyCurrent();
  StandIn_CFNumberFormatterFailNextCreations(1);
  EXPECT_EQ(nullptr,
            CFNumberFormatterCreate(kCFAllocatorDefault, locale, kCFNumberFormatterDecimalStyle));
  CFNumberFormatterRef formatter =
      CFNumberFormatterCreate(kCFAllocatorDefault, locale, kCFNumberFormatterDecimalStyle);
  EXPECT_NE(nullptr, formatter);
  CFRelease(locale);
  CFRelease(formatter);
  EXPECT_EQ(before, StandIn_CFLiveObjectCount());
}

TEST(StandInCFNumber, KeepsIntegersAndReals) {
  long long big = 1LL << 40;
  CFNumberRef integer = CFNumberCreate(kCFAllocatorDefault, kCFNumberLongLongType, &big);
  SInt32 small = 0;
  EXPECT_FALSE(CFNumberGetValue(integer, kCFNumberSInt32Type, &small));
  long long back = 0;
  EXPECT_TRUE(CFNumberGetValue(integer, kCFNumberLongLongType, &back));
  EXPECT_EQ(big, back);
  double half = 2.5;
  CFNumberRef real = CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &half);
  EXPECT_TRUE(CFNumberIsFloatType(real));
  int truncated = 0;
  EXPECT_FALSE(CFNumberGetValue(real, kCFNumberIntType, &truncated));
  EXPECT_EQ(2, truncated);
  CFRelease(integer);
  CFRelease(real);
}

}  // namespace
