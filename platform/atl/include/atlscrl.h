#pragma once
// WTL's scrolling window: a content extent larger than the client area, seen through an offset
// that the scroll bars, the wheel and the program move. Written from WTL's documented behaviour.
//
// Every change of the offset goes through T::SetScrollOffset, whatever asks for it (a bar, the
// wheel, a new size that clamps it, the program), and that call brings both bars up to date,
// each through one T::SetScrollInfo call, before T::ScrollContents moves what is shown. A class
// that replaces these calls therefore sees each change once. The fields stay open to T.
//
// Thumb positions come from the bar's 32-bit tracking position, never from the 16-bit word of
// WM_HSCROLL/WM_VSCROLL: extents run far beyond 65535 pixels.
#include <windows.h>

#include <algorithm>

#include "atlgdi.h"
#include "atlwin.h"

namespace WTL {

// Extended scroll styles.
constexpr DWORD SCRL_SCROLLCHILDREN = 0x00000001;
constexpr DWORD SCRL_ERASEBACKGROUND = 0x00000002;
constexpr DWORD SCRL_NOTHUMBTRACKING = 0x00000004;

// The bar query, replaceable so tests can stand in for a thumb being dragged.
struct CScrollSystemHooks {
  using GetScrollInfoFn = BOOL(WINAPI*)(HWND, int, LPSCROLLINFO);
  static inline GetScrollInfoFn sm_GetScrollInfo = ::GetScrollInfo;
};

template <class T>
class CScrollImpl {
public:
  POINT m_ptOffset = {0, 0};
  SIZE m_sizeAll = {0, 0};
  SIZE m_sizeLine = {1, 1};
  // The page of a page-up or page-down; a zero axis pages by the client size.
  SIZE m_sizePage = {0, 0};
  SIZE m_sizeClient = {0, 0};
  int m_zDelta = 0;
  int m_nWheelLines = 3;
  UINT m_uScrollFlags = SW_INVALIDATE;
  DWORD m_dwExtendedStyle = 0;

  virtual ~CScrollImpl() = default;

  DWORD SetScrollExtendedStyle(DWORD style, DWORD mask = 0) {
    const DWORD previous = m_dwExtendedStyle;
    m_dwExtendedStyle = mask == 0 ? style : (m_dwExtendedStyle & ~mask) | (style & mask);
    m_uScrollFlags = SW_INVALIDATE;
    if (m_dwExtendedStyle & SCRL_SCROLLCHILDREN) {
      m_uScrollFlags |= SW_SCROLLCHILDREN;
    }
    if (m_dwExtendedStyle & SCRL_ERASEBACKGROUND) {
      m_uScrollFlags |= SW_ERASE;
    }
    return previous;
  }
  DWORD GetScrollExtendedStyle() const { return m_dwExtendedStyle; }

  // The extent; the offset goes back to 0, 0 unless kept, and is clamped to the new extent.
  void SetScrollSize(int cx, int cy, BOOL bRedraw = TRUE, bool bResetOffset = true) {
    m_sizeAll = {std::max(cx, 0), std::max(cy, 0)};
    const POINT target = bResetOffset ? POINT{0, 0} : m_ptOffset;
    Self()->SetScrollOffset(target.x, target.y, bRedraw);
  }
  void GetScrollSize(SIZE& size) const { size = m_sizeAll; }
  void SetScrollLine(int cx, int cy) { m_sizeLine = {std::max(cx, 1), std::max(cy, 1)}; }
  void GetScrollLine(SIZE& size) const { size = m_sizeLine; }
  void SetScrollPage(int cx, int cy) { m_sizePage = {std::max(cx, 0), std::max(cy, 0)}; }
  void GetScrollPage(SIZE& size) const { size = m_sizePage; }
  void GetScrollOffset(POINT& offset) const { offset = m_ptOffset; }

