#pragma once
// The point and size types of ATL's crackers: plain POINT and SIZE with constructors.
#include <windows.h>

namespace ATL {

class CPoint : public POINT {
public:
  CPoint() : POINT{0, 0} {}
  CPoint(int xValue, int yValue) : POINT{xValue, yValue} {}
  CPoint(POINT point) : POINT(point) {}

  bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
  bool operator!=(const CPoint& other) const { return !(*this == other); }
};

class CSize : public SIZE {
public:
  CSize() : SIZE{0, 0} {}
  CSize(int width, int height) : SIZE{width, height} {}
  CSize(SIZE size) : SIZE(size) {}

  bool operator==(const CSize& other) const { return cx == other.cx && cy == other.cy; }
  bool operator!=(const CSize& other) const { return !(*this == other); }
};

}  // namespace ATL

using namespace ATL;
