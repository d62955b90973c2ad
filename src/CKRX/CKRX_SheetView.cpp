#include "CKRX/CKRX_SheetView.h"

#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_TiledImage.h"
#include "IMPN/IMPN_Tools.h"

#include <algorithm>
#include <cstring>

namespace {

long ClampedBelow(long value, long maximum) {
  return std::max(std::min(value, maximum), 0L);
}

}  // namespace

CKRX_SheetView::CKRX_SheetView()
    : m_ZoomLevel(kIMPN_ZoomLevel1to1),
      m_BackupAlignment(kIMPN_AlignPressSheets),
      m_BackupMode(0),
      m_ActiveTool(kIMPN_ToolPan),
      m_PageFlipped(false),
      m_Rotation(0),
      m_ShowPlateEdge(true),
      m_ShowPressSheetEdge(false),
      m_ShowBleed(false),
      m_ShowPageEdges(false),
      m_ShowPageNumbers(false),
      m_ShowSourceClipPaths(false),
      m_ShowTypeSafety(false),
      m_ShowGuideLines(true),
      m_ClipPathsAvailable(false),
      m_TypeSafetyAvailable(false),
      m_SavedEdgeInfo{true, true, true, true, true, true},
      m_UnitOriginX(0),
      m_UnitOriginY(0),
      m_BackgroundDrawing(true),
      m_BackOverlaysPending(false),
      m_DensitometerFrame(0, 0, 0, 0) {}

CKRX_SheetView::~CKRX_SheetView() {
  PurgeCacheAndCloseFiles();
}

// ---------------------------------------------------------------------------------------------
// Binding

void CKRX_SheetView::SetSheet(IMPN_Sheet* sheet) {
  if (sheet == nullptr || sheet == m_Sheet)
    return;

  // The queues point into the old sheet's tiled images.
  StopDrawCachedImageTimer();
  m_BackTileRequests.clear();
  m_FrontTileRequests.clear();
  if (m_Sheet != nullptr) {
    ForgetVisibleArea(m_Sheet->GetFrontSurface());
    ForgetVisibleArea(m_Sheet->GetBackSurface());
  }
  m_Sheet = IMPN_SheetReference(sheet);

  IMPN_RGBColor8 const surfaceColour = IMPN_Preferences::sm_DefaultSurfaceColor;
  m_Sheet->GetFrontSurface().SetColor(surfaceColour);
  m_Sheet->GetBackSurface().SetColor(surfaceColour);
  m_Sheet->Init();

  std::uint32_t const mode = m_Sheet->GetBackupMode();
  if (mode <= 2)
    m_BackupMode = static_cast<long>(mode);
  m_BackupAlignment = kIMPN_AlignPressSheets;

  // A view that was rotated keeps its rotation for the new sheet.
  ResizeView(DisplayedWidth(m_ZoomLevel), DisplayedHeight(m_ZoomLevel), false);

  IMPN_Surface& front = m_Sheet->GetFrontSurface();
  IMPN_Surface& back = m_Sheet->GetBackSurface();
  if (front.HasSeparations()) {
    m_ClipPathsAvailable = front.HasClipPaths();
    m_TypeSafetyAvailable = front.HasTypeSafetyBoxes();
  } else if (back.HasSeparations()) {
    m_ClipPathsAvailable = back.HasClipPaths();
    m_TypeSafetyAvailable = back.HasTypeSafetyBoxes();
  }
  if (!front.HasSeparations() && back.HasSeparations())
    m_PageFlipped = true;

  if (IMPN_Preferences::sm_ShowImpositionOnOpen)
    ShowEdgeInfo();
  if (IMPN_Preferences::sm_RotateUprightOnOpen)
    TurnUpright();
}

