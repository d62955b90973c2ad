// A dock bar: a child window of the frame holding docked palettes one after another between
// separators. It answers the dock notification for its own windows, and owns itself: its object
// is deleted with its window's final message.
#pragma once

#include <windows.h>

#include <atlbase.h>
#include <atlwin.h>

#include <algorithm>
#include <cstddef>
#include <memory>

#include "WTLA/win/WndFrmPkg.h"
#include "WTLA/win/dockmisc.h"

namespace dockwins {

// A palette in a bar: its minimum along the bar is the bar's answer to code 13.
struct CBarItemTraits {
  static int Minimum(HWND item) {
    HWND bar = ::GetParent(item);
    DFDOCKHDR hdr{item, bar, DC_GETMINDIST};
    return static_cast<int>(::SendMessageW(bar, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&hdr)));
  }
  static void MinMax(HWND item, MINMAXINFO* info) {
    ::SendMessageW(item, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(info));
  }
  static HDWP Place(HWND item, HDWP hdwp, RECT rc) {
    return ::DeferWindowPos(hdwp, item, nullptr, rc.left, rc.top, rc.right - rc.left,
                            rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
};

inline SIZE MinTrackSize(HWND hWnd) {
  MINMAXINFO info{};
  ::SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return SIZE{info.ptMinTrackSize.x, info.ptMinTrackSize.y};
}

using CPackageWindowTraits =
    ATL::CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0>;

template <class TTraits = CPackageWindowTraits>
class CPackageWindowT : public ATL::CWindowImpl<CPackageWindowT<TTraits>, ATL::CWindow, TTraits> {
public:
  using CPackage = CWndFramesPackageBase<HWND, CBarItemTraits>;
  static constexpr UINT kShowFlags =
      SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW;

  // horizontal: its windows lie left to right.
  explicit CPackageWindowT(bool horizontal) : m_Package(horizontal) { ++sm_Alive; }

  bool IsHorizontal() const { return m_Package.horizontal(); }
  const CPackage& package() const { return m_Package; }
  // How many bar objects are alive, to check that each is deleted once.
  static inline int sm_Alive = 0;

  BEGIN_MSG_MAP(CPackageWindowT)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WMDF_DOCK, OnDock)
  END_MSG_MAP()

  // Makes a bar of the given orientation in parent; null (asserted) when its window cannot be
  // made. The bar deletes itself with its window.
  static CPackageWindowT* Make(HWND parent, bool horizontal) {
    auto bar = std::make_unique<CPackageWindowT>(horizontal);
    RECT empty{0, 0, 0, 0};
    HWND hWnd = bar->Create(parent, empty);
    CPackageWindowT* ptr = hWnd != nullptr ? bar.release() : nullptr;
    DOCK_ASSERT(ptr);
    return ptr;
  }

  ~CPackageWindowT() override { --sm_Alive; }

  void OnFinalMessage(HWND) override { delete this; }

private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    m_Package.SetWindow(this->m_hWnd);
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam != SIZE_MINIMIZED) {
      RECT rc;
      this->GetClientRect(&rc);
      m_Package.SetRect(rc);
    }
    return 0;
  }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(this->m_hWnd, &paint);
    m_Package.Draw(dc);
    ::EndPaint(this->m_hWnd, &paint);
    return 0;
  }
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (reinterpret_cast<HWND>(wParam) == this->m_hWnd && LOWORD(lParam) == HTCLIENT) {
      POINT pt;
      ::GetCursorPos(&pt);
      this->ScreenToClient(&pt);
      if (m_Package.SetCursor(pt)) {
        return TRUE;
      }
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    this->DefWindowProc(uMsg, wParam, lParam);
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    m_Package.GetMinMaxInfo(info);
    info->ptMaxTrackSize = POINT{0, 0};
    return 0;
  }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    bHandled = m_Package.StartSliding(pt, CDockingSettings::Get().GhostDrag()) ? TRUE : FALSE;
    return 0;
  }

  LRESULT OnDock(UINT, WPARAM, LPARAM lParam, BOOL&) {
    auto* hdr = reinterpret_cast<DFDOCKHDR*>(lParam);
    switch (hdr->code) {
      case DC_ACCEPT:
        return AcceptDock(reinterpret_cast<DFDOCKRECT*>(hdr));
      case DC_DOCK:
        return Dock(reinterpret_cast<DFDOCKRECT*>(hdr));
      case DC_UNDOCK:
        return Undock(hdr->hWnd);
      case DC_GETDOCKPOSITION:
        return GetDockingPosition(reinterpret_cast<DFDOCKPOS*>(hdr));
      case DC_SETDOCKPOSITION:
        return SetDockingPosition(reinterpret_cast<DFDOCKPOS*>(hdr));
      case DC_REPLACE:
        return Replace(reinterpret_cast<DFDOCKREPLACE*>(hdr));
      case DC_GETMINDIST: {
        const SIZE size = MinTrackSize(hdr->hWnd);
        return IsHorizontal() ? size.cx : size.cy;
      }
      default:
        return FALSE;
    }
  }

  int Along(const RECT& rc) const { return static_cast<int>(IsHorizontal() ? rc.left : rc.top); }
  int Extent(const RECT& rc) const {
    return static_cast<int>(IsHorizontal() ? rc.right - rc.left : rc.bottom - rc.top);
  }

  BOOL AcceptDock(DFDOCKRECT* pHdr) {
    RECT rc = pHdr->rect;
    this->ScreenToClient(&rc);
    RECT client;
    this->GetClientRect(&client);
    const auto& c = m_Package.container();
    const bool onlyDragged = c.size() == 1 && c[0].m_Item == pHdr->hdr.hWnd;
    const SIZE minimum = MinTrackSize(pHdr->hdr.hWnd);
    const int minAlong = static_cast<int>(IsHorizontal() ? minimum.cx : minimum.cy);
    const bool accepted = !onlyDragged && ::PtInRect(&client, POINT{rc.left, rc.top}) &&
                          client.right - client.left >= minimum.cx &&
                          client.bottom - client.top >= minimum.cy &&
                          minAlong + c.distance_limit(0, c.size()) < c.bounds().distance();
    if (!accepted) {
      pHdr->hdr.hBar = nullptr;
      return FALSE;
    }
    if (IsHorizontal()) {
      rc.top = client.top;
      rc.bottom = client.bottom;
    } else {
      rc.left = client.left;
      rc.right = client.right;
    }
    ::MapWindowPoints(this->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    pHdr->rect = rc;
    pHdr->hdr.hBar = this->m_hWnd;
    return TRUE;
  }

  BOOL Dock(DFDOCKRECT* pHdr) {
    DOCK_ASSERT(::IsWindow(pHdr->hdr.hWnd));
    RECT rc = pHdr->rect;
    this->ScreenToClient(&rc);
    MakeChild(pHdr->hdr.hWnd);
    auto& c = m_Package.container();
    int pos = c.bounds().bind(Along(rc));
    std::size_t i = c.empty() ? 0 : c.find(pos);
    if (i != c.end() && pos - c.low(i) > (c.high(i) - c.low(i)) / 3) {
      ++i;
    }
    if (i == c.end()) {
      i = c.size();
    }
    c.insert(i, pos, pHdr->hdr.hWnd, Extent(rc));
    m_Package.Arrange();
    ::SetWindowPos(pHdr->hdr.hWnd, nullptr, 0, 0, 0, 0, kShowFlags);
    return TRUE;
  }

  BOOL Undock(HWND hWnd) {
    auto& c = m_Package.container();
    const std::size_t i = c.find_item([hWnd](HWND w) { return w == hWnd; });
    DOCK_ASSERT(i != c.end());
    if (i == c.end()) {
      return FALSE;
    }
    c.remove(i);
    m_Package.Arrange();
    MakeTopLevel(hWnd);
    if (c.empty()) {
      DFDOCKHDR self{this->m_hWnd, this->GetParent(), DC_UNDOCK};
      ::SendMessageW(this->GetParent(), WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&self));
      this->PostMessage(WM_CLOSE);
    }
    return TRUE;
  }

  BOOL GetDockingPosition(DFDOCKPOS* pHdr) {
    const auto& c = m_Package.container();
    const HWND hWnd = pHdr->hdr.hWnd;
    const std::size_t i = c.find_item([hWnd](HWND w) { return w == hWnd; });
    if (i == c.end()) {
      return FALSE;
    }
    const CBounds& b = c.bounds();
    pHdr->fPctPos = b.distance() == 0
                        ? 0.0f
                        : static_cast<float>(c.low(i) - b.low) / static_cast<float>(b.distance());
    pHdr->nWidth = c.high(i) - c.low(i) - kSeparatorWidth;
    if (c.size() == 1) {
      pHdr->dwDockSide |= kPosAlone;
    }
    return TRUE;
  }

  BOOL SetDockingPosition(DFDOCKPOS* pHdr) {
    MakeChild(pHdr->hdr.hWnd);
    auto& c = m_Package.container();
    const CBounds& b = c.bounds();
    int pos = b.low + static_cast<int>(static_cast<float>(b.distance()) * pHdr->fPctPos);
    c.insert_at(pos, pHdr->hdr.hWnd, pHdr->nWidth);
    m_Package.Arrange();
    ::SetWindowPos(pHdr->hdr.hWnd, nullptr, 0, 0, 0, 0, kShowFlags);
    return TRUE;
  }

  BOOL Replace(DFDOCKREPLACE* pHdr) {
    auto& c = m_Package.container();
    const HWND old = pHdr->hdr.hWnd;
    const std::size_t i = c.find_item([old](HWND w) { return w == old; });
    if (i == c.end()) {
      return FALSE;
    }
    MakeChild(pHdr->hWnd);
    c.replace(i, pHdr->hWnd);
    MakeTopLevel(old);
    m_Package.Arrange();
    ::SetWindowPos(pHdr->hWnd, nullptr, 0, 0, 0, 0, kShowFlags);
    return TRUE;
  }

  void MakeChild(HWND hWnd) {
    ::ShowWindow(hWnd, SW_HIDE);
    const LONG_PTR style = ::GetWindowLongPtrW(hWnd, GWL_STYLE);
    ::SetWindowLongPtrW(hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(0xC0000000)) | WS_CHILD);
    ::SetParent(hWnd, this->m_hWnd);
    ::SendMessageW(hWnd, WM_NCACTIVATE, TRUE, 0);
    ::SendMessageW(hWnd, WMDF_NDOCKSTATECHANGED,
                   static_cast<WPARAM>(1 + (IsHorizontal() ? 1 << 16 : 0)),
                   reinterpret_cast<LPARAM>(this->m_hWnd));
  }
  void MakeTopLevel(HWND hWnd) {
    ::ShowWindow(hWnd, SW_HIDE);
    const LONG_PTR style = ::GetWindowLongPtrW(hWnd, GWL_STYLE);
    ::SetWindowLongPtrW(hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(0xC0000000)) | WS_POPUP);
    ::SetParent(hWnd, nullptr);
    // A top-level window again, it is owned by the frame once more: it minimises, hides and
    // closes with it.
    ::SetWindowLongPtrW(hWnd, GWLP_HWNDPARENT,
                        reinterpret_cast<LONG_PTR>(::GetAncestor(this->m_hWnd, GA_ROOT)));
    ::SendMessageW(hWnd, WMDF_NDOCKSTATECHANGED, 0, reinterpret_cast<LPARAM>(this->m_hWnd));
  }

  CPackage m_Package;
};

