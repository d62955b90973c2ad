// Geometry calls of the Mac stand-in's CoreGraphics (see CoreGraphics/CGGeometry.h).
#include <CoreGraphics/CGGeometry.h>

#include <algorithm>
#include <cmath>

namespace {
const CGRect kNull = {{INFINITY, INFINITY}, {0, 0}};
}

CGRect CGRectInset(CGRect rect, CGFloat dx, CGFloat dy) {
  if (CGRectIsNull(rect))
    return kNull;
  const CGFloat width = CGRectGetWidth(rect) - 2 * dx;
  const CGFloat height = CGRectGetHeight(rect) - 2 * dy;
  if (width < 0 || height < 0)
    return kNull;
  return CGRectMake(CGRectGetMinX(rect) + dx, CGRectGetMinY(rect) + dy, width, height);
}

CGRect CGRectIntegral(CGRect rect) {
  if (CGRectIsNull(rect))
    return kNull;
  const CGFloat x0 = std::floor(CGRectGetMinX(rect)), y0 = std::floor(CGRectGetMinY(rect));
  const CGFloat x1 = std::ceil(CGRectGetMaxX(rect)), y1 = std::ceil(CGRectGetMaxY(rect));
  return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

bool CGRectIsNull(CGRect rect) {
  return std::isinf(rect.origin.x) || std::isinf(rect.origin.y);
}

CGRect CGRectIntersection(CGRect r1, CGRect r2) {
  if (CGRectIsNull(r1) || CGRectIsNull(r2))
    return kNull;
  const CGFloat left = std::max(CGRectGetMinX(r1), CGRectGetMinX(r2));
  const CGFloat top = std::max(CGRectGetMinY(r1), CGRectGetMinY(r2));
  const CGFloat right = std::min(CGRectGetMaxX(r1), CGRectGetMaxX(r2));
  const CGFloat bottom = std::min(CGRectGetMaxY(r1), CGRectGetMaxY(r2));
  if (right < left || bottom < top)
    return kNull;
  return CGRectMake(left, top, right - left, bottom - top);
}

bool CGRectIsEmpty(CGRect rect) {
  return CGRectIsNull(rect) || CGRectGetWidth(rect) == 0 || CGRectGetHeight(rect) == 0;
}
