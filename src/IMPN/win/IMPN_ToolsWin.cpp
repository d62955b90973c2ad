#include "IMPN/IMPN_Tools.h"

#include <windows.h>

std::uint64_t IMPN_Tools::PlatformSeconds(IMPN_DateTime const& t) {
  SYSTEMTIME systemTime = {};
  systemTime.wYear = t.year;
  systemTime.wMonth = t.month;
  systemTime.wDay = t.day;
  systemTime.wHour = t.hour;
  systemTime.wMinute = t.minute;
  systemTime.wSecond = t.second;
  FILETIME fileTime = {};
  if (!SystemTimeToFileTime(&systemTime, &fileTime))
    return 0;
  ULARGE_INTEGER ticks;
  ticks.LowPart = fileTime.dwLowDateTime;
  ticks.HighPart = fileTime.dwHighDateTime;
  return ticks.QuadPart / 10000000ULL;
}
