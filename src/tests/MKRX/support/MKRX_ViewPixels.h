// What a sheet view must show, worked out from the portable view's transforms and the surfaces'
// tiled images rather than from its own drawing; shared by the view's tests and the screen tests.
#pragma once

#include "IMPN/IMPN_ZoomLevel.h"
#include "MKRX/MKRX_SheetView.h"

#include <cstdint>

class IMPN_Surface;

// The colour of one pixel of a surface's tiles at a level (RGB, 0xRRGGBB); -1 outside.
long MKRX_TileColor(IMPN_Surface& surface, IMPN_ZoomLevel level, long x, long y);
// What the view must show at the view point, as opaque 0xAARRGGBB: the viewed surface over the
// surface behind as the portable transforms place them, or white beyond the displayed image.
std::uint32_t MKRX_ExpectedViewPixel(MKRX_SheetView& view, long x, long y);
// Each channel within the tolerance.
bool MKRX_SameColor(std::uint32_t a, std::uint32_t b, int tolerance = 3);
