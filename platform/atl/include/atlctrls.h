#pragma once
// WTL's control wrappers. The simple controls, the list controls, the bars and the track bar live
// in files of their own so that each stays short; callers include this header, as with WTL.
#include "atlctrls_simple.h"
#include "atlctrls_lists.h"
#include "atlctrls_bars.h"
#include "atlctrls_trackbar.h"
