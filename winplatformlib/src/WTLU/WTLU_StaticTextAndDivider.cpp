#include "WTLU/WTLU_StaticTextAndDivider.h"

namespace {

constexpr int kTextBufferSize = 128;
constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_LEFT;
constexpr int kDividerHeight = 2;

void Fill(HDC dc, int x, int y, int cx, int cy, HBRUSH brush) {
  const RECT r = {x, y, x + cx, y + cy};
  ::FillRect(dc, &r, brush);
}

// A rectangle outline with a darker top-left and a lighter bottom-right edge.
void Draw3dRect(HDC dc, int x, int y, int cx, int cy, HBRUSH topLeft, HBRUSH bottomRight) {
  Fill(dc, x, y, cx - 1, 1, topLeft);
  Fill(dc, x, y, 1, cy - 1, topLeft);
  Fill(dc, x + cx - 1, y, 1, cy, bottomRight);
  Fill(dc, x, y + cy - 1, cx, 1, bottomRight);
}

}  // namespace

void WTLU_StaticTextAndDivider::Draw(HDC dc, const RECT& rect) {
  const int saved = ::SaveDC(dc);
  RECT r = rect;
  if (m_PaintBackground) {
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  wchar_t text[kTextBufferSize] = {};
  GetWindowText(text, kTextBufferSize);
  if (const HFONT font = GetFont()) {
    ::SelectObject(dc, font);
  }
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextW(dc, text, -1, &r, kTextFormat);
  // Measured without DT_VCENTER, which some systems apply to the measured rectangle too: the
  // height is the text's own.
  RECT measured = rect;
  ::DrawTextW(dc, text, -1, &measured, (kTextFormat & ~DT_VCENTER) | DT_CALCRECT);
  const int w = measured.right - measured.left;
  const int h = measured.bottom - measured.top;
  // The line starts a text height after the text.
  const int x = rect.left + w + h;
  const int y = rect.top + h / 2;
  if (x < rect.right) {
    Draw3dRect(dc, x, y, rect.right - x, kDividerHeight, ::GetSysColorBrush(COLOR_BTNSHADOW),
               ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  }
  ::RestoreDC(dc, saved);
}

LRESULT WTLU_StaticTextAndDivider::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  PAINTSTRUCT paint = {};
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  RECT r = {};
  GetWindowRect(&r);
  ScreenToClient(&r);
  Draw(dc, r);
  ::EndPaint(m_hWnd, &paint);
  return 0;
}
