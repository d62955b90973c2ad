#include "GNRC/GNRC_ColorConversion.h"

#include <algorithm>
#include <cmath>

namespace {

// Inverse of the L*a*b* companding function.
double LabFInverse(double f) {
  return f > 0.206893034 ? f * f * f : (f - 0.137931) / 7.787;
}

// sRGB-shaped transfer curve followed by clamping to [0, 1].
double Transfer(double v) {
  double const out = v < 0.00304 ? 12.92 * v : 1.055 * std::exp(0.41666667 * std::log(v)) - 0.055;
  if (out < 0.0)
    return 0.0;
  if (out > 1.0)
    return 1.0;
  return out;
}

// Density to the channel value: a combined density above 255 is black, a negative one white.
int OutputLevel(std::int32_t x, std::int32_t s) {
  std::int32_t const v = x + s - ((x * s) >> 8);
  if (v < 0)
    return 255;
  if (v > 255)
    return 0;
  return 255 - v;
}

std::int32_t Density(double reflectance) {
  return static_cast<std::int32_t>((1.0 - reflectance) * 255.0);
}

}  // namespace

GNRC_RgbColor GNRC_LabToRgb(GNRC_LabColor const& lab) {
  double const fy = (lab.L + 16) / 116.0;
  double const fx = lab.a * 0.002 + fy;
  double const fz = lab.b * -0.005 + fy;

  // D50 white point.
  double const X = std::max(0.0, LabFInverse(fx) * 96.42);
  double const Y = std::max(0.0, LabFInverse(fy) * 100.0);
  double const Z = std::max(0.0, LabFInverse(fz) * 82.49);

  double const r = (X * 34.2501 + Y * -18.9616 + Z * -4.6434) / 1023.0;
  double const g = (X * -10.2423 + Y * 20.1586 + Z * -0.0633) / 1023.0;
  double const b = (X * 0.5876 + Y * -2.1424 + Z * 14.3109) / 1023.0;

  return GNRC_RgbColor{Transfer(r), Transfer(g), Transfer(b)};
}

int iGNRC_Grayweight(int p, int q) {
  int const hi = std::max(p, q);
  int const lo = std::min(p, q);
  return hi > 0 ? 256 - (256 * lo) / hi : 256;
}

GNRC_RgbColor GNRC_CmykToRgb(GNRC_CmykColor const& cmyk) {
  double const paper = 1.0 - cmyk.black;
  std::int32_t const dc = Density((1.0 - cmyk.cyan) * paper);
  std::int32_t const dm = Density((1.0 - cmyk.magenta) * paper);
  std::int32_t const dy = Density((1.0 - cmyk.yellow) * paper);

  // Two inks of clearly different density interact; equal densities behave as grey.
  std::int32_t const wCM = iGNRC_Grayweight(dc, dm);
  std::int32_t const wCY = iGNRC_Grayweight(dc, dy);
  std::int32_t const wMY = iGNRC_Grayweight(dm, dy);

  std::int32_t w = std::max(wCM, wCY);
  std::int32_t t = dc < 204 ? (dc * 256) / 204 : 255;
  std::int32_t x = dc + (((t - dc) * w) >> 8);
  std::int32_t s = (((dm * 19) >> 8) * w) >> 8;
  int const red = OutputLevel(x, s);

  w = std::max(wCM, wMY);
  t = dm < 204 ? ((dm * 166) >> 8) + ((dm * 166) >> 10) - dm : ((dm * 445 - 90780) >> 8) - dm + 166;
  x = dm + ((t * w) >> 8);
  s = ((((dc * 81) >> 8) + ((dy * 13) >> 8)) * w) >> 8;
  int const green = OutputLevel(x, s);

  w = std::max(wCY, wMY);
  t = dy < 204 ? ((dy * 177) >> 8) + ((dy * 177) >> 10) - dy : ((dy * 390 - 79560) >> 8) - dy + 177;
  x = dy + ((t * w) >> 8);
  s = ((((dc * 16) >> 8) + ((dm * 115) >> 8)) * w) >> 8;
  int const blue = OutputLevel(x, s);

  return GNRC_RgbColor{red / 255.0, green / 255.0, blue / 255.0};
}
