// QuickDraw and CoreGraphics rectangles as values: UMAC_QDRect is exactly a Rect, UMAC_HIRect
// exactly a CGRect. Converting a CGRect to 16-bit coordinates truncates toward zero and clamps to
// -32768...32767; NaN becomes 0.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <MacTypes.h>

// A coordinate truncated toward zero and clamped to 16 bits (NaN: 0).
short UMAC_ToQDCoordinate(float value);

struct UMAC_QDRect : public Rect {
  UMAC_QDRect() { Set(0, 0, 0, 0); }
  UMAC_QDRect(short left, short top, short right, short bottom) { Set(left, top, right, bottom); }
  UMAC_QDRect(const Rect& r) : Rect(r) {}
  explicit UMAC_QDRect(const CGRect& r) { Set(r); }

  void Set(short left, short top, short right, short bottom);
  void Set(const Rect& r) { static_cast<Rect&>(*this) = r; }
  void Set(const CGRect& r);
  // The rectangle the two points span.
  void Set(const Point& a, const Point& b);
  // In place; all zero when nothing is left.
  void Intersect(const Rect& r);
  bool IsEmpty() const { return left >= right || top >= bottom; }
};
static_assert(sizeof(UMAC_QDRect) == sizeof(Rect), "a UMAC_QDRect is a Rect");

struct UMAC_HIRect : public CGRect {
  UMAC_HIRect() : CGRect{{0, 0}, {0, 0}} {}
  UMAC_HIRect(float x, float y, float width, float height) : CGRect{{x, y}, {width, height}} {}
  UMAC_HIRect(const CGRect& r) : CGRect(r) {}
  explicit UMAC_HIRect(const Rect& r);
  // Per axis: the smaller coordinate and the difference.
  UMAC_HIRect(const CGPoint& a, const CGPoint& b);

  void MoveBy(float dx, float dy);
  void Inset(float dx, float dy);
  // The smallest integral rectangle that contains it.
  void Integral();
  bool Contains(const CGPoint& p) const { return CGRectContainsPoint(*this, p); }
  Rect AsQDRect() const;
};
static_assert(sizeof(UMAC_HIRect) == sizeof(CGRect), "a UMAC_HIRect is a CGRect");
