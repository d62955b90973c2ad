// Font lookup and theme text in a box: the font walk, truncation and measuring, the highlight
// colour on both branches, and the colours text is drawn in.
#include "UMAC/UMAC_Exception.h"
#include "UMAC/UMAC_PlatformDetector.h"
#include "UMAC/UMAC_TextUtils.h"

#include "support/UMAC_ExpectThrows.h"
#include "support/UMAC_LiveCounts.h"

#include <CoreGraphics/CGContext.h>
#include <CoreGraphics/StandInFonts.h>
#include <CoreServices/Gestalt.h>
#include <HIToolbox/HIView.h>

#include <string>

namespace {

class UMAC_ThemeTextTest : public UMAC_LiveCountsTest {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    UMAC_LiveCountsTest::SetUp();
    Rect bounds{100, 50, 200, 250};  // 200 x 100 content
    CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &bounds, &m_Window);
    SetPort(GetWindowPort(m_Window));
  }
  void TearDown() override {
    SetPort(nullptr);
    DisposeWindow(m_Window);
    EXPECT_EQ(0, StandIn_ATSLiveIteratorCount());
    UMAC_LiveCountsTest::TearDown();
    StandIn_FilesReset();
    StandIn_ResetGestalt();
    UMAC_PlatformDetector::Initialize();
  }

  // A CFString released by the fixture's caller.
  static CFStringRef Text(const char* text) {
    return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
  }

  WindowRef m_Window = nullptr;
};

TEST_F(UMAC_ThemeTextTest, FontsAreFoundByTheirExactFamilyName) {
  CFStringRef lucida = Text("Lucida Grande");
  CFStringRef lower = Text("lucida grande");
  CFStringRef dejaVu = Text("DejaVu Sans");
  const ATSFontRef found = UMAC_FindFontFromName(lucida);
  EXPECT_NE(0u, found);
  EXPECT_EQ(0u, UMAC_FindFontFromName(lower));
  EXPECT_NE(found, UMAC_FindFontFromName(dejaVu));  // the second family of the table

  // A change of the font set under the walk restarts it once and still finds the family.
  StandIn_FilesFailNext("ATSFontFamilyIteratorNext", kATSIterationScopeModified);
  const int resets = StandIn_FilesCallCount("ATSFontFamilyIteratorReset");
  EXPECT_EQ(found, UMAC_FindFontFromName(lucida));
  EXPECT_EQ(resets + 1, StandIn_FilesCallCount("ATSFontFamilyIteratorReset"));
  // Any other failure ends the walk with 0.
  StandIn_FilesFailNext("ATSFontFamilyIteratorNext", -50);
  EXPECT_EQ(0u, UMAC_FindFontFromName(lucida));
  StandIn_FilesFailNext("ATSFontFamilyIteratorReset", -50);
  StandIn_FilesFailNext("ATSFontFamilyIteratorNext", kATSIterationScopeModified);
  EXPECT_EQ(0u, UMAC_FindFontFromName(lucida));
  StandIn_FilesFailNext("ATSFontFamilyGetName", -50);
  EXPECT_EQ(0u, UMAC_FindFontFromName(lucida));
  StandIn_FilesFailNext("FMCreateFontFamilyInstanceIterator", -50);
  EXPECT_EQ(0u, UMAC_FindFontFromName(lucida));
  CFRelease(lucida);
  CFRelease(lower);
  CFRelease(dejaVu);
}

TEST_F(UMAC_ThemeTextTest, TextWiderThanTheBoxIsTruncatedBeforeItIsMeasured) {
  CFStringRef text = Text("A rather long separation name");
  Point whole = {0, 0};
  SInt16 baseline = 1;
  UMAC_MeasureTextInBox(text, Rect{0, 0, 20, 1000}, &whole, &baseline, kThemeSystemFont,
                        kThemeStateActive, truncEnd);
  EXPECT_GT(whole.h, 100);
  EXPECT_GT(whole.v, 10);
  EXPECT_LT(baseline, 0);
  Point cut = {0, 0};
  UMAC_MeasureTextInBox(text, Rect{0, 0, 20, 60}, &cut, &baseline, kThemeSystemFont,
                        kThemeStateActive, truncEnd);
  EXPECT_LE(cut.h, 60);
  EXPECT_GT(cut.h, 20);
  EXPECT_EQ(whole.v, cut.v);
  Point small = {0, 0};
  UMAC_MeasureTextInBox(text, Rect{0, 0, 20, 1000}, &small, &baseline, kThemeSmallSystemFont,
                        kThemeStateActive, truncEnd);
  EXPECT_LT(small.h, whole.h);

  StandIn_FilesFailNext("GetThemeTextDimensions", -50);
  UMAC_ExpectThrows(
      [&] {
        UMAC_MeasureTextInBox(text, Rect{0, 0, 20, 60}, &cut, &baseline, kThemeSystemFont,
                              kThemeStateActive, truncEnd);
      },
      UMAC_ERR_TOOLBOX, L"Macintosh Toolbox Error", L"-50");
  CFRelease(text);
}

