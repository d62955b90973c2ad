#include "WKRX/WKRX_SeparationRows.h"

#include <algorithm>

WKRX_SeparationRows WKRX_SeparationRows::Cut(long first, long second, long cutFirst,
                                             long cutSecond) {
  const long roomFirst = first - Minimum(first);
  const long roomSecond = second - Minimum(second);
  long takeFirst = std::min(cutFirst, roomFirst);
  long takeSecond = std::min(cutSecond, roomSecond);
  // What one list could not give, the other gives while it can.
  takeSecond = std::min(roomSecond, takeSecond + (cutFirst - takeFirst));
  takeFirst = std::min(roomFirst, takeFirst + (cutSecond - std::min(cutSecond, roomSecond)));
  return WKRX_SeparationRows{first - takeFirst, second - takeSecond};
}

WKRX_SeparationRows WKRX_SeparationRows::ForOpening(long first, long second, long excessPixels,
                                                    long rowHeight) {
  if (excessPixels <= 0 || rowHeight <= 0)
    return WKRX_SeparationRows{first, second};
  if (first == 0 || second == 0) {
    const long cut = (excessPixels + rowHeight - 1) / rowHeight;
    return Cut(first, second, first == 0 ? 0 : cut, second == 0 ? 0 : cut);
  }
  // Half the excess each, rounded up to whole rows: both lists shrink alike.
  const long cut = (excessPixels + 2 * rowHeight - 1) / (2 * rowHeight);
  return Cut(first, second, cut, cut);
}

WKRX_SeparationRows WKRX_SeparationRows::ForRoom(long first, long second, long available) {
  const long excess = first + second - available;
  if (excess <= 0)
    return WKRX_SeparationRows{first, second};
  if (first == 0 || second == 0)
    return Cut(first, second, first == 0 ? 0 : excess, second == 0 ? 0 : excess);
  return Cut(first, second, excess / 2, excess - excess / 2);
}
