#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>

// One memory budget for the pixels of every display tile of the process, with the tiles in
// least-recently-used order. Owners charge the bytes they hold (from any thread), keep their
// tiles' places in the order up to date, and give tiles up when asked to make room.
class IMPN_TileBudget {
public:
  // What keeps tiles under the budget.
  class Owner {
  public:
    // Whether a view needs the tile now, so that it must stay.
    virtual bool IsTileNeeded(int level, long index) const = 0;
    // Frees the tile's pixels and forgets its place (the budget has already removed it).
    virtual void DropTile(int level, long index) = 0;

  protected:
    ~Owner() = default;
  };

  struct Entry {
    Owner* owner;
    int level;
    long index;
  };
  // A tile's place in the order; Unplaced() while it has none.
  using Place = std::list<Entry>::iterator;

  static IMPN_TileBudget& Instance();

  // A quarter of the installed memory, at most 2 GiB (256 MiB when the system does not say).
  static std::size_t DefaultLimit();
  std::size_t GetLimit() const { return m_Limit.load(); }
  // Takes effect at the next MakeRoom.
  void SetLimit(std::size_t bytes) { m_Limit.store(bytes); }
  std::size_t GetUsed() const { return m_Used.load(); }

  void Charge(std::size_t bytes) { m_Used.fetch_add(bytes); }
  void Refund(std::size_t bytes) { m_Used.fetch_sub(bytes); }

  // Marks the tile as used now; place is Unplaced() for a tile not yet in the order.
  void Touch(Place& place, Owner& owner, int level, long index);
  void Remove(Place& place);
  Place Unplaced() { return m_Order.end(); }

  // Drops the least recently used tiles that no view needs until the budget holds what is
  // charged, or only needed tiles remain. Only where no tile build is under way.
  void MakeRoom();

private:
  IMPN_TileBudget();

  std::atomic<std::size_t> m_Limit;
  std::atomic<std::size_t> m_Used{0};
  std::mutex m_Lock;
  std::list<Entry> m_Order;  // least recently used first
};
