// The docking frame: the main frame's client area divided by two nested packages, the outer
// holding dock bars around the inner package, the inner holding dock bars around the client view.
// Palettes dock into bars through the dock notification (WMDF_DOCK).
#pragma once

#include <windows.h>

#include <atlbase.h>
#include <atlframe.h>
#include <atlwin.h>

#include <algorithm>
#include <cstddef>
#include <memory>

#include "WTLA/win/PackageWindow.h"
#include "WTLA/win/WndFrmPkg.h"
#include "WTLA/win/dockmisc.h"

namespace dockwins {

struct CFrameItemTraits {
  static int Minimum(const std::unique_ptr<IFrame>& item) { return item->MinDistance(); }
  static void MinMax(const std::unique_ptr<IFrame>& item, MINMAXINFO* info) {
    item->GetMinMaxInfo(info);
  }
  static HDWP Place(const std::unique_ptr<IFrame>& item, HDWP hdwp, RECT rc) {
    return item->DeferFramePos(hdwp, rc.left, rc.top, rc.right, rc.bottom);
  }
};

// A frame package: dock bars before and after its central item.
class CSubWndFramesPackage
    : public CWndFramesPackageBase<std::unique_ptr<IFrame>, CFrameItemTraits> {
public:
  using CBase = CWndFramesPackageBase<std::unique_ptr<IFrame>, CFrameItemTraits>;

  // The inner package as the outer package's central item.
  class CFrameWrapper : public IFrame {
  public:
    explicit CFrameWrapper(CSubWndFramesPackage& package) : m_Package(package) {}
    HWND hwnd() const override { return nullptr; }
    bool AcceptDock(DFDOCKRECT*) override {
      DOCK_ASSERT(false);
      return true;
    }
    int MinDistance() const override {
      MINMAXINFO info{};
      GetMinMaxInfo(&info);
      return static_cast<int>(m_Package.horizontal() ? info.ptMinTrackSize.y
                                                     : info.ptMinTrackSize.x);
    }
    void GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const override {
      m_Package.GetMinMaxInfo(pMinMaxInfo);
    }
    HDWP DeferFramePos(HDWP hdwp, long x, long y, long x1, long y1) const override {
      m_Package.SetPackageRect(RECT{x, y, x1, y1});
      return hdwp;
    }

  private:
    CSubWndFramesPackage& m_Package;
  };

  explicit CSubWndFramesPackage(bool horizontal) : CBase(horizontal) {}

  std::size_t DeclIndex() const {
    const IFrame* decl = m_pDecl;
    return container().find_item(
        [decl](const std::unique_ptr<IFrame>& f) { return f.get() == decl; });
  }

  // The central item, set once, spanning rc.
  void SetDecl(std::unique_ptr<IFrame> decl, const RECT& rc) {
    DOCK_ASSERT(m_pDecl == 0);
    if (m_pDecl != nullptr) {
      return;
    }
    m_pDecl = decl.get();
    int pos = Near(rc) - kSeparatorWidth;
    container().insert(container().size(), pos, std::move(decl), 0);
    SetPackageRect(rc);
  }

  void SetPackageRect(const RECT& rc) {
    const std::size_t decl = DeclIndex();
    SetRect(rc, decl == container().end() ? npos : decl);
  }

  // Code 1 in the frame's client coordinates.
  bool AcceptDock(DFDOCKRECT* pHdr) {
    const RECT pkg = rect();
    RECT& rc = pHdr->rect;
    const POINT corner{rc.left, rc.top};
    const int key = Near(rc);
    const auto& c = container();
    RECT area = pkg;
    std::size_t ins;
    if (!::PtInRect(&pkg, corner)) {
      if (horizontal()) {
        ::InflateRect(&area, 20, 0);
      } else {
        ::InflateRect(&area, 0, 20);
      }
      if (!::PtInRect(&area, corner)) {
        return false;
      }
      ins = key < c.bounds().hi ? 0 : c.end();
    } else {
      const std::size_t i = c.find(c.bounds().bind(key));
      const int lo = c.low(i);
      const int hi = c.high(i);
      if (key >= lo + 20 && key < hi - 20) {
        if (c[i].m_Item.get() == m_pDecl) {
          return false;
        }
        return c[i].m_Item->AcceptDock(pHdr);
      }
      ins = key < lo + 20 ? i : i + 1;
    }
    const std::size_t decl = DeclIndex();
    const bool after = decl != c.end() && decl < ins;
    const SIZE minimum = MinTrackSize(pHdr->hdr.hWnd);
    const int minAlong = static_cast<int>(horizontal() ? minimum.cx : minimum.cy);
    if (area.right - area.left < minimum.cx || area.bottom - area.top < minimum.cy ||
        minAlong + c.distance_limit(0, c.size()) >= c.bounds().distance()) {
      return false;
    }
    const int extent = Far(rc) - Near(rc);
    const int sep = ins == c.end() ? c.bounds().hi : c[ins].m_Position;
    const int start = after ? sep - extent : sep + kSeparatorWidth;
    if (horizontal()) {
      rc = RECT{start, pkg.top, start + extent, pkg.bottom};
    } else {
      rc = RECT{pkg.left, start, pkg.right, start + extent};
    }
    pHdr->flag = after ? (pHdr->flag | kDockAfterCentral) : (pHdr->flag & ~kDockAfterCentral);
    return true;
  }

  // Code 2: a new bar at the (snapped) rectangle; the record then names it.
  bool Dock(DFDOCKRECT* pHdr, HWND frame) {
    auto bar = CPackageWindowFrame::Make(frame, !horizontal());
    if (!bar) {
      return false;
    }
    const HWND hBar = bar->hwnd();
    auto& c = container();
    const bool after = (pHdr->flag & kDockAfterCentral) != 0;
    std::size_t i;
    if (after) {
      const int key = Far(pHdr->rect);
      i = 0;
      while (i < c.size() && c[i].m_Position < key) {
        ++i;
      }
    } else {
      i = c.find(c.bounds().bind(Near(pHdr->rect)));
    }
    int pos = Near(pHdr->rect);
    c.insert_next_to_central(i, DeclIndex(), pos, std::move(bar), Far(pHdr->rect) - pos);
    Arrange();
    pHdr->hdr.hBar = hBar;
    ::GetWindowRect(hBar, &pHdr->rect);
    pHdr->hdr.code = DC_DOCK;
    const bool bRes = ::SendMessageW(hBar, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(pHdr)) != 0;
    DOCK_ASSERT(bRes);
    return bRes;
  }

  // Code 3 for a bar: its item goes, the bar stays with its window.
  bool Undock(HWND hBar) {
    auto& c = container();
    const std::size_t i = Find(hBar);
    if (i == c.end()) {
      return false;
    }
    c.remove(i);
    Arrange();
    return true;
  }

  std::size_t Find(HWND hBar) const {
    return container().find_item(
        [hBar](const std::unique_ptr<IFrame>& f) { return f->hwnd() == hBar; });
  }

  // Code 4 for a window in one of this package's bars.
  bool GetDockingPosition(DFDOCKPOS* pHdr) {
    const HWND hBar = ::GetParent(pHdr->hdr.hWnd);
    const auto& c = container();
    const std::size_t i = Find(hBar);
    if (i == c.end() || hBar == nullptr) {
      return false;
    }
    const std::size_t decl = DeclIndex();
    pHdr->nHeight = c.high(i) - c.low(i) - kSeparatorWidth;
    if (i < decl) {
      pHdr->dwDockSide |= kPosFromStart;
      pHdr->nBar = static_cast<int>(i);
    } else {
      pHdr->dwDockSide &= ~kPosFromStart;
      pHdr->nBar = static_cast<int>(c.size() - i - 1);
    }
    pHdr->hdr.hBar = hBar;
    return ::SendMessageW(hBar, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(pHdr)) != 0;
  }

  // Code 5: into the bar the position names, or a new bar there.
  bool SetDockingPosition(DFDOCKPOS* pHdr, HWND frame) {
    DOCK_ASSERT(pHdr->IsValid());
    auto& c = container();
    const std::size_t decl = DeclIndex();
    if (decl == c.end()) {
      return false;
    }
    const SIZE minimum = MinTrackSize(pHdr->hdr.hWnd);
    pHdr->nHeight =
        std::max(pHdr->nHeight, static_cast<int>(horizontal() ? minimum.cx : minimum.cy));
    const bool fromStart = (pHdr->dwDockSide & kPosFromStart) != 0;
    const std::size_t n = static_cast<std::size_t>(std::max(pHdr->nBar, 0));
    std::size_t i;
    if (fromStart) {
      i = std::min(n, decl);
    } else {
      i = c.size() - 1 >= n ? std::max(c.size() - 1 - n, decl) : decl;
    }
    HWND hBar;
    if (i == decl || (pHdr->dwDockSide & kPosAlone) != 0) {
      auto bar = CPackageWindowFrame::Make(frame, !horizontal());
      if (!bar) {
        return false;
      }
      hBar = bar->hwnd();
      const int w = pHdr->nHeight + kSeparatorWidth;
      int pos;
      std::size_t at;
      if (fromStart) {
        at = i;
        pos = c.low(i);
      } else {
        at = i + 1;
        pos = std::max(c.bounds().low, c.high(i) - pHdr->nHeight - kSeparatorWidth);
      }
      c.insert_next_to_central(at, decl, pos, std::move(bar), w);
      Arrange();
    } else {
      hBar = c[i].m_Item->hwnd();
    }
    pHdr->hdr.hBar = hBar;
    const bool bRes = ::SendMessageW(hBar, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(pHdr)) != 0;
    DOCK_ASSERT(bRes);
    return bRes;
  }

  int Near(const RECT& rc) const { return static_cast<int>(horizontal() ? rc.left : rc.top); }
  int Far(const RECT& rc) const { return static_cast<int>(horizontal() ? rc.right : rc.bottom); }

private:
  IFrame* m_pDecl = nullptr;
};

// The frame base: T derives from it and may pass WM_CREATE on after its own handling.
// outerHorizontal: the outer package's bars stand left and right of the inner package.
template <class T, class TBase = ATL::CWindow,
          class TWinTraits =
              ATL::CWinTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                              WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>>
class CDockingFrameImplBase : public WTL::CFrameWindowImpl<T, TBase, TWinTraits> {
public:
  using CBase = WTL::CFrameWindowImpl<T, TBase, TWinTraits>;

