// The mouse tools of the sheet view: cursors, pan, measure, zoom, densitometer, guides and the
// unit origin, with their XOR feedback.
#include "WKRX/WKRX_SheetView.h"

#include "GLIB/GLIB_Math.h"
#include "IMPN/IMPN_Preferences.h"
#include "WKRX/WKRX_CursorManager.h"
#include "WKRX/WKRX_System.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr long kNoMarker = -32768;

bool KeyDown(int key) {
  return (WKRX_System::Current().asyncKeyState(key) & 0x8000) != 0;
}

POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

RECT Normalised(long x0, long y0, long x1, long y1) {
  return RECT{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Feedback

void WKRX_SheetView::DrawFeedback(HDC dc) const {
  const int saved = SaveDC(dc);
  SetROP2(dc, R2_XORPEN);
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, RGB(255, 255, 255));
  for (const Polyline& line : m_Feedback) {
    if (line.empty())
      continue;
    MoveToEx(dc, line[0].x, line[0].y, nullptr);
    for (std::size_t i = 1; i < line.size(); ++i)
      LineTo(dc, line[i].x, line[i].y);
  }
  RestoreDC(dc, saved);
}

void WKRX_SheetView::HideFeedback() {
  if (!m_FeedbackShown)
    return;
  const WKRX_System& system = WKRX_System::Current();
  if (HDC dc = system.windowDC(m_hWnd)) {
    DrawFeedback(dc);
    system.releaseWindowDC(m_hWnd, dc);
  }
  m_FeedbackShown = false;
}

void WKRX_SheetView::ShowFeedback(std::vector<Polyline> lines) {
  HideFeedback();
  m_Feedback = std::move(lines);
  if (m_Feedback.empty())
    return;
  const WKRX_System& system = WKRX_System::Current();
  if (HDC dc = system.windowDC(m_hWnd)) {
    DrawFeedback(dc);
    system.releaseWindowDC(m_hWnd, dc);
  }
  m_FeedbackShown = true;
}

std::vector<WKRX_SheetView::Polyline> WKRX_SheetView::MarkerLines() const {
  std::vector<Polyline> lines;
  if (m_Marker.x == kNoMarker && m_Marker.y == kNoMarker)
    return lines;
  const SIZE client = ClientSize();
  const long x = m_Marker.x - m_ptOffset.x;
  const long y = m_Marker.y - m_ptOffset.y;
  const bool both = m_ToolMode == kWKRX_ToolMoveOrigin;
  if (both || m_GuideIsHorizontal)
    lines.push_back({POINT{0, y}, POINT{client.cx, y}});
  if (both || !m_GuideIsHorizontal)
    lines.push_back({POINT{x, 0}, POINT{x, client.cy}});
  return lines;
}

// ---------------------------------------------------------------------------------------------
// Cursor and tool

long WKRX_SheetView::ChooseTool(POINT client) {
  long guide = 0;
  return DetermineActiveTool(ClientToView(client), KeyDown(VK_CONTROL), KeyDown(VK_MENU),
                             KeyDown(VK_SPACE), guide);
}

void WKRX_SheetView::SetToolCursor(long tool) {
  const bool sideways = m_Rotation == 90 || m_Rotation == 270;
  switch (tool) {
    case kIMPN_ToolPan:
      WKRX_CursorManager::SetOpenHandCursor();
      break;
    case kIMPN_ToolMeasure:
      WKRX_CursorManager::SetCrossCursor();
      break;
    case kIMPN_ToolZoom:
      if (KeyDown(VK_SHIFT) ? m_ZoomLevel < kIMPN_ZoomLevel1to512
                            : m_ZoomLevel > kIMPN_ZoomLevel8to1) {
        if (KeyDown(VK_SHIFT))
          WKRX_CursorManager::SetZoomOutCursor();
        else
          WKRX_CursorManager::SetZoomInCursor();
      } else {
        WKRX_CursorManager::SetZoomLimitCursor();
      }
      break;
    case kIMPN_ToolDensitometerNoFrame:
    case kIMPN_ToolDensitometer:
      WKRX_CursorManager::SetEyedropperCursor();
      break;
    case kIMPN_ToolHorizontalGuide:
      if (sideways)
        WKRX_CursorManager::SetShiftGuideVertCursor();
      else
        WKRX_CursorManager::SetShiftGuideHorzCursor();
      break;
    case kIMPN_ToolVerticalGuide:
      if (sideways)
        WKRX_CursorManager::SetShiftGuideHorzCursor();
      else
        WKRX_CursorManager::SetShiftGuideVertCursor();
      break;
    case kIMPN_ToolFrameTop:
    case kIMPN_ToolFrameBottom:
      WKRX_CursorManager::SetResizeUpDownCursor();
      break;
    case kIMPN_ToolFrameLeft:
    case kIMPN_ToolFrameRight:
      WKRX_CursorManager::SetResizeLeftRightCursor();
      break;
    case kIMPN_ToolFrameInside:
      WKRX_CursorManager::SetMoveCursor();
      break;
    default:
      break;
  }
}

LRESULT WKRX_SheetView::OnSetCursor(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if (m_Sheet == nullptr || LOWORD(lParam) != HTCLIENT) {
    handled = FALSE;
    return 0;
  }
  if (m_Tracking)
    return TRUE;
  POINT client;
  ::GetCursorPos(&client);
  ::ScreenToClient(m_hWnd, &client);
  m_ToolMode = ChooseTool(client);
  SetToolCursor(m_ToolMode);
  if (m_ToolMode > kIMPN_ToolFrameInside || m_ToolMode == kWKRX_ToolPlaceHorizontalGuide ||
      m_ToolMode == kWKRX_ToolPlaceVerticalGuide || m_ToolMode == kWKRX_ToolMoveOrigin) {
    handled = FALSE;
    return 0;
  }
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Press

LRESULT WKRX_SheetView::OnButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if (m_Sheet == nullptr) {
    handled = FALSE;
    return 0;
  }
  const POINT client = PointOf(lParam);
  long guide = -1;
  m_ToolMode = DetermineActiveTool(ClientToView(client), KeyDown(VK_CONTROL), KeyDown(VK_MENU),
                                   KeyDown(VK_SPACE), guide);
  m_Tracking = true;
  m_PressPoint = m_LastPoint = client;
  switch (m_ToolMode) {
    case kIMPN_ToolPan:
      WKRX_CursorManager::SetClosedHandCursor();
      SetCapture();
      break;
    case kIMPN_ToolMeasure: {
      SetCapture();
      m_AxisLock = 0;
      const IMPN_PointT<long> at = ClientToView(client);
      m_PressInside = at.x >= 0 && at.y >= 0 && at.x <= DisplayedWidth(m_ZoomLevel) &&
                      at.y <= DisplayedHeight(m_ZoomLevel);
      ::SendMessageW(m_Frame, WKRX_WM_SHOWPALETTE, kWKRX_MeasurementPaletteCommand, 0);
      break;
    }
    case kIMPN_ToolZoom: {
      const long old = m_ZoomLevel;
      const IMPN_PointT<long> at = ClientToView(client);
      if (KeyDown(VK_SHIFT)) {
        if (m_ZoomLevel <= kIMPN_ZoomLevel1to256)
          ZoomOut(at, false);
      } else if (m_ZoomLevel >= kIMPN_ZoomLevel4to1) {
        ZoomIn(at, false);
      }
      if (old == m_ZoomLevel)
        WKRX_CursorManager::SetZoomLimitCursor();
      IMPN_RectT<double> frame = GetNormalizedViewFrame();
      ::SendMessageW(m_Frame, WKRX_WM_ZOOMLEVELCHANGED,
                     static_cast<WPARAM>(old | static_cast<long>(m_ZoomLevel) << 16),
                     reinterpret_cast<LPARAM>(&frame));
      EraseAndRefreshView();
      break;
    }
    case kIMPN_ToolDensitometerNoFrame:
    case kIMPN_ToolDensitometer:
      ResetDensitometerFrame();
      RefreshView();
      [[fallthrough]];
    case kIMPN_ToolFrameTop:
    case kIMPN_ToolFrameBottom:
    case kIMPN_ToolFrameLeft:
    case kIMPN_ToolFrameRight:
    case kIMPN_ToolFrameInside: {
      const IMPN_RectT<long> r = ImageRectToViewFrameRect(m_DensitometerFrame);
      m_FrameAtPress = RECT{r.left - m_ptOffset.x, r.top - m_ptOffset.y,
                            r.left + r.width - m_ptOffset.x, r.top + r.height - m_ptOffset.y};
      m_Band = RECT{0, 0, 0, 0};
      SetCapture();
      break;
    }
    case kIMPN_ToolHorizontalGuide:
    case kIMPN_ToolVerticalGuide: {
      const bool horizontal = m_ToolMode == kIMPN_ToolHorizontalGuide;
      IMPN_GuideLines& guides = ViewedGuideLines();
      (horizontal ? guides.horizontal : guides.vertical).erase(guide);
      const SIZE size = ClientSize();
      const bool sideways = m_Rotation == 90 || m_Rotation == 270;
      m_GuideIsHorizontal = horizontal != sideways;
      const RECT band = m_GuideIsHorizontal ? RECT{0, client.y - 2, size.cx, client.y + 3}
                                            : RECT{client.x - 2, 0, client.x + 3, size.cy};
      InvalidateRect(&band, TRUE);
      m_Marker = IMPN_PointT<long>(kNoMarker, kNoMarker);
      SetToolCursor(m_ToolMode);
      SetCapture();
      break;
    }
    default:
      break;
  }
  return 0;
}

LRESULT WKRX_SheetView::OnBeginGuideDrag(UINT, WPARAM wParam, LPARAM, BOOL&) {
  m_ToolMode = wParam != 0 ? kWKRX_ToolPlaceHorizontalGuide : kWKRX_ToolPlaceVerticalGuide;
  m_GuideIsHorizontal = wParam != 0;
  if (wParam != 0)
    WKRX_CursorManager::SetPlaceGuideHorzCursor();
  else
    WKRX_CursorManager::SetPlaceGuideVertCursor();
  m_Tracking = true;
  m_Marker = IMPN_PointT<long>(kNoMarker, kNoMarker);
  SetCapture();
  return 0;
}

LRESULT WKRX_SheetView::OnBeginOriginDrag(UINT, WPARAM, LPARAM, BOOL&) {
  m_ToolMode = kWKRX_ToolMoveOrigin;
  WKRX_CursorManager::SetSetOriginCursor();
  m_Tracking = true;
  m_Marker = IMPN_PointT<long>(kNoMarker, kNoMarker);
  SetCapture();
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Move

LRESULT WKRX_SheetView::OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  if (m_Sheet == nullptr) {
    handled = FALSE;
    return 0;
  }
  const POINT client = PointOf(lParam);
  const IMPN_PointT<long> at = ClientToView(client);
  IMPN_PointT<double> units = UnitLengths(at);
  ::SendMessageW(GetParent(), WKRX_WM_CURSORPOSITION, reinterpret_cast<WPARAM>(&units), 0);
  const bool buttonDown = (wParam & MK_LBUTTON) != 0;
  const bool shift = (wParam & MK_SHIFT) != 0;
  bool measured = false;
  if (m_ToolMode == kIMPN_ToolDensitometerNoFrame && !buttonDown) {
    const long d = m_ZoomLevel == kIMPN_ZoomLevel8to1   ? 8
                   : m_ZoomLevel == kIMPN_ZoomLevel4to1 ? 4
                   : m_ZoomLevel == kIMPN_ZoomLevel2to1 ? 2
                                                        : 1;
    const long x = at.x >= 0 ? at.x / d * d : (at.x - d + 1) / d * d;
    const long y = at.y >= 0 ? at.y / d * d : (at.y - d + 1) / d * d;
    SendDensitometer(ViewFrameRectToImageRect(IMPN_RectT<long>(y, x, d, d)));
  } else if (buttonDown && m_Tracking) {
    switch (m_ToolMode) {
      case kIMPN_ToolPan:
        SetScrollOffset(m_ptOffset.x - (client.x - m_LastPoint.x),
                        m_ptOffset.y - (client.y - m_LastPoint.y), TRUE);
        m_LastPoint = client;
        break;
      case kIMPN_ToolMeasure:
        MeasureTo(client, shift);
        measured = true;
        break;
      case kWKRX_ToolPlaceHorizontalGuide:
      case kWKRX_ToolPlaceVerticalGuide:
      case kIMPN_ToolHorizontalGuide:
      case kIMPN_ToolVerticalGuide:
      case kWKRX_ToolMoveOrigin:
        MoveMarker(client);
        break;
      case kIMPN_ToolDensitometerNoFrame:
      case kIMPN_ToolDensitometer:
      case kIMPN_ToolFrameTop:
      case kIMPN_ToolFrameBottom:
      case kIMPN_ToolFrameLeft:
      case kIMPN_ToolFrameRight:
      case kIMPN_ToolFrameInside:
        TrackDensitometer(client, shift);
        break;
      default:
        break;
    }
  }
  if (!measured)
    ::SendMessageW(m_Frame, WKRX_WM_MEASUREMENTCHANGED, reinterpret_cast<WPARAM>(&units), 0);
  return 0;
}

void WKRX_SheetView::MoveMarker(POINT client) {
  const IMPN_PointT<long> at = ClientToView(client);
  if (at == m_Marker)
    return;
  m_Marker = at;
  ShowFeedback(MarkerLines());
}

void WKRX_SheetView::MeasureTo(POINT client, bool shift) {
  IMPN_PointT<double> pointer = UnitLengths(ClientToView(client));
  // A press beside the image, or a sheet without a resolution, measures nothing.
  if (!m_PressInside || !HasResolution()) {
    ::SendMessageW(m_Frame, WKRX_WM_MEASUREMENTCHANGED, reinterpret_cast<WPARAM>(&pointer), 0);
    return;
  }
  const long maxX = DisplayedWidth(m_ZoomLevel) - m_ptOffset.x;
  const long maxY = DisplayedHeight(m_ZoomLevel) - m_ptOffset.y;
  POINT current{std::clamp<long>(client.x, -m_ptOffset.x, maxX),
                std::clamp<long>(client.y, -m_ptOffset.y, maxY)};
  if (shift) {
    if (m_AxisLock == 0)
      m_AxisLock =
          std::labs(current.y - m_PressPoint.y) < std::labs(current.x - m_PressPoint.x) ? 1 : 2;
  } else {
    m_AxisLock = 0;
  }
  if (m_AxisLock == 1)
    current.y = m_PressPoint.y;
  else if (m_AxisLock == 2)
    current.x = m_PressPoint.x;

  const POINT p = m_PressPoint;
  std::vector<Polyline> lines = {{POINT{p.x - 5, p.y}, POINT{p.x + 6, p.y}},
                                 {POINT{p.x, p.y - 5}, POINT{p.x, p.y + 6}}};
  if (current.x != p.x || current.y != p.y)
    lines.push_back({p, current});
  ShowFeedback(std::move(lines));

  IMPN_PointT<double> at = UnitLengths(ClientToView(current));
  const IMPN_PointT<double> from = UnitLengths(ClientToView(p));
  double distances[2] = {at.x - from.x, at.y - from.y};
  ::SendMessageW(m_Frame, WKRX_WM_MEASUREMENTCHANGED, reinterpret_cast<WPARAM>(&at),
                 reinterpret_cast<LPARAM>(distances));
}

void WKRX_SheetView::TrackDensitometer(POINT client, bool shift) {
  const long x =
      std::clamp<long>(client.x, -m_ptOffset.x, DisplayedWidth(m_ZoomLevel) - m_ptOffset.x);
  const long y =
      std::clamp<long>(client.y, -m_ptOffset.y, DisplayedHeight(m_ZoomLevel) - m_ptOffset.y);
  const long dx = x - m_PressPoint.x;
  const long dy = y - m_PressPoint.y;
  RECT band = m_FrameAtPress;
  switch (m_ToolMode) {
    case kIMPN_ToolDensitometerNoFrame:
    case kIMPN_ToolDensitometer: {
      long ex = x;
      long ey = y;
      if (shift) {
        const long side = std::min(std::labs(dx), std::labs(dy));
        ex = m_PressPoint.x + (dx < 0 ? -side : side);
        ey = m_PressPoint.y + (dy < 0 ? -side : side);
      }
      band = Normalised(m_PressPoint.x, m_PressPoint.y, ex, ey);
      break;
    }
    case kIMPN_ToolFrameTop:
      band.top = std::min(m_FrameAtPress.top + dy, m_FrameAtPress.bottom - 2);
      break;
    case kIMPN_ToolFrameBottom:
      band.bottom = std::max(m_FrameAtPress.bottom + dy, m_FrameAtPress.top + 2);
      break;
    case kIMPN_ToolFrameLeft:
      band.left = std::min(m_FrameAtPress.left + dx, m_FrameAtPress.right - 2);
      break;
    case kIMPN_ToolFrameRight:
      band.right = std::max(m_FrameAtPress.right + dx, m_FrameAtPress.left + 2);
      break;
    case kIMPN_ToolFrameInside:
      OffsetRect(&band, dx, dy);
      break;
    default:
      break;
  }
  m_Band = band;
  ShowFeedback(
      {{POINT{band.left, band.top}, POINT{band.left, band.bottom}, POINT{band.right, band.bottom},
        POINT{band.right, band.top}, POINT{band.left, band.top}}});
}

// ---------------------------------------------------------------------------------------------
// Release

LRESULT WKRX_SheetView::OnButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (!m_Tracking)
    return 0;
  m_Tracking = false;
  const POINT client = PointOf(lParam);
  const SIZE size = ClientSize();
  const bool inside = client.x >= 0 && client.y >= 0 && client.x < size.cx && client.y < size.cy;
  HideFeedback();
  m_Feedback.clear();
  switch (m_ToolMode) {
    case kIMPN_ToolPan:
      WKRX_CursorManager::SetOpenHandCursor();
      ReleaseCapture();
      m_LastPoint = POINT{0, 0};
      SendFrameChanged();
      break;
    case kIMPN_ToolMeasure:
      ReleaseCapture();
      m_PressPoint = POINT{0, 0};
      break;
    case kWKRX_ToolPlaceHorizontalGuide:
    case kWKRX_ToolPlaceVerticalGuide:
    case kIMPN_ToolHorizontalGuide:
    case kIMPN_ToolVerticalGuide:
      ReleaseCapture();
      if (inside && !(m_Marker.x == kNoMarker && m_Marker.y == kNoMarker)) {
        InsertGuide();
        RefreshView();
      }
      m_Marker = IMPN_PointT<long>(kNoMarker, kNoMarker);
      break;
    case kWKRX_ToolMoveOrigin:
      ReleaseCapture();
      if (inside && !(m_Marker.x == kNoMarker && m_Marker.y == kNoMarker)) {
        PlaceOrigin();
        RefreshView();
      }
      m_Marker = IMPN_PointT<long>(kNoMarker, kNoMarker);
      break;
    case kIMPN_ToolDensitometerNoFrame:
    case kIMPN_ToolDensitometer:
    case kIMPN_ToolFrameTop:
    case kIMPN_ToolFrameBottom:
    case kIMPN_ToolFrameLeft:
    case kIMPN_ToolFrameRight:
    case kIMPN_ToolFrameInside: {
      const RECT& b = m_Band;
      const IMPN_RectT<long> view(b.top + m_ptOffset.y, b.left + m_ptOffset.x, b.right - b.left,
                                  b.bottom - b.top);
      m_DensitometerFrame = ViewFrameRectToImageRect(view);
      SendDensitometer(m_DensitometerFrame);
      ReleaseCapture();
      m_PressPoint = POINT{0, 0};
      m_Band = m_FrameAtPress = RECT{0, 0, 0, 0};
      RefreshView();
      break;
    }
    default:
      ReleaseCapture();
      break;
  }
  return 0;
}

