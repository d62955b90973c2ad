#include "CKRX/CKRX_Context.h"
#include "CKRX/CKRX_RulerView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

#if defined(_WIN32)
CKRX_Context MakeContext() {
  return CKRX_Context(nullptr);
}
#else
CKRX_Context MakeContext() {
  return CKRX_Context();
}
#endif

// Records each drawing hook with its arguments in plain text.
class RecordingRuler : public CKRX_RulerView {
public:
  std::vector<std::string> calls;

protected:
  void DrawGraduations(IMPN_Units units, CKRX_Context&, float start, float end, float step,
                       float pixelsPerUnit, float* tickLengths, long tickCount) override {
    std::ostringstream out;
    out << "DrawGraduations units=" << static_cast<long>(units) << " start=" << start
        << " end=" << end << " step=" << step << " ppu=" << pixelsPerUnit << " ticks=";
    for (long i = 0; i < tickCount; ++i)
      out << (i ? "," : "") << tickLengths[i];
    calls.push_back(out.str());
  }

  void DrawCursorPosition(CKRX_Context&, float cursor, float pixelsPerUnit) override {
    std::ostringstream out;
    out << "DrawCursorPosition cursor=" << cursor << " ppu=" << pixelsPerUnit;
    calls.push_back(out.str());
  }
};

struct SpacingCase {
  IMPN_Units units;
  float pixelsPerUnit;
  float step;
  float spacing;
};

TEST(CKRX_RulerView, TickSpacingPerUnit) {
  SpacingCase const cases[] = {
      {kIMPN_Points, 10.0f, 3.0f, 30.0f},
      {kIMPN_Points, 0.5f, 72.0f, 36.0f},  // 1, 3, 6, 12, 36, 72
      {kIMPN_Points, 1.0f, 36.0f, 36.0f},
      {kIMPN_Points, 300.0f, 0.5f, 150.0f},
      {kIMPN_Points, 30.0f, 1.0f, 30.0f},  // both window ends are inside
      {kIMPN_Points, 200.0f, 1.0f, 200.0f},
      {kIMPN_Points, -10.0f, 3.0f, 30.0f},  // a backwards ruler spaces as a forward one
      {kIMPN_Picas, 12.0f, 4.0f, 48.0f},
      {kIMPN_Picas, 1000.0f, 0.125f, 125.0f},
      {kIMPN_Inches, 72.0f, 1.0f, 72.0f},
      {kIMPN_Inches, 300.0f, 0.5f, 150.0f},
      {kIMPN_Inches, 0.5f, 64.0f, 32.0f},
      {kIMPN_Millimeters, 2.5f, 50.0f, 125.0f},  // 1, 2, 10, 100, back down to 50
      {kIMPN_Millimeters, 10.0f, 10.0f, 100.0f},
      {kIMPN_Millimeters, 500.0f, 0.1f, 50.0f},  // 1, 0.5, 0.1
      {kIMPN_Centimeters, 28.35f, 2.0f, 56.7f},
      {static_cast<IMPN_Units>(7), 10.0f, 1.0f, 1.0f},  // unknown unit: no search
  };
  RecordingRuler ruler;
  for (SpacingCase const& c : cases) {
    float spacing = 0.0f;
    float step = 0.0f;
    ruler.CalculateTickSpacing(c.units, c.pixelsPerUnit, spacing, step);
    EXPECT_FLOAT_EQ(c.step, step) << "unit " << c.units << " at " << c.pixelsPerUnit;
    EXPECT_FLOAT_EQ(c.spacing, spacing) << "unit " << c.units << " at " << c.pixelsPerUnit;
  }
}

TEST(CKRX_RulerView, TickSpacingAlwaysEndsInsideTheWindow) {
  RecordingRuler ruler;
  for (long u = kIMPN_Points; u < kIMPN_UnitCount; ++u)
    for (float ppu = 0.001f; ppu < 100000.0f; ppu *= 1.37f) {
      float spacing = 0.0f;
      float step = 0.0f;
      ruler.CalculateTickSpacing(static_cast<IMPN_Units>(u), ppu, spacing, step);
      EXPECT_GE(spacing, 30.0f) << u << " " << ppu;
      EXPECT_LE(spacing, 200.0f) << u << " " << ppu;
    }
}

