#pragma once
// A minimal stand-in for WTL's frame window: the handles of its tool bar, status bar and client
// view, and the layout that gives the client view what the bars leave. Written from WTL's
// documented behaviour.
#include <windows.h>

#include "atlwin.h"

namespace WTL {

// A frame class with its own name; the resource id names the frame's icon.
#define DECLARE_FRAME_WND_CLASS(WndClassName, uCommonResourceID)                                   \
  static ::ATL::CWndClassInfo& GetWndClassInfo() {                                                 \
    static ::ATL::CWndClassInfo wc = {                                                             \
        {sizeof(WNDCLASSEXW), static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS),             \
         StartWindowProc, 0, 0, nullptr,                                                           \
         ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(uCommonResourceID)), nullptr,   \
         reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), nullptr, WndClassName,  \
         nullptr},                                                                                 \
        nullptr,                                                                                   \
        nullptr,                                                                                   \
        0,                                                                                         \
        L""};                                                                                      \
    return wc;                                                                                     \
  }

template <class TBase = ::ATL::CWindow, class TWinTraits = ::ATL::CFrameWinTraits>
class CFrameWindowImplBase : public ::ATL::CWindowImplBaseT<TBase, TWinTraits> {
public:
  HWND m_hWndToolBar = nullptr;
  HWND m_hWndStatusBar = nullptr;
  HWND m_hWndClient = nullptr;

  // Takes the visible bars' heights off rect: the tool bar's from the top, the status bar's from
  // the bottom. With bResizeBars they are first told to fit the frame again (WM_SIZE).
  void UpdateBarsPosition(RECT& rect, BOOL bResizeBars = TRUE) {
    if (IsVisibleWindow(m_hWndToolBar)) {
      if (bResizeBars) {
        ::SendMessageW(m_hWndToolBar, WM_SIZE, 0, 0);
        ::InvalidateRect(m_hWndToolBar, nullptr, TRUE);
      }
      RECT bar;
      ::GetWindowRect(m_hWndToolBar, &bar);
      rect.top += bar.bottom - bar.top;
    }
    if (IsVisibleWindow(m_hWndStatusBar)) {
      if (bResizeBars) {
        ::SendMessageW(m_hWndStatusBar, WM_SIZE, 0, 0);
      }
      RECT bar;
      ::GetWindowRect(m_hWndStatusBar, &bar);
      rect.bottom -= bar.bottom - bar.top;
    }
  }

protected:
  static bool IsVisibleWindow(HWND hWnd) {
    return hWnd != nullptr && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
  }
};

// T may replace UpdateLayout; the map calls T's. A derived map that handles WM_SETFOCUS before
// chaining here bypasses the focus hand-over to the client view.
template <class T, class TBase = ::ATL::CWindow, class TWinTraits = ::ATL::CFrameWinTraits>
class CFrameWindowImpl : public CFrameWindowImplBase<TBase, TWinTraits> {
public:
  static ::ATL::CWndClassInfo& GetWndClassInfo() {
    static ::ATL::CWndClassInfo wc = {
        {sizeof(WNDCLASSEXW), static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS),
         CFrameWindowImpl::StartWindowProc, 0, 0, nullptr, nullptr, nullptr,
         reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), nullptr, nullptr,
         nullptr},
        nullptr,
        nullptr,
        0,
        L""};
    return wc;
  }

  HWND Create(HWND hWndParent = nullptr, ::ATL::_U_RECT rect = nullptr,
              LPCWSTR windowName = nullptr, DWORD style = 0, DWORD exStyle = 0,
              HMENU hMenu = nullptr, LPVOID createParam = nullptr) {
    const ATOM atom = T::GetWndClassInfo().Register(&this->m_pfnSuperWindowProc);
    return ::ATL::CWindowImplBaseT<TBase, TWinTraits>::Create(
        hWndParent, rect, windowName, T::GetWndStyle(style), T::GetWndExStyle(exStyle), hMenu, atom,
        createParam);
  }

  // The client view takes the client area the bars leave.
  void UpdateLayout(BOOL bResizeBars = TRUE) {
    RECT rect;
    this->GetClientRect(&rect);
    this->UpdateBarsPosition(rect, bResizeBars);
    if (this->m_hWndClient != nullptr) {
      ::SetWindowPos(this->m_hWndClient, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  BEGIN_MSG_MAP(CFrameWindowImpl)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  END_MSG_MAP()

  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != SIZE_MINIMIZED) {
      static_cast<T*>(this)->UpdateLayout();
    }
    bHandled = FALSE;
    return 1;
  }

  // The client view covers the whole background.
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (this->m_hWndClient == nullptr) {
      bHandled = FALSE;
    }
    return 1;
  }

  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (this->m_hWndClient != nullptr && ::IsWindowVisible(this->m_hWndClient)) {
      ::SetFocus(this->m_hWndClient);
    }
    bHandled = FALSE;
    return 1;
  }
};

}  // namespace WTL

#include "atlframe_dlgresize.h"
#include "atlframe_ownerdraw.h"

using namespace WTL;
