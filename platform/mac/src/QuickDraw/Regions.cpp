// QuickDraw regions of the Mac stand-in (see QD/QuickDraw.h).
#include <QD/QuickDraw.h>

#include "../Files/iStandInFiles.h"

#include <atomic>

struct MacRegion {
  RgnPtr master = this;  // what the handle points at
};

namespace {
std::atomic<long> g_liveRegions{0};
}

RgnHandle NewRgn(void) {
  if (standin_files::EnterCall("NewRgn"))
    return nullptr;
  ++g_liveRegions;
  return &(new MacRegion)->master;
}

void DisposeRgn(RgnHandle rgn) {
  standin_files::EnterCall("DisposeRgn");
  if (rgn) {
    delete *rgn;
    --g_liveRegions;
  }
}

long StandIn_RegionLiveCount() {
  return g_liveRegions.load();
}