void WKRX_SheetView::InsertGuide() {
  const double f = ZoomFactor();
  const double w1 = static_cast<double>(m_Sheet->GetImageWidth(kIMPN_ZoomLevel1to1));
  const double l1 = static_cast<double>(m_Sheet->GetImageLength(kIMPN_ZoomLevel1to1));
  const double x = m_Marker.x / f;
  const double y = m_Marker.y / f;
  IMPN_GuideLines& guides = ViewedGuideLines();
  if (m_GuideIsHorizontal) {
    switch (m_Rotation) {
      case 90:
        guides.vertical.insert(MATH_Round(y));
        break;
      case 180:
        guides.horizontal.insert(MATH_Round(l1 - y));
        break;
      case 270:
        guides.vertical.insert(MATH_Round(w1 - y));
        break;
      default:
        guides.horizontal.insert(MATH_Round(y));
        break;
    }
  } else {
    switch (m_Rotation) {
      case 90:
        guides.horizontal.insert(MATH_Round(l1 - x));
        break;
      case 180:
        guides.vertical.insert(MATH_Round(w1 - x));
        break;
      case 270:
        guides.horizontal.insert(MATH_Round(x));
        break;
      default:
        guides.vertical.insert(MATH_Round(x));
        break;
    }
  }
}

void WKRX_SheetView::PlaceOrigin() {
  // The marker goes to base space as a guide does, so that it reads zero at every rotation.
  const double f = ZoomFactor();
  const double w1 = static_cast<double>(m_Sheet->GetImageWidth(kIMPN_ZoomLevel1to1));
  const double l1 = static_cast<double>(m_Sheet->GetImageLength(kIMPN_ZoomLevel1to1));
  const double x = m_Marker.x / f;
  const double y = m_Marker.y / f;
  double bx = x, by = y;
  switch (m_Rotation) {
    case 90:
      bx = y, by = l1 - x;
      break;
    case 180:
      bx = w1 - x, by = l1 - y;
      break;
    case 270:
      bx = w1 - y, by = x;
      break;
    default:
      break;
  }
  m_UnitOriginX = MATH_Round(bx);
  m_UnitOriginY = MATH_Round(by);
}

void WKRX_SheetView::SendDensitometer(const IMPN_RectT<long>& rect) {
  IMPN_RectT<long> copy = rect;
  ::SendMessageW(m_Frame, WKRX_WM_DENSITOMETERMOVED, 0, reinterpret_cast<LPARAM>(&copy));
}
