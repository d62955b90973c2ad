#include "WKRX/WKRX_StaticTextCtrl.h"

HWND WKRX_StaticTextCtrl::Create(HWND parent, const RECT& rect, DWORD style, DWORD exStyle,
                                 UINT id) {
  RECT bounds = rect;
  return ATL::CWindowImpl<WKRX_StaticTextCtrl>::Create(parent, bounds, nullptr, style, exStyle, id);
}

void WKRX_StaticTextCtrl::DrawItem(LPDRAWITEMSTRUCT item) {
  const HDC dc = item->hDC;
  RECT rect = item->rcItem;
  const int saved = SaveDC(dc);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  UINT format = DT_NOPREFIX;
  if (m_Alignment == kAlignRight)
    format |= DT_RIGHT;
  else if (m_Alignment == kAlignCenter)
    format |= DT_CENTER;
  DrawTextW(dc, m_Text.c_str(), static_cast<int>(m_Text.size()), &rect, format);
  RestoreDC(dc, saved);
}
