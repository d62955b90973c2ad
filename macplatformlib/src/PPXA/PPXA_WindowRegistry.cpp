#include "PPXA/PPXA_WindowRegistry.h"

#include "PPXA/PPXA_Window.h"

#include <algorithm>
#include <vector>

namespace PPXA {

long WindowRegistry::GetWindowCount(bool skipCollapsed) const {
  if (!skipCollapsed)
    return static_cast<long>(m_Windows.size());
  return static_cast<long>(std::count_if(m_Windows.begin(), m_Windows.end(),
                                         [](WindowRef w) { return !IsWindowCollapsed(w); }));
}

void WindowRegistry::ArrangeWindows(WindowArrangement mode, Rect const& area) const {
  const short n = static_cast<short>(GetWindowCount(true));
  if (n == 0)
    return;
  const short W = static_cast<short>(area.right - area.left);
  const short H = static_cast<short>(area.bottom - area.top);
  WindowRef first = *m_Windows.begin();
  Rect titleBar = {0, 0, 0, 0};
  GetWindowBounds(first, kWindowTitleBarRgn, &titleBar);
  const short T = static_cast<short>(titleBar.bottom - titleBar.top);
  HISize minimum = {0, 0};
  HISize maximum = {0, 0};
  GetWindowResizeLimits(first, &minimum, &maximum);

  short w = 0;
  short h = 0;
  short dx = 0;
  short dy = 0;
  switch (mode) {
    case kCascade:
      w = static_cast<short>(W - n - 1 - (n - 1) * T);
      h = static_cast<short>(H - n - 1 - (n - 1) * T);
      dx = dy = static_cast<short>(T + 1);
      break;
    case kTileHorizontally:
      w = static_cast<short>(W - 2);
      h = static_cast<short>((H - n - 1) / n);
      dy = static_cast<short>(h + 1);
      break;
    case kTileVertically:
      w = static_cast<short>((W - n - 1) / n);
      h = static_cast<short>(H - 2);
      dx = static_cast<short>(w + 1);
      break;
  }
  const double contentHeight = static_cast<double>(h) - T;
  if (contentHeight < minimum.height || contentHeight > maximum.height || w < minimum.width ||
      w > maximum.width)
    return;

  // The front document window leads when it is one of the windows arranged.
  WindowRef front = GetFrontWindowOfClass(kDocumentWindowClass, true);
  std::vector<WindowRef> slots;
  const bool frontLeads = front && m_Windows.count(front) && !IsWindowCollapsed(front);
  if (frontLeads)
    slots.push_back(front);
  for (WindowRef window : m_Windows)
    if (window != front && !IsWindowCollapsed(window))
      slots.push_back(window);

  WindowRef behind = front;
  short top = static_cast<short>(area.top + 1);
  short left = static_cast<short>(area.left + 1);
  for (WindowRef window : slots) {
    if (window != front) {
      SendBehind(window, behind);
      behind = window;
    }
    const Rect bounds = {top, left, static_cast<short>(top + h), static_cast<short>(left + w)};
    SetWindowBounds(window, kWindowStructureRgn, &bounds);
    top = static_cast<short>(top + dy);
    left = static_cast<short>(left + dx);
  }
}

void WindowRegistry::CloseAll() {
  for (WindowRef window : m_Windows)
    PostWindowClose(window);
  m_Windows.clear();
}

}  // namespace PPXA
