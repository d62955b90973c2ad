// PowerPlant X of the stand-in: the doers of a custom view, driven by the toolbox's own calls.
#include "StandInToolboxTest.h"

#include <PPx/PPxView.h>

#include <vector>

namespace {

constexpr ControlPartCode kWholePart = 10;
const CFStringRef kProbeClassID = CFSTR("com.example.Probe");

// A custom view that records what its doers hand it and answers like a one-part button.
class Probe : public PPx::View,
              public PPx::ControlDrawDoer,
              public PPx::ControlHitTestDoer,
              public PPx::ControlTrackDoer,
              public PPx::ControlGetPartRegionDoer,
              public PPx::ControlGetOptimalBoundsDoer,
              public PPx::ControlGetSizeConstraintsDoer,
              public PPx::ControlSetFocusPartDoer,
              public PPx::ControlDragEnterDoer,
              public PPx::ControlDragWithinDoer,
              public PPx::ControlDragLeaveDoer,
              public PPx::ControlDragReceiveDoer,
              public PPx::TextInputUnicodeForKeyEventDoer,
              public PPx::ControlHiliteChangedDoer,
              public PPx::ControlActivateDoer,
              public PPx::ControlDeactivateDoer,
              public PPx::ControlEnabledStateChangedDoer {
public:
  static int s_Alive;
  std::vector<UInt32> events;  // kinds, in order
  CGContextRef context = nullptr;
  CGPoint trackedAt{0, 0};
  ControlPartCode focus = 0;
  bool everything = false;
  std::vector<UniChar> typed;
  ControlPartCode previousHilite = -99;
  HIRect newBounds{{0, 0}, {0, 0}};

  Probe() { ++s_Alive; }
  ~Probe() override { --s_Alive; }

  void InstallDoers() {
    EventTargetRef target = SysEventTarget();
    PPx::ControlDrawDoer::Install(target);
    PPx::ControlHitTestDoer::Install(target);
    PPx::ControlTrackDoer::Install(target);
    PPx::ControlGetPartRegionDoer::Install(target);
    PPx::ControlGetOptimalBoundsDoer::Install(target);
    PPx::ControlGetSizeConstraintsDoer::Install(target);
    PPx::ControlSetFocusPartDoer::Install(target);
    InstallBoundsChangedDoer();
    SetControlDragTrackingEnabled(GetSysView(), true);
    PPx::ControlDragEnterDoer::Install(target);
    PPx::ControlDragWithinDoer::Install(target);
    PPx::ControlDragLeaveDoer::Install(target);
    PPx::ControlDragReceiveDoer::Install(target);
    PPx::TextInputUnicodeForKeyEventDoer::Install(target);
    PPx::ControlHiliteChangedDoer::Install(target);
    PPx::ControlActivateDoer::Install(target);
    PPx::ControlDeactivateDoer::Install(target);
    PPx::ControlEnabledStateChangedDoer::Install(target);
  }

  static OSStatus Handler(EventHandlerCallRef, EventRef event, void* data) {
    switch (GetEventKind(event)) {
      case kEventHIObjectConstruct: {
        HIObjectRef object = nullptr;
        GetEventParameter(event, kEventParamHIObjectInstance, typeHIObjectRef, nullptr,
                          sizeof object, nullptr, &object);
        auto probe = new Probe;
        probe->InitializeOwnView(static_cast<HIViewRef>(object), CGRectMake(0, 0, 40, 30));
        void* instance = probe;
        SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof instance,
                          &instance);
        return noErr;
      }
      case kEventHIObjectInitialize:
        static_cast<Probe*>(data)->InstallDoers();
        return eventNotHandledErr;
      case kEventHIObjectDestruct:
        delete static_cast<Probe*>(data);
        return noErr;
      default:
        return eventNotHandledErr;
    }
  }

