#pragma once
#include "IMPN/IMPN_Geometry.h"

#include <bitset>
#include <cstdint>
#include <string>

// A date and time as read from a preview file's print-time text.
struct IMPN_DateTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
};

// Small numeric helpers of the job model and the view logic.
class IMPN_Tools {
public:
  // Splits value into its whole part (returned) and a binary fraction n/d with d a power of
  // two up to 512, for inch ruler labels.
  static long CreateFraction(double value, long* numerator, long* denominator);

  // Reads YYYY:MM:DD HH:MM:SS or MM/DD/YYYY HH:MM:SS; missing fields read as 0.
  static IMPN_DateTime DateTimeToStruct(std::string const& text);
  // Seconds since the platform's epoch, only for ordering by print time; 0 for a text
  // that holds no valid date.
  static std::uint64_t DateTimeToSeconds(std::string const& text);

  static IMPN_RectT<long> ScaleRect(IMPN_RectT<long> const& rect, double factor);

  // Sets bits from..to-1 (bit to alone when from == to); indexes past the set are ignored.
  static void SetProfileRange(std::bitset<1024>& bits, unsigned long from, unsigned long to);

private:
  static bool IsValidDateTime(IMPN_DateTime const& dateTime);
  static std::uint64_t PlatformSeconds(IMPN_DateTime const& dateTime);
};
