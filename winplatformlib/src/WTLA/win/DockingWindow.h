// A palette that floats as a tool window or lies docked in a dock bar of its frame. Docked, it
// draws its own caption with a title and a close button; a caption drag floats or docks it;
// closing hides it and showing it again puts it back where it was.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <atlbase.h>
#include <atlwin.h>

#include <cmath>

#include "WTLA/win/DDTracker.h"
#include "WTLA/win/ExtDockingWindow.h"
#include "WTLA/win/GhostDrawing.h"
#include "WTLA/win/dockmisc.h"

namespace dockwins {

using CDockingWindowTraits =
    ATL::CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW,
                    WS_EX_TOOLWINDOW>;

inline bool ControlDown() {
  return ::GetKeyState(VK_CONTROL) < 0;
}

// The float/dock drag of a palette's caption: an outline follows the pointer, snapped to where
// the frame would dock it; Ctrl keeps it floating.
template <class TWindow>
class CDockingDragTracker : public CDDTrackerBase {
public:
  // press: the pointer in screen coordinates; dc: where the outline is inverted (the screen's
  // when null, released with the tracker).
  CDockingDragTracker(TWindow& window, POINT press, HDC dc = nullptr)
      : m_Window(window),
        m_Press(press),
        m_ScreenDC(dc == nullptr ? ::GetWindowDC(nullptr) : nullptr),
        m_DC(dc == nullptr ? m_ScreenDC : dc) {
    m_Record = DFDOCKRECT{{window.m_hWnd, nullptr, 0}, RECT{}, 0};
    RECT rc;
    window.GetWindowRect(&rc);
    if (::IsRectEmpty(&window.m_rcUndock)) {
      DFDOCKRECT limit{{window.m_hWnd, window.m_hDockHost, DC_ADJUSTDRAGRECT}, rc, 0};
      ::SendMessageW(window.m_hDockHost, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&limit));
      window.m_rcUndock = limit.rect;
    }
    m_Size = SIZE{window.m_rcUndock.right - window.m_rcUndock.left,
                  window.m_rcUndock.bottom - window.m_rcUndock.top};
    const double fx =
        static_cast<double>(press.x - rc.left) / std::max<long>(rc.right - rc.left, 1);
    const double fy = static_cast<double>(press.y - rc.top) / std::max<long>(rc.bottom - rc.top, 1);
    const long left = press.x - static_cast<long>(fx * m_Size.cx);
    const long top = press.y - static_cast<long>(fy * m_Size.cy);
    m_Outline = RECT{left, top, left + m_Size.cx, top + m_Size.cy};
    m_Offset = POINT{left - press.x, top - press.y};
  }
  CDockingDragTracker(const CDockingDragTracker&) = delete;
  CDockingDragTracker& operator=(const CDockingDragTracker&) = delete;
  ~CDockingDragTracker() override {
    if (m_ScreenDC != nullptr) {
      ::ReleaseDC(nullptr, m_ScreenDC);
    }
  }

  void BeginDrag() override { DrawGhostFrame(m_DC, m_Outline); }
  void EndDrag(bool cancelled) override {
    DrawGhostFrame(m_DC, m_Outline);
    m_Cancelled = cancelled;
  }
  // Client coordinates of the palette, as the drag loop gives them.
  void OnMove(long x, long y) override {
    POINT pt{x, y};
    ::ClientToScreen(m_Window.m_hWnd, &pt);
    MoveTo(pt);
  }
  void OnCancelDrag(long, long) override { m_Cancelled = true; }
  bool ProcessWindowMessage(MSG* msg) override {
    if ((msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam == VK_CONTROL) {
      MoveTo(m_Last.x == kUnmoved ? m_Press : m_Last);
      return true;
    }
    return false;
  }

  // Screen point: the outline follows, snapped when the host would dock it there.
  void MoveTo(POINT pt) {
    m_Last = pt;
    DrawGhostFrame(m_DC, m_Outline);
    DFDOCKRECT record{{m_Window.m_hWnd, m_Window.m_hDockHost, DC_ADJUSTDRAGRECT},
                      RECT{pt.x, pt.y, pt.x + m_Size.cx, pt.y + m_Size.cy},
                      0};
    ::SendMessageW(m_Window.m_hDockHost, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&record));
    bool docked = false;
    if (!ControlDown()) {
      record.hdr.code = DC_ACCEPT;
      record.hdr.hBar = m_Window.m_hDockHost;
      docked = ::SendMessageW(m_Window.m_hDockHost, WMDF_DOCK, 0,
                              reinterpret_cast<LPARAM>(&record)) != 0;
    }
    if (docked) {
      m_Record = record;
      m_Outline = record.rect;
    } else {
      m_Record.hdr.hBar = nullptr;
      m_Record.flag = 0;
      const long left = pt.x + m_Offset.x;
      const long top = pt.y + m_Offset.y;
      m_Outline = RECT{left, top, left + m_Size.cx, top + m_Size.cy};
    }
    DrawGhostFrame(m_DC, m_Outline);
  }

