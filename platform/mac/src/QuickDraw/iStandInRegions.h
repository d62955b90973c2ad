// Internals of the stand-in's regions shared with its ports.
#pragma once
#include <QD/QuickDraw.h>

#include <vector>

struct MacRegion {
  RgnPtr master = this;     // what the handle points at
  std::vector<Rect> rects;  // disjoint, non-empty
};
