// The navigation sample of the preferences, shown in a window of its own: the bundle picture,
// the screen around the sample frame and the frame, each in the colour set for it.
#include "support/MKRX_Fixture.h"

#include "MKRX/MKRX_NavigationPreviewImageView.h"
#include "TestPng.h"

#include <Carbon/Carbon.h>
#include <HIToolbox/HIView.h>

#include <algorithm>

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u;

std::uint32_t Channel(std::uint32_t pixel, int shift) {
  return (pixel >> shift) & 0xFF;
}

class MKRX_NavigationPreviewImageViewTest : public MKRX_Fixture {
protected:
  void SetUp() override {
    MKRX_Fixture::SetUp();
    m_Bundle->AddResource("NavigationPreviewImage.png", testpng::Solid(100, 80, kRed));
    Rect const bounds = {100, 100, 200, 240};
    ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowCompositingAttribute, &bounds,
                                     &m_Window));
    HIViewRef content = nullptr;
    HIViewFindByID(HIViewGetRoot(m_Window), kHIViewWindowContentID, &content);
    m_Pane = StandIn_NewView("userpane", CGRectMake(20, 10, 100, 80));
    HIViewAddSubview(content, m_Pane);
    CFRelease(m_Pane);
    ShowWindow(m_Window);
  }
  void TearDown() override {
    m_View.reset();
    DisposeWindow(m_Window);
    MKRX_Fixture::TearDown();
  }

  // The window's pixel at a point of the view, after a render.
  std::uint32_t At(CGFloat x, CGFloat y) {
    StandIn_WindowRender(m_Window);
    HIPoint p = CGPointMake(x, y);
    HIViewConvertPoint(&p, m_Pane, nullptr);
    return StandIn_WindowPixel(m_Window, static_cast<int>(p.x), static_cast<int>(p.y));
  }

  WindowRef m_Window = nullptr;
  HIViewRef m_Pane = nullptr;
  std::unique_ptr<MKRX_NavigationPreviewImageView> m_View =
      std::make_unique<MKRX_NavigationPreviewImageView>();
};

TEST_F(MKRX_NavigationPreviewImageViewTest, TheSampleFrameSitsAFifthInAndMovedAside) {
  m_View->Attach(m_Pane);
  CGRect const frame = m_View->GetFrameRect();
  EXPECT_EQ(30, frame.origin.x);
  EXPECT_EQ(22, frame.origin.y);
  EXPECT_EQ(60, frame.size.width);
  EXPECT_EQ(48, frame.size.height);
}

TEST_F(MKRX_NavigationPreviewImageViewTest, ScreenAndFrameAreTransparentUntilSet) {
  m_View->Attach(m_Pane);
  EXPECT_EQ(kRed, At(10, 10));  // outside the frame: the picture alone
  EXPECT_EQ(kRed, At(50, 40));  // inside
  EXPECT_EQ(kRed, At(30, 40));  // on the frame
  // The picture's outline, smoothed half over the edge pixel: white over the red.
  EXPECT_GT(Channel(At(0, 40), 8), 0x60u);
}

TEST_F(MKRX_NavigationPreviewImageViewTest, ColoursShowWhenRedrawnOnly) {
  m_View->Attach(m_Pane);
  At(0, 0);
  long const requests = StandIn_HIViewDisplayRequests(m_Pane);
  m_View->SetScreenColor(IMPN_RGBAColor8(0, 0, 255, 100), false);
  m_View->SetFrameColor(IMPN_RGBAColor8(0, 255, 0, 100), false);
  EXPECT_EQ(requests, StandIn_HIViewDisplayRequests(m_Pane));
  EXPECT_EQ(kRed, At(10, 10));
  m_View->Refresh();
  EXPECT_EQ(requests + 1, StandIn_HIViewDisplayRequests(m_Pane));
  EXPECT_EQ(0xFF0000FFu, At(10, 10));  // screened
  EXPECT_EQ(kRed, At(50, 40));         // inside the frame
  std::uint32_t green = 0;             // the frame's outline, smoothed over two pixels
  for (CGFloat x = 28; x <= 32; ++x)
    green = std::max(green, Channel(At(x, 40), 8));
  EXPECT_GT(green, 0x60u);
  m_View->SetScreenColor(IMPN_RGBAColor8(0, 0, 255, 50), true);
  EXPECT_EQ(requests + 2, StandIn_HIViewDisplayRequests(m_Pane));
}

TEST_F(MKRX_NavigationPreviewImageViewTest, WithoutThePictureNothingIsDrawn) {
  MKRX_Fixture::MakeBundle(true);  // a bundle without the picture
  m_View->Attach(m_Pane);
  m_View->SetScreenColor(IMPN_RGBAColor8(0, 0, 255, 100), true);
  std::uint32_t const blank = At(10, 10);
  EXPECT_NE(0xFF0000FFu, blank);
  EXPECT_NE(kRed, blank);
}

}  // namespace
