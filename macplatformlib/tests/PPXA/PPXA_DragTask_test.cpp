// Drag tasks: the data drag with its outline, the view's picture, subclasses' own drags and the
// failures that stop a drag before it starts.
#include "PPXA/PPXA_DragTask.h"

#include "support/PPXA_Fixture.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr FlavorType kFlavor = 0x74657374;  // 'test'

class PPXA_DragTaskTest : public PPXA_FixtureTest {
protected:
  void SetUp() override {
    PPXA_FixtureTest::SetUp();
    m_Regions = StandIn_RegionLiveCount();
    m_Drags = StandIn_DragLiveCount();
    m_MouseDown = std::make_unique<PPx::SysCarbonEvent>();
    m_MouseDown->MakeEvent(kEventClassMouse, kEventMouseDown);
    m_MouseDown->SetParameter(kEventParamMouseLocation, typeQDPoint, Point{40, 30});
  }
  void TearDown() override {
    m_MouseDown.reset();
    StandIn_ScriptClear();
    EXPECT_EQ(m_Regions, StandIn_RegionLiveCount());
    EXPECT_EQ(m_Drags, StandIn_DragLiveCount());
    PPXA_FixtureTest::TearDown();
  }

  // The pixels of the recorded region.
  static long Area(const StandIn_TrackedDrag& drag) {
    long area = 0;
    for (const Rect& r : drag.region)
      area += long(r.right - r.left) * (r.bottom - r.top);
    return area;
  }

  std::unique_ptr<PPx::SysCarbonEvent> m_MouseDown;
  long m_Regions = 0;
  long m_Drags = 0;
};

TEST_F(PPXA_DragTaskTest, DataDragsCarryACopyOfTheDataAndAOnePixelFrame) {
  struct Case {
    Rect bounds;
    long area;
    std::size_t rects;
  };
  const Case cases[] = {
      {{10, 20, 30, 60}, 2 * 40 + 2 * 20 - 4, 4},  // a frame: top, two sides, bottom
      {{10, 20, 15, 21}, 5, 1},                    // 1 pixel wide: the rectangle itself
      {{10, 20, 12, 30}, 20, 1},                   // 2 pixels high: no inside either
  };
  for (const Case& c : cases) {
    char data[] = "payload";
    {
      PPXA::DragTask task(*m_MouseDown, c.bounds, 5, kFlavor, data, 7, flavorSenderOnly);
      std::memcpy(data, "changed", 7);  // the drag holds its own copy
      const StandIn_TrackedDrag drag = StandIn_LastTrackedDrag();
      EXPECT_EQ(c.area, Area(drag));
      EXPECT_EQ(c.rects, drag.region.size());
      ASSERT_EQ(1u, drag.flavors.size());
      EXPECT_EQ(5u, drag.flavors[0].item);
      EXPECT_EQ(kFlavor, drag.flavors[0].type);
      EXPECT_EQ(std::string("payload"),
                std::string(drag.flavors[0].data.begin(), drag.flavors[0].data.end()));
      EXPECT_EQ(flavorSenderOnly, drag.flavors[0].flags);
      ASSERT_EQ(1u, drag.itemBounds.size());
      EXPECT_TRUE(EqualRect(&c.bounds, &drag.itemBounds[0]));
      EXPECT_EQ(mouseDown, drag.event.what);
      EXPECT_EQ(30, drag.event.where.h);
      EXPECT_FALSE(drag.hasImage);
      Size size = 7;
      char inDrag[7] = {};
      EXPECT_EQ(noErr, GetFlavorData(task.GetDragRef(), 5, kFlavor, inDrag, &size, 0));
    }
    EXPECT_EQ(m_Drags, StandIn_DragLiveCount());
    EXPECT_EQ(m_Regions, StandIn_RegionLiveCount());
  }
}

OSStatus FillRed(EventHandlerCallRef, EventRef event, void*) {
  CGContextRef context = nullptr;
  GetEventParameter(event, kEventParamCGContextRef, typeCGContextRef, nullptr, sizeof context,
                    nullptr, &context);
  CGContextSetRGBFillColor(context, 1, 0, 0, 1);
  CGContextFillRect(context, CGRectMake(0, 0, 4, 3));
  return noErr;
}

