#include "CKRX/CKRX_RulerView.h"

#include "IMPN/IMPN_Tools.h"

#include <cmath>
#include <cstdio>

namespace {

// The narrowest and widest labelled interval, in pixels.
constexpr float kMinSpacing = 30.0f;
constexpr float kMaxSpacing = 200.0f;

bool IsKnownUnit(IMPN_Units units) {
  return units >= kIMPN_Points && units < kIMPN_UnitCount;
}

// A scale of 0 (a sheet without resolution) or one that is not finite has no ticks to lay out.
bool IsUsableScale(float pixelsPerUnit) {
  return std::isfinite(pixelsPerUnit) && pixelsPerUnit != 0.0f;
}

bool Near(float step, float target) {
  return std::fabs(step - target) < 0.1f;
}

// Round steps of one unit: how they grow and shrink while searching for a readable spacing.
class StepSeries {
public:
  explicit StepSeries(IMPN_Units units) : m_Units(units) {}

  float Larger(float step) {
    switch (m_Units) {
      case kIMPN_Points:
        // 1, 3, 6, 12, 36, 72, 144 ...: a pica and an inch are steps of their own.
        return (step == 1.0f || step == 12.0f) ? step * 3.0f : step * 2.0f;
      case kIMPN_Millimeters:
      case kIMPN_Centimeters:
        return step * MetricFactor();
      default:
        return step * 2.0f;
    }
  }

  float Smaller(float step) {
    switch (m_Units) {
      case kIMPN_Millimeters:
      case kIMPN_Centimeters:
        return step / MetricFactor();
      default:
        return step * 0.5f;
    }
  }

private:
  // The 2, 5, 10 cycle advances on every change, up or down alike.
  float MetricFactor() {
    static float const kFactors[3] = {2.0f, 5.0f, 10.0f};
    m_Index = (m_Index + 1) % 3;
    return kFactors[m_Index];
  }

  IMPN_Units m_Units;
  int m_Index = 2;
};

void SetTicks(float* tickLengths, long& tickCount, std::initializer_list<float> lengths) {
  long i = 0;
  for (float length : lengths)
    tickLengths[i++] = length;
  tickCount = i;
}

void Print(char* text, std::size_t textSize, char const* format, double value) {
  std::snprintf(text, textSize, format, value);
}

void PrintPrecision(char* text, std::size_t textSize, int precision, double value) {
  std::snprintf(text, textSize, "%.*f", precision, value);
}

double FractionOf(double value) {
  double whole = 0.0;
  return std::fabs(std::modf(value, &whole));
}

double WholeOf(double value) {
  double whole = 0.0;
  std::modf(value, &whole);
  return whole;
}

}  // namespace

void CKRX_RulerView::DrawRuler(CKRX_Context& context, float start, float end, float cursor,
                               float pixelsPerUnit, IMPN_Units units) {
  if (!IsUsableScale(pixelsPerUnit))
    return;
  float spacing = 1.0f;
  float step = 1.0f;
  CalculateTickSpacing(units, pixelsPerUnit, spacing, step);
  if (!std::isfinite(step) || step <= 0.0f)
    return;
  float tickLengths[kCKRX_MaxTicksPerStep] = {};
  long tickCount = 0;
  DetermineTickLayout(units, step, tickLengths, tickCount);
  // The platform takes the spacing as step times pixelsPerUnit.
  DrawGraduations(units, context, start, end, step, pixelsPerUnit, tickLengths, tickCount);
  DrawCursorPosition(context, cursor, pixelsPerUnit);
}

