// Redraw tracking of the stand-in's windows: dirty regions, the render pass that draws only what
// is dirty, the change count and the backing store handed out.
#include "StandInToolboxTest.h"

#include <cairo.h>

#include <functional>
#include <string>

namespace {

// A user pane that counts its draw events and fills itself with its colour.
struct PaintedPane {
  HIViewRef view = nullptr;
  int draws = 0;
  float red = 1;
};

OSStatus PaintPane(EventHandlerCallRef, EventRef event, void* data) {
  auto* pane = static_cast<PaintedPane*>(data);
  ++pane->draws;
  CGContextRef context = nullptr;
  GetEventParameter(event, kEventParamCGContextRef, typeCGContextRef, nullptr, sizeof context,
                    nullptr, &context);
  HIRect bounds;
  HIViewGetBounds(pane->view, &bounds);
  CGContextSetRGBFillColor(context, pane->red, 0, 0, 1);
  CGContextFillRect(context, bounds);
  return noErr;
}

class RedrawTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    m_Window = NewWindow(Rect{100, 50, 300, 350});  // 300 x 200 content
    HIViewFindByID(HIViewGetRoot(m_Window), kHIViewWindowContentID, &m_Content);
    AddPane(&m_Left, CGRectMake(10, 10, 40, 30));
    AddPane(&m_Right, CGRectMake(100, 10, 40, 30));
    ASSERT_EQ(noErr, StandIn_WindowRender(m_Window));
    m_Left.draws = m_Right.draws = 0;
  }
  void TearDown() override {
    DisposeWindow(m_Window);
    StandInToolboxTest::TearDown();
  }
  void AddPane(PaintedPane* pane, CGRect frame) {
    pane->view = StandIn_NewView("userpane", frame);
    const EventTypeSpec draw = {kEventClassControl, kEventControlDraw};
    InstallControlEventHandler(pane->view, PaintPane, 1, &draw, pane, nullptr);
    HIViewAddSubview(m_Content, pane->view);
    CFRelease(pane->view);
  }

  WindowRef m_Window = nullptr;
  HIViewRef m_Content = nullptr;
  PaintedPane m_Left;
  PaintedPane m_Right;
};

bool IsEmpty(const HIRect& r) {
  return r.size.width <= 0 || r.size.height <= 0;
}

TEST_F(RedrawTest, OneChangeMarksOneViewAndTheRenderDrawsOnlyIt) {
  EXPECT_TRUE(IsEmpty(StandIn_WindowDirtyBounds(m_Window)));
  struct Case {
    const char* change;
    std::function<void(HIViewRef)> make;
    HIRect dirty;  // in the structure: the title band is 22 high
  };
  const HIRect right = CGRectMake(100, 22 + 10, 40, 30);
  const Case cases[] = {
      {"needs display", [](HIViewRef v) { HIViewSetNeedsDisplay(v, true); }, right},
      {"highlight", [](HIViewRef v) { HiliteControl(v, 10); }, right},
      {"disabled", [](HIViewRef v) { DisableControl(v); }, right},
      {"deactivated", [](HIViewRef v) { DeactivateControl(v); }, right},
      {"title", [](HIViewRef v) { SetControlTitleWithCFString(v, CFSTR("x")); }, right},
      {"value",
       [](HIViewRef v) {
         SetControl32BitMaximum(v, 5);
         SetControl32BitValue(v, 3);
       },
       right},
      {"moved: where it was and where it is", [](HIViewRef v) { HIViewMoveBy(v, 50, 0); },
       CGRectMake(100, 22 + 10, 90, 30)},
      {"hidden", [](HIViewRef v) { HIViewSetVisible(v, false); }, right},
  };
  for (const Case& c : cases) {
    m_Left.draws = m_Right.draws = 0;
    c.make(m_Right.view);
    const HIRect dirty = StandIn_WindowDirtyBounds(m_Window);
    EXPECT_TRUE(CGRectEqualToRect(c.dirty, dirty))
        << c.change << ": " << dirty.origin.x << "," << dirty.origin.y << " " << dirty.size.width
        << "x" << dirty.size.height;
    ASSERT_EQ(noErr, StandIn_WindowRender(m_Window));
    EXPECT_EQ(0, m_Left.draws) << c.change;
    EXPECT_TRUE(IsEmpty(StandIn_WindowDirtyBounds(m_Window))) << c.change;
    EXPECT_FALSE(HIViewGetNeedsDisplay(m_Right.view)) << c.change;
    // Back as it was, for the next case.
    HIViewSetVisible(m_Right.view, true);
    HIViewPlaceInSuperviewAt(m_Right.view, 100, 10);
    EnableControl(m_Right.view);
    ActivateControl(m_Right.view);
    HiliteControl(m_Right.view, 0);
    StandIn_WindowRender(m_Window);
  }
  // Nothing dirty: nothing is drawn.
  m_Left.draws = m_Right.draws = 0;
  ASSERT_EQ(noErr, StandIn_WindowRender(m_Window));
  EXPECT_EQ(0, m_Left.draws + m_Right.draws);
}

