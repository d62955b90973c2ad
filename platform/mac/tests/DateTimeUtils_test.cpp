#include <CoreServices/DateTimeUtils.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {
UInt32 Seconds(short y, short mo, short d, short h, short mi, short s) {
  DateTimeRec r = {y, mo, d, h, mi, s, 0};
  UInt32 out = 0;
  DateToSeconds(&r, &out);
  return out;
}
}  // namespace

TEST(StandInDateTimeUtils, CountsLocalSecondsSince1904) {
  // In UTC the count is plain arithmetic: 1970 starts 2082844800 seconds after 1904.
  const char* saved = std::getenv("TZ");
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(Seconds(1904, 1, 1, 0, 0, 0), 0u);
  EXPECT_EQ(Seconds(1970, 1, 1, 0, 0, 0), 2082844800u);
  EXPECT_EQ(Seconds(2004, 3, 15, 10, 20, 30), 3162190830u);
  EXPECT_EQ(Seconds(2004, 2, 29, 0, 0, 0) + 86400u, Seconds(2004, 3, 1, 0, 0, 0));
  // Months beyond December carry into the year.
  EXPECT_EQ(Seconds(2003, 13, 1, 0, 0, 0), Seconds(2004, 1, 1, 0, 0, 0));
  if (saved)
    setenv("TZ", saved, 1);
  else
    unsetenv("TZ");
  tzset();
}
