#include "IMPN/IMPN_ColorDatabase.h"

#include "ColorDatabaseFixture.h"

#include <ColorSync/ColorSync.h>

#include <gtest/gtest.h>

namespace {
class ColorSyncTest : public ColorDatabaseTest {
protected:
  void SetUp() override {
    ColorDatabaseTest::SetUp();
    StandIn_ColorSyncReset();
  }
  void TearDown() override {
    EXPECT_EQ(StandIn_ColorSyncOpenObjects(), 0) << "every profile and world is closed";
    StandIn_ColorSyncReset();
    ColorDatabaseTest::TearDown();
  }
};

IMPN_RGBColor8 const kFormulaCyan(0, 175, 240);
// Full cyan as the stand-in's CMYK printer profile shows it in sRGB: one step off the formula's
// in green and blue, so the two roads stay apart.
IMPN_RGBColor8 const kColorSyncCyan(0, 174, 239);
}  // namespace

TEST_F(ColorSyncTest, RecipesConvertThroughColorSyncOnceEach) {
  LoadPantone(ColorDBBytes().Header(0));
  IMPN_RGBColor8 out;
  ASSERT_TRUE(IMPN_ColorDatabase::GetPantoneRecipe(out, "Cyan"));
  EXPECT_EQ(out, kColorSyncCyan);
  ASSERT_TRUE(IMPN_ColorDatabase::GetPantoneRecipe(out, "cyan"));
  EXPECT_EQ(out, kColorSyncCyan);
  EXPECT_EQ(StandIn_ColorSyncMatchedColors(), 1);
  EXPECT_EQ(IMPN_ColorDatabase::sm_PantoneColorMap["Cyan"].kind, kIMPN_RecipeCMYK);
}

TEST_F(ColorSyncTest, SixteenBitChannelsAreDividedBy257) {
  impn_CMYKColor16 cmyk = {0, 32768, 65535, 0};
  IMPN_RGBColor8 out;
  ASSERT_EQ(IMPN_ColorDatabase::ColorSyncCMYKToRGB(cmyk, out), 0);
  // The profile gives red 63610: 247 by 257, where a shift by 8 or rounding would give 248.
  EXPECT_EQ(out, IMPN_RGBColor8(247, 149, 39));

  impn_LabColor16 black = {0, 32768, 32768};
  out = IMPN_RGBColor8(1, 2, 3);
  ASSERT_EQ(IMPN_ColorDatabase::ColorSyncLabToRGB(black, out), 0);
  EXPECT_EQ(out, IMPN_RGBColor8(0, 0, 0));
  impn_LabColor16 white = {65535, 32768, 32768};
  ASSERT_EQ(IMPN_ColorDatabase::ColorSyncLabToRGB(white, out), 0);
  EXPECT_EQ(IMPN_ColorDatabase::IMPNLabToRGB(white), out);
  EXPECT_EQ(StandIn_ColorSyncMatchedColors(), 4);
}

TEST_F(ColorSyncTest, AnyFailingStepFallsBackToTheFormulas) {
  impn_LabColor16 white = {65535, 32768, 32768};
  for (StandIn_ColorSyncCall step :
       {StandIn_CMGetDefaultProfileBySpace, StandIn_NCWNewColorWorld, StandIn_CWMatchColors}) {
    impn_CMYKColor8 cyan = {100, 0, 0, 0};
    impn_CMYKColor16 cyan16 = {65535, 0, 0, 0};
    IMPN_RGBColor8 untouched(1, 2, 3);

    StandIn_ColorSyncFailNext(step, cmProfileNotFound);
    EXPECT_EQ(IMPN_ColorDatabase::ColorSyncCMYKToRGB(cyan16, untouched), cmProfileNotFound);
    EXPECT_EQ(untouched, IMPN_RGBColor8(1, 2, 3));

    StandIn_ColorSyncFailNext(step, cmProfileNotFound);
    EXPECT_EQ(IMPN_ColorDatabase::IMPNCMYKToRGB(cyan), kFormulaCyan) << step;
    StandIn_ColorSyncFailNext(step, cmProfileNotFound);
    EXPECT_EQ(IMPN_ColorDatabase::IMPNCMYKToRGB(cyan16), kFormulaCyan) << step;
    StandIn_ColorSyncFailNext(step, cmProfileNotFound);
    EXPECT_EQ(IMPN_ColorDatabase::IMPNLabToRGB(white), IMPN_ColorDatabase::LabToRGB(white));
    EXPECT_EQ(StandIn_ColorSyncOpenObjects(), 0) << step;
  }
  EXPECT_EQ(StandIn_ColorSyncMatchedColors(), 0);
}

TEST_F(ColorSyncTest, AFailedLookupCachesTheFormulaColour) {
  LoadPantone(ColorDBBytes().Header(0));
  IMPN_RGBColor8 out;
  StandIn_ColorSyncFailNext(StandIn_CWMatchColors, cmMethodError);
  ASSERT_TRUE(IMPN_ColorDatabase::GetPantoneRecipe(out, "Cyan"));
  EXPECT_EQ(out, kFormulaCyan);
  ASSERT_TRUE(IMPN_ColorDatabase::GetPantoneRecipe(out, "Cyan"));
  EXPECT_EQ(out, kFormulaCyan);
}
