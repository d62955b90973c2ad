#pragma once

#include <cmath>
#include <limits>

// Truncates toward zero. A value beyond the range of long (32 bits on Windows) gives the nearest
// end of the range, and NaN gives 0: converting them directly would be undefined.
template <typename T>
long MATH_Truncate(T x) {
  constexpr long kMax = std::numeric_limits<long>::max();
  constexpr long kMin = std::numeric_limits<long>::min();
  // -kMin, a power of two, is exact in every floating type; kMax need not be.
  const T beyond = -static_cast<T>(kMin);
  if (!(x == x))
    return 0;
  if (x >= beyond)
    return kMax;
  if (x < -beyond)
    return kMin;
  return static_cast<long>(x);
}

// Rounds to the nearest integer, halves to the even neighbour, so that repeated rounding of
// evenly spread values shows no drift in either direction. Beyond the range of long and for
// NaN as MATH_Truncate.
template <typename T>
long MATH_Round(T x) {
  const long truncated = MATH_Truncate(x);
  if (!(x == x) || x >= -static_cast<T>(std::numeric_limits<long>::min()) ||
      x < static_cast<T>(std::numeric_limits<long>::min()))
    return truncated;
  const T fraction = x >= 0 ? x - std::floor(x) : std::ceil(x) - x;
  const bool oddTruncated = (truncated % 2) != 0;
  if (fraction > T(0.5) || (fraction == T(0.5) && oddTruncated)) {
    if (x >= 0)
      return truncated == std::numeric_limits<long>::max() ? truncated : truncated + 1;
    return truncated - 1;  // x is above the lowest long here
  }
  return truncated;
}

// Limits v to [lo, hi]; with lo above hi the upper limit wins.
template <typename T>
T MATH_Clamp(T v, T lo, T hi) {
  const T atLeastLo = v > lo ? v : lo;
  return atLeastLo < hi ? atLeastLo : hi;
}
