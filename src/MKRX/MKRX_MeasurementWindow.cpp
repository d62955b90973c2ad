#include "MKRX/MKRX_MeasurementWindow.h"

#include "CKRX/CKRX_FormatNumber.h"
#include "IMPN/IMPN_Preferences.h"
#include "UMAC/UMAC_PlatformDetector.h"

#include <HIToolbox/MacWindows.h>

#include <cmath>

namespace {

constexpr OSType kCreator = 0x4E6C7432;                  // 'Nlt2'
constexpr PropertyTag kWindowTag = 0x4D657357;           // 'MesW'
constexpr ControlID kDistanceAngleID = {0x44416E67, 0};  // 'DAng'
constexpr ControlID kDeltaID = {0x446C7461, 0};          // 'Dlta'
constexpr ControlID kPositionID = {0x4372646E, 0};       // 'Crdn'

unsigned long LinearPrecision() {
  return static_cast<unsigned long>(IMPN_Preferences::sm_LinearUnitPrecision);
}

}  // namespace

MKRX_MeasurementWindow::MKRX_MeasurementWindow() {
  // A failed load shows in the views' look-up, which throws.
  Initialize(CFSTR("MKRX_Localized"), CFSTR("Measurement Palette"));
  InitWindow();
  InstallHandlersOnWindow();
}

void MKRX_MeasurementWindow::InitWindow() {
  // Systems before 10.4 let a palette grow without limits.
  if (UMAC_PlatformDetector::SystemVersion() < 0x1040) {
    HISize const minimum = {300, 80};
    HISize const maximum = {1000, 81};
    SetWindowResizeLimits(GetSysWindow(), &minimum, &maximum);
  }
  m_DistanceAngleText.Attach(FindViewByID(kDistanceAngleID));
  m_DeltaText.Attach(FindViewByID(kDeltaID));
  m_PositionText.Attach(FindViewByID(kPositionID));
  Clear();
}

void MKRX_MeasurementWindow::InstallHandlersOnWindow() {
  MKRX_MeasurementWindow* self = this;
  SetWindowProperty(GetSysWindow(), kCreator, kWindowTag, sizeof self, &self);
}

void MKRX_MeasurementWindow::Clear() {
  m_DistanceAngleText.SetControlText(USTR_String());
  m_DeltaText.SetControlText(USTR_String());
  m_PositionText.SetControlText(USTR_String());
}

void MKRX_MeasurementWindow::SetPositionText(double x, double y, IMPN_Units units) {
  m_PositionText.SetControlText(
      CKRX_FormatNumber().FormatCoordinate(x, y, units, LinearPrecision()));
}

double MKRX_MeasurementWindow::Angle(double dx, double dy) {
  static double const kPi = std::acos(-1.0);
  if (dx == 0)
    return dy < 0 ? -90 : 90;
  double const angle = std::acos(dx / std::sqrt(dx * dx + dy * dy)) * 180 / kPi;
  return dy < 0 ? -angle : angle;
}

void MKRX_MeasurementWindow::SetDeltaText(double dx, double dy, IMPN_Units units) {
  CKRX_FormatNumber format;
  double const distance = std::sqrt(dx * dx + dy * dy);
  m_DistanceAngleText.SetControlText(format.FormatDistanceAngleVector(
      distance, Angle(dx, dy), units, LinearPrecision(),
      static_cast<unsigned long>(IMPN_Preferences::sm_AngularUnitPrecision)));
  m_DeltaText.SetControlText(format.FormatCoordinate(dx, dy, units, LinearPrecision()));
}

OSStatus MKRX_MeasurementWindow::DoWindowClose(PPx::SysCarbonEvent&, WindowRef) {
  Hide();
  return noErr;
}
