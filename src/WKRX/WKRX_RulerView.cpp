#include "WKRX/WKRX_RulerView.h"

#include "CKRX/CKRX_Context.h"
#include "GLIB/GLIB_Math.h"
#include "IMPN/IMPN_Preferences.h"
#include "WKRX/WKRX_SheetView.h"

#include <cmath>
#include <string>

namespace {

constexpr COLORREF kInkColour = 0x111111;
constexpr COLORREF kCursorColour = 0xFF4C00;
constexpr long kRulerThickness = 20;
// More labels than any screen shows: a scale gone wrong must not loop for ever.
constexpr long kMaxLabels = 10000;

HFONT MakeFont(HDC dc, int points) {
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = 0;
  wcscpy_s(font.lfFaceName, L"Arial");
  return CreateFontIndirectW(&font);
}

}  // namespace

void WKRX_FillRulerBox(HDC dc, const RECT& rect) {
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  const int saved = SaveDC(dc);
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
  MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
  LineTo(dc, rect.right - 1, rect.bottom - 1);
  LineTo(dc, rect.right - 1, rect.top - 1);
  SetDCPenColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  MoveToEx(dc, rect.right - 2, rect.top, nullptr);
  LineTo(dc, rect.left, rect.top);
  LineTo(dc, rect.left, rect.bottom - 1);
  RestoreDC(dc, saved);
}

float WKRX_FirstRulerLabel(float first, float step) {
  if (step < 1.0f)
    return std::floor(first);
  const long whole = static_cast<long>(step);
  float label = static_cast<float>(static_cast<long>(first) / whole) * step;
  if (first < 0.0f)
    label -= step;
  return label;
}

void WKRX_RulerView::Draw(HDC dc, const RECT& rect) {
  WKRX_FillRulerBox(dc, rect);
  if (m_View == nullptr || m_View->Sheet() == nullptr)
    return;
  const long unitIndex = IMPN_Preferences::sm_PreferredLinearUnits;
  if (unitIndex < 0 || unitIndex >= kIMPN_UnitCount)
    return;
  const IMPN_Units units = static_cast<IMPN_Units>(unitIndex);
  const double perInch = kIMPN_UnitConversions[units];
  IMPN_Sheet& sheet = *m_View->Sheet();
  // The screen's x axis runs along the image's y axis when the sheet lies on its side.
  const bool sideways = m_View->Rotation() == 90 || m_View->Rotation() == 270;
  const double f = kIMPN_ZoomFactor[m_View->ZoomLevel()];
  const double sx = (sideways ? sheet.GetYResolution() : sheet.GetXResolution()) * f / perInch;
  const double sy = (sideways ? sheet.GetXResolution() : sheet.GetYResolution()) * f / perInch;

  const POINT scroll = m_View->ScrollPosition();
  const long width = rect.right - rect.left;
  const long height = rect.bottom - rect.top;
  const IMPN_PointT<double> start =
      m_View->ViewPointToUnitLengths(IMPN_PointT<long>(scroll.x, scroll.y), units);
  const IMPN_PointT<double> end =
      m_View->ViewPointToUnitLengths(IMPN_PointT<long>(scroll.x + width, scroll.y + height), units);

  const int saved = SaveDC(dc);
  SetGraphicsMode(dc, GM_ADVANCED);
  CKRX_Context context(dc);
  if (width > height) {
    const XFORM transform = {
        1, 0, 0, 1, static_cast<FLOAT>(rect.left - start.x * sx), static_cast<FLOAT>(rect.top)};
    SetWorldTransform(dc, &transform);
    DrawRuler(context, static_cast<float>(start.x), static_cast<float>(end.x),
              static_cast<float>(m_Cursor.x), static_cast<float>(sx), units);
  } else {
    // Turned a quarter: value v lands at top + (v - first) x sy, ticks point left.
    const XFORM transform = {
        0, -1, 1, 0, static_cast<FLOAT>(rect.left), static_cast<FLOAT>(rect.top - start.y * sy)};
    SetWorldTransform(dc, &transform);
    DrawRuler(context, static_cast<float>(start.y), static_cast<float>(end.y),
              static_cast<float>(m_Cursor.y), static_cast<float>(-sy), units);
  }
  ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
  RestoreDC(dc, saved);
}

void WKRX_RulerView::DrawGraduations(IMPN_Units units, CKRX_Context& context, float first,
                                     float last, float step, float scale, float* tickLengths,
                                     long tickCount) {
  if (!(step > 0.0f) || !std::isfinite(step) || !std::isfinite(first) || !std::isfinite(last))
    return;
  if ((last - first) / step > kMaxLabels)
    return;
  const HDC dc = context.GetHDC();
  HFONT large = MakeFont(dc, 9);
  HFONT small = MakeFont(dc, 7);
  const int saved = SaveDC(dc);
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, kInkColour);
  SetTextColor(dc, kInkColour);
  SetBkMode(dc, TRANSPARENT);
  for (float v = WKRX_FirstRulerLabel(first, step); v <= last; v += step) {
    char text[64] = {};
    float value = v;
    float labelStep = step;
    bool isSmall = false;
    FormatUnitText(units, value, labelStep, text, sizeof(text), isSmall);
    wchar_t wide[64] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 64);
    const long x = MATH_Round(v * scale);
    if (HFONT font = isSmall ? small : large)
      SelectObject(dc, font);
    RECT box = {x + 2, 2, x + 100, 11};
    DrawTextW(dc, wide, -1, &box, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    for (long i = 0; i < tickCount; ++i) {
      const float position = v + static_cast<float>(i) * step / static_cast<float>(tickCount);
      const long tx = MATH_Round(position * scale);
      MoveToEx(dc, tx, kRulerThickness, nullptr);
      LineTo(dc, tx, kRulerThickness - static_cast<long>(tickLengths[i]));
    }
  }
  RestoreDC(dc, saved);
  if (large != nullptr)
    DeleteObject(large);
  if (small != nullptr)
    DeleteObject(small);
}

void WKRX_RulerView::DrawCursorPosition(CKRX_Context& context, float position, float scale) {
  const HDC dc = context.GetHDC();
  const int saved = SaveDC(dc);
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, kCursorColour);
  const long x = MATH_Round(position * scale);
  MoveToEx(dc, x, 0, nullptr);
  LineTo(dc, x, kRulerThickness);
  RestoreDC(dc, saved);
}
