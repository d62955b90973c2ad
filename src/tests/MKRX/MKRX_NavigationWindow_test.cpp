// The navigation palette bound to a sheet view: its size, the frame it shows at every turn, its
// gestures and what they tell the view, and its bindings.
#include "support/MKRX_SheetViewFixture.h"

#include "MKRX/MKRX_NavigationWindow.h"

#include <HIToolbox/HIView.h>
#include <HIToolbox/StandInInput.h>
#include <HIToolbox/StandInScript.h>

#include <cmath>

namespace {

class MKRX_NavigationWindowTest : public MKRX_SheetViewFixture {
protected:
  void SetUp() override {
    MKRX_SheetViewFixture::SetUp();
    m_Sheet = MakeSheet(MKRX_TestSheetSpec());  // 1536 x 1024, thumbnail 192 x 128
    m_View = &MakeView(m_Sheet, 600, 400);
    m_Palette = std::make_unique<MKRX_NavigationWindow>();
    m_Palette->Show();
  }
  void TearDown() override {
    StandIn_ScriptClear();
    m_Palette.reset();
    MKRX_SheetViewFixture::TearDown();
  }

  MKRX_NavigationView& Navigation() { return m_Palette->GetNavigationView(); }
  // How often the view listens to this palette (the program's own palette may listen too).
  long Bindings() {
    long count = 0;
    for (GLIB_MessageDispatcher const& d : m_View->Dispatchers())
      count += d.Core() == Navigation().Dispatcher().Core();
    return count;
  }

  // The global point of a point of the navigation view.
  CGPoint Global(CGFloat x, CGFloat y) {
    HIPoint p = CGPointMake(x, y);
    HIViewConvertPoint(&p, Navigation().GetSysView(), nullptr);
    Rect structure = {0, 0, 0, 0};
    GetWindowBounds(m_Palette->GetSysWindow(), kWindowStructureRgn, &structure);
    return CGPointMake(p.x + structure.left, p.y + structure.top);
  }
  void Script(StandIn_InputKind kind, CGFloat x, CGFloat y) {
    StandIn_Input input;
    input.kind = kind;
    input.global = Global(x, y);
    StandIn_ScriptInput(input);
  }

