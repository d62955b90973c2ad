// QuickDraw of the Mac stand-in: regions only as objects to hold and dispose.
#pragma once
#include <MacTypes.h>

struct MacRegion;
typedef MacRegion* RgnPtr;
typedef RgnPtr* RgnHandle;

// Null when no region can be made (failure injection by name "NewRgn", see
// StandIn_FilesFailNext in CoreServices/Files.h).
RgnHandle NewRgn(void);
void DisposeRgn(RgnHandle rgn);

// Test hook: regions alive (a leak check).
long StandIn_RegionLiveCount();
