#include "IMPN/IMPN_Tools.h"

#include <CoreServices/DateTimeUtils.h>

std::uint64_t IMPN_Tools::PlatformSeconds(IMPN_DateTime const& t) {
  DateTimeRec record = {};
  record.year = static_cast<short>(t.year);
  record.month = static_cast<short>(t.month);
  record.day = static_cast<short>(t.day);
  record.hour = static_cast<short>(t.hour);
  record.minute = static_cast<short>(t.minute);
  record.second = static_cast<short>(t.second);
  UInt32 seconds = 0;
  DateToSeconds(&record, &seconds);
  return seconds;
}
