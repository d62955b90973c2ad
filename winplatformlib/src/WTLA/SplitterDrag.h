// The arithmetic of one splitter drag: the pointer moves a separator within the range that the
// items before and after it need, and a cancelled drag puts every separator back where the press
// found it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>

#include "WTLA/ssec.h"

namespace dockwins {

template <class TContainer>
class CSplitterDrag {
public:
  // pointer: the press coordinate along the row's axis.
  CSplitterDrag(TContainer& container, std::size_t entry, int pointer)
      : m_Container(container),
        m_Entry(entry),
        m_pos(container.low(entry)),
        m_Offset(pointer - m_pos),
        m_Range{container.bounds().low + container.distance_limit(0, entry),
                container.bounds().hi - container.distance_limit(entry, container.size())},
        m_PressPositions(container.positions()) {}

  int position() const { return m_pos; }
  const CBounds& range() const { return m_Range; }
  std::size_t entry() const { return m_Entry; }

  // True when the pointer moved the separator.
  bool OnMove(int pointer) {
    const int pos = std::max(m_Range.low, std::min(pointer - m_Offset, m_Range.hi));
    if (pos == m_pos) {
      return false;
    }
    m_pos = pos;
    return true;
  }

  // Moves the separator (and the neighbours it pushes) to the current position.
  void Apply() {
    DOCK_ASSERT(m_Container.bounds().bind(m_pos) == m_pos);
    m_Container.set_position(m_Entry, m_pos);
  }

  void Restore() {
    m_Container.restore_positions(m_PressPositions);
    m_pos = m_Container.low(m_Entry);
  }

private:
  TContainer& m_Container;
  std::size_t m_Entry;
  int m_pos;
  int m_Offset;
  CBounds m_Range;
  std::deque<int> m_PressPositions;
};

}  // namespace dockwins
