#include "MKRX/MKRX_Main.h"

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_LogMessage.h"
#include "MKRX/MKRX_Application.h"
#include "MKRX/iMKRX_Alert.h"
#include "PPXA/PPXA_MessageDialog.h"
#include "UMAC/UMAC_PlatformDetector.h"

#include <AE/AppleEvents.h>

#include <exception>
#include <string>

namespace {

// Uses the input source for the run and sets the script back when the run ends, however it ends.
class InputSourceScope {
public:
  explicit InputSourceScope(StandIn_InputSource& source) { StandIn_SetInputSource(&source); }
  ~InputSourceScope() { StandIn_SetInputSource(nullptr); }
  InputSourceScope(InputSourceScope const&) = delete;
  InputSourceScope& operator=(InputSourceScope const&) = delete;
};

void ShowSystemTooOld() {
  iMKRX_LocalizedText const message(CFSTR("MKRX_OSTooOldMsg"));
  iMKRX_LocalizedText const explanation(CFSTR("MKRX_OSTooOldExp"));
  iMKRX_LocalizedText const quit(CFSTR("CKRX_Quit"));
  PPXA::MessageDialog::ShowError(message.Get(), explanation.Get(), quit.Get(), nullptr, nullptr);
}

void LogFailure(std::string const& what) {
  GLIB_LogMessage::Log(GLIB_SEVERITY_ERROR, ("The program ended on an error: " + what).c_str(),
                       __FILE__, __LINE__);
}

void Run() {
  MKRX_Application application;
  application.Initialize();
  application.Run();
}

}  // namespace

bool MKRX_SystemIsSupported() {
  return static_cast<SInt16>(UMAC_PlatformDetector::SystemVersion()) > 0x1038;
}

int MKRX_Main(int argc, const char* const argv[], StandIn_InputSource& input) {
  InputSourceScope const scope(input);
  if (!MKRX_SystemIsSupported()) {
    ShowSystemTooOld();
    return 0;
  }
  StandIn_SetLaunchArguments(argc, argv);
  // An error that ends the run is no success: it is logged and the status says so.
  try {
    Run();
    return 0;
  } catch (GLIB_Exception const& e) {
    LogFailure(e.NMessage());
  } catch (std::exception const& e) {
    LogFailure(e.what());
  } catch (...) {
    LogFailure("an exception of unknown type");
  }
  return 1;
}
