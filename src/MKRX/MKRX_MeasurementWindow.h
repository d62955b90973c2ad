// The measurement palette: cursor position, delta, distance and angle.
// (Placeholder until it is built: its window from the nib, hidden when closed; it records the
// texts it is asked to show.)
#pragma once

#include "CKRX/CKRX_Units.h"
#include "MKRX/iMKRX_PlaceholderLog.h"
#include "MKRX/iMKRX_PlaceholderPalette.h"

class MKRX_MeasurementWindow : public iMKRX_PlaceholderPalette {
public:
  MKRX_MeasurementWindow()
      : iMKRX_PlaceholderPalette(CFSTR("MKRX_Localized"), CFSTR("Measurement Palette")) {}
  const char* ClassName() const override { return "MKRX_MeasurementWindow"; }

  void SetDeltaText(double, double, IMPN_Units) {
    iMKRX_PlaceholderLog::Record("MKRX_MeasurementWindow::SetDeltaText");
  }
  void SetPositionText(double, double, IMPN_Units) {
    iMKRX_PlaceholderLog::Record("MKRX_MeasurementWindow::SetPositionText");
  }
};
