// PowerPlant X of the Mac stand-in: a timer on the main event loop (the event clock).
// Removed when destroyed; exceptions of DoTimer do not leave the timer's callback.
#pragma once
#include <HIToolbox/CarbonEvents.h>

namespace PPx {

class Timer {
public:
  Timer() = default;
  virtual ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Fires after delay, then every interval (0: once); replaces an earlier installation. Throws
  // OSError.
  void Install(EventTimerInterval delay, EventTimerInterval interval);
  void Remove();
  bool IsTimerInstalled() const { return m_Timer != nullptr; }

protected:
  virtual void DoTimer() = 0;

private:
  static void Callback(EventLoopTimerRef timer, void* data);
  EventLoopTimerRef m_Timer = nullptr;
};

}  // namespace PPx