void CKRX_RulerView::CalculateTickSpacing(IMPN_Units units, float pixelsPerUnit, float& spacing,
                                          float& step) {
  spacing = 1.0f;
  step = 1.0f;
  if (!IsKnownUnit(units) || !IsUsableScale(pixelsPerUnit))
    return;

  float const scale = std::fabs(pixelsPerUnit);
  StepSeries series(units);
  float candidate = 1.0f;
  for (;;) {
    float const pixels = scale * candidate;
    if (!std::isfinite(candidate) || candidate == 0.0f || !std::isfinite(pixels))
      return;  // a scale at the edge of float range: no readable step exists
    if (pixels < kMinSpacing)
      candidate = series.Larger(candidate);
    else if (pixels > kMaxSpacing)
      candidate = series.Smaller(candidate);
    else {
      spacing = pixels;
      step = candidate;
      return;
    }
  }
}

void CKRX_RulerView::DetermineTickLayout(IMPN_Units units, float& step, float* tickLengths,
                                         long& tickCount) {
  float const L = kCKRX_MajorTickLength;
  float const M = kCKRX_MiddleTickLength;
  float const S = kCKRX_SmallTickLength;
  switch (units) {
    case kIMPN_Points:
      if (step < 1.0f)
        SetTicks(tickLengths, tickCount, {L, S, S, S, S});
      else if (Near(step, 3.0f))
        SetTicks(tickLengths, tickCount, {L, S, M, S, M, S});
      else
        SetTicks(tickLengths, tickCount, {L, S, S, M, S, S});
      break;
    case kIMPN_Picas:
      if (step >= 1.0f)
        SetTicks(tickLengths, tickCount, {L, S, M, S});
      else if (step < 0.5f)
        SetTicks(tickLengths, tickCount, {L, S, S});
      else
        SetTicks(tickLengths, tickCount, {L, S, S, M, S, S});
      break;
    case kIMPN_Inches:
      SetTicks(tickLengths, tickCount, {L, S, M, S, M, S, M, S});
      break;
    case kIMPN_Millimeters:
    case kIMPN_Centimeters:
      if (Near(step, 0.5f) || Near(step, 5.0f) || Near(step, 50.0f) || Near(step, 500.0f) ||
          Near(step, 5000.0f))
        SetTicks(tickLengths, tickCount, {L, S, M, S, M, S, M, S, M, S});
      else
        SetTicks(tickLengths, tickCount, {L, S, S, S, S, M, S, S, S, S});
      break;
    default:
      break;
  }
}

void CKRX_RulerView::FormatUnitText(IMPN_Units units, float& value, float& step, char* text,
                                    std::size_t textSize, bool& fractional) {
  if (text == nullptr || textSize == 0 || !IsKnownUnit(units))
    return;
  double const v = value;
  if (step >= 1.0f) {
    Print(text, textSize, "%.0f", v);
    fractional = false;
    return;
  }
  switch (units) {
    case kIMPN_Points: {
      double const tenths = FractionOf(v) * 10.0;
      // Within a hundredth of a whole point the label is that whole point, the nearest one.
      fractional = !(tenths < 0.1 || tenths > 9.9);
      Print(text, textSize, "%.0f", fractional ? tenths : v);
      break;
    }
    case kIMPN_Picas: {
      double const points = FractionOf(v) * 12.0;
      fractional = points != 0.0;
      if (!fractional)
        Print(text, textSize, "%.0f", WholeOf(v));
      else
        PrintPrecision(text, textSize, step >= 0.25f ? 0 : (step >= 0.125f ? 1 : 2), points);
      break;
    }
    case kIMPN_Inches: {
      long numerator = 0;
      long denominator = 1;
      long const whole = IMPN_Tools::CreateFraction(v, &numerator, &denominator);
      fractional = numerator != 0;
      if (fractional)
        std::snprintf(text, textSize, "%ld/%ld", numerator, denominator);
      else
        std::snprintf(text, textSize, "%ld", whole);
      break;
    }
    default:  // millimetres and centimetres
    {
      double const tenths = FractionOf(v) * 10.0;
      fractional = !(tenths < 0.09 || tenths > 9.91);
      if (fractional)
        PrintPrecision(text, textSize, step >= 0.1f ? 1 : 2, v);
      else
        Print(text, textSize, "%.0f", v);
      break;
    }
  }
}
