#pragma once
// WTL's control wrappers. The simple controls and the list controls live in two files so that each
// stays short; callers include this header, as with WTL.
#include "atlctrls_simple.h"
#include "atlctrls_lists.h"
