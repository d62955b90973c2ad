#include "WKRX/WKRX_NavigationWindow.h"

#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_ThumbnailImage.h"
#include "WKRX/WKRX_CursorManager.h"
#include "WKRX/WKRX_PageEdges.h"
#include "WKRX/WKRX_SheetView.h"
#include "WKRX/WKRX_TilePixels.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace {

// Thumbnail sizes come from the files; anything beyond this is no thumbnail at all.
constexpr long kLargestThumbnailSide = 0x7FFF;

long BoundedSide(std::uint32_t side) {
  return side <= static_cast<std::uint32_t>(kLargestThumbnailSide) ? static_cast<long>(side) : 0;
}

COLORREF ColourRef(const IMPN_RGBAColor8& colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  if (rect.right <= rect.left || rect.bottom <= rect.top)
    return;
  const COLORREF previous = SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

// Blends the turned thumbnail onto dc, only inside clip.
void BlendInside(HDC dc, const WKRX_TilePixels& pixels, const RECT& clip, BYTE alpha) {
  if (pixels.IsEmpty() || clip.right <= clip.left || clip.bottom <= clip.top)
    return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  const BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, 0};
  pixels.BlendOnto(dc, blend);
  RestoreDC(dc, saved);
}

RECT Intersection(const RECT& a, const RECT& b) {
  RECT r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
  if (r.right < r.left)
    r.right = r.left;
  if (r.bottom < r.top)
    r.bottom = r.top;
  return r;
}

