#include "WKRX/WKRX_MeasurementWindow.h"

#include "CKRX/CKRX_FormatNumber.h"
#include "IMPN/IMPN_Preferences.h"
#include "USTR/USTR_LocalizedString.h"
#include "USTR/USTR_String.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr DWORD kTextStyle = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW;
constexpr UINT kCaptionTexts[] = {10095, 10094, 10092};
constexpr long kRowTops[] = {4, 28, 52};

void FillFace(HWND window, HDC dc) {
  RECT rect;
  GetClientRect(window, &rect);
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
}

unsigned long Precision(std::int32_t value) {
  return static_cast<unsigned long>(std::max<std::int32_t>(value, 0));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Panel

LRESULT WKRX_MeasurementPanel::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  m_Caption.Create(m_hWnd, RECT{2, 3, 104, 19}, kTextStyle, WS_EX_NOPARENTNOTIFY, kCaptionId);
  m_Value.Create(m_hWnd, RECT{110, 3, 255, 19}, kTextStyle, WS_EX_NOPARENTNOTIFY, kValueId);
  for (WKRX_StaticTextCtrl* control : {&m_Caption, &m_Value})
    if (control->m_hWnd != nullptr)
      control->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  return 0;
}

LRESULT WKRX_MeasurementPanel::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
  FillFace(m_hWnd, reinterpret_cast<HDC>(wParam));
  return 1;
}

void WKRX_MeasurementPanel::SetText(WKRX_StaticTextCtrl& control, const GLIB_WString& text) {
  control.SetText(text);
  if (control.m_hWnd != nullptr)
    control.Invalidate(TRUE);
}

void WKRX_MeasurementPanel::SetCaption(const GLIB_WString& text) {
  SetText(m_Caption, text);
}

void WKRX_MeasurementPanel::SetValue(const GLIB_WString& text) {
  SetText(m_Value, text);
}

// ---------------------------------------------------------------------------------------------
// Palette

double WKRX_MeasurementWindow::Angle(double dx, double dy) {
  static const double kPi = std::acos(-1.0);
  const double distance = std::sqrt(dx * dx + dy * dy);
  double angle = dx == 0.0 ? 90.0 : std::acos(dx / distance) * 180.0 / kPi;
  if (dy < 0.0)
    angle = -angle;
  return angle;
}

void WKRX_MeasurementWindow::SetDistance(double dx, double dy, IMPN_Units units) {
  const double distance = std::sqrt(dx * dx + dy * dy);
  CKRX_FormatNumber format;
  const unsigned long linear = Precision(IMPN_Preferences::sm_LinearUnitPrecision);
  ShowText(kDistanceAngle, USTR_UStringToWString(format.FormatDistanceAngleVector(
                               distance, Angle(dx, dy), units, linear,
                               Precision(IMPN_Preferences::sm_AngularUnitPrecision))));
  ShowText(kDelta, USTR_UStringToWString(format.FormatCoordinate(dx, dy, units, linear)));
  if (m_hWnd != nullptr)
    Invalidate(TRUE);
}

void WKRX_MeasurementWindow::SetCurrentPosition(double x, double y, IMPN_Units units) {
  CKRX_FormatNumber format;
  ShowText(kCurrent, USTR_UStringToWString(format.FormatCoordinate(
                         x, y, units, Precision(IMPN_Preferences::sm_LinearUnitPrecision))));
}

void WKRX_MeasurementWindow::ShowText(Row row, const GLIB_WString& text) {
  m_Texts[row] = text;
  m_Panels[row].SetValue(text);
}

void WKRX_MeasurementWindow::GetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize =
      POINT{kRowWidth, static_cast<LONG>(dockwins::COutlookLikeCaption::Thickness() + 80)};
}

LRESULT WKRX_MeasurementWindow::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  for (int row = 0; row < kRowCount; ++row) {
    WKRX_MeasurementPanel& panel = m_Panels[row];
    RECT rect = {0, kRowTops[row], kRowWidth, kRowTops[row] + kRowHeight};
    if (panel.Create(m_hWnd, rect, nullptr, WS_CHILD | WS_VISIBLE,
                     WS_EX_STATICEDGE | WS_EX_NOPARENTNOTIFY) == nullptr)
      continue;
    panel.SetCaption(iUSTR_GetLocalizedWString(kCaptionTexts[row]));
    panel.SetValue(m_Texts[row]);
  }
  return 0;
}

LRESULT WKRX_MeasurementWindow::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
  FillFace(m_hWnd, reinterpret_cast<HDC>(wParam));
  return 1;
}

LRESULT WKRX_MeasurementWindow::OnActivate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  const UINT message =
      LOWORD(wParam) == WA_INACTIVE ? WKRX_WM_PALETTEDEACTIVATED : WKRX_WM_PALETTEACTIVATED;
  ::SendMessageW(m_hDockHost, message, kWKRX_MeasurementPaletteCommand, lParam);
  handled = FALSE;
  return 0;
}

LRESULT WKRX_MeasurementWindow::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  ::SendMessageW(m_hDockHost, WKRX_WM_PALETTEHIDDEN, kWKRX_MeasurementPaletteCommand,
                 reinterpret_cast<LPARAM>(m_hWnd));
  handled = FALSE;
  return 0;
}
