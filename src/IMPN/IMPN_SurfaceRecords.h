#pragma once
#include "IMPN/IMPN_Geometry.h"

#include <cstdint>
#include <set>
#include <vector>

class IMPN_Separation;

// Outline of one page of a surface.
struct IMPN_PageEdge {
  std::uint16_t pageNumber = 0;
  std::uint16_t orientation = 0;  // 0 up, 1 down, 2 left, 3 right
  IMPN_RectT<long> rect;
};

// One source clip path of a page and its bounding rectangle.
struct IMPN_SCPath {
  IMPN_RectT<long> bounds;
  std::vector<IMPN_PointT<long>> points;
};

// A new lay-down order for one surface, as the separations palette asks for it.
struct IMPN_LayDownOrder {
  std::uint8_t front = 1;
  std::vector<IMPN_Separation*> separations;  // bottom first
};

// Guide lines of one surface.
struct IMPN_GuideLines {
  std::set<long> horizontal;  // y positions
  std::set<long> vertical;    // x positions
};
