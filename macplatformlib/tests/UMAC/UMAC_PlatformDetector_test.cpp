#include "UMAC/UMAC_PlatformDetector.h"

#include <CoreServices/Files.h>
#include <CoreServices/Gestalt.h>

#include <gtest/gtest.h>

namespace {

// This source's own detector was made before these statics: the facts are there already.
bool const g_osXAtStart = UMAC_PlatformDetector::IsOsX();

class UMAC_PlatformDetectorTest : public ::testing::Test {
protected:
  void SetUp() override {
    StandIn_ResetGestalt();
    StandIn_FilesReset();
  }
  void TearDown() override {
    StandIn_ResetGestalt();
    StandIn_FilesReset();
    UMAC_PlatformDetector::Initialize();
  }
};

TEST_F(UMAC_PlatformDetectorTest, FactsAreReadDuringStaticInitialisation) {
  EXPECT_TRUE(g_osXAtStart);
}

struct VersionCase {
  bool fails;
  SInt32 version;
  bool osX;
  SInt32 reported;
};

TEST_F(UMAC_PlatformDetectorTest, SystemVersionDecidesMacOSX) {
  VersionCase const cases[] =
      {
          {false, 0x1039, true, 0x1039}, {false, 0x1040, true, 0x1040},
          {false, 0x1000, true, 0x1000}, {false, 0x0922, false, 0x0922},
          {true, 0, false, 0},  // a failed query: not Mac OS X, older than any threshold
      };
  for (VersionCase const& c : cases) {
    if (c.fails)
      StandIn_SetGestaltError(gestaltSystemVersion, gestaltUndefSelectorErr);
    else
      StandIn_SetGestaltValue(gestaltSystemVersion, c.version);
    UMAC_PlatformDetector::Initialize();
    EXPECT_EQ(c.osX, UMAC_PlatformDetector::IsOsX()) << std::hex << c.version;
    EXPECT_EQ(c.reported, UMAC_PlatformDetector::SystemVersion()) << std::hex << c.version;
  }
}

TEST_F(UMAC_PlatformDetectorTest, ClassicIsBitZeroOfTheCompatibilityBox) {
  struct {
    bool fails;
    SInt32 value;
    bool classic;
  } const cases[] = {
      {false, 1, true}, {false, 3, true}, {false, 2, false}, {false, 0, false}, {true, 1, false}};
  for (auto const& c : cases) {
    if (c.fails)
      StandIn_SetGestaltError(gestaltMacOSCompatibilityBoxAttr, gestaltUndefSelectorErr);
    else
      StandIn_SetGestaltValue(gestaltMacOSCompatibilityBoxAttr, c.value);
    UMAC_PlatformDetector::Initialize();
    EXPECT_EQ(c.classic, UMAC_PlatformDetector::IsClassic()) << c.value << " " << c.fails;
    EXPECT_TRUE(UMAC_PlatformDetector::IsOsX());
  }
  StandIn_FilesFailNext("Gestalt", -1);  // the first query, 'bbox', fails
  UMAC_PlatformDetector::Initialize();
  EXPECT_FALSE(UMAC_PlatformDetector::IsClassic());
  EXPECT_TRUE(UMAC_PlatformDetector::IsOsX());
}

TEST_F(UMAC_PlatformDetectorTest, DetectorsReadTheFlagsOnceButTheVersionEachTime) {
  UMAC_PlatformDetector first;
  UMAC_PlatformDetector second;
  UMAC_PlatformDetector third;
  EXPECT_EQ(0, StandIn_GestaltCallCount(gestaltMacOSCompatibilityBoxAttr));
  EXPECT_EQ(0, StandIn_GestaltCallCount(gestaltSystemVersion));
  StandIn_SetGestaltValue(gestaltSystemVersion, 0x1039);
  EXPECT_EQ(0x1039, first.SystemVersion());
  EXPECT_EQ(0x1039, second.SystemVersion());
  StandIn_SetGestaltValue(gestaltSystemVersion, 0x1040);
  EXPECT_EQ(0x1040, third.SystemVersion());
  EXPECT_EQ(3, StandIn_GestaltCallCount(gestaltSystemVersion));
  EXPECT_EQ(0, StandIn_GestaltCallCount(gestaltMacOSCompatibilityBoxAttr));
}

}  // namespace
