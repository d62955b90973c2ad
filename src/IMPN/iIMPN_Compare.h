#pragma once
#include <cstdint>
#include <limits>

// a - b for sorting: the sign is kept even when the difference does not fit an int.
inline int iIMPN_ClampedDifference(std::int64_t a, std::int64_t b) {
  std::int64_t const d = a - b;
  if (d > std::numeric_limits<int>::max())
    return std::numeric_limits<int>::max();
  if (d < std::numeric_limits<int>::min())
    return std::numeric_limits<int>::min();
  return static_cast<int>(d);
}

// Rank of a colour code in the colour order: the process inks by code, unknown (0) last.
inline int iIMPN_ColorRank(std::uint16_t code) {
  return code == 0 ? 1000 : code;
}

// Earlier print time first.
inline int iIMPN_ComparePrintTimes(std::uint64_t a, std::uint64_t b) {
  return iIMPN_ClampedDifference(static_cast<std::int64_t>(a), static_cast<std::int64_t>(b));
}
