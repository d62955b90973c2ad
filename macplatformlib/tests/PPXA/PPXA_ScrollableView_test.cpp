#include "PPXA/PPXA_ScrollableView.h"

#include "support/PPXA_Fixture.h"

namespace {

constexpr ControlID kPlaceholder = {0x706c6163, 1};  // 'plac'

// Paints a blue square at image (50, 50, 10, 10) and records clicks.
class Canvas : public PPXA::ScrollableView {
public:
  CGPoint clickedAt{-1, -1};
  UInt32 clickModifiers = 0;

protected:
  OSStatus DoControlDraw(RgnHandle, CGContextRef context) override {
    CGContextSetRGBFillColor(context, 0, 0, 1, 1);
    CGContextFillRect(context, CGRectMake(50, 50, 10, 10));
    return noErr;
  }
  OSStatus DoControlClick(PPx::SysCarbonEvent&, const CGPoint& viewPoint,
                          UInt32 modifiers) override {
    clickedAt = viewPoint;
    clickModifiers = modifiers;
    return noErr;
  }
};

class PPXA_ScrollableViewTest : public PPXA_FixtureTest {
protected:
  void SetUp() override {
    PPXA_FixtureTest::SetUp();
    Rect bounds{100, 100, 400, 400};
    ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowCompositingAttribute, &bounds,
                                     &m_Window));
    HIViewRef scroll = StandIn_NewView("scrollview", CGRectMake(20, 30, 100, 100));
    HIViewAddSubview(Content(), scroll);
    CFRelease(scroll);
    HIViewRef placeholder = StandIn_NewView("userpane", CGRectMake(0, 0, 90, 80));
    SetControlID(placeholder, &kPlaceholder);
    HIViewAddSubview(scroll, placeholder);
    CFRelease(placeholder);
    m_ScrollView = std::make_unique<PPXA::ScrollView>();
    m_ScrollView->Attach(scroll);
    m_Canvas = std::make_unique<Canvas>();
  }
  void TearDown() override {
    DisposeWindow(m_Window);
    m_Canvas.reset();
    m_ScrollView.reset();
    PPXA_FixtureTest::TearDown();
  }

  HIViewRef Content() const { return ContentViewOf(m_Window); }

  WindowRef m_Window = nullptr;
  std::unique_ptr<PPXA::ScrollView> m_ScrollView;
  std::unique_ptr<Canvas> m_Canvas;
};

TEST_F(PPXA_ScrollableViewTest, SnapsTheWholeCoordinateToLinesAndClampsToTheImage) {
  m_ScrollView->SetView(m_Canvas.get());
  HIViewRef view = m_Canvas->GetSysView();
  m_Canvas->SetImageSize(1000, 1000, false);
  struct Case {
    float line;
    float target;
    float expected;
  };
  const Case cases[] = {{1.0f, 14, 14},   {1.0f, 15, 15},  {1.0f, 17.5f, 17.5f}, {1.0f, -3, 0},
                        {10.0f, 14, 10},  {10.0f, 15, 20}, {10.0f, 17.5f, 20},   {10.0f, -3, 0},
                        {10.0f, 999, 900}};  // the image's extent beyond the 100 x 100 view
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.line) + " " + std::to_string(c.target));
    m_Canvas->SetLineSize(c.line, c.line);
    m_Canvas->ScrollTo(0, 0, false);
    m_Canvas->ScrollTo(c.target, c.target, false);
    EXPECT_FLOAT_EQ(c.expected, m_Canvas->ImageOrigin().x);
    EXPECT_FLOAT_EQ(c.expected, m_Canvas->ImageOrigin().y);
    const StandIn_ScrollRecord scroll = StandIn_HIViewLastScroll(view);
    EXPECT_FLOAT_EQ(-c.expected, scroll.dx);  // the content moves the other way
    EXPECT_FLOAT_EQ(-c.expected, scroll.dy);
  }
  // An image smaller than the view stays at its top left corner.
  m_Canvas->SetImageSize(50, 60, false);
  m_Canvas->ScrollTo(30, 30, false);
  EXPECT_EQ(0, m_Canvas->ImageOrigin().x);
  EXPECT_EQ(0, m_Canvas->ImageOrigin().y);
}

