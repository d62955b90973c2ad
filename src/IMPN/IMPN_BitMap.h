#pragma once
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Geometry.h"

#include <cstdint>

// A colour table that indexed tiles point at; owned by the tiled image that built it.
struct IMPN_ColorTable {
  IMPN_RGBColor8 const* entries = nullptr;
  long count = 0;
};

// Pixel layouts of an IMPN_BitMap.
enum IMPN_BitMapKind {
  kIMPN_BitMapEmpty = 0,
  kIMPN_BitMapIndexed = 1,       // one palette index per pixel; row bytes = width
  kIMPN_BitMapUniformIndex = 2,  // one palette index for the whole tile; row bytes 1
  kIMPN_BitMapRGB = 3,           // three bytes per pixel in display order; row bytes = width * 3
  kIMPN_BitMapUniformRGB = 4,    // one colour for the whole tile; row bytes 3
  kIMPN_BitMapGray = 5,          // 8-bit ink coverage (0 none, 255 full); row bytes = padded width
  kIMPN_BitMap32 = 6             // three colour bytes in display order and a zero byte
};

// A display tile or thumbnail. A plain record: copies are shallow, and whoever keeps the
// bitmap owns its pixels and frees them with delete[].
struct IMPN_BitMap {
  std::uint8_t* pixels = nullptr;
  std::uint16_t rowBytes = 0;
  long timeStamp = 0;
  // Display tile: position and size in its zoom level's pixels; thumbnail: (0, 0, w, h).
  IMPN_RectT<long> rect;
  long kind = kIMPN_BitMapEmpty;
  IMPN_ColorTable const* palette = nullptr;
};
