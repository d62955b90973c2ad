// Errors of the Mac utility layer: GLIB_DerivedException<Tag_UMAC_Exception>.
#pragma once

#include "GLIB/GLIB_Exception.h"

struct Tag_UMAC_Exception {};
using UMAC_Exception = GLIB_DerivedException<Tag_UMAC_Exception>;