  // The one road of every offset change: clamps to 0 .. extent - client per axis, updates both
  // bars and, with bRedraw, moves the contents by the change.
  void SetScrollOffset(int x, int y, BOOL bRedraw = TRUE) {
    T* self = Self();
    const POINT old = m_ptOffset;
    m_Updating = true;
    // A bar that appears or goes changes the client size (WM_SIZE meanwhile only notes it), and
    // with it the range: a second round settles on the new one.
    for (int round = 0; round < 3; ++round) {
      const SIZE client = m_sizeClient;
      m_ptOffset = {Clamp(x, m_sizeAll.cx, m_sizeClient.cx),
                    Clamp(y, m_sizeAll.cy, m_sizeClient.cy)};
      UpdateBar(SB_HORZ, m_sizeAll.cx, m_sizeClient.cx, m_ptOffset.x, bRedraw);
      UpdateBar(SB_VERT, m_sizeAll.cy, m_sizeClient.cy, m_ptOffset.y, bRedraw);
      if (client.cx == m_sizeClient.cx && client.cy == m_sizeClient.cy) {
        break;
      }
    }
    m_Updating = false;
    const int dx = old.x - m_ptOffset.x;
    const int dy = old.y - m_ptOffset.y;
    if (bRedraw && (dx != 0 || dy != 0) && self->m_hWnd != nullptr) {
      self->ScrollContents(dx, dy);
    }
  }

  int SetScrollInfo(int bar, LPSCROLLINFO info, BOOL bRedraw = TRUE) {
    return ::SetScrollInfo(Self()->m_hWnd, bar, info, bRedraw);
  }

  // Moves what the window shows by dx, dy (positive: contents move right or down). Replaceable,
  // for a view that fills what is uncovered at once.
  void ScrollContents(int dx, int dy) {
    ::ScrollWindowEx(Self()->m_hWnd, dx, dy, nullptr, nullptr, nullptr, nullptr, m_uScrollFlags);
  }

  // Draws the contents; the context's origin stands at minus the offset.
  void DoPaint(CDCHandle /*dc*/) {}

  void ScrollLineDown() { ScrollBy(SB_VERT, SB_LINEDOWN); }
  void ScrollLineUp() { ScrollBy(SB_VERT, SB_LINEUP); }
  void ScrollPageDown() { ScrollBy(SB_VERT, SB_PAGEDOWN); }
  void ScrollPageUp() { ScrollBy(SB_VERT, SB_PAGEUP); }
  void ScrollTop() { ScrollBy(SB_VERT, SB_TOP); }
  void ScrollBottom() { ScrollBy(SB_VERT, SB_BOTTOM); }
  void ScrollLineRight() { ScrollBy(SB_HORZ, SB_LINEDOWN); }
  void ScrollLineLeft() { ScrollBy(SB_HORZ, SB_LINEUP); }
  void ScrollPageRight() { ScrollBy(SB_HORZ, SB_PAGEDOWN); }
  void ScrollPageLeft() { ScrollBy(SB_HORZ, SB_PAGEUP); }

  BEGIN_MSG_MAP(CScrollImpl)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
  MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
  MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
  MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ReadWheelLines();
    bHandled = FALSE;
    return 1;
  }
  LRESULT OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&) {
    ScrollBy(SB_VERT, LOWORD(wParam));
    return 0;
  }
  LRESULT OnHScroll(UINT, WPARAM wParam, LPARAM, BOOL&) {
    ScrollBy(SB_HORZ, LOWORD(wParam));
    return 0;
  }
  // Whole notches scroll by the system's wheel lines (a page for WHEEL_PAGESCROLL): the vertical
  // axis when it can scroll, else the horizontal one. Part notches add up.
  LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&) {
    m_zDelta += static_cast<short>(HIWORD(wParam));
    const int notches = m_zDelta / WHEEL_DELTA;
    m_zDelta %= WHEEL_DELTA;
    if (notches == 0) {
      return 0;
    }
    const bool vertical = m_sizeAll.cy > m_sizeClient.cy || m_sizeAll.cx <= m_sizeClient.cx;
    const int line = vertical ? m_sizeLine.cy : m_sizeLine.cx;
    const long long step = m_nWheelLines == static_cast<int>(WHEEL_PAGESCROLL)
                               ? PageSize(vertical ? SB_VERT : SB_HORZ)
                               : static_cast<long long>(m_nWheelLines) * line;
    const long long distance = -static_cast<long long>(notches) * step;
    if (vertical) {
      Self()->SetScrollOffset(m_ptOffset.x, Saturated(m_ptOffset.y + distance), TRUE);
    } else {
      Self()->SetScrollOffset(Saturated(m_ptOffset.x + distance), m_ptOffset.y, TRUE);
    }
    return 0;
  }
  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ReadWheelLines();
    bHandled = FALSE;
    return 0;
  }
  // A minimised window keeps its offset for when it comes back.
  LRESULT OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    bHandled = FALSE;
    if (wParam == SIZE_MINIMIZED) {
      return 1;
    }
    m_sizeClient = {LOWORD(lParam), HIWORD(lParam)};
    if (!m_Updating) {
      Self()->SetScrollOffset(m_ptOffset.x, m_ptOffset.y, TRUE);
    }
    return 1;
  }
  // WM_PRINTCLIENT brings its own context; WM_PAINT's validates the window on every road out.
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM, BOOL&) {
    T* self = Self();
    if (wParam != 0) {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      POINT previous = {0, 0};
      ::SetViewportOrgEx(dc, -m_ptOffset.x, -m_ptOffset.y, &previous);
      self->DoPaint(CDCHandle(dc));
      ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    } else if (uMsg == WM_PAINT) {
      CPaintDC dc(self->m_hWnd);
      dc.SetViewportOrg(-m_ptOffset.x, -m_ptOffset.y);
      self->DoPaint(CDCHandle(dc.m_hDC));
    }
    return 0;
  }

