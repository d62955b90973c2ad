// Drags tracked through the script's drop plans, the mouse-moved wait and simulated clicks.
#include "StandInToolboxTest.h"

#include <string>
#include <vector>

namespace {

constexpr FlavorType kColr = 0x636f6c72;  // 'colr'
constexpr FlavorType kText = 0x54455854;  // 'TEXT'

class DragTrackingTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    m_Drags = StandIn_DragLiveCount();
    m_Regions = StandIn_RegionLiveCount();
  }
  void TearDown() override {
    StandIn_ScriptClear();
    EXPECT_EQ(m_Drags, StandIn_DragLiveCount());
    EXPECT_EQ(m_Regions, StandIn_RegionLiveCount());
    StandInToolboxTest::TearDown();
  }

private:
  long m_Drags = 0;
  long m_Regions = 0;
};

// Records the drag events a view gets and answers them as told.
struct DropLog {
  std::vector<std::string> events;
  Boolean accept = true;
  OSStatus receiveStatus = noErr;
  DragRef drag = nullptr;
};

OSStatus LogDrag(EventHandlerCallRef, EventRef event, void* data) {
  auto* log = static_cast<DropLog*>(data);
  static const char* const kNames[] = {"enter", "within", "leave", "receive"};
  log->events.push_back(kNames[GetEventKind(event) - kEventControlDragEnter]);
  GetEventParameter(event, kEventParamDragRef, typeDragRef, nullptr, sizeof log->drag, nullptr,
                    &log->drag);
  if (GetEventKind(event) == kEventControlDragEnter)
    SetEventParameter(event, kEventParamControlWouldAcceptDrop, typeBoolean, sizeof log->accept,
                      &log->accept);
  return GetEventKind(event) == kEventControlDragReceive ? log->receiveStatus : noErr;
}

// A view in the pane that logs its drag events.
struct LoggedView {
  LoggedView(HIViewRef pane, bool tracks) {
    view = StandIn_NewView("userpane", CGRectMake(0, 0, 10, 10));
    HIViewAddSubview(pane, view);
    CFRelease(view);
    SetControlDragTrackingEnabled(view, tracks);
    const EventTypeSpec kinds[] = {{kEventClassControl, kEventControlDragEnter},
                                   {kEventClassControl, kEventControlDragWithin},
                                   {kEventClassControl, kEventControlDragLeave},
                                   {kEventClassControl, kEventControlDragReceive}};
    InstallControlEventHandler(view, LogDrag, 4, kinds, &log, &handler);
  }
  ~LoggedView() { RemoveEventHandler(handler); }
  std::string Events() const {
    std::string all;
    for (const std::string& event : log.events)
      all += (all.empty() ? "" : " ") + event;
    return all;
  }
  HIViewRef view = nullptr;
  EventHandlerRef handler = nullptr;
  DropLog log;
};

CGImageRef NewRedImage(std::size_t width, std::size_t height) {
  CGColorSpaceRef rgb = CGColorSpaceCreateDeviceRGB();
  CGContextRef context =
      CGBitmapContextCreate(nullptr, width, height, 8, 0, rgb, kCGImageAlphaPremultipliedLast);
  CGContextSetRGBFillColor(context, 1, 0, 0, 1);
  CGContextFillRect(context, CGRectMake(0, 0, CGFloat(width), CGFloat(height)));
  CGImageRef image = CGBitmapContextCreateImage(context);
  CGContextRelease(context);
  CGColorSpaceRelease(rgb);
  return image;
}