// Brings the view to the rotation that shows the sheet upright, from whatever rotation it has.
void CKRX_SheetView::TurnUpright() {
  long target;
  switch (m_Sheet->GetOrientation()) {
    case 0:
      target = 0;
      break;
    case 1:
      target = 180;
      break;
    case 2:
      target = 90;
      break;
    case 3:
      target = 270;
      break;
    default:
      return;
  }
  switch ((target - m_Rotation + 360) % 360) {
    case 90:
      Rotate(90);
      break;
    case 180:
      Rotate(90);
      Rotate(90);
      break;
    case 270:
      Rotate(-90);
      break;
    default:
      break;
  }
}

void CKRX_SheetView::PurgeCacheAndCloseFiles() {
  if (m_Sheet == nullptr)
    return;
  m_BackTileRequests.clear();
  m_FrontTileRequests.clear();
  for (IMPN_Surface* surface : {&m_Sheet->GetFrontSurface(), &m_Sheet->GetBackSurface()}) {
    ForgetVisibleArea(*surface);
    if (!surface->HasSeparations())
      continue;
    if (IMPN_TiledImage* image = surface->GetTiledImage())
      image->ResetCache();
    surface->CloseFiles();
  }
  m_Sheet.Reset();
}

// ---------------------------------------------------------------------------------------------
// Sizes and sides

long CKRX_SheetView::LevelWidth(IMPN_ZoomLevel level) const {
  return static_cast<long>(m_Sheet->GetImageWidth(level));
}

long CKRX_SheetView::LevelLength(IMPN_ZoomLevel level) const {
  return static_cast<long>(m_Sheet->GetImageLength(level));
}

long CKRX_SheetView::DisplayedWidth(IMPN_ZoomLevel level) const {
  return IsSideways() ? LevelLength(level) : LevelWidth(level);
}

long CKRX_SheetView::DisplayedHeight(IMPN_ZoomLevel level) const {
  return IsSideways() ? LevelWidth(level) : LevelLength(level);
}

IMPN_Surface& CKRX_SheetView::ViewedSurface() {
  return m_PageFlipped ? m_Sheet->GetBackSurface() : m_Sheet->GetFrontSurface();
}

IMPN_Surface& CKRX_SheetView::OtherSurface() {
  return m_PageFlipped ? m_Sheet->GetFrontSurface() : m_Sheet->GetBackSurface();
}

IMPN_GuideLines& CKRX_SheetView::ViewedGuideLines() {
  return m_PageFlipped ? m_BackGuideLines : m_FrontGuideLines;
}

IMPN_GuideLines& CKRX_SheetView::OtherGuideLines() {
  return m_PageFlipped ? m_FrontGuideLines : m_BackGuideLines;
}

// ---------------------------------------------------------------------------------------------
// Zoom

void CKRX_SheetView::SetZoomLevel(IMPN_ZoomLevel level, bool refresh) {
  if (static_cast<unsigned long>(level) > kIMPN_ZoomLevel1to512)
    return;
  SetZoomFactor(kIMPN_ZoomFactor[level], false);
  if (refresh)
    EraseAndRefreshView();
}

void CKRX_SheetView::SetZoomLevel(IMPN_ZoomLevel level, IMPN_PointT<long> centre, bool refresh) {
  if (static_cast<unsigned long>(level) > kIMPN_ZoomLevel1to512)
    return;
  SetZoomFactor(kIMPN_ZoomFactor[level], centre, false);
  if (refresh)
    EraseAndRefreshView();
}

namespace {

IMPN_ZoomLevel Closer(IMPN_ZoomLevel level) {
  return level == kIMPN_ZoomLevel8to1 ? level : static_cast<IMPN_ZoomLevel>(level - 1);
}

IMPN_ZoomLevel Further(IMPN_ZoomLevel level) {
  return level == kIMPN_ZoomLevel1to512 ? level : static_cast<IMPN_ZoomLevel>(level + 1);
}

}  // namespace

void CKRX_SheetView::ZoomIn(bool refresh) {
  SetZoomLevel(Closer(m_ZoomLevel), refresh);
}

void CKRX_SheetView::ZoomIn(IMPN_PointT<long> centre, bool refresh) {
  SetZoomLevel(Closer(m_ZoomLevel), centre, refresh);
}

