#pragma once
// Point in some image space: x, then y.
template <typename T>
struct IMPN_PointT {
  IMPN_PointT() : x(0), y(0) {}
  IMPN_PointT(T xValue, T yValue) : x(xValue), y(yValue) {}

  bool operator==(IMPN_PointT const& o) const { return x == o.x && y == o.y; }
  bool operator!=(IMPN_PointT const& o) const { return !(*this == o); }

  T x;
  T y;
};

// Rectangle as top, left, width, height (not right and bottom).
template <typename T>
struct IMPN_RectT {
  IMPN_RectT() : top(0), left(0), width(0), height(0) {}
  IMPN_RectT(T t, T l, T w, T h) : top(t), left(l), width(w), height(h) {}

  T Bottom() const { return top + height; }
  T Right() const { return left + width; }

  bool operator==(IMPN_RectT const& o) const {
    return top == o.top && left == o.left && width == o.width && height == o.height;
  }
  bool operator!=(IMPN_RectT const& o) const { return !(*this == o); }

  T top;
  T left;
  T width;
  T height;
};
