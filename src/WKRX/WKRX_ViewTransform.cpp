#include "WKRX/WKRX_ViewTransform.h"

#include <algorithm>
#include <cmath>

WKRX_ViewTransform WKRX_ViewTransform::Combine(const WKRX_ViewTransform& a,
                                               const WKRX_ViewTransform& b) {
  WKRX_ViewTransform r;
  r.m11 = a.m11 * b.m11 + a.m12 * b.m21;
  r.m12 = a.m11 * b.m12 + a.m12 * b.m22;
  r.m21 = a.m21 * b.m11 + a.m22 * b.m21;
  r.m22 = a.m21 * b.m12 + a.m22 * b.m22;
  r.dx = a.dx * b.m11 + a.dy * b.m21 + b.dx;
  r.dy = a.dx * b.m12 + a.dy * b.m22 + b.dy;
  return r;
}

POINT WKRX_ViewTransform::Map(double x, double y) const {
  const double mx = m11 * x + m21 * y + dx;
  const double my = m12 * x + m22 * y + dy;
  return POINT{static_cast<LONG>(std::lround(mx)), static_cast<LONG>(std::lround(my))};
}

RECT WKRX_ViewTransform::MapRect(const IMPN_RectT<long>& rect) const {
  const POINT a = Map(static_cast<double>(rect.left), static_cast<double>(rect.top));
  const POINT b =
      Map(static_cast<double>(rect.left) + rect.width, static_cast<double>(rect.top) + rect.height);
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

POINT WKRX_ViewTransform::MapPixel(long x, long y) const {
  // The pixel's centre lands inside exactly one view pixel.
  const double cx = x + 0.5;
  const double cy = y + 0.5;
  return POINT{static_cast<LONG>(std::floor(m11 * cx + m21 * cy + dx)),
               static_cast<LONG>(std::floor(m12 * cx + m22 * cy + dy))};
}

int WKRX_ViewTransform::Angle() const {
  // The image of the x axis, with y pointing down on screen.
  const double degrees = std::atan2(-m12, m11) * 180.0 / 3.14159265358979323846;
  int angle = static_cast<int>(std::lround(degrees));
  return (angle % 360 + 360) % 360;
}
