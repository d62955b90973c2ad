// The small conversions between the job model and CoreGraphics or QuickDraw, the port depth and
// the system font's name and metrics.
#include "MKRX/MKRX_Utils.h"

#include <HIToolbox/MacWindows.h>

#include <gtest/gtest.h>

namespace {

using U = MKRX_Utils;

TEST(MKRX_UtilsTest, ModelGeometryTurnsUpsideDownForCoreGraphics) {
  const CGPoint point = U::IMPNToCGPoint(IMPN_PointT<long>(12, 34));
  EXPECT_EQ(12.0f, point.x);
  EXPECT_EQ(-34.0f, point.y);
  // Top 10, left 20, 30 wide, 40 high: its lower left corner is at y -(10 + 40).
  const CGRect rect = U::IMPNToCGRect(IMPN_RectT<long>(10, 20, 30, 40));
  EXPECT_EQ(20.0f, rect.origin.x);
  EXPECT_EQ(-50.0f, rect.origin.y);
  EXPECT_EQ(30.0f, rect.size.width);
  EXPECT_EQ(40.0f, rect.size.height);

  const CGPoint scaled = U::ScaleCGPoint(point, 0.5f);
  EXPECT_EQ(6.0f, scaled.x);
  EXPECT_EQ(-17.0f, scaled.y);
  const CGRect grown = U::ScaleCGRect(rect, 2.0f);
  EXPECT_EQ(40.0f, grown.origin.x);
  EXPECT_EQ(-100.0f, grown.origin.y);
  EXPECT_EQ(60.0f, grown.size.width);
  EXPECT_EQ(80.0f, grown.size.height);
}

TEST(MKRX_UtilsTest, ComponentsWidenBy257AndNarrowByWholeDivision) {
  struct Case {
    std::uint16_t wide;
    std::uint8_t narrow;
  };
  const Case narrowing[] = {{65535, 255}, {256, 0}, {257, 1}, {513, 1}, {514, 2}, {0, 0}};
  for (Case const& c : narrowing) {
    SCOPED_TRACE(c.wide);
    const RGBColor color = {c.wide, 0, 65535};
    EXPECT_EQ(IMPN_RGBColor8(c.narrow, 0, 255), U::RGBToRGB8Color(color));
    EXPECT_EQ(IMPN_RGBAColor8(c.narrow, 0, 255, 100), U::RGBToRGBA8Color(color));
  }

  const RGBColor wide = U::RGB8ToRGBColor(IMPN_RGBColor8(255, 1, 0));
  EXPECT_EQ(65535, wide.red);
  EXPECT_EQ(257, wide.green);
  EXPECT_EQ(0, wide.blue);
  const RGBColor dropped = U::RGBA8ToRGBColor(IMPN_RGBAColor8(2, 3, 4, 50));
  EXPECT_EQ(514, dropped.red);
  EXPECT_EQ(771, dropped.green);
  EXPECT_EQ(1028, dropped.blue);
}

TEST(MKRX_UtilsTest, APortHasItsDepthAndNoPortHasOne) {
  short depth = 0;
  EXPECT_FALSE(U::GetColorDepth(nullptr, depth));
  EXPECT_EQ(1, depth);

  Rect bounds = {100, 100, 200, 300};
  WindowRef window = nullptr;
  ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, 0, &bounds, &window));
  EXPECT_TRUE(U::GetColorDepth(GetWindowPort(window), depth));
  EXPECT_EQ(32, depth);
  DisposeWindow(window);
}

TEST(MKRX_UtilsTest, TheSystemFontIsKnownByItsPostScriptName) {
  EXPECT_EQ("LucidaGrande", U::GetThemeFontPostScriptName());
  const ATSFontMetrics& metrics = U::GetThemeFontMetrics();
  EXPECT_GT(metrics.ascent, 0.0f);
  EXPECT_LT(metrics.descent, 0.0f);
  // Read once: the same record again.
  EXPECT_EQ(&metrics, &U::GetThemeFontMetrics());
}

}  // namespace
