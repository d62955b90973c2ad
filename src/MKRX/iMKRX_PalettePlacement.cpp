#include "MKRX/iMKRX_PalettePlacement.h"

#include <algorithm>

namespace {

// A coordinate whose rectangle of that extent still fits QuickDraw's 16 bits.
short FitCoordinate(long value, long extent) {
  return static_cast<short>(std::clamp<long>(value, -32768, 32767 - extent));
}

}  // namespace

bool iMKRX_PalettePlacement::IsUsableSize(WindowRef palette, long width, long height) {
  if (width <= 0 || height <= 0)
    return false;
  HISize minimum{0, 0};
  HISize maximum{0, 0};
  if (GetWindowResizeLimits(palette, &minimum, &maximum) != noErr)
    return false;
  return width >= minimum.width && width <= maximum.width && height >= minimum.height &&
         height <= maximum.height;
}

void iMKRX_PalettePlacement::Place(WindowRef palette, IMPN_RectT<long> const& saved) {
  Rect content{0, 0, 0, 0};
  GetWindowBounds(palette, kWindowContentRgn, &content);
  long width = content.right - content.left;
  long height = content.bottom - content.top;
  if (IsUsableSize(palette, saved.width, saved.height)) {
    width = saved.width;
    height = saved.height;
  }
  Rect placed;
  placed.top = FitCoordinate(saved.top, height);
  placed.left = FitCoordinate(saved.left, width);
  placed.bottom = static_cast<short>(placed.top + height);
  placed.right = static_cast<short>(placed.left + width);
  SetWindowBounds(palette, kWindowContentRgn, &placed);
  ConstrainWindowToScreen(palette, kWindowTitleBarRgn, kWindowConstrainMoveRegardlessOfFit, nullptr,
                          nullptr);
}
