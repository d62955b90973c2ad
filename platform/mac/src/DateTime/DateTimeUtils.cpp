#include <CoreServices/DateTimeUtils.h>

#include <ctime>

namespace {
// Seconds from 1904-01-01 to 1970-01-01 (66 years, 17 of them leap years).
const long long kSeconds1904To1970 = 2082844800LL;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian), valid for any year.
long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2 ? 1 : 0;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Offset of local time from UTC at the given UTC instant, in seconds.
long long LocalOffsetAt(long long utcSeconds) {
  const std::time_t t = static_cast<std::time_t>(utcSeconds);
  std::tm local = {};
  std::tm utc = {};
  localtime_r(&t, &local);
  gmtime_r(&t, &utc);
  const long long localAsUtc =
      DaysFromCivil(local.tm_year + 1900LL, local.tm_mon + 1LL, local.tm_mday) * 86400LL +
      local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
  return localAsUtc - utcSeconds;
}
}  // namespace

void DateToSeconds(const DateTimeRec* date, UInt32* seconds) {
  // Months carry into years first so that the civil-date formula sees 1..12.
  long long year = date->year;
  long long month = date->month - 1;
  year += month >= 0 ? month / 12 : (month - 11) / 12;
  month = ((month % 12) + 12) % 12 + 1;
  const long long wall = DaysFromCivil(year, month, 1) * 86400LL + (date->day - 1) * 86400LL +
                         date->hour * 3600LL + date->minute * 60LL + date->second;
  // Wall-clock time to UTC: one correction step is exact except inside a clock change.
  const long long utc = wall - LocalOffsetAt(wall);
  *seconds = static_cast<UInt32>(static_cast<unsigned long long>(utc + kSeconds1904To1970));
}
