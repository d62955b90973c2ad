// Colour matching and the colour picker: statuses, placement, the prompt and what is closed.
#include "UMAC/UMAC_ColorPicker.h"

#include "support/UMAC_LiveCounts.h"

#include <HIToolbox/StandInScript.h>

#include <string>

namespace {

class UMAC_ColorPickerTest : public UMAC_LiveCountsTest {
protected:
  void SetUp() override {
    StandIn_ColorSyncReset();
    StandIn_ClearPickerScript();
    m_Open = StandIn_ColorSyncOpenObjects();
    UMAC_LiveCountsTest::SetUp();
  }
  void TearDown() override {
    UMAC_LiveCountsTest::TearDown();
    EXPECT_EQ(m_Open, StandIn_ColorSyncOpenObjects());
    StandIn_ColorSyncReset();
    StandIn_ClearPickerScript();
  }

private:
  int m_Open = 0;
};

TEST_F(UMAC_ColorPickerTest, MatchingReportsTheFirstFailureAndClosesEverything) {
  CMColor cyan{};
  cyan.cmyk = CMCMYKColor{65535, 0, 0, 0};
  ASSERT_EQ(noErr, UMAC_ColorPicker::MatchColor(cyan, cmCMYKData, cmRGBData));
  EXPECT_LT(cyan.rgb.red, 20000);
  EXPECT_GT(cyan.rgb.blue, 40000);
  struct Case {
    StandIn_ColorSyncCall call;
    CMError status;
  };
  for (const Case& c : {Case{StandIn_CMGetDefaultProfileBySpace, cmProfileNotFound},
                        Case{StandIn_NCWNewColorWorld, cmProfileError},
                        Case{StandIn_CWMatchColors, cmMethodError}}) {
    StandIn_ColorSyncFailNext(c.call, c.status);
    CMColor colour{};
    EXPECT_EQ(c.status, UMAC_ColorPicker::MatchColor(colour, cmCMYKData, cmRGBData));
  }
  CMColor colour{};
  EXPECT_EQ(cmProfileNotFound, UMAC_ColorPicker::MatchColor(colour, cmRGBData, 0x58595A20));
}

TEST_F(UMAC_ColorPickerTest, ThePickerIsCentredAtTheOriginAndAnswersFromTheScript) {
  CMColor colour{};
  colour.rgb = CMRGBColor{1, 2, 3};
  CMColor picked{};
  picked.rgb = CMRGBColor{65535, 0, 0};
  StandIn_ScriptPickColor(picked);
  PickerMenuItemInfo menu{};
  bool chosen = false;
  ASSERT_EQ(noErr, UMAC_ColorPicker::PickColor(colour, cmRGBData, cmRGBData, chosen, menu,
                                               "Ink colour", 0, 1, Point{0, 0}));
  EXPECT_TRUE(chosen);
  EXPECT_EQ(65535, colour.rgb.red);
  StandIn_PickerRequest asked = StandIn_LastPicker();
  EXPECT_EQ(kCenterOnMainScreen, asked.placeWhere);
  EXPECT_EQ(1u | kColorPickerAppIsColorSyncAware, asked.flags);
  EXPECT_EQ("Ink colour", asked.prompt);
  EXPECT_NE(nullptr, asked.sourceProfile);
  EXPECT_NE(nullptr, asked.destinationProfile);
  EXPECT_FALSE(asked.hadEventProc || asked.hadColorProc);

  StandIn_ScriptCancelPicker();
  const std::string longPrompt(300, 'p');
  ASSERT_EQ(noErr, UMAC_ColorPicker::PickColor(colour, cmRGBData, cmRGBData, chosen, menu,
                                               longPrompt.c_str(), 0, 0, Point{40, 60}));
  EXPECT_FALSE(chosen);
  EXPECT_EQ(65535, colour.rgb.red);  // kept
  asked = StandIn_LastPicker();
  EXPECT_EQ(kAtSpecifiedOrigin, asked.placeWhere);
  EXPECT_EQ(60, asked.dialogOrigin.h);
  EXPECT_EQ(std::string(255, 'p'), asked.prompt);  // cut to the Str255

  StandIn_FilesFailNext("NPickColor", -128);
  EXPECT_EQ(-128, UMAC_ColorPicker::PickColor(colour, cmRGBData, cmRGBData, chosen, menu, "", 0, 0,
                                              Point{0, 0}));
  EXPECT_FALSE(chosen);
  StandIn_ColorSyncFailNext(StandIn_CMGetDefaultProfileBySpace, cmProfileNotFound);
  const long runs = StandIn_LastPicker().count;
  EXPECT_EQ(cmProfileNotFound, UMAC_ColorPicker::PickColor(colour, cmRGBData, cmRGBData, chosen,
                                                           menu, "", 0, 0, Point{0, 0}));
  EXPECT_EQ(runs, StandIn_LastPicker().count);
  StandIn_FilesReset();
}

}  // namespace