  static HIViewRef Create() {
    if (!StandIn_HIObjectClassRegistered(kProbeClassID)) {
      const EventTypeSpec events[] = {{kEventClassHIObject, kEventHIObjectConstruct},
                                      {kEventClassHIObject, kEventHIObjectInitialize},
                                      {kEventClassHIObject, kEventHIObjectDestruct}};
      HIObjectRegisterSubclass(kProbeClassID, CFSTR("com.apple.hiview"), 0, Handler, 3, events,
                               nullptr, nullptr);
    }
    HIObjectRef object = nullptr;
    EXPECT_EQ(noErr, HIObjectCreate(kProbeClassID, nullptr, &object));
    return static_cast<HIViewRef>(object);
  }

  static Probe* Of(HIViewRef view) {
    return static_cast<Probe*>(HIObjectDynamicCast(view, kProbeClassID));
  }

protected:
  OSStatus DoControlDraw(PPx::SysCarbonEvent&, ControlRef, ControlPartCode, RgnHandle,
                         CGContextRef drawContext) override {
    events.push_back(kEventControlDraw);
    context = drawContext;
    CGContextSetRGBFillColor(drawContext, 0, 0, 1, 1);
    CGContextFillRect(drawContext, CGRectMake(0, 0, 10, 10));
    return noErr;
  }
  OSStatus DoControlHitTest(PPx::SysCarbonEvent&, ControlRef, HIPoint,
                            ControlPartCode& part) override {
    part = kWholePart;
    return noErr;
  }
  OSStatus DoControlTrack(PPx::SysCarbonEvent&, ControlRef, const CGPoint& where, UInt32,
                          ControlActionUPP, ControlPartCode& part) override {
    events.push_back(kEventControlTrack);
    trackedAt = where;
    part = where.x < 20 ? kWholePart
                        : ControlPartCode(kControlNoPart);  // the right half cancels the click
    return eventNotHandledErr;
  }
  OSStatus DoControlGetPartRegion(PPx::SysCarbonEvent&, ControlRef, ControlPartCode part,
                                  RgnHandle region) override {
    if (part != kWholePart)
      return errInvalidPartCode;
    SetRectRgn(region, 1, 2, 3, 4);
    return noErr;
  }
  OSStatus DoControlGetOptimalBounds(PPx::SysCarbonEvent&, ControlRef, HIRect& bounds,
                                     SInt16&) override {
    bounds = CGRectMake(0, 0, 30, 20);
    return noErr;
  }
  OSStatus DoControlGetSizeConstraints(PPx::SysCarbonEvent&, ControlRef, HISize& minimum,
                                       HISize&) override {
    minimum = CGSizeMake(15, 15);
    return noErr;
  }
  OSStatus DoControlSetFocusPart(PPx::SysCarbonEvent&, ControlRef, bool focusEverything,
                                 ControlPartCode& part) override {
    everything = focusEverything;
    if (part == kControlFocusNextPart || part == kControlFocusPrevPart)
      part = focus == 0 && focusEverything ? kWholePart : ControlPartCode(kControlFocusNoPart);
    else if (part != kWholePart)
      part = kControlFocusNoPart;
    focus = part;
    return noErr;
  }
  OSStatus DoControlDragEnter(PPx::SysCarbonEvent& event, ControlRef, DragRef) override {
    events.push_back(kEventControlDragEnter);
    event.SetParameter(kEventParamControlWouldAcceptDrop, typeBoolean, Boolean(true));
    return noErr;
  }
  OSStatus DoControlDragWithin(PPx::SysCarbonEvent&, ControlRef, DragRef) override {
    events.push_back(kEventControlDragWithin);
    return eventNotHandledErr;
  }
  OSStatus DoControlDragLeave(PPx::SysCarbonEvent&, ControlRef, DragRef) override {
    events.push_back(kEventControlDragLeave);
    return noErr;
  }
  OSStatus DoControlDragReceive(PPx::SysCarbonEvent&, ControlRef, DragRef) override {
    events.push_back(kEventControlDragReceive);
    return noErr;
  }
  OSStatus DoTextInputUnicodeForKeyEvent(PPx::SysCarbonEvent&, const UniChar* text, UInt32 length,
                                         EventRef keyEvent) override {
    if (keyEvent == nullptr || length != 1 || text[0] != ' ')
      return eventNotHandledErr;
    typed.push_back(text[0]);
    return noErr;
  }
  OSStatus DoControlHiliteChanged(PPx::SysCarbonEvent&, ControlRef, ControlPartCode previous,
                                  ControlPartCode) override {
    events.push_back(kEventControlHiliteChanged);
    previousHilite = previous;
    return noErr;
  }
  OSStatus DoControlActivate(PPx::SysCarbonEvent&, ControlRef) override {
    events.push_back(kEventControlActivate);
    return noErr;
  }
  OSStatus DoControlDeactivate(PPx::SysCarbonEvent&, ControlRef) override {
    events.push_back(kEventControlDeactivate);
    return noErr;
  }
  OSStatus DoControlEnabledStateChanged(PPx::SysCarbonEvent&, ControlRef) override {
    events.push_back(kEventControlEnabledStateChanged);
    return noErr;
  }
  OSStatus DoControlBoundsChanged(PPx::SysCarbonEvent& event, ControlRef, UInt32, const HIRect&,
                                  const HIRect& current) override {
    events.push_back(kEventControlBoundsChanged);
    newBounds = current;
    return event.CallNextHandler();
  }
};
int Probe::s_Alive = 0;

