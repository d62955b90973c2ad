// Where a palette goes at start-up: its content where the preferences keep it, then onto the
// screen by its title bar. A stored size the palette cannot take (not positive, outside its
// resize limits: a damaged or hand-edited preference) keeps the size its nib gave.
#pragma once

#include "IMPN/IMPN_Geometry.h"

#include <HIToolbox/MacWindows.h>

class iMKRX_PalettePlacement {
public:
  // saved: the content's top, left, width and height in global coordinates.
  static void Place(WindowRef palette, IMPN_RectT<long> const& saved);
  static bool IsUsableSize(WindowRef palette, long width, long height);

  iMKRX_PalettePlacement() = delete;
};