using CPackageWindow = CPackageWindowT<>;

// A bar as an item of a frame package. The bar's window owns the bar; this only refers to it.
class CPackageWindowFrame : public IFrame {
public:
  CPackageWindowFrame(HWND bar, bool barHorizontal) : m_hBar(bar), m_Horizontal(barHorizontal) {}

  // A new bar in parent; null when it cannot be made.
  static std::unique_ptr<CPackageWindowFrame> Make(HWND parent, bool barHorizontal) {
    CPackageWindow* bar = CPackageWindow::Make(parent, barHorizontal);
    if (bar == nullptr) {
      return nullptr;
    }
    return std::make_unique<CPackageWindowFrame>(bar->m_hWnd, barHorizontal);
  }

  HWND hwnd() const override { return m_hBar; }
  bool AcceptDock(DFDOCKRECT* pHdr) override {
    ::MapWindowPoints(pHdr->hdr.hBar, nullptr, reinterpret_cast<POINT*>(&pHdr->rect), 2);
    const HWND from = pHdr->hdr.hBar;
    pHdr->hdr.hBar = m_hBar;
    const bool accepted =
        ::SendMessageW(m_hBar, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(pHdr)) != FALSE;
    ::MapWindowPoints(nullptr, from, reinterpret_cast<POINT*>(&pHdr->rect), 2);
    return accepted;
  }
  int MinDistance() const override {
    MINMAXINFO info{};
    GetMinMaxInfo(&info);
    return static_cast<int>(m_Horizontal ? info.ptMinTrackSize.y : info.ptMinTrackSize.x);
  }
  void GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const override {
    ::SendMessageW(m_hBar, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(pMinMaxInfo));
  }

private:
  HWND m_hBar;
  bool m_Horizontal;
};

}  // namespace dockwins
