// The dialog that lists the plate versions of one sheet.
// (Placeholder until it is built: records what is done to it.)
#pragma once

#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/iMKRX_PlaceholderWindow.h"

class IMPN_Sheet;

class MKRX_VersionInfoDialog : public iMKRX_PlaceholderWindow {
public:
  // Dialogs hide the palettes while they are in front.
  MKRX_VersionInfoDialog() : iMKRX_PlaceholderWindow("MKRX_VersionInfoDialog") {
    MKRX_PaletteManager::ConcealPalettes();
  }
  void SetSheet(IMPN_Sheet* sheet) { Record(sheet ? "SetSheet" : "SetSheet none"); }
};
