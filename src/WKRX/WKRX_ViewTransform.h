// The turn, mirror and shift that put a surface's level image on the view. The view applies it
// itself to tile pixels, rectangles and overlay points, and blends under the identity: some GDI
// implementations ignore a world transform's rotation in AlphaBlend and shift mirrored blends.
#pragma once

#include "IMPN/IMPN_Geometry.h"

#include <windows.h>

struct WKRX_ViewTransform {
  // As an XFORM: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
  double m11 = 1.0;
  double m12 = 0.0;
  double m21 = 0.0;
  double m22 = 1.0;
  double dx = 0.0;
  double dy = 0.0;

  static WKRX_ViewTransform Identity() { return WKRX_ViewTransform(); }
  // local first, then outer.
  static WKRX_ViewTransform Combine(const WKRX_ViewTransform& local,
                                    const WKRX_ViewTransform& outer);

  POINT Map(double x, double y) const;
  // The pixels a rectangle of the level image covers on the view (right and bottom exclusive).
  RECT MapRect(const IMPN_RectT<long>& rect) const;
  // The view pixel that level pixel (x, y) lands on.
  POINT MapPixel(long x, long y) const;
  // The turn in degrees, counter-clockwise as fonts count it, and whether it mirrors.
  int Angle() const;
  bool Mirrors() const { return m11 * m22 - m12 * m21 < 0.0; }
};
