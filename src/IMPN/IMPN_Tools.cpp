#include "IMPN/IMPN_Tools.h"

#include "GLIB/GLIB_Math.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

long IMPN_Tools::CreateFraction(double value, long* numerator, long* denominator) {
  double whole = 0.0;
  double const fraction = std::modf(value, &whole);
  for (long d = 2; d <= 512; d *= 2) {
    double const t = d * fraction;
    long const n = MATH_Truncate(t);
    if (static_cast<float>(t) == static_cast<float>(n)) {
      *numerator = n;
      *denominator = d;
      return MATH_Truncate(whole);
    }
  }
  *numerator = MATH_Truncate(512 * fraction);
  *denominator = 512;
  return MATH_Truncate(whole);
}

namespace {
// Reads one decimal number at *cursor and moves the cursor past it and one separator. At the
// end of the text the cursor stays on the terminator, so later fields read as 0.
std::uint16_t ReadField(char const*& cursor) {
  char* end = nullptr;
  long const value = std::strtol(cursor, &end, 10);
  cursor = end;
  if (*cursor != '\0')
    ++cursor;
  return static_cast<std::uint16_t>(value);
}
}  // namespace

IMPN_DateTime IMPN_Tools::DateTimeToStruct(std::string const& text) {
  // Preview files hold 19-character texts; anything longer is cut to the buffer.
  char buffer[32] = {};
  text.copy(buffer, sizeof(buffer) - 1);

  char const* cursor = buffer;
  std::uint16_t const p = ReadField(cursor);
  std::uint16_t const q = ReadField(cursor);
  std::uint16_t const r = ReadField(cursor);

  IMPN_DateTime result;
  if (static_cast<std::int16_t>(r) < 32) {
    result.year = p;
    result.month = q;
    result.day = r;
  } else {
    result.month = p;
    result.day = q;
    result.year = r;
  }
  result.hour = ReadField(cursor);
  result.minute = ReadField(cursor);
  result.second = ReadField(cursor);
  return result;
}

bool IMPN_Tools::IsValidDateTime(IMPN_DateTime const& t) {
  // 1904 is the later of the two platforms' epochs.
  return t.year >= 1904 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
         t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

std::uint64_t IMPN_Tools::DateTimeToSeconds(std::string const& text) {
  IMPN_DateTime const dateTime = DateTimeToStruct(text);
  if (!IsValidDateTime(dateTime))
    return 0;
  return PlatformSeconds(dateTime);
}

IMPN_RectT<long> IMPN_Tools::ScaleRect(IMPN_RectT<long> const& rect, double factor) {
  return IMPN_RectT<long>(MATH_Round(rect.top * factor), MATH_Round(rect.left * factor),
                          MATH_Round(rect.width * factor), MATH_Round(rect.height * factor));
}

void IMPN_Tools::SetProfileRange(std::bitset<1024>& bits, unsigned long from, unsigned long to) {
  try {
    if (from == to) {
      bits.set(to);
      return;
    }
    for (unsigned long i = from; i < to; ++i)
      bits.set(i);
  } catch (std::out_of_range const&) {
    // Versions beyond the set's size are not shown; the bits below them stay set.
  }
}
