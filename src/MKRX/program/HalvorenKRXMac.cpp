// The Mac program's executable: its arguments and the live input drive one run. On a desktop (an
// X display in DISPLAY) the program shows its windows and menu bar there and takes that display's
// mouse and keyboard; without one it runs on the stand-in's own input.
#include "MKRX/MKRX_Main.h"

#include <HIToolbox/CarbonEvents.h>
#include <HIToolbox/StandInPresenter.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
  StandIn_UseLiveClock(true);
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0')
    return MKRX_Main(argc, argv, StandIn_CurrentInputSource());
  std::unique_ptr<StandIn_X11Presenter> presenter = StandIn_X11Presenter::Open();
  if (!presenter) {
    std::fprintf(stderr, "HalvorenKRXMac: cannot open the X display \"%s\"\n", display);
    return 1;
  }
  return MKRX_Main(argc, argv, *presenter);
}