protected:
  // True while SetScrollOffset brings the bars up to date.
  bool m_Updating = false;

  T* Self() { return static_cast<T*>(this); }

  static int Clamp(long long value, int extent, int client) {
    const long long last = std::max<long long>(0, static_cast<long long>(extent) - client);
    return static_cast<int>(std::clamp<long long>(value, 0, last));
  }
  static int Saturated(long long value) {
    return static_cast<int>(std::clamp<long long>(value, -0x7FFFFFFFLL, 0x7FFFFFFFLL));
  }

  int PageSize(int bar) const {
    const int page = bar == SB_VERT ? m_sizePage.cy : m_sizePage.cx;
    const int client = bar == SB_VERT ? m_sizeClient.cy : m_sizeClient.cx;
    return page > 0 ? page : std::max(client, 1);
  }

  void UpdateBar(int bar, int extent, int client, int position, BOOL bRedraw) {
    SCROLLINFO info = {
        sizeof(info), SIF_ALL, 0, std::max(extent - 1, 0), static_cast<UINT>(std::max(client, 0)),
        position,     0};
    Self()->SetScrollInfo(bar, &info, bRedraw);
  }

  // A bar's request, on one axis.
  void ScrollBy(int bar, int code) {
    const bool vertical = bar == SB_VERT;
    const int current = vertical ? m_ptOffset.y : m_ptOffset.x;
    const int extent = vertical ? m_sizeAll.cy : m_sizeAll.cx;
    const int line = vertical ? m_sizeLine.cy : m_sizeLine.cx;
    long long target = current;
    switch (code) {
      case SB_LINEUP:
        target -= line;
        break;
      case SB_LINEDOWN:
        target += line;
        break;
      case SB_PAGEUP:
        target -= PageSize(bar);
        break;
      case SB_PAGEDOWN:
        target += PageSize(bar);
        break;
      case SB_TOP:
        target = 0;
        break;
      case SB_BOTTOM:
        target = extent;
        break;
      case SB_THUMBTRACK:
        if (m_dwExtendedStyle & SCRL_NOTHUMBTRACKING) {
          return;
        }
        target = TrackPosition(bar, current);
        break;
      case SB_THUMBPOSITION:
        target = TrackPosition(bar, current);
        break;
      default:
        return;
    }
    if (target == current) {
      return;
    }
    const int clamped = Saturated(target);
    if (vertical) {
      Self()->SetScrollOffset(m_ptOffset.x, clamped, TRUE);
    } else {
      Self()->SetScrollOffset(clamped, m_ptOffset.y, TRUE);
    }
  }

  int TrackPosition(int bar, int fallback) {
    SCROLLINFO info = {sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
    if (!CScrollSystemHooks::sm_GetScrollInfo(Self()->m_hWnd, bar, &info)) {
      return fallback;
    }
    return info.nTrackPos;
  }

  void ReadWheelLines() {
    UINT lines = 3;
    if (::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) {
      m_nWheelLines = static_cast<int>(lines);
    }
  }
};

template <class T, class TBase = ::ATL::CWindow, class TWinTraits = ::ATL::CControlWinTraits>
class CScrollWindowImpl : public ::ATL::CWindowImpl<T, TBase, TWinTraits>, public CScrollImpl<T> {
public:
  using CScrollImpl<T>::SetScrollInfo;

  BEGIN_MSG_MAP(CScrollWindowImpl)
  CHAIN_MSG_MAP(CScrollImpl<T>)
  END_MSG_MAP()
};

}  // namespace WTL

using namespace WTL;
