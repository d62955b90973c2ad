// The measurement palette: cursor position, delta, distance and angle.
// (Placeholder until it is built: its window from the nib, hidden when closed.)
#pragma once

#include "MKRX/iMKRX_PlaceholderPalette.h"

class MKRX_MeasurementWindow : public iMKRX_PlaceholderPalette {
public:
  MKRX_MeasurementWindow()
      : iMKRX_PlaceholderPalette(CFSTR("MKRX_Localized"), CFSTR("Measurement Palette")) {}
  const char* ClassName() const override { return "MKRX_MeasurementWindow"; }
};
