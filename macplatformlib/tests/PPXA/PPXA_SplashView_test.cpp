#include "PPXA/PPXA_SplashView.h"

#include "support/PPXA_Fixture.h"

#include <TestPng.h>

namespace {

const CFStringRef kSplashClassID = CFSTR("com.nolt.PPXA.SplashView");

// A 20 x 10 picture: its top two rows red, the rest blue, its top left 2 x 2 pixels transparent.
std::string TwoColourPicture() {
  std::vector<std::uint32_t> pixels(20 * 10, 0xFF0000FFu);
  for (int x = 0; x < 20; ++x)
    pixels[x] = pixels[20 + x] = 0xFFFF0000u;
  pixels[0] = pixels[1] = pixels[20] = pixels[21] = 0x00000000u;
  return testpng::Encode(20, 10, pixels);
}

class PPXA_SplashViewTest : public PPXA_FixtureTest {
protected:
  void TearDown() override {
    EXPECT_EQ(0, StandIn_HIObjectLiveCount(kSplashClassID));
    PPXA_FixtureTest::TearDown();
  }

  // The pixel at (x, y) of the window's structure after a render.
  static UInt32 Pixel(WindowRef window, int x, int y) {
    StandIn_WindowRender(window);
    return StandIn_WindowPixel(window, x, y);
  }
};

TEST_F(PPXA_SplashViewTest, ShowsThePictureUprightInATransparentWindowAtTheAlertPosition) {
  m_Bundle->AddResource("Splash.png", TwoColourPicture());
  WindowRef window = PPXA::CreateSplashWindow(CFSTR("Splash.png"));
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(window, FrontWindow());
  Rect structure{0, 0, 0, 0};
  GetWindowBounds(window, kWindowStructureRgn, &structure);
  EXPECT_EQ(20, structure.right - structure.left);
  EXPECT_EQ(10, structure.bottom - structure.top);
  WindowRef placed = nullptr;
  Rect alert{0, 0, 10, 20};
  CreateNewWindow(kPlainWindowClass, 0, &alert, &placed);
  RepositionWindow(placed, nullptr, kWindowAlertPositionOnMainScreen);
  Rect expected{0, 0, 0, 0};
  GetWindowBounds(placed, kWindowStructureRgn, &expected);
  DisposeWindow(placed);
  EXPECT_TRUE(EqualRect(&expected, &structure));
  UInt64 features = 0;
  HIWindowGetFeatures(window, &features);
  EXPECT_EQ(0u, features & kWindowIsOpaque);

  EXPECT_EQ(0u, Pixel(window, 0, 0) >> 24);      // the desktop shows through
  EXPECT_EQ(0xFFFF0000u, Pixel(window, 10, 1));  // the picture's top row on top
  EXPECT_EQ(0xFF0000FFu, Pixel(window, 10, 8));

  // A click on the picture is a hit on part 10, and the window stays where it is.
  HIViewRef view = HIViewGetRoot(window);
  StandIn_SetMouse(Point{300, 300});
  EXPECT_EQ(10, StandIn_ClickView(view, CGPointMake(5, 5), 0));
  Rect after{0, 0, 0, 0};
  GetWindowBounds(window, kWindowStructureRgn, &after);
  EXPECT_TRUE(EqualRect(&structure, &after));
  EXPECT_EQ(1, StandIn_HIObjectLiveCount(kSplashClassID));
  DisposeWindow(window);  // the view and its object go with it
}

TEST_F(PPXA_SplashViewTest, EachViewKeepsItsOwnPicture) {
  m_Bundle->AddResource("Red.png", testpng::Solid(4, 4, 0xFFFF0000u));
  m_Bundle->AddResource("Green.png", testpng::Solid(6, 6, 0xFF00FF00u));
  WindowRef red = PPXA::CreateSplashWindow(CFSTR("Red.png"));
  WindowRef green = PPXA::CreateSplashWindow(CFSTR("Green.png"));
  ASSERT_NE(nullptr, red);
  ASSERT_NE(nullptr, green);
  EXPECT_EQ(0xFFFF0000u, Pixel(red, 2, 2));
  EXPECT_EQ(0xFF00FF00u, Pixel(green, 3, 3));
  DisposeWindow(red);
  EXPECT_EQ(0xFF00FF00u, Pixel(green, 3, 3));
  DisposeWindow(green);
}

TEST_F(PPXA_SplashViewTest, TheViewHoldsThePictureAloneOnceMade) {
  m_Bundle->AddResource("Red.png", testpng::Solid(4, 4, 0xFFFF0000u));
  UMAC_CGImage picture;
  picture.LoadPNGFromBundle(CFSTR("Red.png"));
  ASSERT_FALSE(picture.IsNull());
  HIViewRef view = PPXA::SplashView::Create(picture);
  ASSERT_NE(nullptr, view);
  EXPECT_EQ(2, CFGetRetainCount(picture.Get()));  // ours and the view's; none kept for later
  CFRelease(view);
  EXPECT_EQ(1, CFGetRetainCount(picture.Get()));
}

TEST_F(PPXA_SplashViewTest, AMissingPictureMakesNothing) {
  const long windows = StandIn_WindowLiveCount();
  EXPECT_EQ(nullptr, PPXA::CreateSplashWindow(CFSTR("Missing.png")));
  EXPECT_EQ(windows, StandIn_WindowLiveCount());
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(kSplashClassID));
}

}  // namespace
