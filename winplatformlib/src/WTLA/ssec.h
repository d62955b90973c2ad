// The separator container of one row of docked items: the positions of the 5-pixel separator bars
// along the row's axis, each followed by its item, and the rules that keep every item at least at
// its minimum extent while the row is resized, a separator dragged, an item inserted or removed.
// Pure integer arithmetic over any item type: TMinimum answers an item's minimum extent.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <utility>

#include "WTLA/WTLA_Assert.h"

namespace dockwins {

// Every separator in the library is this thick.
constexpr int kSeparatorWidth = 5;

struct CBounds {
  int low = 0;
  int hi = 0;

  int distance() const { return hi - low; }
  int bind(int pos) const { return std::min(std::max(pos, low), hi); }
  bool operator==(const CBounds& other) const { return low == other.low && hi == other.hi; }
};

// TItem is moved, never copied; TMinimum is a callable int(const TItem&).
template <class TItem, class TMinimum>
class CSeparatorContainer {
public:
  struct CEntry {
    int m_Position;
    TItem m_Item;
  };

  explicit CSeparatorContainer(TMinimum minimum = TMinimum()) : m_Minimum(std::move(minimum)) {}

  const CBounds& bounds() const { return m_bounds; }
  std::size_t size() const { return m_separators.size(); }
  bool empty() const { return m_separators.empty(); }
  const CEntry& operator[](std::size_t i) const { return m_separators[i]; }
  TItem& item(std::size_t i) { return m_separators[i].m_Item; }
  std::size_t end() const { return m_separators.size(); }

  int minimum(std::size_t i) const { return m_Minimum(m_separators[i].m_Item); }

  // The room entries [first, last) need: their minimum extents and their separators.
  int distance_limit(std::size_t first, std::size_t last) const {
    int limit = 0;
    for (std::size_t i = first; i < last; ++i) {
      limit += minimum(i) + kSeparatorWidth;
    }
    return limit;
  }

  // The entry with the greatest position not above pos; end() when there is none.
  std::size_t find(int pos) const {
    DOCK_ASSERT(m_bounds.bind(pos) == pos);
    auto it = std::upper_bound(m_separators.begin(), m_separators.end(), pos,
                               [](int p, const CEntry& e) { return p < e.m_Position; });
    return it == m_separators.begin() ? end()
                                      : static_cast<std::size_t>(it - m_separators.begin()) - 1;
  }

  int low(std::size_t i) const {
    DOCK_ASSERT(i != end());
    return m_separators[i].m_Position;
  }
  int high(std::size_t i) const {
    DOCK_ASSERT(i != end());
    return i + 1 < m_separators.size() ? m_separators[i + 1].m_Position : m_bounds.hi;
  }

  // The first entry whose item matches pred, end() when none does.
  template <class TPred>
  std::size_t find_item(TPred pred) const {
    for (std::size_t i = 0; i < m_separators.size(); ++i) {
      if (pred(m_separators[i].m_Item)) {
        return i;
      }
    }
    return end();
  }

  // A row without a central item: the separators are rescaled to the new bounds.
  void set_bounds(CBounds bounds) {
    DOCK_ASSERT(bounds.distance() >= distance_limit(0, size()));
    const CBounds old = m_bounds;
    m_bounds = bounds;
    if (old.distance() == 0) {
      return;
    }
    rescale(static_cast<float>(bounds.distance()) / static_cast<float>(old.distance()));
  }

  // A row with a central item (entry idecl): growth goes to the central item alone; a shrink
  // takes the central item to its minimum first and the rest proportionally.
  void set_bounds(CBounds bounds, std::size_t idecl) {
    DOCK_ASSERT(idecl != end());
    DOCK_ASSERT(bounds.distance() >= distance_limit(0, size()));
    if (idecl >= size()) {
      set_bounds(bounds);
      return;
    }
    const CBounds old = m_bounds;
    int d = bounds.distance() - old.distance();
    if (d < 0) {
      const int slack = high(idecl) - low(idecl) - kSeparatorWidth - minimum(idecl);
      d = std::max(d, -std::max(slack, 0));
    }
    for (std::size_t i = idecl + 1; i < size(); ++i) {
      m_separators[i].m_Position += d;
    }
    m_bounds = bounds;
    const int oldDistance = old.distance() + d;
    // An empty row before has nothing to scale.
    const float ratio =
        oldDistance == 0 ? 1.0f
                         : static_cast<float>(bounds.distance()) / static_cast<float>(oldDistance);
    rescale(ratio);
  }

  // Moves separator i to pos; neighbours are pushed only where an item would fall below its
  // minimum.
  void set_position(std::size_t i, int pos) {
    DOCK_ASSERT(i != end());
    const int before = distance_limit(0, i);
    const int after = distance_limit(i, size());
    DOCK_ASSERT(pos - before >= m_bounds.low);
    DOCK_ASSERT(pos + after <= m_bounds.hi);
    push_before(i, pos - before);
    m_separators[i].m_Position = pos;
    push_from(i + 1, pos + after);
  }

