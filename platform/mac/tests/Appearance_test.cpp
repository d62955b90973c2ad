// Fonts, ATS and the Appearance Manager of the stand-in: the family table, theme fonts, theme
// text truncation and the fixed theme colours.
#include "StandInToolboxTest.h"

#include <string>

namespace {

class AppearanceTest : public StandInToolboxTest {
protected:
  void TearDown() override {
    StandIn_ResetFontFamilies();
    EXPECT_EQ(0, StandIn_ATSLiveIteratorCount());
    StandInToolboxTest::TearDown();
  }
  static CFMutableStringRef Mutable(const char* text) {
    CFStringRef made = CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
    CFMutableStringRef copy = CFStringCreateMutableCopy(nullptr, 0, made);
    CFRelease(made);
    return copy;
  }
  static std::u16string Units(CFStringRef text) { return text->Units(); }
};

TEST_F(AppearanceTest, TheFamilyTableIteratesInOrderAndTestsMayExtendIt) {
  ASSERT_TRUE(StandIn_AddFontFamily("Test Sans", STANDIN_BUNDLED_FONT));
  ATSFontFamilyIterator iterator = nullptr;
  ASSERT_EQ(noErr,
            ATSFontFamilyIteratorCreate(kATSFontContextGlobal, nullptr, nullptr, 0, &iterator));
  std::vector<std::string> names;
  ATSFontFamilyRef family = 0;
  while (ATSFontFamilyIteratorNext(iterator, &family) == noErr) {
    CFStringRef name = nullptr;
    ASSERT_EQ(noErr, ATSFontFamilyGetName(family, 0, &name));
    char buffer[64];
    CFStringGetCString(name, buffer, sizeof buffer, kCFStringEncodingUTF8);
    names.push_back(buffer);
    CFRelease(name);
  }
  EXPECT_EQ((std::vector<std::string>{"Lucida Grande", "DejaVu Sans", "Test Sans"}), names);
  EXPECT_EQ(kATSIterationCompleted, ATSFontFamilyIteratorNext(iterator, &family));
  ATSFontFamilyIteratorRelease(&iterator);
  EXPECT_EQ(nullptr, iterator);

  CFStringRef name = CFStringCreateWithCString(nullptr, "Test Sans", kCFStringEncodingUTF8);
  const ATSFontRef font = ATSFontFindFromName(name, 0);
  EXPECT_EQ(3u, font);
  ATSFontMetrics metrics;
  ASSERT_EQ(noErr, ATSFontGetHorizontalMetrics(font, 0, &metrics));
  EXPECT_GT(metrics.ascent, 0.7f);
  EXPECT_LT(metrics.descent, -0.1f);
  StandIn_FilesFailNext("ATSFontGetHorizontalMetrics", -50);
  EXPECT_EQ(-50, ATSFontGetHorizontalMetrics(font, 0, &metrics));
  StandIn_ResetFontFamilies();
  EXPECT_EQ(0u, ATSFontFindFromName(name, 0));
  CFRelease(name);
}

TEST_F(AppearanceTest, ThemeFontsAreTheSystemFamilyAtFixedSizes) {
  struct Case {
    ThemeFontID id;
    SInt16 size;
  };
  for (const Case& c :
       {Case{kThemeSystemFont, 13}, Case{kThemeSmallSystemFont, 11}, Case{kThemeViewsFont, 12}}) {
    Str255 name = {};
    SInt16 size = 0;
    Style style = 9;
    ASSERT_EQ(noErr, GetThemeFont(c.id, smSystemScript, name, &size, &style));
    EXPECT_EQ("Lucida Grande", std::string(reinterpret_cast<char*>(name + 1), name[0]));
    EXPECT_EQ(c.size, size);
    EXPECT_EQ(0, style);
  }
  EXPECT_EQ(paramErr, GetThemeFont(2, smSystemScript, nullptr, nullptr, nullptr));
}

TEST_F(AppearanceTest, TruncationCutsAtTheEndOrInTheMiddleUntilTheTextFits) {
  CFMutableStringRef end = Mutable("Separation number one hundred");
  CFMutableStringRef middle = Mutable("Separation number one hundred");
  CFMutableStringRef fits = Mutable("Cyan");
  Boolean truncated = false;
  ASSERT_EQ(noErr,
            TruncateThemeText(end, kThemeSystemFont, kThemeStateActive, 80, truncEnd, &truncated));
  EXPECT_TRUE(truncated);
  EXPECT_EQ(u'\u2026', Units(end).back());
  EXPECT_EQ(u"Sep", Units(end).substr(0, 3));
  TruncateThemeText(middle, kThemeSystemFont, kThemeStateActive, 80, truncMiddle, &truncated);
  EXPECT_EQ(u'd', Units(middle).back());
  EXPECT_NE(std::u16string::npos, Units(middle).find(u'\u2026'));
  Point size = {0, 0};
  GetThemeTextDimensions(middle, kThemeSystemFont, kThemeStateActive, false, &size, nullptr);
  EXPECT_LE(size.h, 80);
  TruncateThemeText(fits, kThemeSystemFont, kThemeStateActive, 80, truncEnd, &truncated);
  EXPECT_FALSE(truncated);
  EXPECT_EQ(u"Cyan", Units(fits));
  TruncateThemeText(fits, kThemeSystemFont, kThemeStateActive, 2, truncEnd, &truncated);
  EXPECT_EQ(u"", Units(fits));  // not even the ellipsis fits
  CFRelease(end);
  CFRelease(middle);
  CFRelease(fits);
}

TEST_F(AppearanceTest, ThemeColoursAreFixedAndTheThemeCarriesTheHighlight) {
  struct Case {
    bool brush;
    SInt16 id;
    UInt16 red;
  };
  const Case cases[] = {{true, -3, 0xB5B5}, {true, -4, 0xD4D4},  {true, -5, 0x7D7D},
                        {false, 2, 0x7F7F}, {false, 22, 0x7F7F}, {false, -2, 0xFFFF},
                        {false, 1, 0}};
  for (const Case& c : cases) {
    RGBColor colour{1, 1, 1};
    ASSERT_EQ(noErr, c.brush ? GetThemeBrushAsColor(c.id, 32, true, &colour)
                             : GetThemeTextColor(c.id, 32, true, &colour))
        << c.id;
    EXPECT_EQ(c.red, colour.red) << c.id;
  }
  RGBColor colour;
  EXPECT_EQ(appearanceBadBrushIndexErr, GetThemeBrushAsColor(7, 32, true, &colour));
  EXPECT_EQ(themeBadTextColorErr, GetThemeTextColor(99, 32, true, &colour));

  Collection theme = NewCollection();
  ASSERT_EQ(noErr, GetTheme(theme));
  SInt32 size = 6;
  ASSERT_EQ(noErr, GetTaggedCollectionItem(theme, kThemeHighlightColorTag, 1, &size, &colour));
  EXPECT_EQ(6, size);
  EXPECT_EQ(0xB5B5, colour.red);
  EXPECT_EQ(collectionItemNotFoundErr,
            GetTaggedCollectionItem(theme, kThemeHighlightColorTag, 2, &size, &colour));
  DisposeCollection(theme);
}

// Paints the whole window afresh (white), over whatever the port drew into it.
void Repaint(WindowRef window) {
  HIViewSetNeedsDisplay(HIViewGetRoot(window), true);
  StandIn_WindowRender(window);
}

TEST_F(AppearanceTest, BevelButtonsAndFocusRingsPaintTheCurrentPort) {
  WindowRef window = NewWindow(Rect{100, 50, 200, 250});
  SetPort(GetWindowPort(window));
  Repaint(window);
  const Rect bounds{10, 10, 30, 40};
  struct Case {
    ThemeDrawState state;
    ThemeButtonAdornment adornment;
    UInt32 face;
    bool ring;
  };
  for (const Case& c : {Case{kThemeStateActive, 0, 0xFFE0E0E0, false},
                        Case{kThemeStateActive | kThemeStatePressed, 0, 0xFFA0A0A0, false},
                        Case{kThemeStateInactive, kThemeAdornmentFocus, 0xFFF0F0F0, true}}) {
    Repaint(window);
    const ThemeButtonDrawInfo info{c.state, 0, c.adornment};
    ASSERT_EQ(noErr, DrawThemeButton(&bounds, kThemeSmallBevelButton, &info, nullptr, nullptr,
                                     nullptr, 0));
    EXPECT_EQ(0xFF808080u, StandIn_WindowPixel(window, 10, 22 + 10));  // the frame
    EXPECT_EQ(c.face, StandIn_WindowPixel(window, 20, 22 + 20));
    EXPECT_EQ(c.ring ? 0xFF7DA7D9u : 0xFFFFFFFFu, StandIn_WindowPixel(window, 8, 22 + 20));
    EXPECT_EQ(c.state, StandIn_LastThemeButton().info.state);
  }
  Repaint(window);
  EXPECT_EQ(noErr, DrawThemeFocusRect(&bounds, false));
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 9, 22 + 20));
  EXPECT_EQ(noErr, DrawThemeFocusRect(&bounds, true));
  EXPECT_EQ(0xFF7DA7D9u, StandIn_WindowPixel(window, 9, 22 + 20));
  EXPECT_EQ(0xFF7DA7D9u, StandIn_WindowPixel(window, 20, 22 + 31));
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 20, 22 + 20));  // the inside is left alone
  EXPECT_TRUE(StandIn_LastFocusRing().hasFocus);
  SetPort(nullptr);
  EXPECT_EQ(paramErr, DrawThemeFocusRect(&bounds, true));
  DisposeWindow(window);
}

TEST_F(AppearanceTest, PlacardsFillTheirRectangleWithAnEdge) {
  WindowRef window = NewWindow(Rect{100, 50, 200, 250});
  SetPort(GetWindowPort(window));
  const Rect bounds{0, 0, 20, 40};
  for (ThemeDrawState state : {kThemeStateActive, kThemeStateInactive}) {
    Repaint(window);
    ASSERT_EQ(noErr, DrawThemePlacard(&bounds, state));
    const UInt32 face = StandIn_WindowPixel(window, 20, 22 + 10);
    const UInt32 edge = StandIn_WindowPixel(window, 0, 22 + 10);
    EXPECT_NE(0xFFFFFFFFu, face);
    EXPECT_LT(edge & 0xFF, face & 0xFF);                               // the edge is darker
    EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 45, 22 + 10));  // outside
    EXPECT_EQ(state, StandIn_LastThemePlacard().state);
  }
  SetPort(nullptr);
  EXPECT_EQ(paramErr, DrawThemePlacard(&bounds, kThemeStateActive));
  DisposeWindow(window);
}

}  // namespace