TEST_F(PPXA_DragTaskTest, ViewDragsCarryTheViewReferenceAndItsPictureUnderTheMouse) {
  HIViewRef view = StandIn_NewView("userpane", CGRectMake(7, 8, 20, 10));
  const EventTypeSpec draw = {kEventClassControl, kEventControlDraw};
  EventHandlerRef handler = nullptr;
  InstallControlEventHandler(view, FillRed, 1, &draw, nullptr, &handler);
  {
    PPXA::DragTask task(*m_MouseDown, view, 3, kFlavor, CGPointMake(6, 2), kDragDarkTranslucency);
    const StandIn_TrackedDrag drag = StandIn_LastTrackedDrag();
    ASSERT_EQ(1u, drag.flavors.size());
    ASSERT_EQ(sizeof view, drag.flavors[0].data.size());
    HIViewRef carried = nullptr;
    std::memcpy(&carried, drag.flavors[0].data.data(), sizeof carried);
    EXPECT_EQ(view, carried);
    ASSERT_TRUE(drag.hasImage);
    EXPECT_EQ(20u, drag.imageWidth);
    EXPECT_EQ(10u, drag.imageHeight);
    EXPECT_EQ(0xFFFF0000u, drag.ImagePixel(3, 2));
    EXPECT_EQ(0u, drag.ImagePixel(10, 5));  // transparent where the view drew nothing
    EXPECT_EQ(-6.0, drag.imageOffset.x);
    EXPECT_EQ(-2.0, drag.imageOffset.y);
    EXPECT_EQ(kDragDarkTranslucency, drag.imageFlags);
    EXPECT_TRUE(drag.region.empty());
  }
  RemoveEventHandler(handler);
  CFRelease(view);
}

// A drag that makes its flavours and region itself.
class OwnDrag : public PPXA::DragTask {
public:
  explicit OwnDrag(const PPx::SysCarbonEvent& event) : DragTask(event) {}
  void AddFlavors(DragRef drag) override {
    AddDragItemFlavor(drag, 1, kFlavor, "x", 1, 0);
    ++m_Calls;
  }
  void MakeDragRegion(DragRef, RgnHandle region) override {
    SetRectRgn(region, 0, 0, 3, 3);
    ++m_Calls;
  }
  int m_Calls = 0;
};

OSStatus AcceptAndReceive(EventHandlerCallRef, EventRef event, void*) {
  const Boolean accept = true;
  if (GetEventKind(event) == kEventControlDragEnter)
    SetEventParameter(event, kEventParamControlWouldAcceptDrop, typeBoolean, sizeof accept,
                      &accept);
  return noErr;
}

TEST_F(PPXA_DragTaskTest, SubclassesBuildTheirDragAndLearnHowTrackingEnded) {
  HIViewRef target = StandIn_NewView("userpane", CGRectMake(0, 0, 10, 10));
  SetControlDragTrackingEnabled(target, true);
  const EventTypeSpec kinds[] = {{kEventClassControl, kEventControlDragEnter},
                                 {kEventClassControl, kEventControlDragReceive}};
  EventHandlerRef handler = nullptr;
  InstallControlEventHandler(target, AcceptAndReceive, 2, kinds, nullptr, &handler);
  {
    OwnDrag drag(*m_MouseDown);
    StandIn_ScriptDrag({target}, true);
    EXPECT_EQ(noErr, drag.DoDrag());
    EXPECT_EQ(2, drag.m_Calls);
    EXPECT_EQ(9, Area(StandIn_LastTrackedDrag()));
  }
  {
    OwnDrag drag(*m_MouseDown);
    StandIn_ScriptDrag({target}, false);
    EXPECT_EQ(userCanceledErr, drag.DoDrag());
  }
  RemoveEventHandler(handler);
  CFRelease(target);
}

TEST_F(PPXA_DragTaskTest, FailuresToStartThrowAndLeaveNothingBehind) {
  struct Case {
    const char* call;
    const char* text;
  };
  const Case cases[] = {{"NewDrag", "NewDrag() failed"}, {"CopyRgn", "CopyRgn() failed"}};
  for (const Case& c : cases) {
    const long tracked = StandIn_LastTrackedDrag().count;
    StandIn_FilesFailNext(c.call, memFullErr);
    char data[] = "d";
    try {
      PPXA::DragTask task(*m_MouseDown, Rect{0, 0, 10, 10}, 1, kFlavor, data, 1, 0);
      ADD_FAILURE() << c.call;
    } catch (const PPx::OSError& e) {
      EXPECT_EQ(memFullErr, e.GetStatus());
      EXPECT_STREQ(c.text, e.what());
    }
    EXPECT_EQ(tracked, StandIn_LastTrackedDrag().count);  // never tracked
    EXPECT_EQ(m_Drags, StandIn_DragLiveCount());
    EXPECT_EQ(m_Regions, StandIn_RegionLiveCount());
  }
}

}  // namespace