  // Inserts item before entry i with extent w at pos (updated to the position used); the
  // neighbours make room.
  void insert(std::size_t i, int& pos, TItem item, int w) {
    const int before = distance_limit(0, i);
    const int after = distance_limit(i, size());
    const CBounds ef_bounds{m_bounds.low + before, m_bounds.hi - after};
    DOCK_ASSERT(ef_bounds.low <= ef_bounds.hi);
    w = std::min(w, ef_bounds.distance());
    pos = std::max(pos, ef_bounds.low);
    if (pos + w > ef_bounds.hi) {
      pos = ef_bounds.hi - w;
    }
    push_from(i, pos + w + after);
    push_before(i, pos - before);
    if (i == 0) {
      pos = m_bounds.low;
    }
    m_separators.insert(m_separators.begin() + static_cast<std::ptrdiff_t>(i),
                        CEntry{pos, std::move(item)});
  }

  // Inserts before the first entry whose position is at least pos.
  std::size_t insert_at(int& pos, TItem item, int w) {
    auto it = std::lower_bound(m_separators.begin(), m_separators.end(), pos,
                               [](const CEntry& e, int p) { return e.m_Position < p; });
    const std::size_t i = static_cast<std::size_t>(it - m_separators.begin());
    insert(i, pos, std::move(item), w);
    return i;
  }

  // Inserts before entry i, beside the central item idecl, taking the room from the central item.
  void insert_next_to_central(std::size_t i, std::size_t idecl, int& pos, TItem item, int w) {
    DOCK_ASSERT(idecl != end());
    if (idecl >= size()) {
      return;
    }
    const int slack = high(idecl) - low(idecl) - minimum(idecl) - kSeparatorWidth;
    w = std::min(w, std::max(slack, 0));
    if (i <= idecl) {
      for (std::size_t k = i; k <= idecl; ++k) {
        m_separators[k].m_Position += w;
      }
    } else {
      for (std::size_t k = idecl + 1; k < i; ++k) {
        m_separators[k].m_Position -= w;
      }
    }
    insert(i, pos, std::move(item), w);
  }

  // Erases entry i; the item before takes its space (the next one when it was the first).
  TItem remove(std::size_t i) {
    DOCK_ASSERT(i != end());
    TItem removed = std::move(m_separators[i].m_Item);
    m_separators.erase(m_separators.begin() + static_cast<std::ptrdiff_t>(i));
    if (i == 0 && !m_separators.empty()) {
      m_separators.front().m_Position = m_bounds.low;
    }
    return removed;
  }

  // Every separator's position, to put back after a cancelled drag.
  std::deque<int> positions() const {
    std::deque<int> result;
    for (const CEntry& e : m_separators) {
      result.push_back(e.m_Position);
    }
    return result;
  }
  void restore_positions(const std::deque<int>& positions) {
    DOCK_ASSERT(positions.size() == size());
    for (std::size_t i = 0; i < size() && i < positions.size(); ++i) {
      m_separators[i].m_Position = positions[i];
    }
  }

  // Puts item in entry i's place; returns the old item.
  TItem replace(std::size_t i, TItem item) {
    DOCK_ASSERT(i != end());
    std::swap(m_separators[i].m_Item, item);
    return item;
  }

private:
  // Lowers entries [0, i) so that each leaves its items' room up to bound.
  void push_before(std::size_t i, int bound) {
    for (std::size_t k = 0; k < i; ++k) {
      int& p = m_separators[k].m_Position;
      p = std::min(p, bound);
      bound += minimum(k) + kSeparatorWidth;
    }
  }

  // Raises entries [i, end) so that each leaves the room of the items after it below bound.
  void push_from(std::size_t i, int bound) {
    for (std::size_t k = size(); k-- > i;) {
      bound -= minimum(k) + kSeparatorWidth;
      int& p = m_separators[k].m_Position;
      p = std::max(p, bound);
    }
  }

  void rescale(float ratio) {
    if (m_separators.empty()) {
      return;
    }
    const int L = m_bounds.low;
    const int f = m_separators.front().m_Position;
    m_separators.front().m_Position = L;
    int lower = L + minimum(0) + kSeparatorWidth;
    int upper = m_bounds.hi - distance_limit(1, size());
    for (std::size_t k = 1; k < size(); ++k) {
      const int shifted = m_separators[k].m_Position + (L - f);
      const long double scaled =
          static_cast<long double>(ratio) * static_cast<long double>(shifted - L);
      int pos = L + static_cast<int>(scaled);
      pos = std::max(std::min(pos, upper), lower);
      m_separators[k].m_Position = pos;
      const int room = minimum(k) + kSeparatorWidth;
      lower = pos + room;
      upper += room;
    }
  }

  TMinimum m_Minimum;
  CBounds m_bounds;
  std::deque<CEntry> m_separators;
};

}  // namespace dockwins