  explicit CDockingFrameImplBase(bool outerHorizontal = true)
      : m_vPackage(outerHorizontal),
        m_hPackage(!outerHorizontal) {}

  CSubWndFramesPackage& OuterPackage() { return m_vPackage; }
  CSubWndFramesPackage& InnerPackage() { return m_hPackage; }

  BEGIN_MSG_MAP(CDockingFrameImplBase)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WMDF_DOCK, OnDock)
  CHAIN_MSG_MAP(CBase)
  END_MSG_MAP()

  void UpdateLayout(BOOL bResizeBars = TRUE) {
    RECT rc;
    this->GetClientRect(&rc);
    this->UpdateBarsPosition(rc, bResizeBars);
    m_vPackage.SetPackageRect(rc);
  }

  // Docks hWnd at a stored position.
  bool DockWindow(HWND hWnd, std::uint32_t flags, int nBar, float fPctPos, int nHeight,
                  int nWidth) {
    DFDOCKPOS pos{{hWnd, this->m_hWnd, DC_SETDOCKPOSITION}, flags, nBar, fPctPos, nHeight, nWidth};
    if (::GetParent(hWnd) != nullptr && ::GetParent(hWnd) != this->m_hWnd &&
        (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) != 0) {
      DFDOCKHDR undock{hWnd, ::GetParent(hWnd), DC_UNDOCK};
      ::SendMessageW(undock.hBar, WMDF_DOCK, 0, reinterpret_cast<LPARAM>(&undock));
    }
    return SetDockingPosition(&pos);
  }

protected:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    CDockingSettings& settings = CDockingSettings::Get();
    settings.m_Flags = 0;
    settings.Refresh();
    m_vPackage.SetWindow(this->m_hWnd);
    m_hPackage.SetWindow(this->m_hWnd);
    RECT rc;
    this->GetClientRect(&rc);
    this->UpdateBarsPosition(rc, FALSE);
    m_hPackage.SetDecl(std::make_unique<CWindowPtrWrapper>(&this->m_hWndClient), rc);
    m_vPackage.SetDecl(std::make_unique<CSubWndFramesPackage::CFrameWrapper>(m_hPackage), rc);
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam != SIZE_MINIMIZED) {
      static_cast<T*>(this)->UpdateLayout();
    }
    return 0;
  }
  LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    return this->DefWindowProc(uMsg, wParam, lParam);
  }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(this->m_hWnd, &paint);
    m_vPackage.Draw(dc);
    m_hPackage.Draw(dc);
    ::EndPaint(this->m_hWnd, &paint);
    return 0;
  }
  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    CDockingSettings::Get().Refresh();
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (reinterpret_cast<HWND>(wParam) == this->m_hWnd && LOWORD(lParam) == HTCLIENT) {
      POINT pt;
      ::GetCursorPos(&pt);
      this->ScreenToClient(&pt);
      if (m_vPackage.SetCursor(pt) || m_hPackage.SetCursor(pt)) {
        return TRUE;
      }
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    this->DefWindowProc(uMsg, wParam, lParam);
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    MINMAXINFO inner{};
    m_vPackage.GetMinMaxInfo(&inner);
    RECT window;
    RECT pkg = m_vPackage.rect();
    this->GetWindowRect(&window);
    const long extraX = (window.right - window.left) - (pkg.right - pkg.left);
    const long extraY = (window.bottom - window.top) - (pkg.bottom - pkg.top);
    info->ptMinTrackSize.x = inner.ptMinTrackSize.x + extraX;
    info->ptMinTrackSize.y = inner.ptMinTrackSize.y + extraY;
    return 0;
  }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const bool ghost = CDockingSettings::Get().GhostDrag();
    if (m_vPackage.StartSliding(pt, ghost) || m_hPackage.StartSliding(pt, ghost)) {
      Redraw();
      return 0;
    }
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnDock(UINT, WPARAM, LPARAM lParam, BOOL&) {
    auto* hdr = reinterpret_cast<DFDOCKHDR*>(lParam);
    switch (hdr->code) {
      case DC_ACCEPT:
        return AcceptDock(reinterpret_cast<DFDOCKRECT*>(hdr));
      case DC_DOCK: {
        auto* pHdr = reinterpret_cast<DFDOCKRECT*>(hdr);
        this->ScreenToClient(&pHdr->rect);
        CSubWndFramesPackage& package = (pHdr->flag & kDockInner) ? m_hPackage : m_vPackage;
        const bool bRes = package.Dock(pHdr, this->m_hWnd);
        Redraw();
        return bRes;
      }
      case DC_UNDOCK: {
        const bool bRes = m_vPackage.Undock(hdr->hWnd) || m_hPackage.Undock(hdr->hWnd);
        DOCK_ASSERT(bRes);
        Redraw();
        return bRes;
      }
      case DC_GETDOCKPOSITION: {
        auto* pos = reinterpret_cast<DFDOCKPOS*>(hdr);
        pos->dwDockSide &= ~kPosInner;
        if (m_vPackage.Find(::GetParent(hdr->hWnd)) != m_vPackage.container().end()) {
          return m_vPackage.GetDockingPosition(pos);
        }
        pos->dwDockSide |= kPosInner;
        return m_hPackage.GetDockingPosition(pos);
      }
      case DC_SETDOCKPOSITION:
        return SetDockingPosition(reinterpret_cast<DFDOCKPOS*>(hdr));
      case DC_ADJUSTDRAGRECT:
        AdjustDragRect(reinterpret_cast<DFDOCKRECT*>(hdr));
        return TRUE;
      default:
        return FALSE;
    }
  }

  bool SetDockingPosition(DFDOCKPOS* pos) {
    CSubWndFramesPackage& package = (pos->dwDockSide & kPosInner) ? m_hPackage : m_vPackage;
    const bool bRes = package.SetDockingPosition(pos, this->m_hWnd);
    Redraw();
    return bRes;
  }

  BOOL AcceptDock(DFDOCKRECT* pHdr) {
    pHdr->hdr.hBar = this->m_hWnd;
    this->ScreenToClient(&pHdr->rect);
    const RECT original = pHdr->rect;
    bool accepted = m_hPackage.AcceptDock(pHdr);
    if (accepted) {
      pHdr->flag |= kDockInner;
    } else {
      pHdr->rect = original;
      pHdr->hdr.hBar = this->m_hWnd;
      pHdr->flag &= ~kDockInner;
      accepted = m_vPackage.AcceptDock(pHdr);
    }
    if (!accepted) {
      pHdr->hdr.hBar = nullptr;
      pHdr->rect = original;
    }
    // A bar that accepted a forwarded request gave the rectangle back in these coordinates too.
    ::MapWindowPoints(this->m_hWnd, nullptr, reinterpret_cast<POINT*>(&pHdr->rect), 2);
    return accepted;
  }

  // A floating size between the system minimum and a third of the client, from the corner.
  void AdjustDragRect(DFDOCKRECT* pHdr) {
    RECT client;
    this->GetClientRect(&client);
    RECT& rc = pHdr->rect;
    const long width = std::max<long>(std::min<long>(rc.right - rc.left, client.right / 3),
                                      ::GetSystemMetrics(SM_CXMIN));
    const long height = std::max<long>(std::min<long>(rc.bottom - rc.top, client.bottom / 3),
                                       ::GetSystemMetrics(SM_CYMIN));
    rc.right = rc.left + width;
    rc.bottom = rc.top + height;
  }

  void Redraw() {
    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW;
    if (this->m_hWndClient == nullptr) {
      flags |= RDW_ERASE;
    }
    ::RedrawWindow(this->m_hWnd, nullptr, nullptr, flags);
  }

  CSubWndFramesPackage m_vPackage;
  CSubWndFramesPackage m_hPackage;
};

template <class T, class TBase = ATL::CWindow>
class CDockingFrameImpl : public CDockingFrameImplBase<T, TBase> {
public:
  using CDockingFrameImplBase<T, TBase>::CDockingFrameImplBase;
};

}  // namespace dockwins