  const RECT& outline() const { return m_Outline; }
  HWND target() const { return m_Record.hdr.hBar; }
  bool cancelled() const { return m_Cancelled; }
  bool moved() const {
    return m_Last.x != kUnmoved && (m_Last.x != m_Press.x || m_Last.y != m_Press.y);
  }
  DFDOCKRECT& record() { return m_Record; }

private:
  static constexpr long kUnmoved = -0x7FFFFFFF;

  TWindow& m_Window;
  POINT m_Press;
  POINT m_Last{kUnmoved, kUnmoved};
  HDC m_ScreenDC;
  HDC m_DC;
  DFDOCKRECT m_Record{};
  SIZE m_Size{};
  POINT m_Offset{};
  RECT m_Outline{};
  bool m_Cancelled = false;
};

// Tracks a press on a docked palette's close button until it is released on or off it: the
// button shows pressed while the pointer is on it.
template <class TWindow>
class CCloseButtonTracker : public CDDTrackerBase {
public:
  explicit CCloseButtonTracker(TWindow& window) : m_Window(window) {}

  void BeginDrag() override { m_Window.m_caption.button().DrawPressed(m_Window.m_hWnd); }
  void EndDrag(bool) override { m_Window.m_caption.button().DrawNormal(m_Window.m_hWnd); }
  void OnMove(long x, long y) override {
    const bool on = OnButton(x, y);
    if (on != m_Pressed) {
      m_Pressed = on;
      if (on) {
        m_Window.m_caption.button().DrawPressed(m_Window.m_hWnd);
      } else {
        m_Window.m_caption.button().DrawNormal(m_Window.m_hWnd);
      }
    }
  }
  void OnLButtonUp(long x, long y) override { m_Released = OnButton(x, y); }
  void OnRButtonUp(long, long) override {}

  bool released() const { return m_Released; }

private:
  bool OnButton(long x, long y) const {
    POINT pt{x, y};
    ::ClientToScreen(m_Window.m_hWnd, &pt);
    RECT rc;
    ::GetWindowRect(m_Window.m_hWnd, &rc);
    return m_Window.m_caption.button().Hit(POINT{pt.x - rc.left, pt.y - rc.top});
  }

  TWindow& m_Window;
  bool m_Pressed = true;
  bool m_Released = false;
};

template <class T, class TBase = ATL::CWindow, class TTraits = CDockingWindowTraits>
class CDockingWindowBaseImpl : public ATL::CWindowImpl<T, TBase, TTraits> {
public:
  HWND m_hDockHost = nullptr;
  HWND m_hBar = nullptr;
  RECT m_rcUndock{};
  DFDOCKPOS m_pos{};

  HWND Create(HWND host, RECT& rc, LPCWSTR title, DWORD style = 0, DWORD exStyle = 0) {
    m_hDockHost = host;
    return ATL::CWindowImpl<T, TBase, TTraits>::Create(host, rc, title, style, exStyle);
  }

  bool IsDocking() const { return m_hBar != nullptr; }

