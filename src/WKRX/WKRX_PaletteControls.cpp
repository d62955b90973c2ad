#include "WKRX/WKRX_PaletteControls.h"

#include "WKRX/WKRX_PaletteMessages.h"

namespace {

// Half of each byte; black would stay black, so a pressed black swatch shows white instead.
COLORREF Darkened(COLORREF color) {
  if (color == 0)
    return RGB(255, 255, 255);
  return RGB(GetRValue(color) / 2, GetGValue(color) / 2, GetBValue(color) / 2);
}

void FillTriangle(HDC dc, const POINT (&corners)[3], COLORREF color) {
  WTL::CBrush brush(CreateSolidBrush(color));
  WTL::CPen pen(CreatePen(PS_SOLID, 1, color));
  const HGDIOBJ oldBrush = SelectObject(dc, static_cast<HBRUSH>(brush));
  const HGDIOBJ oldPen = SelectObject(dc, static_cast<HPEN>(pen));
  Polygon(dc, corners, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

}  // namespace

WKRX_OwnedIcon WKRX_LoadIcon(UINT id, int size) {
  return WKRX_OwnedIcon(static_cast<HICON>(
      ATL::AtlLoadImage(MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

// --- ink swatch

WKRX_InkSwatchControl::WKRX_InkSwatchControl()
    : m_UnknownInk(ATL::AtlLoadBitmap(MAKEINTRESOURCEW(WKRX_Ids::kBitmapUnknownInk))) {}

void WKRX_InkSwatchControl::SetDefaultColor(COLORREF color) {
  if (color == m_First && !m_Unknown)
    return;
  m_Unknown = false;
  m_First = color;
  Repaint();
}

void WKRX_InkSwatchControl::SetCurrentColor(COLORREF color) {
  m_Second = color;
  Repaint();
}

void WKRX_InkSwatchControl::SetFramed(bool framed) {
  if (framed == m_Framed)
    return;
  m_Framed = framed;
  Repaint();
}

void WKRX_InkSwatchControl::Repaint() {
  if (IsWindow())
    Invalidate(FALSE);
}

void WKRX_InkSwatchControl::DrawItem(LPDRAWITEMSTRUCT item) {
  const HDC dc = item->hDC;
  const int saved = SaveDC(dc);
  const bool disabled = (item->itemState & ODS_DISABLED) != 0;
  const bool pressed = (item->itemState & ODS_SELECTED) != 0 && !disabled;
  const COLORREF frame = disabled ? RGB(0xBB, 0xBB, 0xBB) : RGB(0, 0, 0);
  const COLORREF first = pressed ? Darkened(m_First) : m_First;
  const COLORREF second = pressed ? Darkened(m_Second) : m_Second;

  RECT inner = item->rcItem;
  if (m_Framed) {
    WTL::CBrush brush(CreateSolidBrush(frame));
    FrameRect(dc, &inner, static_cast<HBRUSH>(brush));
    InflateRect(&inner, -1, -1);
    FrameRect(dc, &inner, static_cast<HBRUSH>(brush));
    InflateRect(&inner, -1, -1);
  } else {
    InflateRect(&inner, -2, -2);
  }

  if (m_Unknown) {
    if (!m_UnknownInk.IsNull()) {
      const HDC source = CreateCompatibleDC(dc);
      const HGDIOBJ old = SelectObject(source, static_cast<HBITMAP>(m_UnknownInk));
      BitBlt(dc, inner.left, inner.top, 16, 16, source, 0, 0, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
    }
  } else if (first == second) {
    WTL::CBrush brush(CreateSolidBrush(first));
    FillRect(dc, &inner, static_cast<HBRUSH>(brush));
  } else {
    // Polygon fills include the right and bottom edges of the outline: the corners are one
    // pixel in so that nothing is drawn outside the inner rectangle.
    const LONG l = inner.left;
    const LONG t = inner.top;
    const LONG r = inner.right - 1;
    const LONG b = inner.bottom - 1;
    FillTriangle(dc, {{r, b}, {r, t}, {l, b}}, second);
    FillTriangle(dc, {{l, t}, {l, b}, {r, t}}, first);
  }
  RestoreDC(dc, saved);
}

// --- ink type

WKRX_InkTypeControl::WKRX_InkTypeControl()
    : m_OpaqueNormal(WKRX_LoadIcon(WKRX_Ids::kIconInkOpaque, 16)),
      m_OpaquePressed(WKRX_LoadIcon(WKRX_Ids::kIconInkOpaquePressed, 16)),
      m_TransparentNormal(WKRX_LoadIcon(WKRX_Ids::kIconInkTransparent, 16)),
      m_TransparentPressed(WKRX_LoadIcon(WKRX_Ids::kIconInkTransparentPressed, 16)) {}

void WKRX_InkTypeControl::SetState(bool transparent) {
  if (transparent == m_State)
    return;
  m_State = transparent;
  if (IsWindow())
    Invalidate(FALSE);
}

void WKRX_InkTypeControl::DrawItem(LPDRAWITEMSTRUCT item) {
  const bool pressed = (item->itemState & ODS_SELECTED) != 0;
  const WKRX_OwnedIcon& icon = m_State ? (pressed ? m_TransparentPressed : m_TransparentNormal)
                                       : (pressed ? m_OpaquePressed : m_OpaqueNormal);
  if (icon)
    DrawIconEx(item->hDC, item->rcItem.left, item->rcItem.top, icon.get(), 16, 16, 0, nullptr,
               DI_NORMAL);
}

// --- text box

void WKRX_TextBoxButton::SetTextIndex(size_t index) {
  if (index >= m_Texts.size())
    return;
  m_Index = index;
  if (IsWindow())
    Invalidate(FALSE);
}

void WKRX_TextBoxButton::ShowNextText() {
  if (m_Texts.empty())
    return;
  m_Index = (m_Index + 1) % m_Texts.size();
  if (IsWindow())
    Invalidate(FALSE);
}

void WKRX_TextBoxButton::DrawItem(LPDRAWITEMSTRUCT item) {
  const HDC dc = item->hDC;
  const int saved = SaveDC(dc);
  RECT rect = item->rcItem;
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  if (m_Index < m_Texts.size()) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    const HFONT font = GetFont();
    if (font != nullptr)
      SelectObject(dc, font);
    const GLIB_WString& text = m_Texts[m_Index];
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_WORD_ELLIPSIS | DT_NOPREFIX);
  }
  RestoreDC(dc, saved);
}

void WKRX_TextBoxButton::CancelTracking() {
  TRACKMOUSEEVENT cancel{sizeof(cancel), TME_CANCEL | TME_HOVER | TME_LEAVE, m_hWnd, 0};
  TrackMouseEvent(&cancel);
  m_Tracking = false;
}

LRESULT WKRX_TextBoxButton::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  CancelTracking();
  TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, kHoverTime};
  m_Tracking = TrackMouseEvent(&track) != FALSE;
  handled = FALSE;
  return 0;
}

LRESULT WKRX_TextBoxButton::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled) {
  CancelTracking();
  handled = FALSE;
  return 0;
}

LRESULT WKRX_TextBoxButton::OnMouseHover(UINT, WPARAM, LPARAM lParam, BOOL&) {
  CancelTracking();
  const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ::SendMessageW(GetParent(), WKRX_WM_BEGINPANELDRAG, static_cast<WPARAM>(MAKELONG(at.x, at.y)), 0);
  return 0;
}

LRESULT WKRX_TextBoxButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
  CancelTracking();
  return 0;
}

// --- icon button

WKRX_IconButton::WKRX_IconButton(UINT normalIcon, UINT pressedIcon, int size)
    : m_Normal(WKRX_LoadIcon(normalIcon, size)),
      m_Pressed(WKRX_LoadIcon(pressedIcon, size)),
      m_Size(size) {}

void WKRX_IconButton::DrawItem(LPDRAWITEMSTRUCT item) {
  const bool pressed = (item->itemState & ODS_SELECTED) != 0;
  const WKRX_OwnedIcon& icon = pressed ? m_Pressed : m_Normal;
  if (!icon)
    return;
  const RECT& rect = item->rcItem;
  const int x = rect.left + (rect.right - rect.left - m_Size) / 2;
  const int y = rect.top + (rect.bottom - rect.top - m_Size) / 2;
  DrawIconEx(item->hDC, x, y, icon.get(), m_Size, m_Size, 0, nullptr, DI_NORMAL);
}

// --- track bar

HWND WKRX_TrackBarCtrl::Create(HWND parent, const RECT& rect, UINT id) {
  RECT bounds = rect;
  const HWND created = ATL::CWindowImpl<WKRX_TrackBarCtrl>::Create(
      parent, bounds, nullptr, WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS, 0, id);
  if (created != nullptr) {
    ::SendMessageW(created, TBM_SETRANGEMIN, FALSE, 0);
    ::SendMessageW(created, TBM_SETRANGEMAX, TRUE, 100);
  }
  return created;
}

LRESULT WKRX_TrackBarCtrl::OnCustomDraw(int, LPNMHDR header, BOOL&) {
  const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(header);
  return draw->dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
}
