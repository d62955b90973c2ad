// The GDI drawing hooks of the sheet view: the two sides' modes, tiles, erased areas and the
// overlays. Every shape is mapped through the side's transform here and drawn untransformed.
#include "WKRX/WKRX_SheetView.h"

#include "CKRX/CKRX_Context.h"
#include "GLIB/GLIB_Math.h"
#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Tools.h"
#include "WKRX/WKRX_PageEdges.h"
#include "WKRX/WKRX_Preferences.h"
#include "WKRX/WKRX_System.h"
#include "WKRX/WKRX_TilePixels.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

COLORREF ColourRef(const IMPN_RGBColor8& colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

COLORREF ColourRef(const IMPN_RGBAColor8& colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

constexpr COLORREF kTileBoundaryColour = 0x007FFF;

// A pen selected between SaveDC and RestoreDC, deleted after.
class ScopedPen {
public:
  ScopedPen(HDC dc, int style, COLORREF colour) : m_DC(dc), m_Saved(SaveDC(dc)) {
    m_Pen = CreatePen(style, 1, colour);
    if (m_Pen != nullptr)
      SelectObject(dc, m_Pen);
  }
  ~ScopedPen() {
    RestoreDC(m_DC, m_Saved);
    if (m_Pen != nullptr)
      DeleteObject(m_Pen);
  }
  ScopedPen(const ScopedPen&) = delete;
  ScopedPen& operator=(const ScopedPen&) = delete;

private:
  HDC m_DC;
  int m_Saved;
  HPEN m_Pen = nullptr;
};

int PenStyle(bool dashed) {
  return dashed ? PS_DASH : PS_SOLID;
}

void DrawPolyline(HDC dc, const std::vector<POINT>& points) {
  if (points.empty())
    return;
  MoveToEx(dc, points[0].x, points[0].y, nullptr);
  for (std::size_t i = 1; i < points.size(); ++i)
    LineTo(dc, points[i].x, points[i].y);
}

int Alpha(int opacity) {
  return std::clamp(opacity, 0, 100) * 255 / 100;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Modes

WKRX_ViewTransform WKRX_SheetView::Turn() const {
  // (o, t) the turn's cosine and sine, (gx, gy) the shift that keeps the image in view.
  const double w = static_cast<double>(LevelWidth());
  const double l = static_cast<double>(LevelLength());
  double o = 1, t = 0, gx = 0, gy = 0;
  switch (m_Rotation) {
    case 90:
      o = 0, t = 1, gx = l;
      break;
    case 180:
      o = -1, gx = w, gy = l;
      break;
    case 270:
      o = 0, t = -1, gy = w;
      break;
    default:
      break;
  }
  return WKRX_ViewTransform{o, t, -t, o, gx, gy};
}

void WKRX_SheetView::BeginFrontMode(CKRX_Context& context, int opacity) {
  SaveDC(context.GetHDC());
  m_FrontSaved.push_back(m_Transform);
  m_Transform = Turn();
  m_Blend.SourceConstantAlpha = static_cast<BYTE>(Alpha(opacity));
}

void WKRX_SheetView::EndFrontMode(CKRX_Context& context) {
  RestoreDC(context.GetHDC(), -1);
  if (!m_FrontSaved.empty()) {
    m_Transform = m_FrontSaved.back();
    m_FrontSaved.pop_back();
  }
}

void WKRX_SheetView::BeginBackMode(CKRX_Context&, int opacity) {
  m_SavedTransform = m_Transform;
  const WKRX_ViewTransform turn = Turn();
  const double o = turn.m11;
  const double t = turn.m12;
  const double w = static_cast<double>(LevelWidth());
  const double l = static_cast<double>(LevelLength());
  const double fx = m_Sheet->GetBackupOffsetX(m_BackupAlignment, m_ZoomLevel);
  const double fy = m_Sheet->GetBackupOffsetY(m_BackupAlignment, m_ZoomLevel);
  // The back's mirror and back-up shift, (sx, sy) and (h, v), before the turn.
  double sx = 1, sy = 1, h = 0, v = 0;
  if (m_BackupMode == 1)
    sx = -1, h = w - fx, v = -fy;
  else if (m_BackupMode == 2)
    sy = -1, h = -fx, v = l - fy;
  m_Transform = WKRX_ViewTransform{
      o * sx, t * sx, -t * sy, o * sy, turn.dx + h * o - v * t, turn.dy + v * o + h * t};
  m_Blend.SourceConstantAlpha = static_cast<BYTE>(Alpha(opacity));
}

void WKRX_SheetView::EndBackMode(CKRX_Context&) {
  m_Transform = m_SavedTransform;
}

// ---------------------------------------------------------------------------------------------
// Tiles

void WKRX_SheetView::EraseTile(CKRX_Context& context, IMPN_RectT<long> rect,
                               IMPN_RGBColor8 colour) {
  const HDC dc = context.GetHDC();
  const RECT area = m_Transform.MapRect(rect);
  const COLORREF previous = SetBkColor(dc, ColourRef(colour));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

void WKRX_SheetView::DrawBitMapToContext(IMPN_BitMap const* tile, CKRX_Context& context,
                                         IMPN_RectT<long> const&) {
  if (tile == nullptr)
    return;
  const HDC dc = context.GetHDC();
  const WKRX_TilePixels pixels(*tile, m_Transform);
  pixels.BlendOnto(dc, m_Blend);
  if (WKRX_Preferences::sm_ShowTileBoundaries)
    Outline(dc, tile->rect, kTileBoundaryColour, false);
  if (m_ZoomLevel <= kIMPN_ZoomLevel1to1)
    WKRX_System::Current().sleep(5);
}

// ---------------------------------------------------------------------------------------------
// Overlays

void WKRX_SheetView::Outline(HDC dc, const IMPN_RectT<long>& r, COLORREF colour, bool dashed) {
  ScopedPen pen(dc, PenStyle(dashed), colour);
  const double left = static_cast<double>(r.left);
  const double top = static_cast<double>(r.top);
  const double right = left + r.width;
  const double bottom = top + r.height;
  DrawPolyline(dc, {ToView(left, top), ToView(left, bottom), ToView(right, bottom),
                    ToView(right, top), ToView(left, top)});
}

void WKRX_SheetView::ScaledOutlines(HDC dc, const std::vector<IMPN_RectT<long>>& rects,
                                    COLORREF colour, bool dashed) {
  for (const IMPN_RectT<long>& rect : rects)
    Outline(dc, IMPN_Tools::ScaleRect(rect, ZoomFactor()), colour, dashed);
}

void WKRX_SheetView::DrawPlateEdge(CKRX_Context& context, IMPN_RectT<long> const& rect,
                                   bool dashed) {
  Outline(context.GetHDC(), rect, ColourRef(IMPN_Preferences::sm_PlateEdgeColor), dashed);
}

void WKRX_SheetView::DrawPressSheetEdge(CKRX_Context& context, IMPN_RectT<long> const& rect,
                                        bool dashed) {
  ScaledOutlines(context.GetHDC(), {rect}, ColourRef(IMPN_Preferences::sm_PressSheetEdgeColor),
                 dashed);
}

void WKRX_SheetView::DrawBleedEdges(CKRX_Context& context,
                                    std::vector<IMPN_RectT<long>> const& rects, bool dashed) {
  ScaledOutlines(context.GetHDC(), rects, ColourRef(IMPN_Preferences::sm_BleedEdgeColor), dashed);
}

void WKRX_SheetView::DrawTypeSafetyEdges(CKRX_Context& context,
                                         std::vector<IMPN_RectT<long>> const& rects, bool dashed) {
  ScaledOutlines(context.GetHDC(), rects, ColourRef(IMPN_Preferences::sm_TypeSafetyEdgeColor),
                 dashed);
}

void WKRX_SheetView::DrawSourceClipPaths(CKRX_Context& context, CKRX_ClipPathList const& pages,
                                         bool dashed) {
  const HDC dc = context.GetHDC();
  ScopedPen pen(dc, PenStyle(dashed), ColourRef(IMPN_Preferences::sm_BleedEdgeColor));
  const double f = ZoomFactor();
  for (const auto& paths : pages) {
    for (const IMPN_SCPath& path : paths) {
      if (path.points.empty())
        continue;
      std::vector<POINT> points;
      for (const IMPN_PointT<long>& p : path.points)
        points.push_back(ToView(static_cast<double>(MATH_Round(p.x * f)),
                                static_cast<double>(MATH_Round(p.y * f))));
      points.push_back(points.front());
      DrawPolyline(dc, points);
    }
  }
}

void WKRX_SheetView::DrawGuideLines(CKRX_Context& context, IMPN_GuideLines const& guides,
                                    bool dashed) {
  if (guides.horizontal.empty() && guides.vertical.empty())
    return;
  const HDC dc = context.GetHDC();
  ScopedPen pen(dc, PenStyle(dashed), ColourRef(IMPN_Preferences::sm_GuideLineColor));
  const double f = ZoomFactor();
  const double w = static_cast<double>(LevelWidth());
  const double l = static_cast<double>(LevelLength());
  for (long y : guides.horizontal) {
    const double at = static_cast<double>(MATH_Round(y * f));
    DrawPolyline(dc, {ToView(0, at), ToView(w, at)});
  }
  for (long x : guides.vertical) {
    const double at = static_cast<double>(MATH_Round(x * f));
    DrawPolyline(dc, {ToView(at, 0), ToView(at, l)});
  }
}

void WKRX_SheetView::DrawDensitometerFrame(CKRX_Context& context, IMPN_RectT<long> const& frame) {
  if (frame.width <= 0 || frame.height <= 0)
    return;
  const HDC dc = context.GetHDC();
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  Outline(dc, IMPN_Tools::ScaleRect(frame, ZoomFactor()),
          ColourRef(IMPN_Preferences::sm_NavigationFrame), true);
  RestoreDC(dc, saved);
}

void WKRX_SheetView::DrawPageEdges(CKRX_Context& context, std::vector<IMPN_PageEdge> const& pages,
                                   bool dashed, bool showEdges, bool showNumbers) {
  WKRX_DrawPageEdges(context.GetHDC(), pages, m_Transform, ZoomFactor(),
                     ColourRef(IMPN_Preferences::sm_PageEdgeColor), dashed, showEdges, showNumbers);
}