void CKRX_SheetView::ZoomOut(bool refresh) {
  SetZoomLevel(Further(m_ZoomLevel), refresh);
}

void CKRX_SheetView::ZoomOut(IMPN_PointT<long> centre, bool refresh) {
  SetZoomLevel(Further(m_ZoomLevel), centre, refresh);
}

void CKRX_SheetView::SetZoomFactor(double factor, bool refresh) {
  StopDrawCachedImageTimer();
  IMPN_RectT<long> const frame = GetViewFrame();
  IMPN_PointT<long> centre(frame.left + frame.width / 2, frame.top + frame.height / 2);
  // An image smaller than the frame zooms about its own middle.
  long const width = DisplayedWidth(m_ZoomLevel);
  long const height = DisplayedHeight(m_ZoomLevel);
  if (width < frame.width)
    centre.x = width / 2;
  if (height < frame.height)
    centre.y = height / 2;
  SetZoomFactor(factor, centre, refresh);
}

void CKRX_SheetView::SetZoomFactor(double factor, IMPN_PointT<long> centre, bool refresh) {
  StopDrawCachedImageTimer();
  double const old = kIMPN_ZoomFactor[m_ZoomLevel];
  for (int i = 0; i < kIMPN_ZoomLevelCount; ++i) {
    if (kIMPN_ZoomFactor[i] <= factor) {
      m_ZoomLevel = static_cast<IMPN_ZoomLevel>(i);
      factor = kIMPN_ZoomFactor[i];
      break;
    }
  }
  ResizeView(DisplayedWidth(m_ZoomLevel), DisplayedHeight(m_ZoomLevel), false);
  double const ratio = factor / old;
  IMPN_RectT<long> const frame = GetViewFrame();
  ScrollViewTo(static_cast<long>(centre.x * ratio) - frame.width / 2,
               static_cast<long>(centre.y * ratio) - frame.height / 2, false);
  if (refresh)
    EraseAndRefreshView();
}

void CKRX_SheetView::ZoomToFit(bool refresh) {
  IMPN_RectT<long> const frame = GetViewFrame();
  IMPN_Surface& front = m_Sheet->GetFrontSurface();
  IMPN_Surface& back = m_Sheet->GetBackSurface();
  IMPN_RectT<long> fit;
  if (front.HasSeparations())
    fit = front.GetPressSheetRect();
  else if (back.HasSeparations())
    fit = back.GetPressSheetRect();
  bool const hasFit = fit.width >= 1 && fit.height >= 1;

  // The fitted rectangle in level image space, and the level's image size.
  auto fitted = [&](IMPN_ZoomLevel level) {
    return hasFit ? IMPN_Tools::ScaleRect(fit, kIMPN_ZoomFactor[level])
                  : IMPN_RectT<long>(0, 0, LevelWidth(level), LevelLength(level));
  };
  IMPN_ZoomLevel level = kIMPN_ZoomLevel1to512;
  for (int i = 0; i < kIMPN_ZoomLevel1to512; ++i) {
    IMPN_RectT<long> const r = fitted(static_cast<IMPN_ZoomLevel>(i));
    long const shownWidth = IsSideways() ? r.height : r.width;
    long const shownHeight = IsSideways() ? r.width : r.height;
    if (shownWidth < frame.width && shownHeight < frame.height) {
      level = static_cast<IMPN_ZoomLevel>(i);
      break;
    }
  }
  SetZoomLevel(level, true);

  // Put the middle of the fitted rectangle in the middle of the frame.
  long const width = LevelWidth(level);
  long const length = LevelLength(level);
  IMPN_RectT<long> const shown = IsSideways()
                                     ? TransformRect(fitted(level), -m_Rotation, length, width)
                                     : TransformRect(fitted(level), -m_Rotation, width, length);
  ScrollViewTo(shown.left + shown.width / 2 - frame.width / 2,
               shown.top + shown.height / 2 - frame.height / 2, false);
  if (refresh)
    EraseAndRefreshView();
}