TEST_F(PPXA_ScrollableViewTest, TellsTheScrollViewOfChangesButNotOfItsScrolling) {
  m_ScrollView->SetView(m_Canvas.get());
  HIViewRef scroll = m_ScrollView->GetSysView();
  const long asked = StandIn_ScrollViewInfo(scroll).asked;
  m_Canvas->SetLineSize(1, 2);
  m_Canvas->SetImageSize(400, 300, true);  // already at (0, 0): told all the same
  StandIn_ScrollInfo info = StandIn_ScrollViewInfo(scroll);
  EXPECT_EQ(asked + 1, info.asked);
  EXPECT_EQ(400, info.imageSize.width);
  EXPECT_EQ(300, info.imageSize.height);
  EXPECT_EQ(100, info.viewSize.width);
  EXPECT_EQ(2, info.lineSize.height);
  EXPECT_EQ(0, info.origin.x);

  // The scroll view scrolls the content: no news goes back.
  EXPECT_EQ(noErr, StandIn_ScrollViewScrollTo(scroll, CGPointMake(40, 41)));
  EXPECT_EQ(40, m_Canvas->ImageOrigin().x);
  EXPECT_EQ(42, m_Canvas->ImageOrigin().y);  // 41 on lines of 2 rounds up
  EXPECT_EQ(asked + 1, StandIn_ScrollViewInfo(scroll).asked);

  m_Canvas->ScrollBy(5, 4, false);
  info = StandIn_ScrollViewInfo(scroll);
  EXPECT_EQ(asked + 2, info.asked);
  EXPECT_EQ(45, info.origin.x);
  EXPECT_EQ(46, info.origin.y);
}

TEST_F(PPXA_ScrollableViewTest, DrawsInImageAndTakesClicksInViewCoordinates) {
  m_ScrollView->SetView(m_Canvas.get());
  m_Canvas->SetImageSize(400, 300, false);
  m_Canvas->ScrollTo(40, 45, false);
  // The square at image (50, 50) shows at view (10, 5), the view being at (20, 30) of the
  // content view.
  HIPoint inView = CGPointMake(12, 7);
  HIViewConvertPoint(&inView, m_Canvas->GetSysView(), nullptr);
  StandIn_WindowRender(m_Window);
  EXPECT_EQ(0xFF0000FFu, StandIn_WindowPixel(m_Window, int(inView.x), int(inView.y)));
  HIPoint before = CGPointMake(8, 7);
  HIViewConvertPoint(&before, m_Canvas->GetSysView(), nullptr);
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(m_Window, int(before.x), int(before.y)));

  EXPECT_EQ(0, StandIn_ClickView(m_Canvas->GetSysView(), CGPointMake(30, 12), shiftKey));
  EXPECT_EQ(30, m_Canvas->clickedAt.x);
  EXPECT_EQ(12, m_Canvas->clickedAt.y);
  EXPECT_EQ(UInt32(shiftKey), m_Canvas->clickModifiers);
  const CGPoint image = m_Canvas->ViewToImagePoint(m_Canvas->clickedAt);
  EXPECT_EQ(70, image.x);
  EXPECT_EQ(57, image.y);
  EXPECT_EQ(30, m_Canvas->ImageToViewPoint(image).x);
}

TEST_F(PPXA_ScrollableViewTest, TakesThePlaceOfAPlaceholderThatGoes) {
  const long panes = StandIn_HIObjectLiveCount(CFSTR("com.apple.hiview.userpane"));
  m_ScrollView->SetView(m_Canvas.get(), kPlaceholder);
  EXPECT_EQ(panes - 1, StandIn_HIObjectLiveCount(CFSTR("com.apple.hiview.userpane")));
  EXPECT_EQ(1, StandIn_HIViewSubviewCount(m_ScrollView->GetSysView()));
  EXPECT_EQ(m_Canvas->GetSysView(), HIViewGetFirstSubview(m_ScrollView->GetSysView()));
  EXPECT_EQ(m_Canvas.get(), m_ScrollView->GetView());
  EXPECT_TRUE(HIViewIsVisible(m_Canvas->GetSysView()));
  const HIRect frame = m_Canvas->GetFrame();
  EXPECT_TRUE(CGRectEqualToRect(CGRectMake(0, 0, 90, 80), frame));
}

TEST_F(PPXA_ScrollableViewTest, AMissingPlaceholderIsAnError) {
  try {
    m_ScrollView->SetView(m_Canvas.get(), ControlID{0x6e6f6e65, 9});
    FAIL() << "no error";
  } catch (const PPx::RuntimeError& e) {
    EXPECT_EQ(0x63666e72u, e.GetCode());  // 'cfnr'
    EXPECT_STREQ("ScrollView can't find view to replace", e.what());
  }
  EXPECT_EQ(nullptr, m_ScrollView->GetView());
}

}  // namespace
