#include "CKRX/CKRX_Context.h"

#include <gtest/gtest.h>

namespace {

TEST(CKRX_ContextMac, ColoursBecomeFractionsWithTheAlphaPercentage) {
  CKRX_Context context;
  EXPECT_EQ((CKRX_ColorComponents{0.0f, 0.0f, 0.0f, 1.0f}), context.FillColor());

  context.SetFillColor(IMPN_RGBColor8(255, 0, 51));
  EXPECT_EQ((CKRX_ColorComponents{1.0f, 0.0f, 0.2f, 1.0f}), context.FillColor());

  context.SetStrokeColor(IMPN_RGBAColor8(0, 255, 102, 50));
  EXPECT_EQ((CKRX_ColorComponents{0.0f, 1.0f, 0.4f, 0.5f}), context.StrokeColor());
  EXPECT_EQ((CKRX_ColorComponents{1.0f, 0.0f, 0.2f, 1.0f}), context.FillColor());

  context.SetStrokeColor(IMPN_RGBColor8(0, 0, 0));
  context.SetFillColor(IMPN_RGBAColor8(255, 255, 255, 100));
  EXPECT_EQ((CKRX_ColorComponents{0.0f, 0.0f, 0.0f, 1.0f}), context.StrokeColor());
  EXPECT_EQ((CKRX_ColorComponents{1.0f, 1.0f, 1.0f, 1.0f}), context.FillColor());
}

}  // namespace