TEST(CKRX_RulerView, UnusableScalesGiveNoSearchAndNoDrawing) {
  float const unusable[] = {0.0f,
                            -0.0f,
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::denorm_min()};
  for (float ppu : unusable) {
    RecordingRuler ruler;
    float spacing = 0.0f;
    float step = 0.0f;
    ruler.CalculateTickSpacing(kIMPN_Millimeters, ppu, spacing, step);
    EXPECT_TRUE(std::isfinite(step)) << ppu;
    CKRX_Context context = MakeContext();
    ruler.DrawRuler(context, 0.0f, 10.0f, 5.0f, ppu, kIMPN_Points);
    if (ppu == std::numeric_limits<float>::denorm_min())
      continue;  // tiny but usable: drawn with whatever finite step the search reached
    EXPECT_TRUE(ruler.calls.empty()) << ppu;
  }
}

TEST(CKRX_RulerView, TickLayoutPerUnitAndStep) {
  struct Case {
    IMPN_Units units;
    float step;
    std::vector<float> ticks;
  };
  Case const cases[] = {
      {kIMPN_Points, 0.5f, {20, 4, 4, 4, 4}},
      {kIMPN_Points, 3.0f, {20, 4, 8, 4, 8, 4}},
      {kIMPN_Points, 3.05f, {20, 4, 8, 4, 8, 4}},
      {kIMPN_Points, 6.0f, {20, 4, 4, 8, 4, 4}},
      {kIMPN_Points, 72.0f, {20, 4, 4, 8, 4, 4}},
      {kIMPN_Picas, 1.0f, {20, 4, 8, 4}},
      {kIMPN_Picas, 0.25f, {20, 4, 4}},
      {kIMPN_Picas, 0.5f, {20, 4, 4, 8, 4, 4}},
      {kIMPN_Inches, 0.5f, {20, 4, 8, 4, 8, 4, 8, 4}},
      {kIMPN_Inches, 16.0f, {20, 4, 8, 4, 8, 4, 8, 4}},
      {kIMPN_Millimeters, 50.0f, {20, 4, 8, 4, 8, 4, 8, 4, 8, 4}},
      {kIMPN_Centimeters, 0.5f, {20, 4, 8, 4, 8, 4, 8, 4, 8, 4}},
      {kIMPN_Millimeters, 10.0f, {20, 4, 4, 4, 4, 8, 4, 4, 4, 4}},
      {kIMPN_Centimeters, 0.01f, {20, 4, 4, 4, 4, 8, 4, 4, 4, 4}},
  };
  RecordingRuler ruler;
  for (Case const& c : cases) {
    float ticks[kCKRX_MaxTicksPerStep] = {};
    long count = 0;
    float step = c.step;
    ruler.DetermineTickLayout(c.units, step, ticks, count);
    EXPECT_EQ(c.ticks, std::vector<float>(ticks, ticks + count)) << c.units << " step " << c.step;
  }

  float ticks[kCKRX_MaxTicksPerStep] = {99};
  long count = 42;
  float step = 1.0f;
  ruler.DetermineTickLayout(static_cast<IMPN_Units>(5), step, ticks, count);
  EXPECT_EQ(42, count);
  EXPECT_EQ(99.0f, ticks[0]);
}

