// PowerPlant X of the Mac stand-in: holder of a window reference. Adopting another window (or
// null) gives the old one up without disposing of it; the holder's owner disposes of windows.
#pragma once
#include <HIToolbox/MacWindows.h>

namespace PPx {

class SysWindow {
public:
  void Adopt(WindowRef window) { m_Window = window; }
  WindowRef Get() const { return m_Window; }

  void Select() const { SelectWindow(m_Window); }
  bool IsVisible() const { return IsWindowVisible(m_Window); }
  void Show() const { ShowWindow(m_Window); }
  void Hide() const { HideWindow(m_Window); }
  void SetTitle(CFStringRef title) const { SetWindowTitleWithCFString(m_Window, title); }

private:
  WindowRef m_Window = nullptr;
};

}  // namespace PPx
