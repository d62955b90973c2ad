// The input sources of the stand-in: the current one and the script (see HIToolbox/StandInInput.h).
#include <HIToolbox/StandInInput.h>

#include "iStandInEventClock.h"
#include "iStandInToolbox.h"

#include <algorithm>
#include <atomic>
#include <deque>

namespace {

// Raw input and pauses in order. Main thread only, but for Wake.
class ScriptSource : public StandIn_InputSource {
public:
  bool NextInput(EventTime deadline, StandIn_Input& input) override {
    while (!m_Entries.empty()) {
      if (m_Waiter.TakeWake())
        return false;
      Entry& next = m_Entries.front();
      if (!next.pause) {
        input = next.input;
        m_Entries.pop_front();
        return true;
      }
      if (next.end < 0)
        next.end = standin_tb::ClockNow() + next.seconds;
      if (deadline != kEventDurationForever && deadline < next.end) {
        m_Waiter.WaitUntil(deadline);  // at the deadline or woken: the pause goes on later
        return false;
      }
      if (!m_Waiter.WaitUntil(next.end))
        return false;  // woken: the pause goes on from where it stands
      m_Entries.pop_front();
    }
    return false;
  }
  void Wake() override { m_Waiter.Wake(); }
  bool Exhausted() const override { return m_Entries.empty(); }

  void Append(const StandIn_Input& input) { m_Entries.push_back(Entry{false, input, 0, -1}); }
  void AppendPause(EventTimerInterval seconds) {
    m_Entries.push_back(Entry{true, StandIn_Input(), std::max(0.0, seconds), -1});
  }
  void Clear() {
    m_Entries.clear();
    m_Waiter.TakeWake();
  }

private:
  struct Entry {
    bool pause;
    StandIn_Input input;
    EventTimerInterval seconds;
    EventTime end;  // < 0: the pause has not begun
  };
  std::deque<Entry> m_Entries;
  standin_tb::ClockWaiter m_Waiter;
};

ScriptSource& Script() {
  static ScriptSource* script = new ScriptSource;  // never destroyed: tasks may wake it at exit
  return *script;
}

std::atomic<StandIn_InputSource*> g_Source{nullptr};  // read by any thread that wakes the loop
std::atomic<bool> g_UserAtDisplay{false};

}  // namespace

void StandIn_SetUserAtDisplay(bool atDisplay) {
  g_UserAtDisplay.store(atDisplay);
}

bool StandIn_UserAtDisplay() {
  return g_UserAtDisplay.load();
}

void StandIn_SetInputSource(StandIn_InputSource* source) {
  g_Source.store(source);
}

StandIn_InputSource& StandIn_CurrentInputSource() {
  StandIn_InputSource* source = g_Source.load();
  return source ? *source : Script();
}

void StandIn_ScriptInput(const StandIn_Input& input) {
  Script().Append(input);
}

void StandIn_ScriptPause(EventTimerInterval seconds) {
  Script().AppendPause(seconds);
}

void StandIn_ScriptInputClear() {
  Script().Clear();
}

bool standin_tb::NextModalInput(StandIn_Input& input) {
  StandIn_InputSource& source = StandIn_CurrentInputSource();
  while (!source.NextInput(kEventDurationForever, input))
    if (source.Exhausted())
      return false;
  return true;
}
