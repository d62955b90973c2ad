// A set of window references that an owner keeps for its windows (ordered by reference, no
// duplicates): counted, arranged on the screen, and closed all at once. It owns no window.
#pragma once

#include <HIToolbox/MacWindows.h>

#include <set>

namespace PPXA {

class WindowRegistry {
public:
  enum WindowArrangement {
    kCascade = 0,
    kTileHorizontally = 1,  // full-width strips one under the other
    kTileVertically = 2     // full-height columns side by side
  };
  using Iterator = std::set<WindowRef>::const_iterator;

  void InsertWindow(WindowRef window) { m_Windows.insert(window); }
  void RemoveWindow(WindowRef window) { m_Windows.erase(window); }
  Iterator Begin() const { return m_Windows.begin(); }
  Iterator End() const { return m_Windows.end(); }

  // All windows, or only those not collapsed.
  long GetWindowCount(bool skipCollapsed) const;

  // Arranges the registered windows that are not collapsed inside area, sizes from the first
  // registered window's title bar and resize limits. The frontmost visible document window takes
  // the first slot when it is one of them; they fill slots 0 to n - 1, each stacked behind the one
  // before (the first behind the front window). Nothing moves without windows, for another mode,
  // or when the size breaks the resize limits.
  void ArrangeWindows(WindowArrangement mode, Rect const& area) const;
  void Cascade(Rect const& area) const { ArrangeWindows(kCascade, area); }
  void TileHorizontally(Rect const& area) const { ArrangeWindows(kTileHorizontally, area); }
  void TileVertically(Rect const& area) const { ArrangeWindows(kTileVertically, area); }

  // Posts a close event to each window and empties the set at once.
  void CloseAll();

private:
  std::set<WindowRef> m_Windows;
};

}  // namespace PPXA