  virtual bool Undock() {
    DOCK_ASSERT(IsDocking());
    GetDockingPosition(&m_pos);
    DFDOCKHDR hdr{this->m_hWnd, m_hBar, DC_UNDOCK};
    return ::SendMessageW(m_hBar, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&hdr)) != 0;
  }
  virtual bool NotifyHost(DFDOCKRECT* pHdr) {
    pHdr->hdr.code = DC_DOCK;
    return ::SendMessageW(pHdr->hdr.hBar, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(pHdr)) != 0;
  }
  // True when the palette was visible before.
  virtual bool Hide() {
    const bool visible = this->IsWindowVisible() != FALSE;
    if (IsDocking()) {
      bool bRes = GetDockingPosition(&m_pos);
      DOCK_ASSERT(bRes);
      if (bRes) {
        const DFDOCKPOS stored = m_pos;
        bRes = Float(m_rcUndock, SWP_HIDEWINDOW, nullptr);
        m_pos = stored;
      }
      DOCK_ASSERT(bRes);
      if (!bRes) {
        return false;
      }
    } else {
      m_pos.hdr.hBar = nullptr;
    }
    this->ShowWindow(SW_HIDE);
    return visible;
  }
  virtual bool Show() {
    if (m_pos.hdr.hBar != nullptr) {
      DFDOCKPOS pos = m_pos;
      const bool bRes = DockAtPosition(&pos);
      DOCK_ASSERT(bRes);
      if (!bRes) {
        // Nowhere to dock: it shows floating rather than staying hidden.
        ShowFloating();
      }
      return bRes;
    }
    this->ShowWindow(SW_SHOW);
    return true;
  }

  bool GetDockingPosition(DFDOCKPOS* pHdr) const {
    DOCK_ASSERT(::IsWindow(this->m_hWnd));
    pHdr->hdr.hBar = m_hBar;
    if (!IsDocking()) {
      return true;
    }
    pHdr->hdr.hWnd = this->m_hWnd;
    pHdr->hdr.code = DC_GETDOCKPOSITION;
    pHdr->dwDockSide = 0;
    return ::SendMessageW(m_hDockHost, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(pHdr)) != 0;
  }
  bool DockAtPosition(DFDOCKPOS* pHdr) {
    DOCK_ASSERT(::IsWindow(this->m_hWnd));
    if (IsDocking()) {
      Undock();
    }
    pHdr->hdr = DFDOCKHDR{this->m_hWnd, m_hDockHost, DC_SETDOCKPOSITION};
    return ::SendMessageW(m_hDockHost, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(pHdr)) != 0;
  }
  // A refused undock moves nothing and reports false.
  bool Float(const RECT& rc, UINT flags, HWND insertAfter) {
    if (!IsDocking()) {
      return false;
    }
    if (!Undock()) {
      return false;
    }
    return ::SetWindowPos(this->m_hWnd, insertAfter, rc.left, rc.top, rc.right - rc.left,
                          rc.bottom - rc.top, flags) != FALSE;
  }

  // The float/dock drag from a caption press at a screen point.
  bool BeginMoving(POINT press, HDC dc = nullptr) {
    CDockingDragTracker<T> tracker(*static_cast<T*>(this), press, dc);
    const bool done = TrackDragAndDrop(tracker, this->m_hWnd);
    return FinishMoving(tracker, done);
  }
  bool FinishMoving(CDockingDragTracker<T>& tracker, bool done) {
    if (!done || tracker.cancelled() || (tracker.target() == nullptr && !tracker.moved())) {
      return false;
    }
    if (IsDocking()) {
      Undock();
    }
    if (tracker.target() != nullptr) {
      DFDOCKRECT record = tracker.record();
      if (NotifyHost(&record)) {
        return true;
      }
      // The undock hid it: a failed dock must not leave it hidden.
      ShowFloating();
      return false;
    }
    const RECT& rc = tracker.outline();
    ::SetWindowPos(this->m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    return true;
  }

  BEGIN_MSG_MAP(CDockingWindowBaseImpl)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
  MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDown)
  MESSAGE_HANDLER(WMDF_NDOCKSTATECHANGED, OnDockStateChanged)
  END_MSG_MAP()

protected:
  void ShowFloating() {
    if (::IsRectEmpty(&m_rcUndock)) {
      this->ShowWindow(SW_SHOW);
      return;
    }
    ::SetWindowPos(this->m_hWnd, nullptr, m_rcUndock.left, m_rcUndock.top,
                   m_rcUndock.right - m_rcUndock.left, m_rcUndock.bottom - m_rcUndock.top,
                   SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOZORDER);
  }

  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    const UINT still = SWP_NOSIZE | SWP_NOMOVE;
    if (!IsDocking() && this->IsWindowVisible() &&
        ((pos->flags & SWP_SHOWWINDOW) != 0 || (pos->flags & still) != still)) {
      this->GetWindowRect(&m_rcUndock);
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnNcLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (wParam != HTCAPTION) {
      bHandled = FALSE;
      return 0;
    }
    ::SetWindowPos(this->m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ATL::CSystemLoopScope detection(ATL::CSystemLoopScope::kDragDetect);
    if (detection.Returned(::DragDetect(this->m_hWnd, pt))) {
      BeginMoving(pt);
    }
    return 0;
  }
  LRESULT OnDockStateChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    if (wParam != 0) {
      DOCK_ASSERT(!IsDocking());
      m_hBar = reinterpret_cast<HWND>(lParam);
    } else {
      DOCK_ASSERT(IsDocking());
      m_hBar = nullptr;
    }
    return 0;
  }
};

// A palette with the caption it draws while docked. T may define GetMinMaxInfo(MINMAXINFO*), the
// minimum-size hook, called after the previous window procedure.
template <class T, class TBase = ATL::CWindow, class TTraits = CDockingWindowTraits>
class CTitleDockingWindowImpl : public CDockingWindowBaseImpl<T, TBase, TTraits> {
public:
  using CBase = CDockingWindowBaseImpl<T, TBase, TTraits>;

  COutlookLikeCaption m_caption;

  void GetMinMaxInfo(MINMAXINFO*) {}

