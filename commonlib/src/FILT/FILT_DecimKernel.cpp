#include "FILT/FILT_DecimKernel.h"

#include <cmath>

float FILT_BicubicKernel::CalculateWeight(float x) const {
  double const t = std::fabs(static_cast<double>(x));
  if (t + 1e-6 >= 2.0)
    return 0.0f;
  if (t + 1e-6 < 1.0)
    return static_cast<float>((1.25 * t - 2.25) * (t * t) + 1.0);
  return static_cast<float>(((-0.75 * t + 3.75) * t - 6.0) * t + 3.0);
}