POINT PointOf(LPARAM lParam) {
  return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Arithmetic

namespace WKRX_Navigation {

SIZE TurnedExtent(long width, long length, long rotation) {
  if (rotation == 90 || rotation == 270)
    return SIZE{length, width};
  return SIZE{width, length};
}

RECT UprightFrame(const RECT& f, long w, long l, long rotation) {
  switch (rotation) {
    case 90:
      return RECT{f.top, l - f.right, f.bottom, l - f.left};
    case 180:
      return RECT{w - f.right, l - f.bottom, w - f.left, l - f.top};
    case 270:
      return RECT{w - f.bottom, f.left, w - f.top, f.right};
    default:
      return f;
  }
}

WKRX_ViewTransform ThumbnailTransform(long width, long length, long rotation, POINT offset) {
  // The sheet view's turn, about the thumbnail instead of the level image.
  const double w = static_cast<double>(width);
  const double l = static_cast<double>(length);
  WKRX_ViewTransform t;
  switch (rotation) {
    case 90:
      t = WKRX_ViewTransform{0, 1, -1, 0, l, 0};
      break;
    case 180:
      t = WKRX_ViewTransform{-1, 0, 0, -1, w, l};
      break;
    case 270:
      t = WKRX_ViewTransform{0, -1, 1, 0, 0, w};
      break;
    default:
      break;
  }
  t.dx += offset.x;
  t.dy += offset.y;
  return t;
}

POINT CentringOffset(SIZE client, SIZE turned) {
  return POINT{(client.cx - turned.cx) / 2, (client.cy - turned.cy) / 2};
}

namespace {
// One axis of MoveInside.
void MoveAxis(LONG& low, LONG& high, long d, long extent) {
  const long size = high - low;
  if (size > extent)
    return;
  const long moved = std::clamp<long>(low + d, 0, extent - size);
  low = moved;
  high = moved + size;
}
}  // namespace

RECT MoveInside(const RECT& frame, long dx, long dy, SIZE extent) {
  RECT r = frame;
  MoveAxis(r.left, r.right, dx, extent.cx);
  MoveAxis(r.top, r.bottom, dy, extent.cy);
  return r;
}

RECT FrameFromFractions(const IMPN_RectT<double>& f, long width, long length) {
  const double w = static_cast<double>(width);
  const double l = static_cast<double>(length);
  // Fractions beyond any sensible range (or NaN) leave nothing to show.
  const auto trunc = [](double v) {
    return std::isfinite(v) ? static_cast<long>(std::clamp(v, -1e9, 1e9)) : 0L;
  };
  return RECT{trunc(w * f.left), trunc(l * f.top), trunc(w * (f.left + f.width)),
              trunc(l * (f.top + f.height))};
}

BYTE VeilAlpha(int percent) {
  return static_cast<BYTE>((100 - std::clamp(percent, 0, 100)) * 255 / 100);
}

}  // namespace WKRX_Navigation

// ---------------------------------------------------------------------------------------------
// State

void WKRX_NavigationWindow::SetView(WKRX_SheetView& view) {
  m_Sheet = view.Sheet();
  m_FrontShown = !view.BackSideShown();
  m_Rotation = view.Rotation();
  m_ShowPageEdges = view.PageEdgesShown();
  m_ShowPageNumbers = view.PageNumbersShown();
  m_Reduction = 1.0;
  m_Width = m_Length = 0;
  if (m_Sheet != nullptr) {
    m_Reduction = static_cast<double>(m_Sheet->GetScale());
    m_Width = BoundedSide(m_Sheet->GetThumbnailWidth());
    m_Length = BoundedSide(m_Sheet->GetThumbnailLength());
  }
  m_ViewFrame = RECT{0, 0, 0, 0};
  SideChanged();
  Repaint();
}

void WKRX_NavigationWindow::SideChanged() {
  if (m_Sheet == nullptr) {
    m_SideEmpty = false;
    return;
  }
  const IMPN_Surface& side = m_FrontShown ? m_Sheet->GetFrontSurface() : m_Sheet->GetBackSurface();
  m_SideEmpty = !side.HasSeparations();
}

SIZE WKRX_NavigationWindow::Turned() const {
  return WKRX_Navigation::TurnedExtent(m_Width, m_Length, m_Rotation);
}

SIZE WKRX_NavigationWindow::PreferredSize() const {
  const long caption = dockwins::COutlookLikeCaption::Thickness();
  if (IsDocking()) {
    const long side = std::max(m_Width, m_Length);
    return SIZE{side, side + caption};
  }
  const SIZE turned = Turned();
  return SIZE{turned.cx + 2 * GetSystemMetrics(SM_CXFRAME),
              turned.cy + GetSystemMetrics(SM_CYFRAME) + caption};
}

void WKRX_NavigationWindow::GetMinMaxInfo(MINMAXINFO* info) {
  if (m_Sheet != nullptr) {
    const SIZE preferred = PreferredSize();
    info->ptMinTrackSize = POINT{preferred.cx, preferred.cy};
    return;
  }
  const long caption = dockwins::COutlookLikeCaption::Thickness();
  info->ptMinTrackSize.x = std::max<long>(info->ptMinTrackSize.x, caption);
  info->ptMinTrackSize.y = std::max<long>(info->ptMinTrackSize.y, caption);
}

void WKRX_NavigationWindow::Repaint() {
  if (m_hWnd != nullptr)
    Invalidate(FALSE);
}

// ---------------------------------------------------------------------------------------------
// Messages from the frame

LRESULT WKRX_NavigationWindow::OnViewFrameChanged(UINT, WPARAM, LPARAM lParam, BOOL&) {
  const auto* fractions = reinterpret_cast<const IMPN_RectT<double>*>(lParam);
  if (fractions == nullptr)
    return 0;
  m_ViewFrame = WKRX_Navigation::FrameFromFractions(*fractions, m_Width, m_Length);
  Repaint();
  return 0;
}

LRESULT WKRX_NavigationWindow::OnSideShown(UINT, WPARAM wParam, LPARAM, BOOL&) {
  if (m_Sheet == nullptr)
    return 0;
  m_FrontShown = wParam != 0;
  SideChanged();
  Repaint();
  return 0;
}

LRESULT WKRX_NavigationWindow::OnOverlaySwitch(UINT message, WPARAM, LPARAM, BOOL&) {
  switch (message) {
    case WKRX_WM_PAGEEDGESSHOWN:
    case WKRX_WM_PAGEEDGESHIDDEN:
      m_ShowPageEdges = message == WKRX_WM_PAGEEDGESSHOWN;
      break;
    default:
      m_ShowPageNumbers = message == WKRX_WM_PAGENUMBERSSHOWN;
      break;
  }
  Repaint();
  return 0;
}

LRESULT WKRX_NavigationWindow::OnSheetContentChanged(UINT, WPARAM, LPARAM, BOOL&) {
  Repaint();
  return 0;
}

LRESULT WKRX_NavigationWindow::OnRotationChanged(UINT, WPARAM wParam, LPARAM, BOOL&) {
  m_Rotation = static_cast<long>(wParam);
  if (m_hWnd != nullptr && !IsDocking()) {
    const SIZE preferred = PreferredSize();
    SetWindowPos(nullptr, 0, 0, preferred.cx, preferred.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Repaint();
  return 0;
}

LRESULT WKRX_NavigationWindow::OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  const UINT message =
      LOWORD(wParam) == WA_INACTIVE ? WKRX_WM_PALETTEDEACTIVATED : WKRX_WM_PALETTEACTIVATED;
  ::SendMessageW(m_hDockHost, message, kWKRX_NavigationPaletteCommand, lParam);
  handled = FALSE;
  return 0;
}

LRESULT WKRX_NavigationWindow::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  ::SendMessageW(m_hDockHost, WKRX_WM_PALETTEHIDDEN, kWKRX_NavigationPaletteCommand,
                 reinterpret_cast<LPARAM>(m_hWnd));
  // The docking base hides the palette.
  handled = FALSE;
  return 0;
}

LRESULT WKRX_NavigationWindow::OnSetCursor(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
  if (LOWORD(lParam) != HTCLIENT || m_Sheet == nullptr) {
    handled = FALSE;
    return 0;
  }
  POINT pointer;
  GetCursorPos(&pointer);
  ScreenToClient(&pointer);
  const POINT p = ToThumbnail(pointer);
  if (PtInRect(&m_ViewFrame, p))
    WKRX_CursorManager::SetOpenHandCursor();
  else
    WKRX_CursorManager::SetCrossCursor();
  return TRUE;
}

LRESULT WKRX_NavigationWindow::OnSize(UINT, WPARAM, LPARAM, BOOL& handled) {
  // The picture is centred: all of it moves when the size changes.
  Repaint();
  handled = FALSE;
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Mouse

POINT WKRX_NavigationWindow::ToThumbnail(POINT client) const {
  RECT rect = {0, 0, 0, 0};
  if (m_hWnd != nullptr)
    GetClientRect(&rect);
  const POINT offset = WKRX_Navigation::CentringOffset(SIZE{rect.right, rect.bottom}, Turned());
  return POINT{client.x - offset.x, client.y - offset.y};
}

bool WKRX_NavigationWindow::InsideThumbnail(POINT p) const {
  const SIZE turned = Turned();
  return p.x >= 0 && p.y >= 0 && p.x < turned.cx && p.y < turned.cy;
}

LRESULT WKRX_NavigationWindow::OnButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  SetCapture();
  m_Press = m_Last = ToThumbnail(PointOf(lParam));
  if (m_Sheet == nullptr || !InsideThumbnail(m_Press)) {
    m_MouseMode = kMouseNone;
  } else if (PtInRect(&m_ViewFrame, m_Press)) {
    WKRX_CursorManager::SetClosedHandCursor();
    m_MouseMode = kMouseMovingFrame;
  } else {
    m_MouseMode = kMousePressed;
  }
  return 0;
}

LRESULT WKRX_NavigationWindow::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (m_MouseMode == kMouseNone)
    return 0;
  const POINT p = ToThumbnail(PointOf(lParam));
  if (m_MouseMode == kMousePressed) {
    const bool close =
        p.x >= m_Press.x - 3 && p.x < m_Press.x + 3 && p.y >= m_Press.y - 3 && p.y < m_Press.y + 3;
    if (!close)
      m_MouseMode = kMouseBand;
  }
  if (m_MouseMode == kMouseMovingFrame) {
    m_ViewFrame =
        WKRX_Navigation::MoveInside(m_ViewFrame, p.x - m_Last.x, p.y - m_Last.y, Turned());
    m_Last = p;
  } else if (m_MouseMode == kMouseBand && p.x != m_Press.x && p.y != m_Press.y) {
    m_ViewFrame = RECT{std::min(p.x, m_Press.x), std::min(p.y, m_Press.y), std::max(p.x, m_Press.x),
                       std::max(p.y, m_Press.y)};
  }
  Repaint();
  return 0;
}

