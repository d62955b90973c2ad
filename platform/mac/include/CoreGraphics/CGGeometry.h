// CoreGraphics geometry of the Mac stand-in: points, sizes and rectangles in 32-bit floating
// point, as on the 32-bit Mac.
#pragma once

typedef float CGFloat;

struct CGPoint {
  CGFloat x;
  CGFloat y;
};
struct CGSize {
  CGFloat width;
  CGFloat height;
};
struct CGRect {
  CGPoint origin;
  CGSize size;
};

inline CGPoint CGPointMake(CGFloat x, CGFloat y) {
  return CGPoint{x, y};
}
inline CGSize CGSizeMake(CGFloat width, CGFloat height) {
  return CGSize{width, height};
}
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
  return CGRect{{x, y}, {width, height}};
}
inline CGFloat CGRectGetMinX(CGRect r) {
  return r.size.width < 0 ? r.origin.x + r.size.width : r.origin.x;
}
inline CGFloat CGRectGetMinY(CGRect r) {
  return r.size.height < 0 ? r.origin.y + r.size.height : r.origin.y;
}
inline CGFloat CGRectGetWidth(CGRect r) {
  return r.size.width < 0 ? -r.size.width : r.size.width;
}
inline CGFloat CGRectGetHeight(CGRect r) {
  return r.size.height < 0 ? -r.size.height : r.size.height;
}
inline CGFloat CGRectGetMaxX(CGRect r) {
  return CGRectGetMinX(r) + CGRectGetWidth(r);
}
inline CGFloat CGRectGetMaxY(CGRect r) {
  return CGRectGetMinY(r) + CGRectGetHeight(r);
}
inline CGFloat CGRectGetMidX(CGRect r) {
  return CGRectGetMinX(r) + CGRectGetWidth(r) / 2;
}
inline CGFloat CGRectGetMidY(CGRect r) {
  return CGRectGetMinY(r) + CGRectGetHeight(r) / 2;
}
// The right and bottom edges are outside, as on the Mac.
inline bool CGRectContainsPoint(CGRect r, CGPoint p) {
  return p.x >= CGRectGetMinX(r) && p.x < CGRectGetMaxX(r) && p.y >= CGRectGetMinY(r) &&
         p.y < CGRectGetMaxY(r);
}
inline bool CGPointEqualToPoint(CGPoint a, CGPoint b) {
  return a.x == b.x && a.y == b.y;
}
inline bool CGSizeEqualToSize(CGSize a, CGSize b) {
  return a.width == b.width && a.height == b.height;
}
inline bool CGRectEqualToRect(CGRect a, CGRect b) {
  return a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.size.width == b.size.width &&
         a.size.height == b.size.height;
}

// Moved in by dx, dy on each side (out for negative values), on the standardised rectangle; a
// rectangle left with a negative size becomes the null rectangle (origin infinite, size 0).
CGRect CGRectInset(CGRect rect, CGFloat dx, CGFloat dy);
// The smallest rectangle with integral coordinates that contains the rectangle.
CGRect CGRectIntegral(CGRect rect);
bool CGRectIsNull(CGRect rect);
// The null rectangle when the two do not overlap (touching edges count as overlap, of width 0).
CGRect CGRectIntersection(CGRect r1, CGRect r2);
// Null, or of zero width or height.
bool CGRectIsEmpty(CGRect rect);
