#pragma once

#include <cmath>

// Rounds to the nearest integer, halves to the even neighbour, so that repeated rounding of
// evenly spread values shows no drift in either direction.
template <typename T>
long MATH_Round(T x) {
  const long truncated = static_cast<long>(x);
  const T fraction = x >= 0 ? x - std::floor(x) : std::ceil(x) - x;
  const bool oddTruncated = (truncated % 2) != 0;
  if (fraction > T(0.5) || (fraction == T(0.5) && oddTruncated))
    return x >= 0 ? truncated + 1 : truncated - 1;
  return truncated;
}

// Limits v to [lo, hi]; with lo above hi the upper limit wins.
template <typename T>
T MATH_Clamp(T v, T lo, T hi) {
  const T atLeastLo = v > lo ? v : lo;
  return atLeastLo < hi ? atLeastLo : hi;
}
