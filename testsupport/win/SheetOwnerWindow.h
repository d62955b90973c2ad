// The visible window a property-sheet test runs its sheet over: the tab control registered (the
// sheet needs it) and a plain popup at a known place, so that centring can be checked.
#pragma once

#include <windows.h>

#include <commctrl.h>

class SheetOwnerWindow {
public:
  SheetOwnerWindow() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TAB_CLASSES};
    InitCommonControlsEx(&init);
    m_Window = CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP | WS_VISIBLE, 100, 80, 700, 500,
                               nullptr, nullptr, nullptr, nullptr);
  }
  ~SheetOwnerWindow() { DestroyWindow(m_Window); }
  SheetOwnerWindow(const SheetOwnerWindow&) = delete;
  SheetOwnerWindow& operator=(const SheetOwnerWindow&) = delete;

  operator HWND() const { return m_Window; }

private:
  HWND m_Window = nullptr;
};
