// The dialog that compares the ink coverage of two sets of preview files.
// (Placeholder until it is built: records what is done to it.)
#pragma once

#include "MKRX/iMKRX_PlaceholderWindow.h"
#include "MKRX/MKRX_PaletteManager.h"

class MKRX_InkCoverageDialog : public iMKRX_PlaceholderWindow {
public:
  // Dialogs hide the palettes while they are in front.
  MKRX_InkCoverageDialog() : iMKRX_PlaceholderWindow("MKRX_InkCoverageDialog") {
    MKRX_PaletteManager::ConcealPalettes();
  }
};
