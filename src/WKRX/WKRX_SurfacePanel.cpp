#include "IMPN/IMPN_Surface.h"

#include "WKRX/WKRX_SurfacePanel.h"

#include "USTR/USTR_LocalizedString.h"
#include "WKRX/WKRX_PanelSizing.h"
#include "WKRX/WKRX_SeparationPanel.h"

#include <algorithm>

namespace {

constexpr RECT kLabelRect{2, 5, 92, 21};
constexpr RECT kOpacityRect{95, 1, 265, 25};
constexpr RECT kDensityRect{66, 5, 112, 21};
constexpr long kRightMargin = 5;
constexpr long kGap = 4;
// The short names' track-bar edge, used too when the long names are narrow.
constexpr long kShortTrackBarLeft = 66;

long TextWidth(HWND window, HFONT font, const GLIB_WString& text) {
  const HDC dc = ::GetDC(window);
  const HGDIOBJ old = SelectObject(dc, font);
  RECT rect{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  return rect.right - rect.left;
}

}  // namespace

HWND WKRX_SurfacePanel::Create(HWND parent, const RECT& rect) {
  RECT bounds = rect;
  return ATL::CWindowImpl<WKRX_SurfacePanel>::Create(
      parent, bounds, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
      WS_EX_STATICEDGE | WS_EX_NOPARENTNOTIFY);
}

LRESULT WKRX_SurfacePanel::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  m_Label.Create(m_hWnd, kLabelRect, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0,
                 WKRX_Ids::kControlSurfaceName);
  m_Label.SetFont(font);
  const HWND density = CreateWindowExW(
      0, L"STATIC", L"", WS_CHILD | SS_CENTER, kDensityRect.left, kDensityRect.top,
      kDensityRect.right - kDensityRect.left, kDensityRect.bottom - kDensityRect.top, m_hWnd,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(WKRX_Ids::kControlSurfaceDensity)),
      ATL::_AtlBaseModule.GetModuleInstance(), nullptr);
  m_Density.SubclassWindow(density);
  m_Density.SetFont(font);
  m_Opacity.Create(m_hWnd, kOpacityRect, WKRX_Ids::kControlSurfaceOpacity);
  ShowOpacity();

  const long front =
      TextWidth(m_hWnd, font, iUSTR_GetLocalizedWString(WKRX_Ids::kTextSurfaceFrontLong));
  const long back =
      TextWidth(m_hWnd, font, iUSTR_GetLocalizedWString(WKRX_Ids::kTextSurfaceBackLong));
  m_LongLabelWidth = std::max(front, back);
  m_TrackBarLeft = m_LongLabelWidth < 56 ? kShortTrackBarLeft : m_LongLabelWidth + 10;
  RECT client;
  GetClientRect(&client);
  m_Width = client.right;
  Layout();
  return 0;
}

LRESULT WKRX_SurfacePanel::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
  return WKRX_EraseToButtonFace(m_hWnd, reinterpret_cast<HDC>(wParam));
}

void WKRX_SurfacePanel::SetWidth(long width) {
  WKRX_SetClientWidth(m_hWnd, width);
}

LRESULT WKRX_SurfacePanel::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  m_Width = static_cast<short>(LOWORD(lParam));
  Layout();
  return 0;
}

void WKRX_SurfacePanel::MoveChild(HWND child, long left, long right) {
  RECT rect;
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  ::SetWindowPos(child, nullptr, left, rect.top, std::max(right - left, 0L), rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void WKRX_SurfacePanel::Layout() {
  if (!m_Label.IsWindow())
    return;
  const long width = m_Width;
  const bool trackBar = width >= (m_InfoMode ? kLongNameWidth : kTrackBarWidth);
  long left = width < kLongNameWidth ? kShortTrackBarLeft : m_TrackBarLeft;
  if (m_InfoMode)
    left = kDensityRect.right + kGap;
  MoveChild(m_Opacity, left, width - kRightMargin);
  m_Opacity.ShowWindow(trackBar ? SW_SHOWNA : SW_HIDE);

  if (m_InfoMode || width < kLongNameWidth) {
    m_Label.SetText(iUSTR_GetLocalizedWString(m_Front ? WKRX_Ids::kTextSurfaceFront
                                                      : WKRX_Ids::kTextSurfaceBack));
    // In information mode the read-out stands between the label and the track bar.
    const long end = m_InfoMode ? kDensityRect.left : left;
    MoveChild(m_Label, kLabelRect.left, end - kGap);
  } else {
    m_Label.SetText(iUSTR_GetLocalizedWString(m_Front ? WKRX_Ids::kTextSurfaceFrontLong
                                                      : WKRX_Ids::kTextSurfaceBackLong));
    MoveChild(m_Label, kLabelRect.left, kLabelRect.left + m_LongLabelWidth);
  }
  m_Label.Invalidate();
  m_Density.ShowWindow(m_InfoMode ? SW_SHOWNA : SW_HIDE);
  Invalidate();
}

void WKRX_SurfacePanel::SetInfoModeEnabled(bool enabled) {
  m_InfoMode = enabled;
  m_Density.SetControlText(USTR_String(L"-"));
  Layout();
}

void WKRX_SurfacePanel::SetDensity(float density) {
  m_DensitySum = density;
  m_Density.SetControlText(USTR_String(WKRX_DensityText(density)));
}

void WKRX_SurfacePanel::ShowOpacity() {
  if (m_Surface != nullptr && m_Opacity.IsWindow())
    m_Opacity.SetPos(static_cast<int>(m_Surface->GetOpacity()));
}

LRESULT WKRX_SurfacePanel::OnOpacityChanged(UINT, WPARAM, LPARAM, BOOL&) {
  ShowOpacity();
  return 0;
}

LRESULT WKRX_SurfacePanel::OnHScroll(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  if (reinterpret_cast<HWND>(lParam) != m_Opacity.m_hWnd || m_Surface == nullptr) {
    handled = FALSE;
    return 0;
  }
  const int code = LOWORD(wParam);
  int position = 0;
  if (code >= SB_LINEUP && code <= SB_PAGEDOWN)
    position = m_Opacity.GetPos();
  else if (code == SB_THUMBPOSITION)
    position = static_cast<short>(HIWORD(wParam));
  else
    return 0;
  if (position < 0 || position > 100)
    return 0;
  m_Surface->SetOpacity(static_cast<std::uint32_t>(position));
  if (m_Frame != nullptr)
    ::SendMessageW(m_Frame, WKRX_WM_OPACITYCHANGED, 0, reinterpret_cast<LPARAM>(m_Surface));
  return 0;
}