void CKRX_SheetView::AdjustFrameToFit(IMPN_RectT<double>& rect) {
  // A rectangle without extent in either direction (a click, not a drag) has no scale to
  // fill the frame with: it would zoom without bound and scroll to no position.
  if (!(rect.width > 0.0) && !(rect.height > 0.0))
    return;
  IMPN_RectT<long> const frame = GetViewFrame();
  double const ax = frame.width / rect.width;
  double const ay = frame.height / rect.height;
  double s = ay;
  if (ax > ay) {
    double const newWidth = frame.width / ay;
    rect.left += (newWidth - rect.width) * -0.5;
    rect.width = newWidth;
    s = ay;
  } else if (ay > ax) {
    double const newHeight = frame.height / ax;
    rect.top += (newHeight - rect.height) * -0.5;
    rect.height = newHeight;
    s = frame.height / newHeight;
  }

  double p = 1.0;
  if (s >= 2.0) {
    while (s > p)
      p *= 2.0;
  } else if (s < 1.0) {
    while (p > s)
      p *= 0.5;
  }
  if (s >= 2.0 || s < 1.0)
    SetZoomFactor(kIMPN_ZoomFactor[m_ZoomLevel] * p, false);

  rect.top *= p;
  rect.left *= p;
  rect.width *= p;
  rect.height *= p;
  ScrollViewTo(static_cast<long>(rect.left + 0.5 * rect.width) - frame.width / 2,
               static_cast<long>(rect.top + 0.5 * rect.height) - frame.height / 2, false);
}

// ---------------------------------------------------------------------------------------------
// Rotation, flipping, opacity

void CKRX_SheetView::Rotate(long degrees) {
  if (degrees != 90 && degrees != -90)
    return;
  StopDrawCachedImageTimer();
  IMPN_RectT<long> const frame = GetViewFrame();
  long const hw = frame.width / 2;
  long const hh = frame.height / 2;
  long const cx = frame.left + hw;
  long const cy = frame.top + hh;

  // The new displayed size is the old one turned.
  long const newWidth = DisplayedHeight(m_ZoomLevel);
  long const newHeight = DisplayedWidth(m_ZoomLevel);
  long x;
  long y;
  if (degrees == 90) {
    x = newWidth - (hw + cy);
    y = cx - hh;
  } else {
    x = cy - hw;
    y = newHeight - (cx + hh);
  }
  x = ClampedBelow(x, newWidth - frame.width);
  y = ClampedBelow(y, newHeight - frame.height);

  m_Rotation = (m_Rotation + degrees + 360) % 360;
  ResizeView(newWidth, newHeight, false);
  ScrollViewTo(x, y, true);
}

void CKRX_SheetView::RotateLeft() {
  Rotate(-90);
}

void CKRX_SheetView::RotateRight() {
  Rotate(90);
}

void CKRX_SheetView::TogglePageFlipped() {
  m_PageFlipped = !m_PageFlipped;
  EraseAndRefreshView();
}

int CKRX_SheetView::GetSheetOpacity() {
  return static_cast<int>(ViewedSurface().GetOpacity());
}

void CKRX_SheetView::SetSheetOpacity(int opacity) {
  if (static_cast<unsigned int>(opacity) <= 100)
    ViewedSurface().SetOpacity(static_cast<std::uint32_t>(opacity));
  RefreshView();
}

void CKRX_SheetView::AdjustSheetOpacity(int delta) {
  SetSheetOpacity(GetSheetOpacity() + delta);
}

void CKRX_SheetView::ResetUnitOrigin() {
  m_UnitOriginX = 0;
  m_UnitOriginY = 0;
}

// ---------------------------------------------------------------------------------------------
// Coordinates

IMPN_RectT<long> CKRX_SheetView::TransformRect(IMPN_RectT<long> const& r, long angle, long width,
                                               long length) {
  long a = angle % 360;
  if (a < 0)
    a += 360;
  switch (a) {
    case 90:
      return IMPN_RectT<long>(length - r.width - r.left, r.top, r.height, r.width);
    case 180:
      return IMPN_RectT<long>(length - (r.top + r.height), width - (r.left + r.width), r.width,
                              r.height);
    case 270:
      return IMPN_RectT<long>(r.left, width - (r.top + r.height), r.height, r.width);
    default:
      return r;
  }
}

