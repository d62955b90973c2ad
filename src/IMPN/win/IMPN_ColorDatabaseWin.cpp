#include "IMPN/IMPN_ColorDatabase.h"

namespace {
// Windows has no system colour management here: every conversion takes the formulas.
long const kNoColorManagement = -1;
}  // namespace

long IMPN_ColorDatabase::SystemCMYKToRGB(impn_CMYKColor16&, IMPN_RGBColor8&) {
  return kNoColorManagement;
}

long IMPN_ColorDatabase::SystemLabToRGB(impn_LabColor16&, IMPN_RGBColor8&) {
  return kNoColorManagement;
}
