// The navigation palette: the thumbnail of the front sheet with the visible frame.
// (Placeholder until it is built: its window from the nib, hidden when closed.)
#pragma once

#include "MKRX/iMKRX_PlaceholderPalette.h"

class MKRX_NavigationWindow : public iMKRX_PlaceholderPalette {
public:
  MKRX_NavigationWindow()
      : iMKRX_PlaceholderPalette(CFSTR("MKRX_Resources"), CFSTR("Navigation Palette")) {}
  const char* ClassName() const override { return "MKRX_NavigationWindow"; }
};
