// Gestalt of the Mac stand-in (see CoreServices/Gestalt.h).
#include <CoreServices/Gestalt.h>

#include "../Files/iStandInFiles.h"

#include <map>
#include <mutex>

namespace {

struct Answer {
  SInt32 value;
  OSErr error;
};

struct GestaltState {
  std::mutex mutex;
  std::map<OSType, Answer> answers;
  std::map<OSType, int> calls;

  void SetDefaults() {
    answers.clear();
    answers[gestaltSystemVersion] = Answer{0x1049, noErr};
    answers[gestaltMacOSCompatibilityBoxAttr] = Answer{0, noErr};
    calls.clear();
  }
};

// Made on first use, so that static initialisers of other sources may ask already.
GestaltState& TheState() {
  static GestaltState* state = [] {
    auto* made = new GestaltState;
    made->SetDefaults();
    return made;
  }();
  return *state;
}

}  // namespace

OSErr Gestalt(OSType selector, SInt32* response) {
  GestaltState& s = TheState();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    ++s.calls[selector];
  }
  if (OSErr err = standin_files::EnterCall("Gestalt"))
    return err;
  if (response == nullptr)
    return paramErr;
  std::lock_guard<std::mutex> lock(s.mutex);
  auto found = s.answers.find(selector);
  if (found == s.answers.end())
    return gestaltUndefSelectorErr;
  if (found->second.error != noErr)
    return found->second.error;
  *response = found->second.value;
  return noErr;
}

void StandIn_SetGestaltValue(OSType selector, SInt32 value) {
  std::lock_guard<std::mutex> lock(TheState().mutex);
  TheState().answers[selector] = Answer{value, noErr};
}

void StandIn_SetGestaltError(OSType selector, OSErr err) {
  std::lock_guard<std::mutex> lock(TheState().mutex);
  TheState().answers[selector] = Answer{0, err};
}

void StandIn_ResetGestalt() {
  std::lock_guard<std::mutex> lock(TheState().mutex);
  TheState().SetDefaults();
}

int StandIn_GestaltCallCount(OSType selector) {
  std::lock_guard<std::mutex> lock(TheState().mutex);
  auto found = TheState().calls.find(selector);
  return found == TheState().calls.end() ? 0 : found->second;
}
