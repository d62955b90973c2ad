// Date and time utilities of the Mac stand-in: only the calendar-to-seconds conversion.
#pragma once
#include <MacTypes.h>

struct DateTimeRec {
  short year;
  short month;
  short day;
  short hour;
  short minute;
  short second;
  short dayOfWeek;
};

// Seconds since 1 January 1904 00:00 local time, wrapped to 32 bits like the system's.
// Out-of-range fields carry into the next unit.
void DateToSeconds(const DateTimeRec* date, UInt32* seconds);
