#pragma once
// The command bar of a frame. In this program the menu stays the frame's own native menu: the
// command bar is a hidden window that only keeps that menu, so that code written for a command
// bar finds the menu where it looks (GetMenu), and it is no band of the rebar. The system then
// draws, tracks and translates the menu (a disabled command's shortcut is not sent), and images
// are not drawn beside menu items. Written from WTL's documented behaviour.
#include <windows.h>

#include "atlframe.h"
#include "atlwin.h"

namespace WTL {

constexpr DWORD ATL_SIMPLE_CMDBAR_PANE_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN |
                                               WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NORESIZE |
                                               CCS_NOPARENTALIGN;

template <class T, class TBase = ::ATL::CWindow, class TWinTraits = ::ATL::CControlWinTraits>
class CCommandBarCtrlImpl : public ::ATL::CWindowImpl<T, TBase, TWinTraits> {
public:
  // Always hidden, whatever style is asked for.
  HWND Create(HWND hWndParent, ::ATL::_U_RECT rect = nullptr, LPCWSTR windowName = nullptr,
              DWORD style = 0, DWORD exStyle = 0, UINT id = ATL_IDW_COMMAND_BAR,
              LPVOID createParam = nullptr) {
    return ::ATL::CWindowImpl<T, TBase, TWinTraits>::Create(
        hWndParent, rect, windowName, (style ? style : ATL_SIMPLE_CMDBAR_PANE_STYLE) & ~WS_VISIBLE,
        exStyle, id, createParam);
  }

  // Keeps the frame's menu; the frame keeps showing and owning it.
  BOOL AttachMenu(HMENU menu) {
    m_hMenu = menu;
    return TRUE;
  }
  HMENU GetMenu() const { return m_hMenu; }

  // Menu images are not drawn: the tool bar resource is only checked for.
  BOOL LoadImages(UINT toolBarId) {
    CToolBarResource resource;
    return resource.Load(toolBarId);
  }

  BEGIN_MSG_MAP(CCommandBarCtrlImpl)
  END_MSG_MAP()

private:
  HMENU m_hMenu = nullptr;
};

class CCommandBarCtrl : public CCommandBarCtrlImpl<CCommandBarCtrl> {
public:
  DECLARE_WND_CLASS_EX(L"WTL_CommandBar", 0, COLOR_BTNFACE)
};

}  // namespace WTL
