// QuickDraw of the stand-in: rectangles, regions as rectangle lists, window ports and painting.
#include "StandInToolboxTest.h"

#include <vector>

namespace {

class QuickDrawTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    m_Regions = StandIn_RegionLiveCount();
  }
  void TearDown() override {
    SetPort(nullptr);
    EXPECT_EQ(m_Regions, StandIn_RegionLiveCount());
    StandInToolboxTest::TearDown();
  }

private:
  long m_Regions = 0;
};

// A region that disposes itself.
class Region {
public:
  Region() : m_Handle(NewRgn()) {}
  explicit Region(Rect r) : Region() { RectRgn(m_Handle, &r); }
  ~Region() { DisposeRgn(m_Handle); }
  Region(const Region&) = delete;
  Region& operator=(const Region&) = delete;
  RgnHandle Get() const { return m_Handle; }
  std::vector<Rect> Rects() const {
    std::vector<Rect> rects;
    for (long i = 0; i < StandIn_RegionRectCount(m_Handle); ++i)
      rects.push_back(StandIn_RegionRect(m_Handle, i));
    return rects;
  }
  long Area() const {
    long area = 0;
    for (const Rect& r : Rects())
      area += long(r.right - r.left) * long(r.bottom - r.top);
    return area;
  }

private:
  RgnHandle m_Handle;
};

bool Same(const Rect& a, const Rect& b) {
  return EqualRect(&a, &b);
}

TEST_F(QuickDrawTest, RectanglesUniteIntersectAndInset) {
  Rect r;
  SetRect(&r, 10, 20, 30, 40);  // left, top, right, bottom
  EXPECT_TRUE(Same(Rect{20, 10, 40, 30}, r));
  const Rect empty{0, 0, 0, 0};
  Rect united;
  UnionRect(&r, &empty, &united);  // an empty operand still counts
  EXPECT_TRUE(Same(Rect{0, 0, 40, 30}, united));
  Rect apart{50, 50, 60, 60}, section{1, 1, 1, 1};
  EXPECT_FALSE(SectRect(&r, &apart, &section));
  EXPECT_TRUE(Same(empty, section));
  Rect overlap{30, 0, 35, 15};
  EXPECT_TRUE(SectRect(&r, &overlap, &section));
  EXPECT_TRUE(Same(Rect{30, 10, 35, 15}, section));
  InsetRect(&r, 3, 4);
  EXPECT_TRUE(Same(Rect{24, 13, 36, 27}, r));
  InsetRect(&r, 7, 0);  // gone
  EXPECT_TRUE(EmptyRect(&r));
  EXPECT_TRUE(PtInRect(Point{30, 10}, &overlap));
  EXPECT_FALSE(PtInRect(Point{35, 10}, &overlap));  // the bottom edge is outside
}

TEST_F(QuickDrawTest, RegionOperationsGiveDisjointRectangles) {
  Region a(Rect{0, 0, 10, 10}), b(Rect{5, 5, 15, 15}), out;
  UnionRgn(a.Get(), b.Get(), out.Get());
  EXPECT_EQ(175, out.Area());
  EXPECT_EQ(noErr, QDError());
  EXPECT_TRUE(PtInRgn(Point{12, 12}, out.Get()));
  EXPECT_FALSE(PtInRgn(Point{12, 2}, out.Get()));
  SectRgn(a.Get(), b.Get(), out.Get());
  ASSERT_EQ(1u, out.Rects().size());
  EXPECT_TRUE(Same(Rect{5, 5, 10, 10}, out.Rects()[0]));
  DiffRgn(a.Get(), b.Get(), out.Get());
  EXPECT_EQ(75, out.Area());
  EXPECT_FALSE(IsRegionRectangular(out.Get()));
  Rect bounds;
  GetRegionBounds(out.Get(), &bounds);
  EXPECT_TRUE(Same(Rect{0, 0, 10, 10}, bounds));
  // A region combined with itself in place.
  UnionRgn(a.Get(), a.Get(), a.Get());
  EXPECT_EQ(100, a.Area());
  Region copy;
  CopyRgn(out.Get(), copy.Get());
  EXPECT_TRUE(EqualRgn(out.Get(), copy.Get()));
  DiffRgn(a.Get(), a.Get(), copy.Get());
  EXPECT_TRUE(EmptyRgn(copy.Get()));
}

