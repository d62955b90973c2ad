#include <ColorSync/ColorSync.h>

#include <gtest/gtest.h>

namespace {
struct World {
  CMProfileRef source = nullptr;
  CMProfileRef destination = nullptr;
  CMWorldRef world = nullptr;

  explicit World(OSType from) {
    EXPECT_EQ(CMGetDefaultProfileBySpace(from, &source), 0);
    EXPECT_EQ(CMGetDefaultProfileBySpace(cmRGBData, &destination), 0);
    EXPECT_EQ(NCWNewColorWorld(&world, source, destination), 0);
  }
  ~World() {
    CWDisposeColorWorld(world);
    CMCloseProfile(destination);
    CMCloseProfile(source);
  }
};
}  // namespace

TEST(StandInColorSync, MatchesCMYKAndLabToRGB) {
  StandIn_ColorSyncReset();
  {
    World cmyk(cmCMYKData);
    EXPECT_EQ(StandIn_ColorSyncOpenObjects(), 3);
    CMColor colours[2];
    colours[0].cmyk = {65535, 0, 0, 0};
    colours[1].cmyk = {0, 0, 0, 65535};
    ASSERT_EQ(CWMatchColors(cmyk.world, colours, 2), 0);
    EXPECT_EQ(colours[0].rgb.red, 0);
    EXPECT_EQ(colours[0].rgb.green, 65535);
    EXPECT_EQ(colours[0].rgb.blue, 65535);
    EXPECT_EQ(colours[1].rgb.red + colours[1].rgb.green + colours[1].rgb.blue, 0);

    World lab(cmLabData);
    CMColor white;
    white.Lab = {65535, 32768, 32768};
    ASSERT_EQ(CWMatchColors(lab.world, &white, 1), 0);
    EXPECT_GE(white.rgb.red, 65500);
    EXPECT_GE(white.rgb.green, 65500);
    EXPECT_GE(white.rgb.blue, 65500);
    EXPECT_EQ(StandIn_ColorSyncMatchedColors(), 3);
  }
  EXPECT_EQ(StandIn_ColorSyncOpenObjects(), 0);
}

TEST(StandInColorSync, FailuresHitOnlyTheNextCallOfTheirKind) {
  StandIn_ColorSyncReset();
  CMProfileRef profile = nullptr;
  StandIn_ColorSyncFailNext(StandIn_CMGetDefaultProfileBySpace, cmProfileNotFound);
  EXPECT_EQ(CMGetDefaultProfileBySpace(cmRGBData, &profile), cmProfileNotFound);
  EXPECT_EQ(profile, nullptr);
  EXPECT_EQ(CMGetDefaultProfileBySpace(cmRGBData, &profile), 0);
  EXPECT_EQ(CMCloseProfile(profile), 0);

  World world(cmCMYKData);
  CMColor colour;
  colour.cmyk = {0, 0, 0, 0};
  StandIn_ColorSyncFailNext(StandIn_CWMatchColors, cmMethodError);
  EXPECT_EQ(CWMatchColors(world.world, &colour, 1), cmMethodError);
  EXPECT_EQ(CWMatchColors(world.world, &colour, 1), 0);
  EXPECT_EQ(CMGetDefaultProfileBySpace(0x58595A20 /* 'XYZ ' */, &profile), cmProfileNotFound);
}
