// QuickDraw rectangles of the Mac stand-in (see QD/QuickDraw.h).
#include <QD/QuickDraw.h>

#include <algorithm>

void SetRect(Rect* r, short left, short top, short right, short bottom) {
  if (r)
    *r = Rect{top, left, bottom, right};
}

void OffsetRect(Rect* r, short dh, short dv) {
  if (r == nullptr)
    return;
  r->left = static_cast<short>(r->left + dh), r->right = static_cast<short>(r->right + dh);
  r->top = static_cast<short>(r->top + dv), r->bottom = static_cast<short>(r->bottom + dv);
}

void InsetRect(Rect* r, short dh, short dv) {
  if (r == nullptr)
    return;
  r->left = static_cast<short>(r->left + dh), r->right = static_cast<short>(r->right - dh);
  r->top = static_cast<short>(r->top + dv), r->bottom = static_cast<short>(r->bottom - dv);
  if (EmptyRect(r))
    *r = Rect{0, 0, 0, 0};
}

Boolean SectRect(const Rect* src1, const Rect* src2, Rect* dstRect) {
  Rect out{std::max(src1->top, src2->top), std::max(src1->left, src2->left),
           std::min(src1->bottom, src2->bottom), std::min(src1->right, src2->right)};
  if (EmptyRect(&out))
    out = Rect{0, 0, 0, 0};
  *dstRect = out;
  return !EmptyRect(&out);
}

void UnionRect(const Rect* src1, const Rect* src2, Rect* dstRect) {
  *dstRect = Rect{std::min(src1->top, src2->top), std::min(src1->left, src2->left),
                  std::max(src1->bottom, src2->bottom), std::max(src1->right, src2->right)};
}

Boolean EmptyRect(const Rect* r) {
  return r->right <= r->left || r->bottom <= r->top;
}

Boolean EqualRect(const Rect* rect1, const Rect* rect2) {
  return rect1->top == rect2->top && rect1->left == rect2->left && rect1->bottom == rect2->bottom &&
         rect1->right == rect2->right;
}

Boolean PtInRect(Point pt, const Rect* r) {
  return pt.h >= r->left && pt.h < r->right && pt.v >= r->top && pt.v < r->bottom;
}