TEST(CKRX_RulerView, LabelsPerUnit) {
  struct Case {
    IMPN_Units units;
    float value;
    float step;
    char const* text;
    bool fractional;
  };
  Case const cases[] = {
      {kIMPN_Points, 36.0f, 3.0f, "36", false},
      {kIMPN_Points, 12.5f, 0.5f, "5", true},
      {kIMPN_Points, 12.0f, 0.5f, "12", false},
      {kIMPN_Points, 12.995f, 0.25f, "13", false},  // a hair below 13 reads 13
      {kIMPN_Points, -3.5f, 0.5f, "5", true},
      {kIMPN_Picas, 4.0f, 1.0f, "4", false},
      {kIMPN_Picas, 1.5f, 0.5f, "6", true},
      {kIMPN_Picas, 2.0f, 0.5f, "2", false},
      {kIMPN_Picas, 1.125f, 0.125f, "1.5", true},
      {kIMPN_Picas, 1.0625f, 0.0625f, "0.75", true},
      {kIMPN_Inches, 2.75f, 0.25f, "3/4", true},
      {kIMPN_Inches, 3.0f, 0.25f, "3", false},
      {kIMPN_Inches, 1.5f, 0.5f, "1/2", true},
      {kIMPN_Inches, 10.0f, 2.0f, "10", false},
      {kIMPN_Millimeters, 50.0f, 10.0f, "50", false},
      {kIMPN_Millimeters, 1.5f, 0.5f, "1.5", true},
      {kIMPN_Millimeters, 2.0f, 0.5f, "2", false},
      {kIMPN_Centimeters, 0.25f, 0.05f, "0.25", true},
      {kIMPN_Centimeters, 0.3f, 0.1f, "0.3", true},
  };
  RecordingRuler ruler;
  for (Case const& c : cases) {
    char text[16] = "untouched";
    bool fractional = !c.fractional;
    float value = c.value;
    float step = c.step;
    ruler.FormatUnitText(c.units, value, step, text, sizeof text, fractional);
    EXPECT_STREQ(c.text, text) << c.units << " " << c.value << " step " << c.step;
    EXPECT_EQ(c.fractional, fractional) << c.units << " " << c.value << " step " << c.step;
  }
}

TEST(CKRX_RulerView, LabelsStayInsideTheirBuffer) {
  RecordingRuler ruler;
  char text[8];
  std::fill(text, text + sizeof text, 'x');
  bool fractional = true;
  float value = 123456789.0f;
  float step = 1.0f;
  ruler.FormatUnitText(kIMPN_Millimeters, value, step, text, 4, fractional);
  EXPECT_STREQ("123", text);
  EXPECT_EQ('x', text[4]);

  char untouched[4] = "abc";
  ruler.FormatUnitText(static_cast<IMPN_Units>(9), value, step, untouched, sizeof untouched,
                       fractional);
  EXPECT_STREQ("abc", untouched);
  ruler.FormatUnitText(kIMPN_Points, value, step, untouched, 0, fractional);
  EXPECT_STREQ("abc", untouched);
  ruler.FormatUnitText(kIMPN_Points, value, step, nullptr, 8, fractional);
}

TEST(CKRX_RulerView, DrawRulerHandsLayoutAndCursorToTheHooks) {
  RecordingRuler ruler;
  CKRX_Context context = MakeContext();
  ruler.DrawRuler(context, -2.0f, 12.5f, 3.25f, 72.0f, kIMPN_Inches);
  ruler.DrawRuler(context, 0.0f, 400.0f, 10.0f, 2.5f, kIMPN_Millimeters);
  ruler.DrawRuler(context, 0.0f, 1.0f, 0.5f, 5.0f, static_cast<IMPN_Units>(5));
  std::vector<std::string> const expected = {
      "DrawGraduations units=2 start=-2 end=12.5 step=1 ppu=72 ticks=20,4,8,4,8,4,8,4",
      "DrawCursorPosition cursor=3.25 ppu=72",
      "DrawGraduations units=3 start=0 end=400 step=50 ppu=2.5 ticks=20,4,8,4,8,4,8,4,8,4",
      "DrawCursorPosition cursor=10 ppu=2.5",
      "DrawGraduations units=5 start=0 end=1 step=1 ppu=5 ticks=",
      "DrawCursorPosition cursor=0.5 ppu=5",
  };
  EXPECT_EQ(expected, ruler.calls);
}

}  // namespace
