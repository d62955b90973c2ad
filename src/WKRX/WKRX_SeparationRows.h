// How many rows of panels each surface's list shows when the palette has too little room for all
// of them. A list keeps at least min(panels, 3) rows whatever the room, as the palette's minimum
// height promises.
#pragma once

struct WKRX_SeparationRows {
  long m_First = 0;   // rows of the surface listed first
  long m_Second = 0;  // rows of the surface listed second

  // Each list's floor.
  static long Minimum(long panels) { return panels < 3 ? panels : 3; }

  // When the palette opens: the lists give up excessPixels of their natural heights, each one
  // half rounded up to whole rows; a lone list (the other has no panels) gives up all of it.
  static WKRX_SeparationRows ForOpening(long first, long second, long excessPixels, long rowHeight);
  // After a size change: available rows; the list shown second gives up the larger half of the
  // excess, a lone list all of it.
  static WKRX_SeparationRows ForRoom(long first, long second, long available);

private:
  // Takes cutFirst and cutSecond rows away, each above its floor; a list at its floor passes the
  // rest of its cut to the other.
  static WKRX_SeparationRows Cut(long first, long second, long cutFirst, long cutSecond);
};