TEST_F(RedrawTest, ChangesOfAHiddenViewOrOfAViewInNoWindowMarkNothing) {
  HIViewSetVisible(m_Content, false);
  StandIn_WindowRender(m_Window);
  HIViewSetNeedsDisplay(m_Right.view, true);  // its superview hides it
  EXPECT_TRUE(IsEmpty(StandIn_WindowDirtyBounds(m_Window)));
  HIViewSetVisible(m_Content, true);
  StandIn_WindowRender(m_Window);

  HIViewRef loose = StandIn_NewView("push", CGRectMake(0, 0, 20, 20));
  HIViewSetNeedsDisplay(loose, true);
  HiliteControl(loose, 10);
  CFRelease(loose);
  EXPECT_TRUE(IsEmpty(StandIn_WindowDirtyBounds(m_Window)));
}

TEST_F(RedrawTest, TheChangeCountMovesOnlyWhenPixelsChanged) {
  const long start = StandIn_WindowChangeCount(m_Window);
  HIViewSetNeedsDisplay(m_Right.view, true);
  StandIn_WindowRender(m_Window);  // drawn again the same
  EXPECT_EQ(1, m_Right.draws);
  EXPECT_EQ(start, StandIn_WindowChangeCount(m_Window));

  m_Right.red = 0;
  HIViewSetNeedsDisplay(m_Right.view, true);
  StandIn_WindowRender(m_Window);
  EXPECT_EQ(start + 1, StandIn_WindowChangeCount(m_Window));
  EXPECT_EQ(0xFF000000u, StandIn_WindowPixel(m_Window, 110, 22 + 20));

  // A context on the window's port counts when it is flushed or ends after drawing, once.
  CGrafPtr port = GetWindowPort(m_Window);
  CGContextRef context = nullptr;
  ASSERT_EQ(noErr, QDBeginCGContext(port, &context));
  QDEndCGContext(port, &context);  // drew nothing
  EXPECT_EQ(start + 1, StandIn_WindowChangeCount(m_Window));
  ASSERT_EQ(noErr, QDBeginCGContext(port, &context));
  CGContextSetRGBFillColor(context, 0, 0, 1, 1);
  CGContextFillRect(context, CGRectMake(0, 0, 5, 5));
  CGContextFlush(context);
  EXPECT_EQ(start + 2, StandIn_WindowChangeCount(m_Window));
  QDEndCGContext(port, &context);  // nothing drawn since the flush
  EXPECT_EQ(start + 2, StandIn_WindowChangeCount(m_Window));
  ASSERT_EQ(noErr, QDBeginCGContext(port, &context));
  CGContextFillRect(context, CGRectMake(0, 0, 5, 5));
  QDEndCGContext(port, &context);
  EXPECT_EQ(start + 3, StandIn_WindowChangeCount(m_Window));

  SetPort(port);
  const Rect paint{0, 0, 4, 4};
  PaintRect(&paint);
  SetPort(nullptr);
  EXPECT_EQ(start + 4, StandIn_WindowChangeCount(m_Window));
}

TEST_F(RedrawTest, TheBackingStoreHandedOutIsTheWholeStructure) {
  cairo_surface_t* store = StandIn_CopyWindowBackingStore(m_Window);
  ASSERT_NE(nullptr, store);
  EXPECT_EQ(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_format(store));
  EXPECT_EQ(300, cairo_image_surface_get_width(store));
  EXPECT_EQ(22 + 200, cairo_image_surface_get_height(store));
  cairo_surface_flush(store);
  const auto* row = reinterpret_cast<const UInt32*>(cairo_image_surface_get_data(store) +
                                                    cairo_image_surface_get_stride(store) * 32);
  EXPECT_EQ(0xFFFF0000u, row[20]);  // the left pane
  EXPECT_EQ(StandIn_WindowPixel(m_Window, 20, 32), row[20]);
  cairo_surface_destroy(store);

  // A new size is a new store, all of it dirty.
  const Rect bigger{100, 50, 320, 400};
  SetWindowBounds(m_Window, kWindowContentRgn, &bigger);
  store = StandIn_CopyWindowBackingStore(m_Window);
  EXPECT_EQ(350, cairo_image_surface_get_width(store));
  EXPECT_TRUE(CGRectEqualToRect(CGRectMake(0, 0, 350, 242), StandIn_WindowDirtyBounds(m_Window)));
  cairo_surface_destroy(store);
  EXPECT_EQ(nullptr, StandIn_CopyWindowBackingStore(nullptr));
}

}  // namespace
