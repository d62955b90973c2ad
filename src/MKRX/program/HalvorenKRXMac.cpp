// The Mac program's executable: its arguments and the live input drive one run.
#include "MKRX/MKRX_Main.h"

#include <HIToolbox/CarbonEvents.h>

int main(int argc, char* argv[]) {
  StandIn_UseLiveClock(true);
  return MKRX_Main(argc, argv, StandIn_CurrentInputSource());
}
