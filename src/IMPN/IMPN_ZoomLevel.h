#pragma once
// The fixed zoom levels, closest first; level L shows 2^(3 - L) display pixels per
// full-resolution pixel. Zooming in moves to a lower level.
enum IMPN_ZoomLevel {
  kIMPN_ZoomLevel8to1 = 0,
  kIMPN_ZoomLevel4to1,
  kIMPN_ZoomLevel2to1,
  kIMPN_ZoomLevel1to1,
  kIMPN_ZoomLevel1to2,
  kIMPN_ZoomLevel1to4,
  kIMPN_ZoomLevel1to8,
  kIMPN_ZoomLevel1to16,
  kIMPN_ZoomLevel1to32,
  kIMPN_ZoomLevel1to64,
  kIMPN_ZoomLevel1to128,
  kIMPN_ZoomLevel1to256,
  kIMPN_ZoomLevel1to512
};

enum {
  kIMPN_ZoomLevelCount = 13
};

extern float const kIMPN_ZoomFactor[kIMPN_ZoomLevelCount];
// Shown as they stand in every language.
extern char const* const kIMPN_ZoomLevelName[kIMPN_ZoomLevelCount];
