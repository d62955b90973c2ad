#include "WKRX/WKRX_PageEdges.h"

#include "IMPN/IMPN_Tools.h"

#include <algorithm>
#include <string>

namespace {

void DrawPolyline(HDC dc, const std::vector<POINT>& points) {
  if (points.empty())
    return;
  MoveToEx(dc, points[0].x, points[0].y, nullptr);
  for (std::size_t i = 1; i < points.size(); ++i)
    LineTo(dc, points[i].x, points[i].y);
}

std::vector<POINT> RectOutline(const WKRX_ViewTransform& t, const IMPN_RectT<long>& r) {
  const double left = static_cast<double>(r.left);
  const double top = static_cast<double>(r.top);
  const double right = left + r.width;
  const double bottom = top + r.height;
  return {t.Map(left, top), t.Map(left, bottom), t.Map(right, bottom), t.Map(right, top),
          t.Map(left, top)};
}

// The page's own frame: its top left at the origin, its width along x, turned by its orientation.
WKRX_ViewTransform PageFrame(const IMPN_RectT<long>& r, int orientation, double& a, double& b) {
  const double x = r.left, t = r.top, w = r.width, h = r.height;
  a = w;
  b = h;
  switch (orientation) {
    case 1:
      return WKRX_ViewTransform{-1, 0, 0, -1, x + w, t + h};
    case 2:
      a = h, b = w;
      return WKRX_ViewTransform{0, -1, 1, 0, x, t + h};
    case 3:
      a = h, b = w;
      return WKRX_ViewTransform{0, 1, -1, 0, x + w, t};
    default:
      return WKRX_ViewTransform{1, 0, 0, 1, x, t};
  }
}

void DrawNumber(HDC dc, const WKRX_ViewTransform& local, long m, double a, double b, int number,
                COLORREF colour) {
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(static_cast<int>(m / 4), GetDeviceCaps(dc, LOGPIXELSY), 72);
  font.lfWeight = FW_NORMAL;
  font.lfEscapement = font.lfOrientation = local.Angle() * 10;
  wcscpy_s(font.lfFaceName, L"Arial");
  HFONT handle = CreateFontIndirectW(&font);
  const int saved = SaveDC(dc);
  if (handle != nullptr)
    SelectObject(dc, handle);
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_CENTER | TA_BASELINE);
  const std::wstring text = std::to_wstring(number);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  // The baseline lies half the ascent below the middle, across the text's own direction.
  const POINT at = local.Map(a / 2, b / 2 + (metrics.tmAscent - metrics.tmDescent) / 2.0);
  TextOutW(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
  RestoreDC(dc, saved);
  if (handle != nullptr)
    DeleteObject(handle);
}

}  // namespace

void WKRX_DrawPageEdges(HDC dc, const std::vector<IMPN_PageEdge>& pages,
                        const WKRX_ViewTransform& transform, double scale, COLORREF colour,
                        bool dashed, bool showEdges, bool showNumbers) {
  const int saved = SaveDC(dc);
  HPEN pen = CreatePen(dashed ? PS_DASH : PS_SOLID, 1, colour);
  if (pen != nullptr)
    SelectObject(dc, pen);
  HBRUSH brush = CreateSolidBrush(colour);
  for (const IMPN_PageEdge& page : pages) {
    const IMPN_RectT<long> r = IMPN_Tools::ScaleRect(page.rect, scale);
    double a = 0, b = 0;
    const WKRX_ViewTransform local =
        WKRX_ViewTransform::Combine(PageFrame(r, page.orientation, a, b), transform);
    const long m = static_cast<long>(std::min(r.width, r.height));
    const long k = static_cast<long>(m * 0.16);
    if (showEdges) {
      DrawPolyline(dc, {local.Map(0, 0), local.Map(a - k, 0), local.Map(a - k, k), local.Map(a, k),
                        local.Map(a - k, 0), local.Map(a, 0), local.Map(a, b), local.Map(0, b),
                        local.Map(0, 0)});
    }
    if (showEdges && showNumbers) {
      const long u = static_cast<long>(m * 0.04);
      const IMPN_RectT<long> bar(u * 3 / 2, u, static_cast<long>(a) - u - k - u,
                                 u * 5 / 2 - u * 3 / 2);
      if (dashed) {
        DrawPolyline(dc, RectOutline(local, bar));
      } else if (brush != nullptr) {
        const RECT area = local.MapRect(bar);
        FillRect(dc, &area, brush);
      }
    }
    if (showNumbers && m / 4 > 0)
      DrawNumber(dc, local, m, a, b, page.pageNumber, colour);
  }
  RestoreDC(dc, saved);
  if (pen != nullptr)
    DeleteObject(pen);
  if (brush != nullptr)
    DeleteObject(brush);
}
