// The separations palette: the front sheet window's panel of separations.
// (Placeholder until it is built: its window from the nib, hidden when closed.)
#pragma once

#include "MKRX/iMKRX_PlaceholderPalette.h"

class MKRX_SeparationWindow : public iMKRX_PlaceholderPalette {
public:
  MKRX_SeparationWindow()
      : iMKRX_PlaceholderPalette(CFSTR("MKRX_Resources"), CFSTR("Separation Palette")) {}
  const char* ClassName() const override { return "MKRX_SeparationWindow"; }
};
