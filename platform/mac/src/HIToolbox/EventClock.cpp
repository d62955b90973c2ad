// The event clock of the stand-in (see iStandInEventClock.h).
#include "iStandInEventClock.h"

#include <algorithm>
#include <atomic>
#include <chrono>

namespace {

using Steady = std::chrono::steady_clock;

// The clock is the base time plus, while live, the real time since the base was set. Both are
// kept under one lock so that a reader on another thread never sees half a change.
struct Clock {
  std::mutex mutex;
  EventTime base = 0;
  bool live = false;
  Steady::time_point since;
};

Clock& TheClock() {
  static Clock* clock = new Clock;  // never destroyed: tasks may read it during static exit
  return *clock;
}

EventTime NowLocked(const Clock& c) {
  if (!c.live)
    return c.base;
  return c.base + std::chrono::duration<double>(Steady::now() - c.since).count();
}

}  // namespace

namespace standin_tb {

EventTime ClockNow() {
  Clock& c = TheClock();
  std::lock_guard<std::mutex> lock(c.mutex);
  return NowLocked(c);
}

void ClockMoveTo(EventTime time) {
  Clock& c = TheClock();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.base = std::max(NowLocked(c), time);
  c.since = Steady::now();
}

bool ClockIsLive() {
  Clock& c = TheClock();
  std::lock_guard<std::mutex> lock(c.mutex);
  return c.live;
}

void ClockSetLive(bool live) {
  Clock& c = TheClock();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.base = NowLocked(c);
  c.since = Steady::now();
  c.live = live;
}

void ClockReset() {
  Clock& c = TheClock();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.base = 0;
  c.live = false;
}

bool ClockWaiter::WaitUntil(EventTime deadline) {
  std::unique_lock<std::mutex> lock(m_Mutex);
  if (!ClockIsLive()) {
    if (m_Wake) {
      m_Wake = false;
      return false;
    }
    if (deadline != kEventDurationForever)
      ClockMoveTo(deadline);
    // Nothing can come on a virtual clock without a deadline: waiting would never end.
    return true;
  }
  auto woken = [this] { return m_Wake; };
  if (deadline == kEventDurationForever) {
    m_Woken.wait(lock, woken);
  } else {
    const auto left = std::chrono::duration<double>(std::max(0.0, deadline - ClockNow()));
    if (!m_Woken.wait_for(lock, left, woken))
      return true;
  }
  m_Wake = false;
  return false;
}

bool ClockWaiter::TakeWake() {
  std::lock_guard<std::mutex> lock(m_Mutex);
  const bool wake = m_Wake;
  m_Wake = false;
  return wake;
}

void ClockWaiter::Wake() {
  {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Wake = true;
  }
  m_Woken.notify_all();
}

}  // namespace standin_tb