class PPxViewDoersTest : public StandInToolboxTest {
protected:
  void SetUp() override {
    StandInToolboxTest::SetUp();
    m_Window = NewWindow();
    m_View = Probe::Create();
    HIViewAddSubview(standin_tb_Content(), m_View);
    CFRelease(m_View);  // the window holds it
    m_Probe = Probe::Of(m_View);
    const HIRect frame = CGRectMake(10, 20, 40, 30);
    HIViewSetFrame(m_View, &frame);
  }
  void TearDown() override {
    StandIn_SetFullKeyboardAccess(false);
    DisposeWindow(m_Window);
    EXPECT_EQ(0, Probe::s_Alive);  // the view's destruct deleted its object
    StandInToolboxTest::TearDown();
  }
  HIViewRef standin_tb_Content() const {
    HIViewRef content = nullptr;
    HIViewFindByID(HIViewGetRoot(m_Window), kHIViewWindowContentID, &content);
    return content;
  }

  WindowRef m_Window = nullptr;
  HIViewRef m_View = nullptr;
  Probe* m_Probe = nullptr;
};

TEST_F(PPxViewDoersTest, DrawTrackAndGeometryReachTheView) {
  ASSERT_NE(nullptr, m_Probe);
  EXPECT_EQ(40, m_Probe->newBounds.size.width);
  ASSERT_EQ(noErr, StandIn_WindowRender(m_Window));
  EXPECT_NE(nullptr, m_Probe->context);
  HIRect frame = CGRectMake(0, 0, 0, 0);
  HIViewGetFrame(standin_tb_Content(), &frame);
  // The view's top left corner is blue in the window.
  EXPECT_EQ(0xFF0000FFu,
            StandIn_WindowPixel(m_Window, int(frame.origin.x) + 12, int(frame.origin.y) + 22));

  // Tracking chooses the part even when it leaves the rest to the standard handling.
  EXPECT_EQ(kWholePart, StandIn_ClickView(m_View, CGPointMake(5, 6), 0));
  EXPECT_EQ(5.0, m_Probe->trackedAt.x);
  EXPECT_EQ(kControlNoPart, StandIn_ClickView(m_View, CGPointMake(25, 6), 0));

  RgnHandle region = NewRgn();
  EXPECT_EQ(noErr, GetControlRegion(m_View, kWholePart, region));
  EXPECT_EQ(1, StandIn_RegionRectCount(region));
  EXPECT_EQ(errInvalidPartCode, GetControlRegion(m_View, 7, region));
  DisposeRgn(region);

  Rect best{0, 0, 0, 0};
  SInt16 baseline = 0;
  EXPECT_EQ(noErr, GetBestControlRect(m_View, &best, &baseline));
  EXPECT_EQ(30, best.right - best.left);
  EXPECT_EQ(20, best.bottom - best.top);
  HISize minimum{0, 0};
  HISize maximum{0, 0};
  EXPECT_EQ(noErr, HIViewGetSizeConstraints(m_View, &minimum, &maximum));
  EXPECT_EQ(15, minimum.width);
  EXPECT_EQ(32767, maximum.width);  // left as it came
}

