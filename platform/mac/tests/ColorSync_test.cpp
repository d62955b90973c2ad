#include <ColorSync/ColorSync.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

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
// Within a quarter of an 8-bit step.
void ExpectRGBNear(CMRGBColor const& expected, CMRGBColor const& actual) {
  EXPECT_NEAR(expected.red, actual.red, 64);
  EXPECT_NEAR(expected.green, actual.green, 64);
  EXPECT_NEAR(expected.blue, actual.blue, 64);
}
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
    // As the printer profile shows them: cyan ink is no screen cyan, black ink is a dark grey.
    ExpectRGBNear({0, 44853, 61514}, colours[0].rgb);
    ExpectRGBNear({11246, 10505, 10667}, colours[1].rgb);

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

TEST(StandInColorSync, InksAndLabShowAsTheirProfilesSay) {
  StandIn_ColorSyncReset();
  {
    World cmyk(cmCMYKData);
    struct Case {
      CMCMYKColor ink;
      CMRGBColor screen;
    };
    Case const cases[] = {
        {{0, 0, 0, 0}, {65535, 65535, 65535}},  // paper is white
        {{0, 65535, 0, 0}, {60734, 5149, 36324}},      {{0, 0, 65535, 0}, {65535, 62202, 0}},
        {{0, 32768, 65535, 0}, {63610, 38299, 10150}}, {{65535, 65535, 65535, 65535}, {785, 0, 0}},
    };
    for (Case const& c : cases) {
      CMColor colour;
      colour.cmyk = c.ink;
      ASSERT_EQ(CWMatchColors(cmyk.world, &colour, 1), 0);
      ExpectRGBNear(c.screen, colour.rgb);
    }

    // CIE L*a*b* D50 shown in sRGB: the neutral axis stays neutral, L* 50 is sRGB 119 of 255.
    World lab(cmLabData);
    CMColor grey;
    grey.Lab = {32768, 32768, 32768};
    ASSERT_EQ(CWMatchColors(lab.world, &grey, 1), 0);
    ExpectRGBNear({30561, 30561, 30561}, grey.rgb);
    CMColor black;
    black.Lab = {0, 32768, 32768};
    ASSERT_EQ(CWMatchColors(lab.world, &black, 1), 0);
    ExpectRGBNear({0, 0, 0}, black.rgb);
  }
  EXPECT_EQ(StandIn_ColorSyncOpenObjects(), 0);
}

// The start-up's profile check matches a colour both ways between RGB and the other spaces.
TEST(StandInColorSync, RGBMatchesToCMYKAndLab) {
  StandIn_ColorSyncReset();
  {
    CMProfileRef rgb = nullptr;
    CMProfileRef cmyk = nullptr;
    CMProfileRef lab = nullptr;
    ASSERT_EQ(CMGetDefaultProfileBySpace(cmRGBData, &rgb), 0);
    ASSERT_EQ(CMGetDefaultProfileBySpace(cmCMYKData, &cmyk), 0);
    ASSERT_EQ(CMGetDefaultProfileBySpace(cmLabData, &lab), 0);

    CMWorldRef toCMYK = nullptr;
    ASSERT_EQ(NCWNewColorWorld(&toCMYK, rgb, cmyk), 0);
    CMColor red;
    red.rgb = {65535, 0, 0};
    ASSERT_EQ(CWMatchColors(toCMYK, &red, 1), 0);
    EXPECT_LT(red.cmyk.cyan, 6554);
    EXPECT_GT(red.cmyk.magenta, 45875);
    EXPECT_GT(red.cmyk.yellow, 45875);
    CWDisposeColorWorld(toCMYK);

    CMWorldRef toLab = nullptr;
    ASSERT_EQ(NCWNewColorWorld(&toLab, rgb, lab), 0);
    CMColor white;
    white.rgb = {65535, 65535, 65535};
    ASSERT_EQ(CWMatchColors(toLab, &white, 1), 0);
    EXPECT_NEAR(white.Lab.L, 65535, 400);
    EXPECT_NEAR(white.Lab.a, 32768, 300);
    EXPECT_NEAR(white.Lab.b, 32768, 300);
    CWDisposeColorWorld(toLab);

    CMCloseProfile(lab);
    CMCloseProfile(cmyk);
    CMCloseProfile(rgb);
  }
  EXPECT_EQ(StandIn_ColorSyncMatchedColors(), 2);
  EXPECT_EQ(StandIn_ColorSyncOpenObjects(), 0);
}

TEST(StandInColorSync, WorldsMatchSideBySideOnSeveralThreads) {
  StandIn_ColorSyncReset();
  CMCMYKColor const ink = {65535, 0, 0, 0};
  std::vector<CMRGBColor> results(4);
  std::vector<std::thread> threads;
  for (CMRGBColor& result : results) {
    threads.emplace_back([&ink, &result] {
      World world(cmCMYKData);
      CMColor colour;
      for (int i = 0; i < 200; ++i) {
        colour.cmyk = i % 2 ? ink : CMCMYKColor{0, 0, 0, 0};
        EXPECT_EQ(CWMatchColors(world.world, &colour, 1), 0);
      }
      colour.cmyk = ink;
      EXPECT_EQ(CWMatchColors(world.world, &colour, 1), 0);
      result = colour.rgb;
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  for (CMRGBColor const& result : results)
    ExpectRGBNear({0, 44853, 61514}, result);
  EXPECT_EQ(StandIn_ColorSyncMatchedColors(), 4 * 201);
  EXPECT_EQ(StandIn_ColorSyncOpenObjects(), 0);
}
