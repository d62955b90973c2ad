#pragma once
#include "CKRX/CKRX_Units.h"

#include <cstddef>

class CKRX_Context;

// Tick lengths in pixels.
constexpr float kCKRX_MajorTickLength = 20.0f;
constexpr float kCKRX_MiddleTickLength = 8.0f;
constexpr float kCKRX_SmallTickLength = 4.0f;
// No layout has more ticks in one major interval.
constexpr long kCKRX_MaxTicksPerStep = 10;

// The platform-free half of the rulers beside the sheet view: picks a round distance between
// labelled ticks for the unit and scale, lays out the ticks of one interval and makes the labels.
// The platform rulers find the unit values at their ends and the scale, call DrawRuler and draw.
class CKRX_RulerView {
public:
  virtual ~CKRX_RulerView() = default;

  // start and end: unit values at the two ends of the visible ruler (from the unit origin);
  // cursor: the cursor's unit value; pixelsPerUnit: screen pixels per unit at the zoom, negative
  // for a ruler that runs backwards. A scale of 0 or one that is not finite (a sheet without a
  // resolution) leaves the ruler undrawn.
  void DrawRuler(CKRX_Context& context, float start, float end, float cursor, float pixelsPerUnit,
                 IMPN_Units units);

  // The step in units between labelled ticks, and its length in pixels (30 to 200).
  void CalculateTickSpacing(IMPN_Units units, float pixelsPerUnit, float& spacing, float& step);
  // The tick lengths of one interval, the labelled tick first; tickLengths holds at least
  // kCKRX_MaxTicksPerStep entries. An unknown unit leaves both untouched.
  void DetermineTickLayout(IMPN_Units units, float& step, float* tickLengths, long& tickCount);
  // The label of the tick at value into text (textSize characters, always terminated);
  // fractional tells that the label is a fraction or a sub-unit part, drawn smaller. An unknown
  // unit leaves text and fractional untouched.
  void FormatUnitText(IMPN_Units units, float& value, float& step, char* text, std::size_t textSize,
                      bool& fractional);

protected:
  virtual void DrawGraduations(IMPN_Units units, CKRX_Context& context, float start, float end,
                               float step, float pixelsPerUnit, float* tickLengths,
                               long tickCount) = 0;
  virtual void DrawCursorPosition(CKRX_Context& context, float cursor, float pixelsPerUnit) = 0;
};