TEST_F(PPxViewDoersTest, StateChangesAreAnnouncedOnlyWhenTheyHappen) {
  m_Probe->events.clear();
  HiliteControl(m_View, kWholePart);
  HiliteControl(m_View, kWholePart);
  DeactivateControl(m_View);
  ActivateControl(m_View);
  ActivateControl(m_View);
  DisableControl(m_View);
  EnableControl(m_View);
  const HIRect wider = CGRectMake(10, 20, 50, 30);
  HIViewSetFrame(m_View, &wider);
  const std::vector<UInt32> expected{kEventControlHiliteChanged,
                                     kEventControlDeactivate,
                                     kEventControlActivate,
                                     kEventControlEnabledStateChanged,
                                     kEventControlEnabledStateChanged,
                                     kEventControlBoundsChanged};
  EXPECT_EQ(expected, m_Probe->events);
  EXPECT_EQ(0, m_Probe->previousHilite);
  EXPECT_EQ(50, m_Probe->newBounds.size.width);
}

TEST_F(PPxViewDoersTest, FocusMovesToTheViewOnlyWhenEverythingIsFocused) {
  HIViewRef text = StandIn_NewView("textview", CGRectMake(0, 100, 100, 20));
  HIViewAddSubview(standin_tb_Content(), text);
  CFRelease(text);
  ControlRef focused = nullptr;

  // Without full keyboard access tabbing skips the view.
  EXPECT_EQ(noErr, AdvanceKeyboardFocus(m_Window));
  GetKeyboardFocus(m_Window, &focused);
  EXPECT_EQ(text, focused);
  EXPECT_EQ(noErr, AdvanceKeyboardFocus(m_Window));
  GetKeyboardFocus(m_Window, &focused);
  EXPECT_EQ(text, focused);
  EXPECT_FALSE(m_Probe->everything);

  StandIn_SetFullKeyboardAccess(true);
  EXPECT_EQ(noErr, AdvanceKeyboardFocus(m_Window));
  GetKeyboardFocus(m_Window, &focused);
  EXPECT_EQ(m_View, focused);
  EXPECT_EQ(kWholePart, StandIn_KeyboardFocusPart(m_Window));
  EXPECT_TRUE(m_Probe->everything);

  // Reversing asks the view for its previous part first: it has none, so the text view gets it.
  EXPECT_EQ(noErr, ReverseKeyboardFocus(m_Window));
  GetKeyboardFocus(m_Window, &focused);
  EXPECT_EQ(text, focused);
  EXPECT_EQ(0, m_Probe->focus);

  // An explicit part: the view takes 10 and refuses others.
  EXPECT_EQ(noErr, SetKeyboardFocus(m_Window, m_View, kWholePart));
  EXPECT_EQ(kWholePart, m_Probe->focus);
  EXPECT_EQ(errCouldntSetFocus, SetKeyboardFocus(m_Window, m_View, 3));
  GetKeyboardFocus(m_Window, &focused);
  EXPECT_EQ(nullptr, focused);

  // Removing the focused view forgets the focus.
  SetKeyboardFocus(m_Window, text, kControlFocusNextPart);
  HIViewRemoveFromSuperview(text);
  GetKeyboardFocus(m_Window, &focused);
  EXPECT_EQ(nullptr, focused);
}