  BEGIN_MSG_MAP(CTitleDockingWindowImpl)
  // Outer map.
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
  // Caption map.
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  if (this->IsDocking()) {
    MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
    MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
    MESSAGE_HANDLER(WM_NCMOUSEMOVE, OnNcMouseMove)
    MESSAGE_HANDLER(WM_NCMOUSELEAVE, OnNcMouseLeave)
    MESSAGE_HANDLER(WM_NCACTIVATE, OnNcActivate)
    MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcCloseButtonDown)
    MESSAGE_HANDLER(WM_NCLBUTTONUP, OnNcLButtonUp)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
    MESSAGE_HANDLER(WM_SETICON, OnSetText)
    MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnConsume)
  }
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

  // The close button's press, tracked until released.
  bool TrackCloseButton() {
    m_CloseHot = false;
    CCloseButtonTracker<T> tracker(*static_cast<T*>(this));
    TrackDragAndDrop(tracker, this->m_hWnd);
    if (tracker.released()) {
      this->SendMessage(WM_NCLBUTTONUP, HTCLOSE, static_cast<LPARAM>(::GetMessagePos()));
    }
    return tracker.released();
  }

  // Whether the pointer is over the close button (drawn hot).
  bool IsCloseButtonHot() const { return m_CloseHot; }

protected:
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    this->Hide();
    return 0;
  }
  LRESULT OnNcLButtonDblClk(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != HTCAPTION) {
      bHandled = FALSE;
      return 0;
    }
    if (this->IsDocking()) {
      if (!::IsRectEmpty(&this->m_rcUndock)) {
        this->Float(this->m_rcUndock, SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOACTIVATE, nullptr);
      }
    } else if (this->m_pos.hdr.hBar != nullptr) {
      DFDOCKPOS pos = this->m_pos;
      this->DockAtPosition(&pos);
    }
    return 0;
  }
  LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    this->DefWindowProc(uMsg, wParam, lParam);
    static_cast<T*>(this)->GetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    return 0;
  }
  LRESULT OnNcCalcSize(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if ((this->GetWindowLongPtr(GWL_STYLE) & WS_CAPTION) == 0) {
      m_caption.Clear();
      bHandled = FALSE;
      return 0;
    }
    RECT* prc = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                       : reinterpret_cast<RECT*>(lParam);
    RECT rel = *prc;
    ::OffsetRect(&rel, -prc->left, -prc->top);
    m_caption.CalcRect(rel);
    prc->top += rel.top;
    return 0;
  }
  LRESULT OnNcPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if ((this->GetWindowLongPtr(GWL_STYLE) & WS_CAPTION) == 0) {
      bHandled = FALSE;
      return 0;
    }
    HDC dc = ::GetWindowDC(this->m_hWnd);
    m_caption.Draw(this->m_hWnd, dc);
    ::ReleaseDC(this->m_hWnd, dc);
    return 0;
  }
  LRESULT OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&) {
    RECT rc;
    this->GetWindowRect(&rc);
    const POINT pt{GET_X_LPARAM(lParam) - rc.left, GET_Y_LPARAM(lParam) - rc.top};
    return m_caption.HitTest(pt);
  }
  // Hot tracking asks the system for the leave, so a hit test (which anyone may send) only
  // answers.
  LRESULT OnNcMouseMove(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam == HTCLOSE && !m_CloseHot) {
      m_CloseHot = true;
      m_caption.button().DrawHot(this->m_hWnd);
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, this->m_hWnd, 0};
      ::TrackMouseEvent(&track);
    } else if (wParam != HTCLOSE && m_CloseHot) {
      m_CloseHot = false;
      m_caption.button().DrawNormal(this->m_hWnd);
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnNcMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (m_CloseHot) {
      m_CloseHot = false;
      m_caption.button().DrawNormal(this->m_hWnd);
    }
    bHandled = FALSE;
    return 0;
  }
  // A press on the close button is tracked until its release; other presses go to the base map
  // (a caption press drags).
  LRESULT OnNcCloseButtonDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != HTCLOSE) {
      bHandled = FALSE;
      return 0;
    }
    TrackCloseButton();
    return 0;
  }
  LRESULT OnNcActivate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (!this->IsWindowEnabled()) {
      bHandled = FALSE;
      return 0;
    }
    return 1;
  }
  LRESULT OnNcLButtonUp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam == HTCLOSE) {
      this->PostMessage(WM_CLOSE);
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnSetText(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    const LONG_PTR style = this->GetWindowLongPtr(GWL_STYLE);
    ::SetWindowLongPtrW(this->m_hWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
    const LRESULT result = this->DefWindowProc(uMsg, wParam, lParam);
    ::SetWindowLongPtrW(this->m_hWnd, GWL_STYLE, style);
    ::SetWindowPos(this->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    return result;
  }
  LRESULT OnConsume(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

private:
  bool m_CloseHot = false;
};

}  // namespace dockwins
