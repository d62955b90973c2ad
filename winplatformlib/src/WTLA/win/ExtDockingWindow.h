// The caption a docked palette draws itself: a title and a close button at the window's top.
#pragma once

#include <windows.h>

#include <string>

#include "WTLA/win/DockImpl.h"
#include "WTLA/win/dockmisc.h"

namespace dockwins {

class COutlookLikeExCaption {
public:
  class CCloseButton {
  public:
    virtual ~CCloseButton() = default;

    // The button is the caption inset by 3, square at its end; the caption ends where it begins.
    virtual void CalculateRect(RECT& caption, bool horizontal) {
      m_rc = caption;
      ::InflateRect(&m_rc, -3, -3);
      if (horizontal) {
        m_rc.left = m_rc.right - (m_rc.bottom - m_rc.top);
        caption.right = m_rc.left;
      } else {
        m_rc.bottom = m_rc.top + (m_rc.right - m_rc.left);
        caption.top = m_rc.bottom;
      }
    }
    virtual void Draw(HDC dc) const {
      ::FillRect(dc, &m_rc, ::GetSysColorBrush(COLOR_BTNFACE));
      HPEN pen = ::CreatePen(PS_SOLID, 0, ::GetSysColor(COLOR_BTNTEXT));
      HGDIOBJ old = ::SelectObject(dc, pen);
      const long l = m_rc.left;
      const long t = m_rc.top;
      const long r = m_rc.right;
      const long b = m_rc.bottom;
      const POINT lines[4][2] = {{{l + 5, t + 5}, {r - 5, b - 5}},
                                 {{l + 6, t + 5}, {r - 4, b - 5}},
                                 {{l + 5, b - 6}, {r - 5, t + 4}},
                                 {{l + 6, b - 6}, {r - 4, t + 4}}};
      for (const auto& line : lines) {
        ::MoveToEx(dc, line[0].x, line[0].y, nullptr);
        ::LineTo(dc, line[1].x, line[1].y);
      }
      ::SelectObject(dc, old);
      ::DeleteObject(pen);
    }
    virtual void DrawPressed(HWND hWnd) const { DrawWithEdge(hWnd, BDR_SUNKENOUTER); }
    virtual void DrawNormal(HWND hWnd) const { DrawWithEdge(hWnd, 0); }
    virtual void DrawHot(HWND hWnd) const { DrawWithEdge(hWnd, BDR_RAISEDINNER); }

    const RECT& rect() const { return m_rc; }
    bool Hit(POINT windowPoint) const { return ::PtInRect(&m_rc, windowPoint) != 0; }

  private:
    void DrawWithEdge(HWND hWnd, UINT edge) const {
      HDC dc = ::GetWindowDC(hWnd);
      Draw(dc);
      if (edge != 0) {
        RECT rc = m_rc;
        ::DrawEdge(dc, &rc, edge, BF_RECT);
      }
      ::ReleaseDC(hWnd, dc);
    }

    RECT m_rc{};
  };
};

// A horizontal caption at the window's top, in window coordinates.
class COutlookLikeCaption {
public:
  using CCloseButton = COutlookLikeExCaption::CCloseButton;

  static int Thickness() {
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return static_cast<int>(metrics.tmHeight) + 10;
  }

  // Takes the caption from the top of rc (window-relative); rc keeps the rest.
  void CalcRect(RECT& rc) {
    m_rc = rc;
    m_rc.bottom = m_rc.top + Thickness();
    rc.top = m_rc.bottom;
    m_Title = m_rc;
    m_Button.CalculateRect(m_Title, true);
  }
  void Clear() {
    m_rc = RECT{};
    m_Title = RECT{};
  }

  LRESULT HitTest(POINT windowPoint) const {
    if (m_Button.Hit(windowPoint)) {
      return HTCLOSE;
    }
    return ::PtInRect(&m_rc, windowPoint) ? HTCAPTION : HTCLIENT;
  }

  void Draw(HWND hWnd, HDC dc) const {
    ::FillRect(dc, &m_rc, ::GetSysColorBrush(COLOR_BTNFACE));
    const int length = ::GetWindowTextLengthW(hWnd);
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = ::GetWindowTextW(hWnd, title.data(), length + 1);
    RECT text = m_Title;
    text.left += 12;
    text.right = m_Button.rect().left - 3;
    if (!::IsRectEmpty(&text)) {
      HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
      const int mode = ::SetBkMode(dc, TRANSPARENT);
      const COLORREF color = ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
      DrawEllipsisText(dc, title.c_str(), n, text, true);
      ::SetTextColor(dc, color);
      ::SetBkMode(dc, mode);
      ::SelectObject(dc, old);
    }
    m_Button.Draw(dc);
    RECT edge = m_rc;
    ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  }

  const RECT& rect() const { return m_rc; }
  const CCloseButton& button() const { return m_Button; }

private:
  RECT m_rc{};
  RECT m_Title{};
  CCloseButton m_Button;
};

}  // namespace dockwins
