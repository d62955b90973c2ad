#include "IMPN/IMPN_ColorDatabase.h"

#include "ColorDatabaseFixture.h"

#include <gtest/gtest.h>

// Without system colour management every recipe takes the formulas.
TEST_F(ColorDatabaseTest, WindowsConvertsWithTheFormulas) {
  LoadPantone(ColorDBBytes().Header(1).Lab("Sky", 100, 0, 0));
  IMPN_RGBColor8 out;
  ASSERT_TRUE(IMPN_ColorDatabase::GetPantoneRecipe(out, "Cyan"));
  EXPECT_EQ(out, IMPN_RGBColor8(0, 175, 240));
  ASSERT_TRUE(IMPN_ColorDatabase::GetPantoneRecipe(out, "Sky"));
  impn_LabColor16 sky = {65535, 32768, 32768};
  EXPECT_EQ(out, IMPN_ColorDatabase::LabToRGB(sky));

  impn_CMYKColor16 halfCyan = {32768, 0, 0, 0};
  impn_CMYKColor8 fifty = {50, 0, 0, 0};
  EXPECT_EQ(IMPN_ColorDatabase::IMPNCMYKToRGB(halfCyan), IMPN_ColorDatabase::CMYKToRGB(fifty));
}
