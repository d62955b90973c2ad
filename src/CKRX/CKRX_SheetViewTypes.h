#pragma once
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Surface.h"

#include <type_traits>
#include <utility>

class IMPN_TiledImage;

// Tile origins of one surface that a frame touches, in level image space, both ends inclusive.
struct IMPN_TileRange {
  long firstX = 0;
  long lastX = 0;
  long firstY = 0;
  long lastY = 0;
  long xStep = 0;
  long yStep = 0;
  bool valid = false;
};

// One tile to be made and drawn by the background timer, with the surface's values at the time
// it was asked for.
struct IMPN_ImageTile {
  IMPN_TiledImage* image = nullptr;  // not owned; lives as long as the sheet
  long x = 0;
  long y = 0;
  long opacity = 0;
  long timeStamp = 0;
  IMPN_RGBColor8 colour;
};

// What the mouse does at a point: the tool the user picked (pan, measure, zoom, densitometer)
// or what the tool becomes over a guide line or the densitometer frame.
enum IMPN_ToolMode : long {
  kIMPN_ToolPan = 0,
  kIMPN_ToolMeasure = 1,
  kIMPN_ToolZoom = 2,
  kIMPN_ToolDensitometerNoFrame = 3,
  kIMPN_ToolDensitometer = 4,
  kIMPN_ToolHorizontalGuide = 7,
  kIMPN_ToolVerticalGuide = 8,
  kIMPN_ToolFrameTop = 10,
  kIMPN_ToolFrameBottom = 11,
  kIMPN_ToolFrameLeft = 12,
  kIMPN_ToolFrameRight = 13,
  kIMPN_ToolFrameInside = 14
};

// The source clip paths of a surface's pages, as the surface keeps them.
using CKRX_ClipPathList =
    std::decay_t<decltype(std::declval<IMPN_Surface const&>().GetClipPaths())>;