TEST_F(QuickDrawTest, InsettingShrinksOrGrowsEachAxisAndOverflowIsReported) {
  Region l;
  {
    Region bar(Rect{0, 0, 30, 10}), foot(Rect{20, 0, 30, 30});
    UnionRgn(bar.Get(), foot.Get(), l.Get());  // an L
  }
  Region shrunk;
  CopyRgn(l.Get(), shrunk.Get());
  InsetRgn(shrunk.Get(), 2, 2);
  EXPECT_EQ(6 * 26 + 20 * 6, shrunk.Area());
  EXPECT_TRUE(PtInRgn(Point{2, 2}, shrunk.Get()));
  EXPECT_FALSE(PtInRgn(Point{1, 2}, shrunk.Get()));
  Region grown;
  CopyRgn(l.Get(), grown.Get());
  InsetRgn(grown.Get(), -1, -1);
  EXPECT_TRUE(PtInRgn(Point{-1, -1}, grown.Get()));
  EXPECT_FALSE(PtInRgn(Point{15, 15}, grown.Get()));
  InsetRgn(grown.Get(), 20, 0);  // narrower than twice the inset: gone
  EXPECT_TRUE(EmptyRgn(grown.Get()));

  Region edge(Rect{0, 32000, 10, 32700});
  OffsetRgn(edge.Get(), 100, 0);
  EXPECT_EQ(regionTooBigErr, QDError());
  EXPECT_TRUE(EmptyRgn(edge.Get()));
  SetRectRgn(edge.Get(), 0, 0, 5, 5);
  EXPECT_EQ(noErr, QDError());
}

TEST_F(QuickDrawTest, NewRegionJoinsTheFailureInjection) {
  StandIn_FilesFailNext("NewRgn", -108);
  EXPECT_EQ(nullptr, NewRgn());
  const int before = StandIn_FilesCallCount("NewRgn");
  Region a(Rect{0, 0, 10, 10});
  InsetRgn(a.Get(), 2, 2);  // scratch regions are not counted
  EXPECT_EQ(before + 1, StandIn_FilesCallCount("NewRgn"));
}

TEST_F(QuickDrawTest, PortsDrawIntoTheWindowsBackingStore) {
  WindowRef window = NewWindow(Rect{100, 50, 200, 250});  // 200 x 100 content
  CGrafPtr port = GetWindowPort(window);
  ASSERT_NE(nullptr, port);
  EXPECT_EQ(port, GetWindowPort(window));
  EXPECT_EQ(window, GetWindowFromPort(port));
  EXPECT_EQ(32, GetPixDepth(port));
  Rect bounds;
  GetPortBounds(port, &bounds);
  EXPECT_TRUE(Same(Rect{0, 0, 100, 200}, bounds));

  CGContextRef context = nullptr;
  ASSERT_EQ(noErr, QDBeginCGContext(port, &context));
  EXPECT_EQ(noErr, SyncCGContextOriginWithPort(context, port));
  CGContextSetRGBFillColor(context, 1, 0, 0, 1);
  CGContextFillRect(context, CGRectMake(0, 0, 1, 1));  // the port's bottom left pixel
  {
    Region clip(Rect{0, 0, 10, 10});  // the port's top left
    EXPECT_EQ(noErr, ClipCGContextToRegion(context, &bounds, clip.Get()));
  }
  CGContextSetRGBFillColor(context, 0, 0, 1, 1);
  CGContextFillRect(context, CGRectMake(0, 0, 200, 100));
  EXPECT_EQ(noErr, QDEndCGContext(port, &context));
  EXPECT_EQ(nullptr, context);
  EXPECT_EQ(0xFFFF0000u, StandIn_WindowPixel(window, 0, 22 + 99));
  EXPECT_EQ(0xFF0000FFu, StandIn_WindowPixel(window, 9, 22 + 9));
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 10, 22 + 9));

  SetPort(port);
  const RGBColor green{0, 65535, 0};
  RGBForeColor(&green);
  RGBColor fore;
  GetForeColor(&fore);
  EXPECT_EQ(65535, fore.green);
  const Rect clipRect{0, 0, 50, 30};
  ClipRect(&clipRect);
  {
    Region clip;
    GetClip(clip.Get());
    EXPECT_EQ(30 * 50, clip.Area());
  }
  const Rect paint{20, 20, 60, 60};
  PaintRect(&paint);
  EXPECT_EQ(0xFF00FF00u, StandIn_WindowPixel(window, 25, 22 + 25));
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 35, 22 + 25));  // clipped

  StandIn_SetMouse(Point{110, 60});  // global
  Point mouse;
  GetMouse(&mouse);
  EXPECT_EQ(10, mouse.v);
  EXPECT_EQ(10, mouse.h);
  LocalToGlobal(&mouse);
  EXPECT_EQ(110, mouse.v);

  StandIn_FilesFailNext("QDBeginCGContext", -50);
  EXPECT_EQ(-50, QDBeginCGContext(port, &context));
  DisposeWindow(window);
}

