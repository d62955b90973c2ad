// Placeholder of the input source: the script hands its inputs over in order. The event loop
// replaces it; the routing is in InputRouting.cpp.
#include <HIToolbox/StandInInput.h>

#include <deque>

namespace {

class ScriptSource : public StandIn_InputSource {
public:
  bool NextInput(EventTime, StandIn_Input& input) override {
    if (m_Inputs.empty())
      return false;
    input = m_Inputs.front();
    m_Inputs.pop_front();
    return true;
  }
  void Wake() override {}
  void Append(const StandIn_Input& input) { m_Inputs.push_back(input); }

private:
  std::deque<StandIn_Input> m_Inputs;
};

ScriptSource& Script() {
  static ScriptSource script;
  return script;
}

StandIn_InputSource* g_Source = nullptr;

}  // namespace

void StandIn_SetInputSource(StandIn_InputSource* source) {
  g_Source = source;
}

StandIn_InputSource& StandIn_CurrentInputSource() {
  return g_Source ? *g_Source : Script();
}

void StandIn_ScriptInput(const StandIn_Input& input) {
  Script().Append(input);
}
