// Mouse-tracking regions with their entered and exited events, and synchronous window
// transitions.
#include "StandInToolboxTest.h"

#include <HIToolbox/MacWindows.h>
#include <HIToolbox/StandInInput.h>
#include <QD/QuickDraw.h>

#include <vector>

namespace {

class MouseTrackingTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    m_Regions = StandIn_MouseTrackingRegionLiveCount();
  }
  void TearDown() override {
    EXPECT_EQ(m_Regions, StandIn_MouseTrackingRegionLiveCount());
    StandInToolboxTest::TearDown();
  }

private:
  long m_Regions = 0;
};

struct Heard {
  std::vector<UInt32> kinds;
  std::vector<MouseTrackingRef> regions;
};

OSStatus Hear(EventHandlerCallRef, EventRef event, void* data) {
  // The views under the mouse hear their own entered and exited events, which travel up to the
  // window too; the regions' events carry their region.
  auto* heard = static_cast<Heard*>(data);
  MouseTrackingRef ref = nullptr;
  if (GetEventParameter(event, kEventParamMouseTrackingRef, typeMouseTrackingRef, nullptr,
                        sizeof ref, nullptr, &ref) != noErr)
    return eventNotHandledErr;
  heard->kinds.push_back(GetEventKind(event));
  heard->regions.push_back(ref);
  return noErr;
}

void MoveTo(CGFloat x, CGFloat y) {
  StandIn_Input input;
  input.kind = StandIn_InputKind::MouseMoved;
  input.global = CGPointMake(x, y);
  StandIn_DeliverInput(input);
}

TEST_F(MouseTrackingTest, ARegionHearsTheMouseComeAndGo) {
  WindowRef window = NewWindow(Rect{100, 50, 400, 450});  // content from (50, 100)
  ShowWindow(window);
  Heard heard;
  const EventTypeSpec kinds[] = {{kEventClassMouse, kEventMouseEntered},
                                 {kEventClassMouse, kEventMouseExited}};
  EventHandlerRef handler = nullptr;
  InstallEventHandler(GetWindowEventTarget(window), Hear, 2, kinds, &heard, &handler);
  RgnHandle area = NewRgn();
  SetRectRgn(area, 10, 20, 110, 70);  // port coordinates: global 60..160 across, 120..170 down
  MouseTrackingRef ref = nullptr;
  const MouseTrackingRegionID id = {0x4E6C7432, 129};
  ASSERT_EQ(noErr, CreateMouseTrackingRegion(window, area, nullptr, 0, id, nullptr,
                                             GetWindowEventTarget(window), &ref));
  DisposeRgn(area);  // the region keeps its own copy
  MouseTrackingRegionID read = {0, 0};
  EXPECT_EQ(noErr, GetMouseTrackingRegionID(ref, &read));
  EXPECT_EQ(129, read.id);

  MoveTo(40, 110);   // outside
  MoveTo(100, 150);  // in
  MoveTo(101, 151);  // still in
  MoveTo(200, 150);  // out
  EXPECT_EQ((std::vector<UInt32>{kEventMouseEntered, kEventMouseExited}), heard.kinds);
  EXPECT_EQ((std::vector<MouseTrackingRef>{ref, ref}), heard.regions);

  // A new shape: the mouse where it is now lies inside it.
  RgnHandle wider = NewRgn();
  SetRectRgn(wider, 10, 20, 200, 70);
  EXPECT_EQ(noErr, ChangeMouseTrackingRegion(ref, wider, nullptr));
  DisposeRgn(wider);
  MoveTo(201, 150);
  EXPECT_EQ(kEventMouseEntered, heard.kinds.back());

  EXPECT_EQ(noErr, ReleaseMouseTrackingRegion(ref));
  EXPECT_EQ(paramErr, ReleaseMouseTrackingRegion(ref));
  MoveTo(40, 110);
  EXPECT_EQ(3u, heard.kinds.size());
  RemoveEventHandler(handler);
  DisposeWindow(window);
}

TEST_F(MouseTrackingTest, AWindowInFrontHidesTheRegionAndADisposedWindowTakesItsRegions) {
  WindowRef back = NewWindow(Rect{100, 50, 400, 450});
  ShowWindow(back);
  Heard heard;
  const EventTypeSpec kinds[] = {{kEventClassMouse, kEventMouseEntered},
                                 {kEventClassMouse, kEventMouseExited}};
  EventHandlerRef handler = nullptr;
  InstallEventHandler(GetWindowEventTarget(back), Hear, 2, kinds, &heard, &handler);
  RgnHandle area = NewRgn();
  SetRectRgn(area, 0, 0, 400, 300);
  MouseTrackingRef ref = nullptr;
  ASSERT_EQ(noErr, CreateMouseTrackingRegion(back, area, nullptr, 0, MouseTrackingRegionID{0, 1},
                                             nullptr, nullptr, &ref));
  DisposeRgn(area);
  MoveTo(100, 200);
  WindowRef front = NewWindow(Rect{150, 80, 300, 300});
  ShowWindow(front);
  MoveTo(101, 201);  // now over the window in front
  EXPECT_EQ((std::vector<UInt32>{kEventMouseEntered, kEventMouseExited}), heard.kinds);
  RemoveEventHandler(handler);
  DisposeWindow(front);
  DisposeWindow(back);  // releases the region
}

TEST_F(MouseTrackingTest, ATransitionEndsAtItsBoundsBeforeItReturns) {
  WindowRef window = NewWindow(Rect{100, 50, 400, 450});
  ShowWindow(window);
  const HIRect target = CGRectMake(70, 120, 300, 200);
  EXPECT_EQ(noErr,
            TransitionWindowWithOptions(window, kWindowSlideTransitionEffect,
                                        kWindowResizeTransitionAction, &target, false, nullptr));
  Rect structure{0, 0, 0, 0};
  GetWindowBounds(window, kWindowStructureRgn, &structure);
  EXPECT_EQ(120, structure.top);
  EXPECT_EQ(70, structure.left);
  EXPECT_EQ(320, structure.bottom);
  EXPECT_EQ(370, structure.right);
  EXPECT_EQ(1, StandIn_WindowTransitionCount(window));
  EXPECT_EQ(noErr,
            TransitionWindowWithOptions(window, kWindowFadeTransitionEffect,
                                        kWindowHideTransitionAction, nullptr, false, nullptr));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(paramErr,
            TransitionWindowWithOptions(window, kWindowSlideTransitionEffect,
                                        kWindowResizeTransitionAction, nullptr, false, nullptr));
  DisposeWindow(window);
}

}  // namespace
