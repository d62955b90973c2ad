#pragma once
// List views, tree views, headers and image lists.
#include "atlwin.h"