TEST_F(UMAC_ThemeTextTest, TheHighlightColourComesFromTheBrushOnOSXAndTheThemeOtherwise) {
  StandIn_SetGestaltValue(gestaltSystemVersion, 0x1040);
  UMAC_PlatformDetector::Initialize();
  RGBColor primary, secondary;
  GetThemeBrushAsColor(kThemeBrushPrimaryHighlightColor, 32, true, &primary);
  GetThemeBrushAsColor(kThemeBrushSecondaryHighlightColor, 32, true, &secondary);
  EXPECT_EQ(primary.blue, UMAC_GetHighlightColor(true).blue);
  EXPECT_EQ(secondary.red, UMAC_GetHighlightColor(false).red);
  StandIn_FilesFailNext("GetThemeBrushAsColor", -50);
  UMAC_ExpectThrows([&] { UMAC_GetHighlightColor(true); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-50");

  StandIn_SetGestaltValue(gestaltSystemVersion, 0x0922);
  UMAC_PlatformDetector::Initialize();
  const int brushes = StandIn_FilesCallCount("GetThemeBrushAsColor");
  EXPECT_EQ(primary.green, UMAC_GetHighlightColor(false).green);  // the theme's one colour
  EXPECT_EQ(brushes, StandIn_FilesCallCount("GetThemeBrushAsColor"));
  StandIn_FilesFailNext("GetTaggedCollectionItem", -50);
  UMAC_ExpectThrows([&] { UMAC_GetHighlightColor(true); }, UMAC_ERR_TOOLBOX,
                    L"Macintosh Toolbox Error", L"-50");
}

TEST_F(UMAC_ThemeTextTest, BoxTextIsGreyWhenInactiveBlackWhenActiveAndTheGivenColourWhenGiven) {
  CFStringRef text = Text("Cyan");
  const RGBColor before = {1, 2, 3};
  RGBForeColor(&before);
  struct Case {
    ThemeDrawState state;
    const RGBColor* given;
    UInt16 red;
  };
  const RGBColor orange = {65535, 32768, 0};
  const Case cases[] = {{kThemeStateInactive, nullptr, 0x8F8F},
                        {kThemeStateActive, nullptr, 0},
                        {kThemeStateInactive, &orange, 65535},
                        {kThemeStateActive, &orange, 65535}};
  for (const Case& c : cases) {
    UMAC_DrawTextInBox(text, Rect{10, 10, 40, 190}, false, 0, kThemeSystemFont, c.state, truncEnd,
                       c.given);
    const StandIn_ThemeTextRecord drawn = StandIn_LastThemeText();
    EXPECT_EQ(c.red, drawn.color.red);
    EXPECT_EQ("Cyan", drawn.text);
    EXPECT_EQ(40, drawn.box.bottom);
    RGBColor after;
    GetForeColor(&after);
    EXPECT_EQ(3, after.blue);  // the port's colour came back
  }
  // On the bottom of the box: the text rectangle's top is the bottom less the text's height
  // plus the baseline.
  Point size = {0, 0};
  SInt16 baseline = 0;
  UMAC_MeasureTextInBox(text, Rect{10, 10, 40, 190}, &size, &baseline, kThemeSystemFont,
                        kThemeStateActive, truncEnd);
  EXPECT_EQ(40 - size.v + baseline, StandIn_LastThemeText().box.top);
  CFRelease(text);
}

TEST_F(UMAC_ThemeTextTest, HighlightedTextSitsOnTheHighlightColour) {
  StandIn_SetGestaltValue(gestaltSystemVersion, 0x1040);
  UMAC_PlatformDetector::Initialize();
  CFStringRef text = Text("Magenta");
  StandIn_WindowRender(m_Window);  // white
  UMAC_DrawTextInBox(text, Rect{10, 10, 40, 190}, true, 0, kThemeSystemFont, kThemeStateActive,
                     truncEnd, nullptr);
  const RGBColor highlight = UMAC_GetHighlightColor(true);
  const UInt32 expected = 0xFF000000u | UInt32(highlight.red >> 8) << 16 |
                          UInt32(highlight.green >> 8) << 8 | UInt32(highlight.blue >> 8);
  Point size = {0, 0};
  SInt16 baseline = 0;
  UMAC_MeasureTextInBox(text, Rect{10, 10, 40, 190}, &size, &baseline, kThemeSystemFont,
                        kThemeStateActive, truncEnd);
  // Just inside the painted rectangle's right end, below the glyphs' ink.
  EXPECT_EQ(expected, StandIn_WindowPixel(m_Window, 10 + size.h - 1, 22 + 40 + baseline - 1));
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(m_Window, 10 + size.h + 2, 22 + 30));
  bool inked = false;
  for (int x = 10; x < 10 + size.h; ++x)
    for (int y = 22 + 40 - size.v; y < 22 + 40; ++y)
      inked = inked || StandIn_WindowPixel(m_Window, x, y) == 0xFF000000u;
  EXPECT_TRUE(inked);  // black text on it
  CFRelease(text);
}

}  // namespace
