// The event clock of the stand-in's Carbon events, and the wait of the input sources on it.
//
// One clock: virtual in tests (it moves only when told), live in a desktop run (it follows real
// time from where it stood). Reading it is safe from any thread.
#pragma once
#include <HIToolbox/CarbonEvents.h>

#include <condition_variable>
#include <mutex>

namespace standin_tb {

EventTime ClockNow();
// Moves the clock on to time (never back); under the live clock real time moves it as well.
void ClockMoveTo(EventTime time);
bool ClockIsLive();
void ClockSetLive(bool live);
// The virtual clock at 0.
void ClockReset();

// What an input source waits on: until a time on the event clock, or until woken. Under the
// virtual clock the wait ends at once with the clock moved to the deadline; under the live clock
// it takes that long. A wake that comes while nothing waits ends the next wait at once.
class ClockWaiter {
public:
  // True when the deadline came, false when woken (the wake is used up).
  bool WaitUntil(EventTime deadline);
  // Takes a pending wake without waiting; true when there was one.
  bool TakeWake();
  // Callable from any thread.
  void Wake();

private:
  std::mutex m_Mutex;
  std::condition_variable m_Woken;
  bool m_Wake = false;
};

}  // namespace standin_tb
