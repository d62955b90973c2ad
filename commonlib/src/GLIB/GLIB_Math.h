#pragma once

#include <cmath>
#include <limits>

// Rounds to the nearest integer, halves to the even neighbour, so that repeated rounding of
// evenly spread values shows no drift in either direction. A value beyond the range of long
// (32 bits on Windows) gives the nearest end of the range, and NaN gives 0: converting them
// would be undefined.
template <typename T>
long MATH_Round(T x) {
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
  const long truncated = static_cast<long>(x);
  const T fraction = x >= 0 ? x - std::floor(x) : std::ceil(x) - x;
  const bool oddTruncated = (truncated % 2) != 0;
  if (fraction > T(0.5) || (fraction == T(0.5) && oddTruncated)) {
    if (x >= 0)
      return truncated == kMax ? kMax : truncated + 1;
    return truncated - 1;  // x above kMin here
  }
  return truncated;
}

// Limits v to [lo, hi]; with lo above hi the upper limit wins.
template <typename T>
T MATH_Clamp(T v, T lo, T hi) {
  const T atLeastLo = v > lo ? v : lo;
  return atLeastLo < hi ? atLeastLo : hi;
}
