#include <gtest/gtest.h>

#include <cstdint>

#include "WTLA/DockSettingsColors.h"

namespace {

TEST(DockSettingsColorsTest, TheFaceIsLiftedByTheBrightestChannel) {
  struct Case {
    std::uint32_t m_Face;
    std::uint32_t m_Expected;
  };
  const Case cases[] = {
      {0x000000, 0x232323},  // b = 0: every channel + 35
      {0xC8D0D4, 0xE9F2F7},  // b = 212 <= 220: c + 35 c / 212, rounded
      {0xDCDCDC, 0xFFFFFF},  // b = 220: lifted by 35 to white
      {0xF0F0F0, 0xFFFFFF},  // b = 240 > 220: lifted by 255 - b
      {0x00F000, 0x00FF00},  // channels at 0 stay at 0
      {0x6040E6, 0x6A47FF},  // b = 230: e = 25
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dockwins::LightFaceColor(c.m_Face), c.m_Expected) << std::hex << c.m_Face;
  }
}

TEST(DockSettingsColorsTest, TheTextColourGoesTwoThirdsTowardsTheGreyText) {
  EXPECT_EQ(dockwins::CaptionTextColor(0x000000, 0x808080), 0x545454u);
  // The division truncates toward zero in both directions.
  EXPECT_EQ(dockwins::CaptionTextColor(0x0A0A0A, 0x000000), 0x040404u);
  EXPECT_EQ(dockwins::CaptionTextColor(0x102030, 0x102030), 0x102030u);
}

}  // namespace
