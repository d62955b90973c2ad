#include "IMPN/IMPN_TileBudget.h"

#include "GLIB/GLIB_PageMemory.h"

#include <algorithm>

IMPN_TileBudget& IMPN_TileBudget::Instance() {
  // Never destroyed: tiled images may still go while statics go at exit.
  static IMPN_TileBudget* budget = new IMPN_TileBudget;
  return *budget;
}

IMPN_TileBudget::IMPN_TileBudget() : m_Limit(DefaultLimit()) {}

std::size_t IMPN_TileBudget::DefaultLimit() {
  std::uint64_t const kMost = std::uint64_t(2) << 30;
  std::uint64_t const installed = GLIB_PhysicalMemorySize();
  std::uint64_t const limit = installed == 0 ? std::uint64_t(256) << 20 : installed / 4;
  return static_cast<std::size_t>(std::min(limit, kMost));
}

void IMPN_TileBudget::Touch(Place& place, Owner& owner, int level, long index) {
  std::lock_guard<std::mutex> lock(m_Lock);
  if (place == m_Order.end()) {
    m_Order.push_back(Entry{&owner, level, index});
    place = std::prev(m_Order.end());
  } else
    m_Order.splice(m_Order.end(), m_Order, place);
}

void IMPN_TileBudget::Remove(Place& place) {
  // The end of a list stays where it is: no lock needed to see that a tile has no place.
  if (place == m_Order.end())
    return;
  std::lock_guard<std::mutex> lock(m_Lock);
  m_Order.erase(place);
  place = m_Order.end();
}

void IMPN_TileBudget::MakeRoom() {
  std::lock_guard<std::mutex> lock(m_Lock);
  for (auto it = m_Order.begin(); it != m_Order.end() && m_Used.load() > m_Limit.load();) {
    Entry const entry = *it;
    if (entry.owner->IsTileNeeded(entry.level, entry.index)) {
      ++it;
      continue;
    }
    it = m_Order.erase(it);
    entry.owner->DropTile(entry.level, entry.index);
  }
}
