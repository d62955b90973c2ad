// The measurement palette: three lines of text, the distance and angle of the current
// measurement, its horizontal and vertical delta, and the cursor's position over the sheet view.
// The values arrive in the preferred unit from the unit origin; the palette only formats them.
// Made once by the palette manager; closing it only hides it. Main thread only.
#pragma once

#include "CKRX/CKRX_Units.h"
#include "MCTL/MCTL_Controls.h"
#include "PPXA/PPXA_Window.h"

class MKRX_MeasurementWindow : public PPXA::Window {
public:
  // Throws PPx::OSError when one of the three texts is missing from the nib.
  MKRX_MeasurementWindow();
  const char* ClassName() const override { return "MKRX_MeasurementWindow"; }

  void Clear();
  void SetPositionText(double x, double y, IMPN_Units units);
  void SetDeltaText(double dx, double dy, IMPN_Units units);

  USTR_String PositionText() const { return m_PositionText.ControlText(); }
  USTR_String DeltaText() const { return m_DeltaText.ControlText(); }
  USTR_String DistanceAngleText() const { return m_DistanceAngleText.ControlText(); }

  // Degrees from the positive x direction, with the sign of dy; 90 when dx is 0.
  static double Angle(double dx, double dy);

protected:
  OSStatus DoWindowClose(PPx::SysCarbonEvent& event, WindowRef window) override;

private:
  void InitWindow();
  void InstallHandlersOnWindow();

  MCTL_StaticText m_DistanceAngleText;
  MCTL_StaticText m_DeltaText;
  MCTL_StaticText m_PositionText;
};
