// A row of items between separators inside a rectangle of its window: a frame package (items
// are the dock bars and the central item) or a dock bar (items are its palettes). It lays its
// items out in one deferred batch, paints its separators and lets them be dragged.
//
// TTraits says what an item is: Minimum(item) along the row, MinMax(item, MINMAXINFO*),
// Place(item, HDWP, RECT) -> HDWP and Window(item).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <memory>

#include "WTLA/ssec.h"
#include "WTLA/win/SplitterTracker.h"

namespace dockwins {

template <class TItem, class TTraits>
class CWndFramesPackageBase {
public:
  struct CMinimum {
    int operator()(const TItem& item) const { return TTraits::Minimum(item); }
  };
  using CContainer = CSeparatorContainer<TItem, CMinimum>;
  using CSplitterMoveTrackerFull = dockwins::CSplitterMoveTrackerFull<CWndFramesPackageBase>;
  using CSplitterMoveTrackerGhost = dockwins::CSplitterMoveTrackerGhost<CWndFramesPackageBase>;
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  explicit CWndFramesPackageBase(bool horizontal, HWND window = nullptr)
      : m_horizontal(horizontal),
        m_Window(window) {}

  CContainer& container() { return m_Container; }
  const CContainer& container() const { return m_Container; }
  bool horizontal() const { return m_horizontal; }
  RECT rect() const { return m_rect; }
  HWND window() const { return m_Window; }
  void SetWindow(HWND window) { m_Window = window; }

  // Lays the items out; false when a deferral failed.
  bool Arrange() {
    const std::size_t n = m_Container.size();
    if (n == 0) {
      return true;
    }
    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(n));
    for (std::size_t i = 0; i < n && hdwp != nullptr; ++i) {
      hdwp = TTraits::Place(m_Container.item(i), hdwp, ItemRect(i));
    }
    return hdwp != nullptr && ::EndDeferWindowPos(hdwp);
  }

  // Takes a new rectangle: the bounds follow its edges along the axis, widened to the room the
  // items need; the central item (npos: none) takes the change first.
  void SetRect(const RECT& rc, std::size_t central = npos) {
    if (::EqualRect(&rc, &m_rect)) {
      return;
    }
    m_rect = rc;
    const int nearEdge = static_cast<int>(m_horizontal ? rc.left : rc.top);
    const int farEdge = static_cast<int>(m_horizontal ? rc.right : rc.bottom);
    CBounds bounds{nearEdge - kSeparatorWidth, farEdge};
    const int limit = m_Container.distance_limit(0, m_Container.size());
    if (bounds.distance() < limit) {
      bounds.hi = bounds.low + limit;
    }
    if (central == npos) {
      m_Container.set_bounds(bounds);
    } else {
      m_Container.set_bounds(bounds, central);
    }
    Arrange();
  }

  // The row's size limits: the items' minimums along the axis with their separators, the
  // largest across it.
  void GetMinMaxInfo(MINMAXINFO* pMinMaxInfo) const {
    const std::size_t n = m_Container.size();
    if (n == 0) {
      return;
    }
    long along = 0;
    long across = 0;
    for (std::size_t i = 0; i < n; ++i) {
      MINMAXINFO item{};
      TTraits::MinMax(m_Container[i].m_Item, &item);
      along += (m_horizontal ? item.ptMinTrackSize.x : item.ptMinTrackSize.y) + kSeparatorWidth;
      across = std::max(across, m_horizontal ? item.ptMinTrackSize.y : item.ptMinTrackSize.x);
    }
    along -= kSeparatorWidth;
    (m_horizontal ? pMinMaxInfo->ptMinTrackSize.x : pMinMaxInfo->ptMinTrackSize.y) = along;
    (m_horizontal ? pMinMaxInfo->ptMinTrackSize.y : pMinMaxInfo->ptMinTrackSize.x) = across;
  }

  RECT SeparatorRect(std::size_t i) const {
    const int pos = m_Container[i].m_Position;
    return m_horizontal ? RECT{pos, m_rect.top, pos + kSeparatorWidth, m_rect.bottom}
                        : RECT{m_rect.left, pos, m_rect.right, pos + kSeparatorWidth};
  }

  RECT ItemRect(std::size_t i) const {
    const int low = m_Container.low(i) + kSeparatorWidth;
    const int high = i + 1 < m_Container.size()
                         ? m_Container.high(i)
                         : static_cast<int>(m_horizontal ? m_rect.right : m_rect.bottom);
    return m_horizontal ? RECT{low, m_rect.top, high, m_rect.bottom}
                        : RECT{m_rect.left, low, m_rect.right, high};
  }

  // Every separator but the first, which lies before the row and is never on screen.
  void Draw(HDC dc) const {
    for (std::size_t i = 1; i < m_Container.size(); ++i) {
      const RECT rc = SeparatorRect(i);
      ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    }
  }

  // The separator under pt, npos when none (the first is never on screen).
  std::size_t HitTest(POINT pt) const {
    const int along = static_cast<int>(m_horizontal ? pt.x : pt.y);
    if (m_Container.empty() || m_Container.bounds().bind(along) != along) {
      return npos;
    }
    const std::size_t i = m_Container.find(along);
    if (i == m_Container.end() || i == 0) {
      return npos;
    }
    const RECT rc = SeparatorRect(i);
    return ::PtInRect(&rc, pt) ? i : npos;
  }

  // The cursor over a separator.
  bool SetCursor(POINT pt) const {
    if (HitTest(pt) == npos) {
      return false;
    }
    ::SetCursor(::LoadCursorW(nullptr, m_horizontal ? IDC_SIZEWE : IDC_SIZENS));
    return true;
  }

  // A press on a separator drags it; true when the press was on one.
  bool StartSliding(POINT pt, bool ghost) {
    const std::size_t i = HitTest(pt);
    if (i == npos) {
      return false;
    }
    if (ghost) {
      CSplitterMoveTrackerGhost tracker(*this, i, pt);
      TrackDragAndDrop(tracker, m_Window);
    } else {
      CSplitterMoveTrackerFull tracker(*this, i, pt);
      TrackDragAndDrop(tracker, m_Window);
    }
    return true;
  }

private:
  bool m_horizontal;
  HWND m_Window;
  RECT m_rect{};
  CContainer m_Container;
};

}  // namespace dockwins
