// CoreGraphics affine transforms of the Mac stand-in: x' = a x + c y + tx, y' = b x + d y + ty.
#pragma once
#include <CoreGraphics/CGGeometry.h>

struct CGAffineTransform {
  CGFloat a, b, c, d;
  CGFloat tx, ty;
};

inline CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d,
                                               CGFloat tx, CGFloat ty) {
  return CGAffineTransform{a, b, c, d, tx, ty};
}
inline CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t) {
  return CGPoint{t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}
