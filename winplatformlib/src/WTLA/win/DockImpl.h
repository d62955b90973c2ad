// Text that fits its rectangle: a title too long for its caption ends in "...".
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "WTLA/WTLA_Assert.h"

namespace dockwins {

// The text shown for n characters in available pixels: whole when it fits, else its start and
// "...", at least four characters' worth.
inline std::wstring FitEllipsis(HDC dc, const wchar_t* text, int n, int available) {
  std::wstring shown(text, static_cast<std::size_t>(n));
  SIZE size{};
  const BOOL bRes = ::GetTextExtentPoint32W(dc, text, n, &size);
  DOCK_ASSERT(bRes);
  if (size.cx <= available) {
    return shown;
  }
  const std::wstring measured = L"..." + shown;
  int fit = 0;
  ::GetTextExtentExPointW(dc, measured.c_str(), static_cast<int>(measured.size()), available, &fit,
                          nullptr, &size);
  fit = std::max(fit, 4);
  return shown.substr(0, static_cast<std::size_t>(fit - 3)) + L"...";
}

// Draws n characters of text into rc, horizontally or running downwards; the text is clipped to
// rc. An empty text draws nothing.
inline void DrawEllipsisText(HDC dc, const wchar_t* text, int n, const RECT& rc, bool horizontal) {
  if (n <= 0) {
    return;
  }
  const int available = static_cast<int>(horizontal ? rc.right - rc.left : rc.bottom - rc.top);
  const std::wstring shown = FitEllipsis(dc, text, n, available);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  int x;
  int y;
  if (horizontal) {
    x = static_cast<int>(rc.left);
    y = static_cast<int>(rc.top + (rc.bottom - rc.top - metrics.tmHeight) / 2);
  } else {
    x = static_cast<int>(rc.right - (rc.right - rc.left - metrics.tmHeight) / 2);
    y = static_cast<int>(rc.top);
  }
  ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &rc, shown.c_str(), static_cast<UINT>(shown.size()),
                nullptr);
}

}  // namespace dockwins
