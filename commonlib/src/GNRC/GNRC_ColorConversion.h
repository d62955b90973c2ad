#pragma once
#include <cstdint>

// Fixed formulas that turn ink recipes into screen colours. The constants decide the colours the
// user sees, so they must not be "improved".

struct GNRC_LabColor {
  std::int32_t L;  // 0..100
  std::int32_t a;  // about -128..127
  std::int32_t b;  // about -128..127
};

// Fractions 0..1; note yellow comes before magenta.
struct GNRC_CmykColor {
  double cyan;
  double yellow;
  double magenta;
  double black;
};

// Each channel in [0, 1].
struct GNRC_RgbColor {
  double red;
  double green;
  double blue;
};

GNRC_RgbColor GNRC_LabToRgb(GNRC_LabColor const& lab);
GNRC_RgbColor GNRC_CmykToRgb(GNRC_CmykColor const& cmyk);

// Weight of the interaction of two ink densities: 0 for equal densities, 256 when one is 0.
int iGNRC_Grayweight(int p, int q);