TEST_F(DragTrackingTest, TrackDragRecordsItsItemsRegionImageAndEventAndLeavesTheRegion) {
  DragRef drag = nullptr;
  ASSERT_EQ(noErr, NewDrag(&drag));
  const UInt8 colour[6] = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(noErr, AddDragItemFlavor(drag, 7, kText, "t", 1, flavorSenderOnly));
  ASSERT_EQ(noErr, AddDragItemFlavor(drag, 7, kColr, colour, 6, 0));
  ASSERT_EQ(noErr, AddDragItemFlavor(drag, 3, kText, "u", 1, 0));
  const Rect bounds{10, 20, 30, 40};
  ASSERT_EQ(noErr, SetDragItemBounds(drag, 7, &bounds));
  EXPECT_EQ(badDragItemErr, SetDragItemBounds(drag, 99, &bounds));
  UInt16 count = 0;
  ASSERT_EQ(noErr, CountDragItemFlavors(drag, 7, &count));
  EXPECT_EQ(2, count);
  FlavorType type = 0;
  ASSERT_EQ(noErr, GetFlavorType(drag, 7, 2, &type));
  EXPECT_EQ(kColr, type);  // in the order added
  EXPECT_EQ(badDragFlavorErr, GetFlavorType(drag, 7, 3, &type));

  CGImageRef image = NewRedImage(3, 2);
  const HIPoint offset{-5, -4};
  ASSERT_EQ(noErr, SetDragImageWithCGImage(drag, image, &offset, kDragOpaqueTranslucency));
  CGImageRelease(image);  // the drag keeps its own reference

  RgnHandle region = NewRgn();
  SetRectRgn(region, 0, 0, 8, 4);
  EventRecord event{mouseDown, 0, 0, Point{4, 5}, 0};
  EXPECT_EQ(userCanceledErr, TrackDrag(drag, &event, region));  // no plan: cancelled

  const StandIn_TrackedDrag tracked = StandIn_LastTrackedDrag();
  ASSERT_EQ(3u, tracked.flavors.size());
  EXPECT_EQ(7u, tracked.flavors[0].item);
  EXPECT_EQ(kText, tracked.flavors[0].type);
  EXPECT_EQ(flavorSenderOnly, tracked.flavors[0].flags);
  EXPECT_EQ(std::vector<UInt8>(colour, colour + 6), tracked.flavors[1].data);
  EXPECT_EQ(3u, tracked.flavors[2].item);
  ASSERT_EQ(2u, tracked.itemBounds.size());
  EXPECT_EQ(20, tracked.itemBounds[0].left);
  EXPECT_EQ(0, tracked.itemBounds[1].right);
  ASSERT_EQ(1u, tracked.region.size());
  EXPECT_EQ(8, tracked.region[0].right);
  EXPECT_EQ(5, tracked.event.where.h);
  ASSERT_TRUE(tracked.hasImage);
  EXPECT_EQ(3u, tracked.imageWidth);
  EXPECT_EQ(2u, tracked.imageHeight);
  EXPECT_EQ(0xFFFF0000u, tracked.ImagePixel(2, 1));
  EXPECT_EQ(0u, tracked.ImagePixel(3, 0));
  EXPECT_EQ(-5.0, tracked.imageOffset.x);
  EXPECT_EQ(kDragOpaqueTranslucency, tracked.imageFlags);
  EXPECT_EQ(userCanceledErr, tracked.result);

  EXPECT_FALSE(EmptyRgn(region));  // the caller's, untouched
  DisposeRgn(region);
  EXPECT_EQ(noErr, DisposeDrag(drag));
  EXPECT_EQ(badDragRefErr, TrackDrag(drag, &event, nullptr));
}