LRESULT WKRX_NavigationWindow::OnButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (GetCapture() == m_hWnd)
    ReleaseCapture();
  const POINT p = ToThumbnail(PointOf(lParam));
  switch (m_MouseMode) {
    case kMousePressed:
      if (InsideThumbnail(p)) {
        const long cx = (m_ViewFrame.left + m_ViewFrame.right) / 2;
        const long cy = (m_ViewFrame.top + m_ViewFrame.bottom) / 2;
        m_ViewFrame = WKRX_Navigation::MoveInside(m_ViewFrame, p.x - cx, p.y - cy, Turned());
        Repaint();
        ScrollViewToFrame();
      }
      break;
    case kMouseMovingFrame:
      WKRX_CursorManager::SetOpenHandCursor();
      ScrollViewToFrame();
      break;
    case kMouseBand:
      ZoomViewToFrame();
      break;
    default:
      break;
  }
  m_Press = POINT{-1, -1};
  m_MouseMode = kMouseNone;
  return 0;
}

void WKRX_NavigationWindow::ScrollViewToFrame() {
  // A thumbnail without size has no fractions to give.
  if (!HasExtent())
    return;
  double fractions[2] = {static_cast<double>(m_ViewFrame.top) / m_Length,
                         static_cast<double>(m_ViewFrame.left) / m_Width};
  ::SendMessageW(m_hDockHost, WKRX_WM_SCROLLVIEWTO, 0, reinterpret_cast<LPARAM>(fractions));
}