// Paints the view's local rectangle (-5, -5)-(5, 5) green and reports the port's state.
struct PortDuringDraw {
  Rect bounds{0, 0, 0, 0};
  long clipArea = 0;
  Point mouse{0, 0};
};

OSStatus PaintCorner(EventHandlerCallRef, EventRef, void* data) {
  auto* seen = static_cast<PortDuringDraw*>(data);
  CGrafPtr port = nullptr;
  GetPort(&port);
  GetPortBounds(port, &seen->bounds);
  Region clip;
  GetClip(clip.Get());
  seen->clipArea = clip.Area();
  GetMouse(&seen->mouse);
  const RGBColor green{0, 65535, 0};
  RGBForeColor(&green);
  const Rect corner{-5, -5, 5, 5};
  PaintRect(&corner);  // clipped to the view: only its top left quarter shows
  return noErr;
}

TEST_F(QuickDrawTest, DuringTheRenderPassEachViewDrawsInTheWindowsPortInItsOwnCoordinates) {
  WindowRef window = NewWindow(Rect{100, 50, 200, 250});
  HIViewRef content = nullptr;
  HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content);
  HIViewRef view = StandIn_NewView("userpane", CGRectMake(30, 40, 20, 10));
  HIViewAddSubview(content, view);
  CFRelease(view);
  PortDuringDraw seen;
  const EventTypeSpec draw = {kEventClassControl, kEventControlDraw};
  EventHandlerRef handler = nullptr;
  InstallControlEventHandler(view, PaintCorner, 1, &draw, &seen, &handler);
  StandIn_SetMouse(Point{100 + 41, 50 + 32});  // global: one pixel into the view either way

  ASSERT_EQ(noErr, StandIn_WindowRender(window));
  EXPECT_TRUE(Same(Rect{-40, -30, 60, 170}, seen.bounds));
  EXPECT_EQ(20 * 10, seen.clipArea);
  EXPECT_EQ(1, seen.mouse.v);
  EXPECT_EQ(2, seen.mouse.h);
  EXPECT_EQ(0xFF00FF00u, StandIn_WindowPixel(window, 30 + 4, 22 + 40 + 4));
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 30 + 5, 22 + 40));
  EXPECT_EQ(0xFFFFFFFFu, StandIn_WindowPixel(window, 29, 22 + 39));  // outside the view
  CGrafPtr current = nullptr;
  GetPort(&current);
  EXPECT_EQ(nullptr, current);  // the old port is back
  Rect bounds;
  GetPortBounds(GetWindowPort(window), &bounds);
  EXPECT_TRUE(Same(Rect{0, 0, 100, 200}, bounds));
  RemoveEventHandler(handler);
  DisposeWindow(window);
}

}  // namespace
