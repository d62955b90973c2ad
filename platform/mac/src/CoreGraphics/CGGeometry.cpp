// Geometry calls of the Mac stand-in's CoreGraphics (see CoreGraphics/CGGeometry.h).
#include <CoreGraphics/CGGeometry.h>

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
