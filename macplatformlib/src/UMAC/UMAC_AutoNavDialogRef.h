// Holder of a Navigation Services dialog: the code that creates the dialog hands it over with
// Adopt; the holder disposes it when destroyed.
#pragma once

#include "UMAC/iUMAC_AutoFilled.h"

#include <HIToolbox/Navigation.h>

struct iUMAC_NavDialogDisposer {
  static void Dispose(NavDialogRef dialog) { NavDialogDispose(dialog); }
};

using UMAC_AutoNavDialogRef = iUMAC_AutoFilled<NavDialogRef, iUMAC_NavDialogDisposer>;
