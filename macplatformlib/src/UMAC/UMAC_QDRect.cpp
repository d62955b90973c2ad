#include "UMAC/UMAC_QDRect.h"

#include <algorithm>
#include <cmath>

short UMAC_ToQDCoordinate(float value) {
  if (std::isnan(value))
    return 0;
  const float truncated = std::trunc(value);
  return static_cast<short>(std::max(-32768.0f, std::min(32767.0f, truncated)));
}

void UMAC_QDRect::Set(short l, short t, short r, short b) {
  left = l, top = t, right = r, bottom = b;
}

void UMAC_QDRect::Set(const CGRect& r) {
  top = UMAC_ToQDCoordinate(CGRectGetMinY(r));
  left = UMAC_ToQDCoordinate(CGRectGetMinX(r));
  bottom = UMAC_ToQDCoordinate(CGRectGetMaxY(r));
  right = UMAC_ToQDCoordinate(CGRectGetMaxX(r));
}

void UMAC_QDRect::Set(const Point& a, const Point& b) {
  left = std::min(a.h, b.h), right = std::max(a.h, b.h);
  top = std::min(a.v, b.v), bottom = std::max(a.v, b.v);
}

void UMAC_QDRect::Intersect(const Rect& r) {
  top = std::max(top, r.top), left = std::max(left, r.left);
  bottom = std::min(bottom, r.bottom), right = std::min(right, r.right);
  if (right <= left || bottom <= top)
    Set(0, 0, 0, 0);
}

UMAC_HIRect::UMAC_HIRect(const Rect& r)
    : CGRect{{float(r.left), float(r.top)}, {float(r.right - r.left), float(r.bottom - r.top)}} {}

UMAC_HIRect::UMAC_HIRect(const CGPoint& a, const CGPoint& b)
    : CGRect{{std::min(a.x, b.x), std::min(a.y, b.y)},
             {std::fabs(a.x - b.x), std::fabs(a.y - b.y)}} {}

void UMAC_HIRect::MoveBy(float dx, float dy) {
  origin.x = CGRectGetMinX(*this) + dx;
  origin.y = CGRectGetMinY(*this) + dy;
}

void UMAC_HIRect::Inset(float dx, float dy) {
  *this = CGRectInset(*this, dx, dy);
}

void UMAC_HIRect::Integral() {
  *this = CGRectIntegral(*this);
}

Rect UMAC_HIRect::AsQDRect() const {
  return UMAC_QDRect(static_cast<const CGRect&>(*this));
}