IMPN_RectT<long> CKRX_SheetView::ViewFrameRectToImageRect(IMPN_RectT<long> const& rect) {
  IMPN_RectT<long> const scaled = IMPN_Tools::ScaleRect(rect, 1.0 / kIMPN_ZoomFactor[m_ZoomLevel]);
  return TransformRect(scaled, m_Rotation, LevelWidth(kIMPN_ZoomLevel1to1),
                       LevelLength(kIMPN_ZoomLevel1to1));
}

IMPN_RectT<long> CKRX_SheetView::ImageRectToViewFrameRect(IMPN_RectT<long> const& rect) {
  long const w3 = LevelWidth(kIMPN_ZoomLevel1to1);
  long const l3 = LevelLength(kIMPN_ZoomLevel1to1);
  IMPN_RectT<long> const turned = IsSideways() ? TransformRect(rect, -m_Rotation, l3, w3)
                                               : TransformRect(rect, -m_Rotation, w3, l3);
  return IMPN_Tools::ScaleRect(turned, kIMPN_ZoomFactor[m_ZoomLevel]);
}

IMPN_RectT<double> CKRX_SheetView::GetNormalizedViewFrame() {
  IMPN_RectT<long> const frame = GetViewFrame();
  double const w = static_cast<double>(DisplayedWidth(m_ZoomLevel));
  double const h = static_cast<double>(DisplayedHeight(m_ZoomLevel));
  if (w <= 0.0 || h <= 0.0)
    return IMPN_RectT<double>();
  return IMPN_RectT<double>(frame.top / h, frame.left / w, frame.width / w, frame.height / h);
}

IMPN_PointT<double> CKRX_SheetView::ImageToUnitPoint(IMPN_PointT<long> const& p, IMPN_Units units) {
  double const u = (units >= 0 && units < kIMPN_UnitCount) ? kIMPN_UnitConversions[units] : 0.0;
  float const zf = kIMPN_ZoomFactor[m_ZoomLevel];
  float const xScale = zf * m_Sheet->GetXResolution();
  float const yScale = zf * m_Sheet->GetYResolution();
  // A sheet without a resolution has no lengths to give.
  double const x = xScale == 0.0f ? 0.0
                                  : u / static_cast<double>(xScale) *
                                        (p.x - static_cast<double>(zf) * m_UnitOriginX);
  double const y = yScale == 0.0f ? 0.0
                                  : u / static_cast<double>(yScale) *
                                        (p.y - static_cast<double>(zf) * m_UnitOriginY);
  return IMPN_PointT<double>(x, y);
}

IMPN_PointT<double> CKRX_SheetView::ViewPointToUnitLengths(IMPN_PointT<long> const& viewPoint,
                                                           IMPN_Units units) {
  long const w = LevelWidth(m_ZoomLevel);
  long const l = LevelLength(m_ZoomLevel);
  long const vx = viewPoint.x;
  long const vy = viewPoint.y;
  // The view turns the level image clockwise; undo the turn, then measure from the origin.
  IMPN_PointT<long> level(vx, vy);
  switch (m_Rotation) {
    case 90:
      level = IMPN_PointT<long>(vy, l - vx);
      break;
    case 180:
      level = IMPN_PointT<long>(w - vx, l - vy);
      break;
    case 270:
      level = IMPN_PointT<long>(w - vy, vx);
      break;
    default:
      break;
  }
  IMPN_PointT<double> const u = ImageToUnitPoint(level, units);
  switch (m_Rotation) {
    case 90:
      return IMPN_PointT<double>(-u.y, u.x);
    case 180:
      return IMPN_PointT<double>(-u.x, -u.y);
    case 270:
      return IMPN_PointT<double>(u.y, -u.x);
    default:
      return u;
  }
}
