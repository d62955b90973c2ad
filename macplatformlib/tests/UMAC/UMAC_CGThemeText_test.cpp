// Theme text drawn with ATSUI: the style it sets, truncation, the text position after drawing and
// the metrics fallback.
#include "UMAC/UMAC_CGContext.h"
#include "UMAC/UMAC_CGThemeText.h"

#include "support/UMAC_LiveCounts.h"

#include <vector>

namespace {

class UMAC_CGThemeTextTest : public UMAC_LiveCountsTest {
protected:
  void SetUp() override {
    StandIn_FilesReset();
    m_Styles = StandIn_ATSUStyleLiveCount();
    CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
    m_Bitmap.Create(m_Pixels.data(), 200, 30, 8, 800, rgb, kCGImageAlphaPremultipliedLast);
    CGColorSpaceRelease(rgb);
    UMAC_LiveCountsTest::SetUp();  // the bitmap outlives the test's counts
  }
  void TearDown() override {
    EXPECT_EQ(0, StandIn_ATSULayoutLiveCount());
    UMAC_LiveCountsTest::TearDown();
    StandIn_FilesReset();
  }
  void ExpectStylesBack() const { EXPECT_EQ(m_Styles, StandIn_ATSUStyleLiveCount()); }
  static CFStringRef Text(const char* text) {
    return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
  }
  bool Inked() const {
    for (std::size_t i = 3; i < m_Pixels.size(); i += 4)
      if (m_Pixels[i] != 0)
        return true;
    return false;
  }

  std::vector<UInt8> m_Pixels = std::vector<UInt8>(200 * 30 * 4, 0);
  UMAC_CGBitmapContext m_Bitmap;

private:
  long m_Styles = 0;
};

TEST_F(UMAC_CGThemeTextTest, TheStyleCarriesTheThemeFontSizeAndColour) {
  {
    UMAC_CGThemeText text;
    EXPECT_EQ(kThemeSystemFont, text.GetFontID());
    EXPECT_EQ(13, text.GetFontSize());
    EXPECT_EQ(-1, text.GetTextColorID());
    text.SetFont(kThemeSmallSystemFont);
    EXPECT_EQ(11, text.GetFontSize());
    text.SetTextColor(kThemeTextColorDialogInactive, 32, true);
    EXPECT_EQ(0x7F7F, text.GetTextColor().red);
    CFStringRef name = text.GetFontName();
    CFStringRef expected = Text("Lucida Grande");
    EXPECT_EQ(kCFCompareEqualTo, CFStringCompare(name, expected, 0));
    CFRelease(name);
    CFRelease(expected);
    long ascent = 0, descent = 0;
    text.GetTextMetrics(&ascent, &descent);
    EXPECT_GE(ascent, 9);  // about 0.93 of 11
    EXPECT_GE(descent, 2);
    StandIn_FilesFailNext("ATSFontGetHorizontalMetrics", -50);
    text.GetTextMetrics(&ascent, &descent);
    EXPECT_EQ(8, ascent);   // 0.8 of 11, truncated
    EXPECT_EQ(2, descent);  // 0.2 of 11
  }
  ExpectStylesBack();
}

TEST_F(UMAC_CGThemeTextTest, DrawingCutsOnlyWithAWidthAndATruncationAndEndsAtTheTextsEnd) {
  UMAC_CGThemeText theme;
  CFStringRef text = Text("Separation number one hundred");
  struct Case {
    long width;
    UInt32 truncation;
    bool cut;
  };
  const Case cases[] = {{0, kATSUTruncateEnd, false},
                        {60, kATSUTruncateNone, false},
                        {60, kATSUTruncateEnd, true},
                        {60, kATSUTruncateMiddle, true}};
  float wholeEnd = 0;
  for (const Case& c : cases) {
    CGContextSetTextPosition(m_Bitmap, 5, 8);
    theme.DrawText(m_Bitmap, text, c.width, c.truncation);
    const StandIn_ATSUDrawRecord drawn = StandIn_LastATSUDraw();
    EXPECT_EQ(5.0f, drawn.where.x);
    EXPECT_EQ(8.0f, drawn.where.y);
    EXPECT_EQ(c.cut, drawn.text != "Separation number one hundred")
        << c.width << " " << c.truncation;
    const CGPoint after = CGContextGetTextPosition(m_Bitmap);
    EXPECT_EQ(8.0f, after.y);
    if (!c.cut)
      wholeEnd = after.x;
    else
      EXPECT_LE(after.x, 5 + 60);
  }
  EXPECT_GT(wholeEnd, 5 + 150);
  EXPECT_TRUE(Inked());
  StandIn_FilesFailNext("ATSUDrawText", -50);
  theme.DrawText(m_Bitmap, text, 60, kATSUTruncateEnd);  // the layout still goes
  CFRelease(text);
}

}  // namespace