TEST_F(DragTrackingTest, DropPlansReachTheViewsThatTrackDragsAsTheyAnswer) {
  HIViewRef pane = StandIn_NewView("userpane", CGRectMake(0, 0, 100, 100));
  LoggedView accepting(pane, true);
  LoggedView refusing(pane, true);
  refusing.log.accept = false;
  LoggedView deaf(pane, false);
  LoggedView failing(pane, true);
  failing.log.receiveStatus = dragNotAcceptedErr;
  HIViewRef inner = StandIn_NewView("push", CGRectMake(0, 0, 5, 5));  // tracks nothing itself
  HIViewAddSubview(accepting.view, inner);
  CFRelease(inner);

  DragRef drag = nullptr;
  ASSERT_EQ(noErr, NewDrag(&drag));
  struct Case {
    std::vector<HIViewRef> path;
    bool drop;
    OSErr result;
    const char* accepting;
    const char* refusing;
    const char* failing;
  };
  const Case cases[] = {
      {{refusing.view, deaf.view, inner}, true, noErr, "enter within leave receive", "enter", ""},
      {{accepting.view, refusing.view}, true, userCanceledErr, "enter within leave", "enter", ""},
      {{accepting.view}, false, userCanceledErr, "enter within leave", "", ""},
      {{failing.view}, true, userCanceledErr, "", "", "enter within leave receive"},
  };
  for (const Case& c : cases) {
    for (LoggedView* v : {&accepting, &refusing, &deaf, &failing})
      v->log.events.clear();
    StandIn_ScriptDrag(c.path, c.drop);
    EXPECT_EQ(c.result, TrackDrag(drag, nullptr, nullptr));
    EXPECT_EQ(c.accepting, accepting.Events());
    EXPECT_EQ(c.refusing, refusing.Events());
    EXPECT_EQ("", deaf.Events());
    EXPECT_EQ(c.failing, failing.Events());
  }
  EXPECT_EQ(drag, accepting.log.drag);
  EXPECT_EQ(0, StandIn_ScriptedDragCount());

  StandIn_ScriptDrag({accepting.view}, true);  // a plan holds its views until cleared
  EXPECT_EQ(1, StandIn_ScriptedDragCount());
  DisposeDrag(drag);
  CFRelease(pane);
}

OSStatus CountHit(EventHandlerCallRef, EventRef event, void* data) {
  auto* hits = static_cast<std::vector<std::pair<ControlPartCode, UInt32>>*>(data);
  ControlPartCode part = 0;
  UInt32 modifiers = 0;
  GetEventParameter(event, kEventParamControlPart, typeControlPartCode, nullptr, sizeof part,
                    nullptr, &part);
  GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr,
                    &modifiers);
  hits->emplace_back(part, modifiers);
  return eventNotHandledErr;
}

TEST_F(DragTrackingTest, SimulatedClicksHitThePartAndWaitMouseMovedAnswersTheScript) {
  StandIn_EventLogRecord(true);
  HIViewRef button = StandIn_NewView("push", CGRectMake(0, 0, 50, 20));
  SetControlCommandID(button, 0x646f6974);  // 'doit'
  std::vector<std::pair<ControlPartCode, UInt32>> hits;
  const EventTypeSpec hit = {kEventClassControl, kEventControlHit};
  EventHandlerRef handler = nullptr;
  InstallControlEventHandler(button, CountHit, 1, &hit, &hits, &handler);
  ControlPartCode part = 0;
  EXPECT_EQ(noErr, HIViewSimulateClick(button, kControlButtonPart, shiftKey, &part));
  EXPECT_EQ(kControlButtonPart, part);
  ASSERT_EQ(1u, hits.size());
  EXPECT_EQ(kControlButtonPart, hits[0].first);
  EXPECT_EQ(UInt32(shiftKey), hits[0].second);
  EXPECT_EQ(kControlNoPart, GetControlHilite(button));
  EXPECT_EQ(1, StandIn_EventLogCountOf(kEventClassCommand, kEventCommandProcess));
  EXPECT_EQ(paramErr, HIViewSimulateClick(nullptr, kControlButtonPart, 0, &part));
  RemoveEventHandler(handler);
  CFRelease(button);

  StandIn_ScriptMouseMoved(true);
  StandIn_ScriptMouseMoved(false);
  EXPECT_TRUE(WaitMouseMoved(Point{0, 0}));
  EXPECT_FALSE(WaitMouseMoved(Point{0, 0}));
  EXPECT_FALSE(WaitMouseMoved(Point{0, 0}));  // nothing scripted: released in place
}