  IMPN_Sheet* m_Sheet = nullptr;
  MKRX_ProbeView* m_View = nullptr;
  std::unique_ptr<MKRX_NavigationWindow> m_Palette;
};

void ExpectRect(CGRect const& expected, CGRect const& actual, CGFloat tolerance = 0.01f) {
  EXPECT_NEAR(expected.origin.x, actual.origin.x, tolerance);
  EXPECT_NEAR(expected.origin.y, actual.origin.y, tolerance);
  EXPECT_NEAR(expected.size.width, actual.size.width, tolerance);
  EXPECT_NEAR(expected.size.height, actual.size.height, tolerance);
}

TEST_F(MKRX_NavigationWindowTest, ThePaletteTakesTheThumbnailsSizeAsItStandsOnScreen) {
  for (long rotation : {0L, 90L, 180L, 270L}) {
    SCOPED_TRACE(rotation);
    while (m_View->GetRotation() != rotation)
      m_View->RotateRight();
    long const transitions = StandIn_WindowTransitionCount(m_Palette->GetSysWindow());
    m_Palette->SetView(m_View);
    EXPECT_EQ(transitions + 1, StandIn_WindowTransitionCount(m_Palette->GetSysWindow()));
    HIRect const frame = Navigation().GetFrame();
    bool const sideways = rotation == 90 || rotation == 270;
    EXPECT_EQ(sideways ? 128 : 192, frame.size.width);
    EXPECT_EQ(sideways ? 192 : 128, frame.size.height);
    EXPECT_TRUE(Navigation().IsVisible());
  }
}

TEST_F(MKRX_NavigationWindowTest, AtEveryTurnTheFrameCoversWhatTheViewShows) {
  for (long rotation : {0L, 90L, 180L, 270L}) {
    SCOPED_TRACE(rotation);
    while (m_View->GetRotation() != rotation)
      m_View->RotateRight();
    m_View->ScrollViewTo(200, 96, false);
    m_Palette->SetView(m_View);
    // Thumbnail pixels are eight of the view's at 1:1, along both axes.
    CGPoint const origin = m_View->ImageOrigin();
    CGSize const size = m_View->ViewSize();
    CGRect const shown = CGRectMake(origin.x / 8, origin.y / 8, size.width / 8, size.height / 8);
    ExpectRect(shown, Navigation().GetViewFrame(), 0.5f);
    m_View->ScrollViewTo(320, 160, false);
    ExpectRect(CGRectMake(m_View->ImageOrigin().x / 8, m_View->ImageOrigin().y / 8, size.width / 8,
                          size.height / 8),
               Navigation().GetViewFrame(), 0.5f);
  }
}

TEST_F(MKRX_NavigationWindowTest, RebindingLeavesOneSetOfCallbacks) {
  m_Palette->SetView(m_View);
  m_View->RotateRight();  // binds again
  m_Palette->SetView(m_View);
  EXPECT_EQ(1u, Navigation().Dispatchers().size());
  EXPECT_EQ(1, Bindings());
  // A new sheet in the same view: still the view bound, unbound by the view.
  m_View->SetSheet(MakeSheet(MKRX_TestSheetSpec()));
  m_Palette->SetView(m_View);
  EXPECT_EQ(m_View->GetSheet(), Navigation().GetSheet());
  m_Palette->RemoveView(m_View);
  EXPECT_EQ(nullptr, Navigation().GetSheet());
  EXPECT_EQ(0, Bindings());
  // Another view is not the one shown: nothing happens.
  m_Palette->SetView(m_View);
  MKRX_ProbeView& other = MakeView(m_Sheet, 300, 200);
  m_Palette->RemoveView(&other);
  EXPECT_EQ(m_View, m_Palette->GetView());
}

TEST_F(MKRX_NavigationWindowTest, TheFrameStaysOnTheThumbnailOrIsPushedPastItsOrigin) {
  m_Palette->SetView(m_View);
  Navigation().SetViewFrame(CGRectMake(10, 10, 50, 40));
  Navigation().OffsetViewFrame(500, 500);
  ExpectRect(CGRectMake(142, 88, 50, 40), Navigation().GetViewFrame());
  Navigation().OffsetViewFrame(-500, -500);
  ExpectRect(CGRectMake(0, 0, 50, 40), Navigation().GetViewFrame());
  Navigation().SetViewFrame(CGRectMake(0, 0, 250, 40));
  Navigation().OffsetViewFrame(0, 0);
  ExpectRect(CGRectMake(-58, 0, 250, 40), Navigation().GetViewFrame());
}

TEST_F(MKRX_NavigationWindowTest, GesturesMoveCentreAndZoomTheView) {
  m_Palette->SetView(m_View);
  MKRX_Heard<MKRX_NavigationViewFrameMovedMessage> moved(Navigation().Dispatcher());
  MKRX_Heard<MKRX_NavigationViewFrameResizedMessage> resized(Navigation().Dispatcher());
  CGRect const start = Navigation().GetViewFrame();  // 75 x 50 at the origin

  // Dragging the frame by (20, 10).
  Script(StandIn_InputKind::MouseMoved, 30, 20);
  Script(StandIn_InputKind::MouseMoved, 40, 30);
  Script(StandIn_InputKind::MouseUp, 40, 30);
  Navigation().Track(CGPointMake(20, 20));
  ExpectRect(CGRectMake(20, 10, start.size.width, start.size.height), Navigation().GetViewFrame());
  ASSERT_EQ(1u, moved.messages.size());
  ExpectRect(CGRectMake(20.0f / 192, 10.0f / 128, start.size.width / 192, start.size.height / 128),
             moved.messages.back().GetValue(), 1e-4f);
  // The view scrolled there: 8 view pixels per thumbnail pixel.
  EXPECT_EQ(160, m_View->ImageOrigin().x);
  EXPECT_EQ(80, m_View->ImageOrigin().y);

  // A click without moving, outside the frame: the frame centres on it.
  StandIn_ScriptMouseMoved(false);
  Navigation().Track(CGPointMake(150, 100));
  CGRect const centred = Navigation().GetViewFrame();
  EXPECT_NEAR(150, CGRectGetMidX(centred), 1);
  EXPECT_NEAR(100, CGRectGetMidY(centred), 1);
  EXPECT_EQ(2u, moved.messages.size());

  // A drag outside the frame draws a new one, sent as resized.
  StandIn_ScriptMouseMoved(true);
  Script(StandIn_InputKind::MouseMoved, 60, 50);
  Script(StandIn_InputKind::MouseUp, 60, 50);
  Navigation().Track(CGPointMake(10, 100));
  ASSERT_EQ(1u, resized.messages.size());
  ExpectRect(CGRectMake(10.0f / 192, 50.0f / 128, 50.0f / 192, 50.0f / 128),
             resized.messages.back().GetValue(), 1e-4f);
  // The view fitted itself to it, and the frame snapped to what the view shows now.
  EXPECT_NEAR(m_View->ViewSize().width / 8, Navigation().GetViewFrame().size.width, 0.5);

  // Back to the press point: an empty rectangle, and the view keeps its zoom.
  IMPN_ZoomLevel const level = m_View->GetZoomLevel();
  StandIn_ScriptMouseMoved(true);
  Script(StandIn_InputKind::MouseMoved, 170, 20);
  Script(StandIn_InputKind::MouseMoved, 150, 5);
  Script(StandIn_InputKind::MouseUp, 150, 5);
  Navigation().Track(CGPointMake(150, 5));
  ASSERT_EQ(2u, resized.messages.size());
  EXPECT_EQ(0, resized.messages.back().GetValue().size.width);
  EXPECT_EQ(level, m_View->GetZoomLevel());
}

TEST_F(MKRX_NavigationWindowTest, ASheetWithoutSizeSendsNothing) {
  MKRX_Heard<MKRX_NavigationViewFrameMovedMessage> moved(Navigation().Dispatcher());
  MKRX_Heard<MKRX_NavigationViewFrameResizedMessage> resized(Navigation().Dispatcher());
  Navigation().Track(CGPointMake(-5, -5));  // nothing bound
  MKRX_ProbeView& view = MakeView(MakeSheetWithoutSize(), 600, 400);
  view.ToggleShowPageEdges();
  view.ToggleShowPageNumbers();
  m_Palette->SetView(&view);
  StandIn_ScriptMouseMoved(false);
  Navigation().Track(CGPointMake(0, 0));
  Navigation().Track(CGPointMake(-5, -5));
  view.ScrollViewTo(10, 10, false);
  EXPECT_TRUE(moved.messages.empty());
  EXPECT_TRUE(resized.messages.empty());
  MKRX_Canvas canvas(64, 64);
  Navigation().Draw(canvas.Context());  // no page edges to place, nothing divided by zero
  CGRect const frame = Navigation().GetViewFrame();
  EXPECT_TRUE(std::isfinite(frame.origin.x) && std::isfinite(frame.size.width));
}

TEST_F(MKRX_NavigationWindowTest, TheBackShowsThroughMirroredWithDashedEdges) {
  MKRX_TestSheetSpec spec;
  spec.back = false;
  IMPN_Sheet* frontOnly = MakeSheet(spec);
  MKRX_ProbeView& view = MakeView(frontOnly, 600, 400);
  view.TogglePageFlipped();  // the back, which has no separations
  m_Palette->SetView(&view);
  EXPECT_TRUE(Navigation().IsShowThrough());
  EXPECT_TRUE(Navigation().HasImage());
  // The front's bar along the top left shows at the top right.
  MKRX_Canvas canvas(192, 128);
  canvas.Fill(0xFFFFFFFFu);
  CGContextRef cg = canvas.Context();
  CGContextSaveGState(cg);
  CGContextTranslateCTM(cg, 0, 128);
  CGContextScaleCTM(cg, 1, -1);
  Navigation().Draw(cg);
  CGContextRestoreGState(cg);
  std::uint32_t const left = canvas.Pixel(192 - 1 - 25, 12);  // the bar mirrored
  std::uint32_t const right = canvas.Pixel(25, 12);
  EXPECT_LT(left & 0xFF, right & 0xFF);
}

}  // namespace
