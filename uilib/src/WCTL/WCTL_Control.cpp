#include "WCTL/WCTL_Control.h"

#include "UCTL/UCTL_Messages.h"

std::uint32_t WCTL_GetModifierKeys() {
  auto down = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
  std::uint32_t keys = 0;
  if (down(VK_SHIFT)) {
    keys |= kUCTL_ShiftKey;
  }
  if (down(VK_CONTROL)) {
    keys |= kUCTL_ControlKey;
  }
  if (down(VK_MENU)) {
    keys |= kUCTL_OptionKey;
  }
  return keys;
}

void WCTL_Control::SetControlSize(long width, long height) {
  RECT client;
  if (!GetClientRect(ControlWindow(), &client)) {
    return;
  }
  ResizeClientArea(width == -1 ? client.right : width, height == -1 ? client.bottom : height);
}

void WCTL_Control::ResizeClientArea(long width, long height) {
  HWND const window = ControlWindow();
  DWORD const style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  DWORD const exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  bool const menu = (style & WS_CHILD) == 0 && GetMenu(window) != nullptr;
  RECT outer = {0, 0, width, height};
  AdjustWindowRectEx(&outer, style, menu, exStyle);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOZORDER | SWP_NOMOVE);
}

void WCTL_Control::MoveControlBy(long dx, long dy) {
  IMPN_RectT<long> const bounds = ControlBounds();
  MoveControlTo(bounds.left + dx, bounds.top + dy);
}

void WCTL_Control::MoveControlTo(long x, long y) {
  SetWindowPos(ControlWindow(), nullptr, x, y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                   SWP_NOSENDCHANGING);
}

IMPN_RectT<long> WCTL_Control::ControlBounds() const {
  HWND const window = ControlWindow();
  RECT r;
  if (!GetWindowRect(window, &r)) {
    return IMPN_RectT<long>();
  }
  // Children are placed in their parent's client coordinates; a top-level window (whose parent
  // is the desktop) in screen coordinates.
  if (HWND const parent = GetAncestor(window, GA_PARENT)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&r), 2);
  }
  return IMPN_RectT<long>(r.top, r.left, r.right - r.left, r.bottom - r.top);
}

void WCTL_Control::RefreshControl() {
  InvalidateRect(ControlWindow(), nullptr, TRUE);
}

void WCTL_Control::SetControlVisible(bool visible) {
  ShowWindow(ControlWindow(), visible ? SW_SHOW : SW_HIDE);
}

bool WCTL_Control::IsControlVisible() const {
  return IsWindowVisible(ControlWindow()) != FALSE;
}

void WCTL_Control::SetControlEnabled(bool enabled) {
  EnableWindow(ControlWindow(), enabled);
}

bool WCTL_Control::IsControlEnabled() const {
  return IsWindowEnabled(ControlWindow()) != FALSE;
}

std::uint32_t WCTL_Control::ControlID() const {
  return static_cast<std::uint32_t>(GetWindowLongPtrW(ControlWindow(), GWL_ID));
}
