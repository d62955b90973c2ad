// The dialog that opens preview files, as new sheet windows or added to one sheet.
// (Placeholder until it is built: records what is done to it.)
#pragma once

#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/iMKRX_PlaceholderWindow.h"

#include "UMAC/UMAC_TextUtils.h"

class IMPN_Sheet;

class MKRX_AddFileDialog : public iMKRX_PlaceholderWindow {
public:
  // Dialogs hide the palettes while they are in front.
  MKRX_AddFileDialog() : iMKRX_PlaceholderWindow("MKRX_AddFileDialog") {
    MKRX_PaletteManager::ConcealPalettes();
  }
  void SetTitle(CFStringRef title) { Record("SetTitle " + UMAC_CFStringToString(title)); }
  void SetSheet(IMPN_Sheet* sheet) { Record(sheet ? "SetSheet" : "SetSheet none"); }
};
