// The preferences dialog.
// (Placeholder until it is built: records what is done to it.)
#pragma once

#include "MKRX/iMKRX_PlaceholderWindow.h"
#include "MKRX/MKRX_PaletteManager.h"

class MKRX_PreferencesDialog : public iMKRX_PlaceholderWindow {
public:
  // Dialogs hide the palettes while they are in front.
  MKRX_PreferencesDialog() : iMKRX_PlaceholderWindow("MKRX_PreferencesDialog") {
    MKRX_PaletteManager::ConcealPalettes();
  }
};