void WKRX_NavigationWindow::ZoomViewToFrame() {
  if (!HasExtent())
    return;
  const double w = static_cast<double>(m_Width);
  const double l = static_cast<double>(m_Length);
  IMPN_RectT<double> fractions(m_ViewFrame.top / l, m_ViewFrame.left / w,
                               (m_ViewFrame.right - m_ViewFrame.left) / w,
                               (m_ViewFrame.bottom - m_ViewFrame.top) / l);
  ::SendMessageW(m_hDockHost, WKRX_WM_ZOOMVIEWTORECT, 0, reinterpret_cast<LPARAM>(&fractions));
}

// ---------------------------------------------------------------------------------------------
// Painting

LRESULT WKRX_NavigationWindow::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&) {
  RECT client;
  GetClientRect(&client);
  if (message == WM_PRINTCLIENT) {
    DrawPicture(reinterpret_cast<HDC>(wParam), client);
    return 0;
  }
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(m_hWnd, &paint);
  if (dc != nullptr) {
    {
      WTL::CMemoryDC buffer(dc, client);
      DrawPicture(buffer, client);
    }
    ::EndPaint(m_hWnd, &paint);
  }
  return 0;
}

IMPN_ThumbnailImage* WKRX_NavigationWindow::ShownThumbnail() {
  if (m_Sheet == nullptr)
    return nullptr;
  const bool front = m_SideEmpty ? !m_FrontShown : m_FrontShown;
  IMPN_Surface& surface = front ? m_Sheet->GetFrontSurface() : m_Sheet->GetBackSurface();
  IMPN_ThumbnailImage* thumbnail = surface.GetThumbnailImage();
  if (thumbnail != nullptr &&
      static_cast<std::uint32_t>(thumbnail->GetBitMap().timeStamp) < surface.GetTimeStamp())
    thumbnail->GenerateThumbnailImage(true);
  return thumbnail;
}

