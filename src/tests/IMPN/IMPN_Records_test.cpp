#include "IMPN/IMPN_BitMap.h"
#include "IMPN/IMPN_Color.h"
#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_ZoomLevel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {
// The bytes of a colour as they lie in memory, in the display system's order.
std::string MemoryBytes(void const* p, std::size_t n) {
  return std::string(static_cast<char const*>(p), n);
}

// Preferences as the program starts, before anything loads them or applies the defaults. The
// preferences are constant-initialised, so this copy, made while the test's statics are
// initialised, sees them untouched whichever tests run before the one that reads it.
struct StartingPreferences {
  IMPN_RGBColor8 bleedEdgeColor = IMPN_Preferences::sm_BleedEdgeColor;
  IMPN_RGBAColor8 navigationScreen = IMPN_Preferences::sm_NavigationScreen;
  std::int32_t linearUnitPrecision = IMPN_Preferences::sm_LinearUnitPrecision;
};
StartingPreferences const kAtStart;
}  // namespace

TEST(IMPN_ColorRecords, ChannelsLieInTheDisplaySystemsOrder) {
  IMPN_RGBColor8 const red(255, 0, 0);
  IMPN_RGBAColor8 const orange(255, 115, 67, 40);
#if defined(_WIN32)
  EXPECT_EQ(MemoryBytes(&red, 3), std::string("\x00\x00\xff", 3));
  EXPECT_EQ(MemoryBytes(&orange, 4), std::string("\x43\x73\xff\x28", 4));
#else
  EXPECT_EQ(MemoryBytes(&red, 3), std::string("\xff\x00\x00", 3));
  EXPECT_EQ(MemoryBytes(&orange, 4), std::string("\xff\x73\x43\x28", 4));
#endif
  impn_RGBColor8 const plain = {1, 2, 3};
  EXPECT_EQ(MemoryBytes(&plain, 3), std::string("\x01\x02\x03", 3));
  IMPN_RGBColor8 const fromPlain(plain);
  EXPECT_EQ(fromPlain.red, 1);
  EXPECT_EQ(fromPlain.green, 2);
  EXPECT_EQ(fromPlain.blue, 3);
}

TEST(IMPN_ColorRecords, DefaultValues) {
  EXPECT_EQ(IMPN_RGBColor8(), IMPN_RGBColor8(0, 0, 0));
  EXPECT_EQ(IMPN_RGBAColor8(), IMPN_RGBAColor8(0, 0, 0, 255));
  IMPN_CMYKColor16 const none;
  EXPECT_EQ(none.cyan + none.magenta + none.yellow + none.black, 0);
  IMPN_CMYKColor16 const some(1, 2, 3, 65535);
  EXPECT_EQ(some.black, 65535);
}

TEST(IMPN_Preferences, StartBlackAndZeroThenTakeTheirDefaults) {
  EXPECT_EQ(kAtStart.bleedEdgeColor, IMPN_RGBColor8(0, 0, 0));
  EXPECT_EQ(kAtStart.navigationScreen, IMPN_RGBAColor8(0, 0, 0, 255));
  EXPECT_EQ(kAtStart.linearUnitPrecision, 0);

  IMPN_Preferences::sm_ShowImpositionOnOpen = true;
  IMPN_Preferences::sm_PreferredLinearUnits = 3;
  IMPN_Preferences::SetToDefaultValues();

  EXPECT_EQ(IMPN_Preferences::sm_PressSheetEdgeColor, IMPN_RGBColor8(0, 255, 0));
  EXPECT_EQ(IMPN_Preferences::sm_BleedEdgeColor, IMPN_RGBColor8(255, 0, 0));
#if defined(_WIN32)
  EXPECT_EQ(MemoryBytes(&IMPN_Preferences::sm_BleedEdgeColor, 3), std::string("\x00\x00\xff", 3));
#endif
  EXPECT_EQ(IMPN_Preferences::sm_PageEdgeColor, IMPN_RGBColor8(0, 0, 255));
  EXPECT_EQ(IMPN_Preferences::sm_TypeSafetyEdgeColor, IMPN_RGBColor8(255, 255, 0));
  EXPECT_FALSE(IMPN_Preferences::sm_ShowImpositionOnOpen);
  EXPECT_EQ(IMPN_Preferences::sm_DefaultSpotColor, IMPN_RGBColor8(153, 153, 153));
  EXPECT_EQ(IMPN_Preferences::sm_DefaultSurfaceColor, IMPN_RGBColor8(255, 255, 255));
  EXPECT_EQ(IMPN_Preferences::sm_PlateEdgeColor, IMPN_RGBColor8(153, 153, 153));
  EXPECT_EQ(IMPN_Preferences::sm_NavigationFrame, IMPN_RGBAColor8(255, 255, 0, 100));
  EXPECT_EQ(IMPN_Preferences::sm_NavigationScreen, IMPN_RGBAColor8(255, 255, 255, 60));
  EXPECT_FALSE(IMPN_Preferences::sm_ZoomToFitWindowOnOpen);
  EXPECT_FALSE(IMPN_Preferences::sm_RotateUprightOnOpen);
  EXPECT_EQ(IMPN_Preferences::sm_PreferredLinearUnits, 0);
  EXPECT_EQ(IMPN_Preferences::sm_LinearUnitPrecision, 2);
  EXPECT_EQ(IMPN_Preferences::sm_AngularUnitPrecision, 1);
  EXPECT_EQ(IMPN_Preferences::sm_GuideLineColor, IMPN_RGBColor8(0, 255, 255));
  EXPECT_EQ(IMPN_Preferences::sm_ToolTrackingColor, IMPN_RGBAColor8(255, 115, 67, 40));
}

TEST(IMPN_BitMap, DefaultIsEmpty) {
  IMPN_BitMap const empty;
  EXPECT_EQ(empty.kind, kIMPN_BitMapEmpty);
  EXPECT_EQ(empty.pixels, nullptr);
  EXPECT_EQ(empty.timeStamp, 0);
  EXPECT_EQ(empty.rowBytes, 0);
  EXPECT_EQ(empty.rect, IMPN_RectT<long>());
  EXPECT_EQ(empty.palette, nullptr);
}

TEST(IMPN_ZoomLevel, FactorsArePowersOfTwoAndNamesTheirRatios) {
  char const* const names[] = {"8:1",  "4:1",  "2:1",  "1:1",   "1:2",   "1:4",  "1:8",
                               "1:16", "1:32", "1:64", "1:128", "1:256", "1:512"};
  for (int level = kIMPN_ZoomLevel8to1; level <= kIMPN_ZoomLevel1to512; ++level) {
    EXPECT_EQ(kIMPN_ZoomFactor[level], static_cast<float>(std::ldexp(1.0, 3 - level)));
    EXPECT_STREQ(kIMPN_ZoomLevelName[level], names[level]);
  }
  EXPECT_EQ(kIMPN_ZoomLevelCount, 13);
  EXPECT_EQ(kIMPN_ZoomLevel1to1, 3);
}
