// The flavour's statistics class for GSTA_Accum: wall-clock ticks on the Mac; wall, kernel and
// user time on Windows.
#pragma once

#ifdef _WIN32
#include "GSTA/win/GSTA_WinTimeStats.h"
#else
#include "GSTA/mac/GSTA_MacTimeStats.h"
#endif
