// The editor of the user's colour database next to the Pantone recipes.
// (Placeholder until it is built: records what is done to it.)
#pragma once

#include "MKRX/iMKRX_PlaceholderWindow.h"
#include "MKRX/MKRX_PaletteManager.h"

class MKRX_EditColorDialog : public iMKRX_PlaceholderWindow {
public:
  // Dialogs hide the palettes while they are in front.
  MKRX_EditColorDialog() : iMKRX_PlaceholderWindow("MKRX_EditColorDialog") {
    MKRX_PaletteManager::ConcealPalettes();
  }
};