void WKRX_NavigationWindow::DrawPicture(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
  IMPN_ThumbnailImage* thumbnail = ShownThumbnail();
  if (m_Sheet == nullptr || !HasExtent())
    return;
  const POINT offset = WKRX_Navigation::CentringOffset(
      SIZE{client.right - client.left, client.bottom - client.top}, Turned());
  const WKRX_ViewTransform place =
      WKRX_Navigation::ThumbnailTransform(m_Width, m_Length, m_Rotation, offset);
  // An empty side shows the other side's picture as seen through the sheet: mirrored.
  const WKRX_ViewTransform picture =
      m_SideEmpty ? WKRX_ViewTransform::Combine(
                        WKRX_ViewTransform{-1, 0, 0, 1, static_cast<double>(m_Width), 0}, place)
                  : place;
  const IMPN_RectT<long> upright(0, 0, m_Width, m_Length);
  const RECT area = place.MapRect(upright);
  WKRX_TilePixels pixels(IMPN_BitMap(), picture);
  if (thumbnail != nullptr)
    pixels = WKRX_TilePixels(thumbnail->GetBitMap(), picture);

  // The veil over the whole thumbnail.
  const IMPN_RGBAColor8& screen = IMPN_Preferences::sm_NavigationScreen;
  FillSolid(dc, area, ColourRef(screen));
  BlendInside(dc, pixels, area, WKRX_Navigation::VeilAlpha(screen.alpha));

  // The frame's veil, then the window inside its one-pixel border.
  const RECT frame = WKRX_Navigation::UprightFrame(m_ViewFrame, m_Width, m_Length, m_Rotation);
  const RECT clipped = Intersection(frame, RECT{0, 0, m_Width, m_Length});
  if (clipped.right > clipped.left && clipped.bottom > clipped.top) {
    const RECT onScreen = place.MapRect(IMPN_RectT<long>(
        clipped.top, clipped.left, clipped.right - clipped.left, clipped.bottom - clipped.top));
    const IMPN_RGBAColor8& border = IMPN_Preferences::sm_NavigationFrame;
    FillSolid(dc, onScreen, ColourRef(border));
    BlendInside(dc, pixels, onScreen, WKRX_Navigation::VeilAlpha(border.alpha));
    const RECT inner = {onScreen.left + 1, onScreen.top + 1, onScreen.right - 1,
                        onScreen.bottom - 1};
    BlendInside(dc, pixels, inner, 255);
  }
  if (!m_SideEmpty)
    DrawPages(dc, place);
}

void WKRX_NavigationWindow::DrawPages(HDC dc, const WKRX_ViewTransform& place) {
  if (!m_ShowPageEdges && !m_ShowPageNumbers)
    return;
  // Without a reduction the pages have no size on the thumbnail.
  if (!(m_Reduction > 0.0))
    return;
  const IMPN_Surface& side = m_FrontShown ? m_Sheet->GetFrontSurface() : m_Sheet->GetBackSurface();
  WKRX_DrawPageEdges(dc, side.GetPageEdges(), place, 1.0 / m_Reduction,
                     RGB(IMPN_Preferences::sm_PageEdgeColor.red,
                         IMPN_Preferences::sm_PageEdgeColor.green,
                         IMPN_Preferences::sm_PageEdgeColor.blue),
                     false, m_ShowPageEdges, m_ShowPageNumbers);
}