TEST_F(PPxViewDoersTest, TypedTextReachesTheFocusedView) {
  ShowWindow(m_Window);  // keys go to the user-focus window
  SetKeyboardFocus(m_Window, m_View, kWholePart);
  EXPECT_EQ(noErr, StandIn_PressKey(nullptr, ' ', 0));
  EXPECT_EQ(eventNotHandledErr, StandIn_PressKey(nullptr, 'x', 0));
  EXPECT_EQ(std::vector<UniChar>{' '}, m_Probe->typed);
}

TEST_F(PPxViewDoersTest, DragEventsReachOnlyViewsThatTrackDrags) {
  DragRef drag = nullptr;
  ASSERT_EQ(noErr, NewDrag(&drag));
  m_Probe->events.clear();
  Boolean accept = false;
  EXPECT_EQ(noErr, StandIn_SendControlDragEvent(m_View, kEventControlDragEnter, drag, &accept));
  EXPECT_TRUE(accept);
  StandIn_SendControlDragEvent(m_View, kEventControlDragWithin, drag, &accept);
  EXPECT_FALSE(accept);
  StandIn_SendControlDragEvent(m_View, kEventControlDragLeave, drag, nullptr);
  StandIn_SendControlDragEvent(m_View, kEventControlDragReceive, drag, nullptr);
  const std::vector<UInt32> expected{kEventControlDragEnter, kEventControlDragWithin,
                                     kEventControlDragLeave, kEventControlDragReceive};
  EXPECT_EQ(expected, m_Probe->events);

  SetControlDragTrackingEnabled(m_View, false);
  EXPECT_EQ(eventNotHandledErr,
            StandIn_SendControlDragEvent(m_View, kEventControlDragEnter, drag, &accept));
  EXPECT_EQ(4u, m_Probe->events.size());
  DisposeDrag(drag);
}

}  // namespace

namespace {

class StandInCustomWindowTest : public StandInToolboxTest {};

TEST_F(StandInCustomWindowTest, AViewBasedWindowHasTheViewAsRootAndDragsToTheMouse) {
  HIViewRef root = StandIn_NewView("userpane", CGRectMake(0, 0, 1, 1));
  WindowDefSpec definition{};
  definition.defType = kWindowDefHIView;
  definition.u.rootView = root;
  const Rect bounds{50, 60, 80, 100};
  WindowRef window = nullptr;
  ASSERT_EQ(noErr, CreateCustomWindow(&definition, kPlainWindowClass, 0, &bounds, &window));
  CFRelease(root);  // the window holds it
  EXPECT_EQ(root, HIViewGetRoot(window));
  HIRect frame = CGRectMake(0, 0, 0, 0);
  HIViewGetFrame(root, &frame);
  EXPECT_EQ(40, frame.size.width);
  EXPECT_EQ(30, frame.size.height);
  WindowRef other = nullptr;
  EXPECT_EQ(paramErr, CreateCustomWindow(&definition, kPlainWindowClass, 0, &bounds, &other));

  // Opaque windows render over white, others over transparency.
  EXPECT_EQ(0xFFFFFFFFu, (StandIn_WindowRender(window), StandIn_WindowPixel(window, 1, 1)));
  HIWindowChangeFeatures(window, 0, kWindowIsOpaque);
  EXPECT_EQ(0u, (StandIn_WindowRender(window), StandIn_WindowPixel(window, 1, 1)));

  // Grabbed at (62, 55) and let go at (65, 70): the window moves by (3, 15).
  Point start{};
  start.h = 62;
  start.v = 55;
  Point end{};
  end.h = 65;
  end.v = 70;
  StandIn_SetMouse(end);
  DragWindow(window, start, nullptr);
  Rect moved{0, 0, 0, 0};
  GetWindowBounds(window, kWindowStructureRgn, &moved);
  EXPECT_EQ(63, moved.left);
  EXPECT_EQ(65, moved.top);
  DisposeWindow(window);
}

}  // namespace