TEST_F(DragTrackingTest, EventRecordsOfClicksAreMouseDowns) {
  struct Case {
    UInt32 eventClass;
    UInt32 kind;
    EventKind what;
  };
  const Case cases[] = {{kEventClassControl, kEventControlTrack, mouseDown},
                        {kEventClassMouse, kEventMouseDown, mouseDown},
                        {kEventClassControl, kEventControlDraw, nullEvent}};
  for (const Case& c : cases) {
    EventRef event = nullptr;
    ASSERT_EQ(noErr, CreateEvent(nullptr, c.eventClass, c.kind, 2.0, 0, &event));
    const Point where{7, 9};
    const UInt32 modifiers = optionKey;
    SetEventParameter(event, kEventParamMouseLocation, typeQDPoint, sizeof where, &where);
    SetEventParameter(event, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    EventRecord record{};
    EXPECT_EQ(c.what == mouseDown, bool(ConvertEventRefToEventRecord(event, &record)));
    EXPECT_EQ(c.what, record.what);
    EXPECT_EQ(9, record.where.h);
    EXPECT_EQ(optionKey, record.modifiers);
    EXPECT_EQ(120u, record.when);
    ReleaseEvent(event);
  }
}

}  // namespace

OSStatus NoteDragMouse(EventHandlerCallRef, EventRef event, void* data) {
  DragRef drag = nullptr;
  GetEventParameter(event, kEventParamDragRef, typeDragRef, nullptr, sizeof drag, nullptr, &drag);
  auto* points = static_cast<std::vector<Point>*>(data);
  Point origin{}, mouse{}, pinned{};
  EXPECT_EQ(noErr, GetDragOrigin(drag, &origin));
  EXPECT_EQ(noErr, GetDragMouse(drag, &mouse, &pinned));
  points->insert(points->end(), {origin, mouse});
  return noErr;
}

TEST_F(DragTrackingTest, TheMouseIsOverEachViewOfThePlanAndFlavoursKeepTheirFlags) {
  WindowRef window = NewWindow();
  HIViewRef content = nullptr;
  ASSERT_EQ(noErr, HIViewFindByID(HIViewGetRoot(window), kHIViewWindowContentID, &content));
  HIViewRef target = StandIn_NewView("userpane", CGRectMake(30, 20, 40, 10));
  HIViewAddSubview(content, target);
  CFRelease(target);
  SetControlDragTrackingEnabled(target, true);
  std::vector<Point> points;
  const EventTypeSpec enter = {kEventClassControl, kEventControlDragEnter};
  EventHandlerRef handler = nullptr;
  InstallControlEventHandler(target, NoteDragMouse, 1, &enter, &points, &handler);

  DragRef drag = nullptr;
  ASSERT_EQ(noErr, NewDrag(&drag));
  ASSERT_EQ(noErr, AddDragItemFlavor(drag, 1, kText, "t", 1, flavorSenderOnly | flavorNotSaved));
  FlavorFlags flags = 0;
  EXPECT_EQ(noErr, GetFlavorFlags(drag, 1, kText, &flags));
  EXPECT_EQ(flavorSenderOnly | flavorNotSaved, flags);
  EXPECT_EQ(badDragFlavorErr, GetFlavorFlags(drag, 1, kColr, &flags));
  EXPECT_EQ(badDragItemErr, GetFlavorFlags(drag, 2, kText, &flags));

  // Without records (a program's own run) the drag is tracked all the same, and not recorded.
  StandIn_RecordCalls(false);
  const long before = StandIn_LastTrackedDrag().count;
  StandIn_ScriptDrag({target}, true);
  const EventRecord event{mouseDown, 0, 0, Point{150, 80}, 0};
  EXPECT_EQ(userCanceledErr, TrackDrag(drag, &event, nullptr));  // the view refuses the drop
  StandIn_RecordCalls(true);
  EXPECT_EQ(before + 1, StandIn_LastTrackedDrag().count);
  EXPECT_TRUE(StandIn_LastTrackedDrag().flavors.empty());

  ASSERT_EQ(2u, points.size());
  EXPECT_EQ(150, points[0].v);
  EXPECT_EQ(80, points[0].h);
  // The view's centre (50, 25) in the content, whose top left is (50, 100) on the screen.
  EXPECT_EQ(100 + 25, points[1].v);
  EXPECT_EQ(50 + 50, points[1].h);

  RemoveEventHandler(handler);
  DisposeDrag(drag);
  DisposeWindow(window);
}
