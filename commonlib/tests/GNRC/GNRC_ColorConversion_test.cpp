#include "GNRC/GNRC_ColorConversion.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// The colour database shows a channel as the value x 255 truncated.
std::array<int, 3> ToBytes(GNRC_RgbColor const& c) {
  return {static_cast<int>(c.red * 255), static_cast<int>(c.green * 255),
          static_cast<int>(c.blue * 255)};
}

struct CmykCase {
  double c, m, y, k;  // percentages
  std::array<int, 3> rgb;
};

TEST(GNRC_CmykToRgb, KnownInksGiveTheirScreenColours) {
  CmykCase const cases[] = {
      {0, 0, 0, 0, {255, 255, 255}},    {0, 0, 0, 100, {0, 0, 0}},
      {50, 50, 50, 0, {128, 128, 128}}, {100, 0, 0, 0, {0, 175, 240}},
      {0, 100, 0, 0, {237, 1, 141}},    {0, 0, 100, 0, {255, 243, 1}},
  };
  for (auto const& tc : cases) {
    GNRC_CmykColor const cmyk{tc.c / 100, tc.y / 100, tc.m / 100, tc.k / 100};
    EXPECT_EQ(ToBytes(GNRC_CmykToRgb(cmyk)), tc.rgb)
        << tc.c << "/" << tc.m << "/" << tc.y << "/" << tc.k;
  }
}

TEST(GNRC_CmykToRgb, YellowIsTheSecondMember) {
  // Swapping the roles of yellow and magenta must change the result.
  GNRC_CmykColor const yellowOnly{0, 1, 0, 0};
  EXPECT_EQ(ToBytes(GNRC_CmykToRgb(yellowOnly)), (std::array<int, 3>{255, 243, 1}));
}

TEST(GNRC_CmykToRgb, EqualDensitiesGiveEachChannelItsOwnComplement) {
  // With equal densities every pair weight is 0: channel = 255 - density, for both branches
  // of the 204 threshold.
  for (int d : {0, 1, 100, 203, 204, 250, 255}) {
    double const f = d / 255.0 + 1e-9;  // density = trunc(f x 255) = d
    GNRC_RgbColor const rgb = GNRC_CmykToRgb(GNRC_CmykColor{f, f, f, 0});
    std::array<int, 3> const expected{255 - d, 255 - d, 255 - d};
    EXPECT_EQ((std::array<int, 3>{int(rgb.red * 255 + 0.5), int(rgb.green * 255 + 0.5),
                                  int(rgb.blue * 255 + 0.5)}),
              expected)
        << "density " << d;
  }
}

TEST(GNRC_CmykToRgb, ResultsStayWithinUnitRange) {
  for (int c = 0; c <= 100; c += 10)
    for (int m = 0; m <= 100; m += 10)
      for (int y = 0; y <= 100; y += 10)
        for (int k = 0; k <= 100; k += 25) {
          GNRC_RgbColor const rgb =
              GNRC_CmykToRgb(GNRC_CmykColor{c / 100.0, y / 100.0, m / 100.0, k / 100.0});
          for (double v : {rgb.red, rgb.green, rgb.blue}) {
            ASSERT_GE(v, 0.0);
            ASSERT_LE(v, 1.0);
          }
        }
}

TEST(GNRC_Grayweight, WeightsFollowTheDensityRatio) {
  EXPECT_EQ(iGNRC_Grayweight(0, 0), 256);
  EXPECT_EQ(iGNRC_Grayweight(100, 0), 256);
  EXPECT_EQ(iGNRC_Grayweight(0, 100), 256);
  EXPECT_EQ(iGNRC_Grayweight(77, 77), 0);
  EXPECT_EQ(iGNRC_Grayweight(200, 100), 128);
  EXPECT_EQ(iGNRC_Grayweight(100, 200), 128);
  EXPECT_EQ(iGNRC_Grayweight(255, 254), 2);  // 256 - 65024 / 255 = 256 - 254 (truncated)
}

struct LabCase {
  int L, a, b;
  std::array<int, 3> rgb;
};

TEST(GNRC_LabToRgb, KnownRecipesGiveTheirScreenColours) {
  LabCase const cases[] = {
      {100, 0, 0, {255, 255, 254}},
      {0, 0, 0, {0, 0, 0}},
      {50, 0, 0, {118, 118, 118}},
  };
  for (auto const& tc : cases)
    EXPECT_EQ(ToBytes(GNRC_LabToRgb(GNRC_LabColor{tc.L, tc.a, tc.b})), tc.rgb)
        << tc.L << "/" << tc.a << "/" << tc.b;
}

TEST(GNRC_LabToRgb, OutOfGamutChannelsAreClamped) {
  // A saturated red lies outside the screen's gamut: green and blue clamp at 0, red at 1.
  GNRC_RgbColor const red = GNRC_LabToRgb(GNRC_LabColor{60, 127, 127});
  EXPECT_EQ(red.red, 1.0);
  EXPECT_EQ(red.blue, 0.0);
  for (int L : {0, 25, 50, 75, 100})
    for (int a = -128; a <= 127; a += 51)
      for (int b = -128; b <= 127; b += 51) {
        GNRC_RgbColor const rgb = GNRC_LabToRgb(GNRC_LabColor{L, a, b});
        for (double v : {rgb.red, rgb.green, rgb.blue}) {
          ASSERT_GE(v, 0.0);
          ASSERT_LE(v, 1.0);
        }
      }
}

}  // namespace
