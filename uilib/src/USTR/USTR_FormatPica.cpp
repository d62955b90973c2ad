#include "USTR/USTR_FormatPica.h"

#include "USTR/USTR_FormatNumber.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerPica = 12.0;
// Decimals beyond this cannot be counted in whole units of a 64-bit integer for large lengths.
constexpr unsigned long kMaxExactDecimals = 6;

struct PicasAndPoints {
  double picas;   // whole picas, not negative
  double points;  // 0 <= points < 12, rounded to the decimals
};

// Splits |value| after rounding its total points to the decimals, so that 2.99 picas with no
// decimals make 3 picas and 0 points rather than 2 picas and 12 points.
PicasAndPoints Split(double value, unsigned long decimals) {
  double const totalPoints = std::fabs(value) * kPointsPerPica;
  double const scale = std::pow(10.0, static_cast<double>(std::min(decimals, kMaxExactDecimals)));
  double const units = std::round(totalPoints * scale);
  if (!std::isfinite(units) || units > 9.0e15) {
    // Too large to count exactly: points at this size are below the precision anyway.
    double const picas = std::trunc(std::fabs(value));
    return {picas, (std::fabs(value) - picas) * kPointsPerPica};
  }
  double const unitsPerPica = kPointsPerPica * scale;
  double const picas = std::floor(units / unitsPerPica);
  double const points = (units - picas * unitsPerPica) / scale;
  return {picas, points};
}

// The whole picas with the locale's minus; a negative length under one pica shows "−0".
USTR_String WholePicasText(double picas, bool negative) {
  if (!negative)
    return USTR_FormatNumber(picas, 0, false);
  if (picas > 0)
    return USTR_FormatNumber(-picas, 0, false);
  // The locale decides where its minus goes: format −1 and make the digit a zero.
  USTR_String text = USTR_FormatNumber(-1.0, 0, false);
  std::replace(text.begin(), text.end(), static_cast<unsigned short>('1'),
               static_cast<unsigned short>('0'));
  return text;
}

}  // namespace

USTR_String USTR_FormatPica(double picas, unsigned long decimals, bool plusSign) {
  PicasAndPoints const split = Split(picas, decimals);
  bool const nonZero = split.picas > 0 || split.points > 0;
  bool const negative = picas < 0 && nonZero;

  USTR_String result;
  if (plusSign && picas > 0 && nonZero)
    result += L"+";
  result += WholePicasText(split.picas, negative);
  result += L"p";
  if (decimals > 0 || split.points > 0)
    result += USTR_FormatNumber(split.points, decimals, false);
  return result;
}
