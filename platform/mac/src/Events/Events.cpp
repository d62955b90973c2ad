#include <HIToolbox/Events.h>

#include <atomic>
#include <chrono>

namespace {
std::atomic<bool> g_frozen{false};
std::atomic<UInt32> g_frozenTicks{0};

const std::chrono::steady_clock::time_point& ClockStart() {
  static const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  return start;
}
}  // namespace

UInt32 TickCount(void) {
  if (g_frozen.load())
    return g_frozenTicks.load();
  const auto elapsed = std::chrono::steady_clock::now() - ClockStart();
  const long long ticks =
      std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() * 60 / 1000;
  return static_cast<UInt32>(static_cast<unsigned long long>(ticks));
}

void StandIn_SetTickCount(UInt32 ticks) {
  g_frozenTicks.store(ticks);
  g_frozen.store(true);
}

void StandIn_ReleaseTickCount(void) {
  g_frozen.store(false);
}
