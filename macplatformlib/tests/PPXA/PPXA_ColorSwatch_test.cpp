// The colour swatch: drawing, control data, parts, focus, clicks and keys, the picker, and
// colours dragged out of, between and into swatches.
#include "PPXA/PPXA_ColorSwatch.h"

#include "support/PPXA_Fixture.h"

#include <cstring>
#include <vector>

namespace {

constexpr UInt32 kCommand = 0x7377746e;    // 'swtn'
constexpr ResType kKindTag = 0x6b696e64;   // 'kind'
constexpr ResType kColorTag = 0x73436c72;  // 'sClr'
constexpr FlavorType kColr = 0x636f6c72;   // 'colr'
const RGBColor kRed{0xFFFF, 0, 0};
const RGBColor kBlue{0, 0, 0xFFFF};

bool Same(const RGBColor& a, const RGBColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// The commands that reach the window.
OSStatus LogCommand(EventHandlerCallRef, EventRef event, void* data) {
  HICommand command{};
  GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr,
                    &command);
  static_cast<std::vector<UInt32>*>(data)->push_back(command.commandID);
  return noErr;
}

class PPXA_ColorSwatchTest : public PPXA_FixtureTest {
protected:
  void SetUp() override {
    PPXA_FixtureTest::SetUp();
    m_Drags = StandIn_DragLiveCount();
    m_Regions = StandIn_RegionLiveCount();
    PPXA::ColorSwatch::Register();
    PPXA::ColorSwatch::Register();  // once per process: a second call does nothing
    Rect bounds{100, 100, 200, 300};
    ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowCompositingAttribute, &bounds,
                                     &m_Window));
    m_View = NewSwatch(CGRectMake(10, 10, 30, 20), &m_Swatch);
    m_Other = NewSwatch(CGRectMake(60, 10, 30, 20), &m_OtherSwatch);
    const EventTypeSpec process = {kEventClassCommand, kEventCommandProcess};
    InstallWindowEventHandler(m_Window, LogCommand, 1, &process, &m_Commands, &m_Handler);
    StandIn_EventLogRecord(true);
    StandIn_EventLogClear();
  }
  void TearDown() override {
    StandIn_EventLogRecord(false);
    StandIn_ScriptClear();
    RemoveEventHandler(m_Handler);
    DisposeWindow(m_Window);
    EXPECT_EQ(0, StandIn_HIObjectLiveCount(CFSTR("com.nolt.PPXA.ColorSwatch")));
    EXPECT_EQ(m_Drags, StandIn_DragLiveCount());
    EXPECT_EQ(m_Regions, StandIn_RegionLiveCount());
    PPXA_FixtureTest::TearDown();
  }

  HIViewRef NewSwatch(const HIRect& frame, PPXA::ColorSwatch** swatch) {
    HIViewRef view = AddCustomView(m_Window, CFSTR("com.nolt.PPXA.ColorSwatch"), frame, swatch);
    SetControlCommandID(view, kCommand);
    return view;
  }

  HIViewRef Content() const { return ContentViewOf(m_Window); }

  // A pixel of the swatch, in its own coordinates, after a render.
  UInt32 Pixel(int x, int y) const {
    StandIn_WindowRender(m_Window);
    HIPoint point = CGPointMake(x, y);
    HIViewConvertPoint(&point, m_View, nullptr);
    return StandIn_WindowPixel(m_Window, int(point.x), int(point.y));
  }

  long Commands() const {
    return StandIn_EventLogCountOf(kEventClassCommand, kEventCommandProcess);
  }

  static void ScriptPick(const RGBColor& colour) {
    CMColor picked{};
    picked.rgb = CMRGBColor{colour.red, colour.green, colour.blue};
    StandIn_ScriptPickColor(picked);
  }

  // A drag with one item holding a 'colr' flavour of the given bytes.
  static DragRef NewColourDrag(const void* bytes, Size size) {
    DragRef drag = nullptr;
    NewDrag(&drag);
    AddDragItemFlavor(drag, 1, 0x54455854, "t", 1, 0);  // 'TEXT' first: the colour is searched
    AddDragItemFlavor(drag, 1, kColr, bytes, size, 0);
    return drag;
  }

  WindowRef m_Window = nullptr;
  HIViewRef m_View = nullptr;
  HIViewRef m_Other = nullptr;
  PPXA::ColorSwatch* m_Swatch = nullptr;
  PPXA::ColorSwatch* m_OtherSwatch = nullptr;
  EventHandlerRef m_Handler = nullptr;
  std::vector<UInt32> m_Commands;
  long m_Drags = 0;
  long m_Regions = 0;
};

TEST_F(PPXA_ColorSwatchTest, DrawsTheColourInTheWellOfABevelButton) {
  m_Swatch->SetSwatchColor(kBlue);
  EXPECT_EQ(0xFF0000FFu, Pixel(15, 10));  // the well, inset by 5
  EXPECT_EQ(0xFF0000FFu, Pixel(5, 5));    // the well's first pixel
  EXPECT_EQ(0xFFE0E0E0u, Pixel(4, 10));   // the bevel's face
  EXPECT_EQ(0xFF808080u, Pixel(0, 10));   // its frame
  EXPECT_EQ(0xFFE0E0E0u, Pixel(25, 15));  // the well ends 5 before the right and bottom
  EXPECT_EQ(0xFFFFFFFFu, Pixel(-1, 10));  // outside the swatch
  HiliteControl(m_View, 10);
  EXPECT_EQ(0xFFA0A0A0u, Pixel(3, 3));  // pressed
  EXPECT_EQ(0xFF0000FFu, Pixel(15, 10));
  HiliteControl(m_View, 0);
  EXPECT_EQ(kThemeSmallBevelButton, StandIn_LastThemeButton().kind);
}

TEST_F(PPXA_ColorSwatchTest, AnswersItsKindAndColourAsControlData) {
  m_Swatch->SetSwatchColor(kRed);
  struct Case {
    ResType tag;
    Size bufferSize;
    bool buffer;
    OSStatus status;
    Size reported;
  };
  const Case cases[] = {
      {kKindTag, 8, true, noErr, 8},  {kKindTag, 4, true, errDataSizeMismatch, 8},
      {kKindTag, 0, false, noErr, 8},  // a size query
      {kColorTag, 6, true, noErr, 6}, {kColorTag, 4, true, errDataSizeMismatch, 6},
      {kColorTag, 0, false, noErr, 6}};
  for (const Case& c : cases) {
    UInt8 buffer[8] = {};
    Size actual = -1;
    EXPECT_EQ(c.status,
              GetControlData(m_View, 0, c.tag, c.bufferSize, c.buffer ? buffer : nullptr, &actual));
    EXPECT_EQ(c.reported, actual);
  }
  ControlKind kind{};
  GetControlData(m_View, 0, kKindTag, sizeof kind, &kind, nullptr);
  EXPECT_EQ(0x63537768u, kind.signature);  // 'cSwh'
  EXPECT_EQ(0x63537768u, kind.kind);
  RGBColor colour{};
  GetControlData(m_View, 0, kColorTag, sizeof colour, &colour, nullptr);
  EXPECT_TRUE(Same(kRed, colour));
  EXPECT_EQ(errDataNotSupported, GetControlData(m_View, 0, 0x6f746872, 4, &colour, nullptr));

  // Setting the colour redraws it without announcing it; SetSwatchColor announces.
  StandIn_EventLogClear();
  const long redraws = StandIn_HIViewDisplayRequests(m_View);
  EXPECT_EQ(noErr, SetControlData(m_View, 0, kColorTag, sizeof kBlue, &kBlue));
  EXPECT_TRUE(Same(kBlue, m_Swatch->GetSwatchColor()));
  EXPECT_EQ(redraws + 1, StandIn_HIViewDisplayRequests(m_View));
  EXPECT_EQ(noErr, SetControlData(m_View, 0, kColorTag, 6, nullptr));
  EXPECT_EQ(errDataSizeMismatch, SetControlData(m_View, 0, kColorTag, 4, &kRed));
  EXPECT_TRUE(Same(kBlue, m_Swatch->GetSwatchColor()));
  EXPECT_EQ(0, Commands());
  m_Swatch->SetSwatchColor(kRed);
  EXPECT_EQ(1, Commands());
  EXPECT_EQ(2u, m_Commands.size());  // both SetSwatchColor calls reached the window
  EXPECT_EQ(kCommand, m_Commands.back());
}

TEST_F(PPXA_ColorSwatchTest, PartsRegionsAndSizes) {
  struct Case {
    ControlPartCode part;
    OSStatus status;
    Rect box;
  };
  const Case cases[] = {{10, noErr, {0, 0, 20, 30}},
                        {26, noErr, {5, 5, 15, 25}},  // the well as drawn
                        {-1, noErr, {0, 0, 20, 30}},
                        {-2, noErr, {0, 0, 20, 30}},
                        {7, errInvalidPartCode, {0, 0, 0, 0}}};
  RgnHandle region = NewRgn();
  for (const Case& c : cases) {
    SetRectRgn(region, 1, 1, 2, 2);
    EXPECT_EQ(c.status, GetControlRegion(m_View, c.part, region)) << c.part;
    Rect box;
    GetRegionBounds(region, &box);
    EXPECT_TRUE(EqualRect(&c.box, &box)) << c.part;
  }
  DisposeRgn(region);

  HIRect optimal = CGRectMake(1, 1, 1, 1);
  float baseline = 0;
  EXPECT_EQ(noErr, HIViewGetOptimalBounds(m_View, &optimal, &baseline));
  EXPECT_TRUE(CGRectEqualToRect(CGRectMake(0, 0, 30, 20), optimal));
  HISize minimum{0, 0};
  HISize maximum{0, 0};
  HIViewGetSizeConstraints(m_View, &minimum, &maximum);
  EXPECT_EQ(15, minimum.width);
  EXPECT_EQ(15, minimum.height);
  EXPECT_EQ(32767, maximum.width);  // left as it came
  EXPECT_EQ(32767, maximum.height);

  EXPECT_EQ(10, StandIn_ClickView(m_View, CGPointMake(29, 19), 0));
  EXPECT_EQ(0, StandIn_ClickView(m_View, CGPointMake(30, 5), 0));
  StandIn_ScriptClear();
}

TEST_F(PPXA_ColorSwatchTest, TakesTheFocusForItsPartOrByTabWhenEverythingIsFocused) {
  struct Case {
    bool everything;
    ControlPartCode asked;
    ControlPartCode kept;
  };
  const Case cases[] = {{false, 10, 10}, {false, 3, 0}, {false, -1, 0},
                        {true, 10, 10},  {true, 3, 0},  {true, -1, 10}};
  for (const Case& c : cases) {
    ClearKeyboardFocus(m_Window);
    StandIn_SetFullKeyboardAccess(c.everything);
    const OSStatus status = SetKeyboardFocus(m_Window, m_View, c.asked);
    EXPECT_EQ(c.kept != 0 ? OSStatus(noErr) : errCouldntSetFocus, status);
    EXPECT_EQ(c.kept, StandIn_KeyboardFocusPart(m_Window));
  }
  StandIn_SetFullKeyboardAccess(false);
  SetKeyboardFocus(m_Window, m_View, 10);
  EXPECT_EQ(0xFF7DA7D9u, Pixel(-1, 5));  // the bevel's focus ring just outside it
  ClearKeyboardFocus(m_Window);
}

TEST_F(PPXA_ColorSwatchTest, ClicksAndTheSpaceKeyOpenThePickerUnlessTheWellIsDragged) {
  struct Case {
    HIPoint where;
    bool moved;
    bool picker;
  };
  const Case cases[] = {{{2, 2}, true, true},      // the bevel never drags
                        {{15, 10}, false, true},   // the well released in place
                        {{15, 10}, true, false}};  // the well dragged
  for (const Case& c : cases) {
    StandIn_ScriptClear();
    const long pickers = StandIn_LastPicker().count;
    const long drags = StandIn_LastTrackedDrag().count;
    StandIn_ScriptMouseMoved(c.moved);
    StandIn_ScriptCancelPicker();
    StandIn_ClickView(m_View, c.where, 0);
    EXPECT_EQ(c.picker ? pickers + 1 : pickers, StandIn_LastPicker().count);
    EXPECT_EQ(c.picker ? drags : drags + 1, StandIn_LastTrackedDrag().count);
    EXPECT_EQ(0, GetControlHilite(m_View));
  }

  const long pickers = StandIn_LastPicker().count;
  StandIn_ScriptCancelPicker();
  EXPECT_EQ(noErr, StandIn_PressKey(m_View, ' ', 0));
  EXPECT_EQ(pickers + 1, StandIn_LastPicker().count);
  EXPECT_EQ(-1, StandIn_LastPicker().dialogOrigin.h);  // the default place
  EXPECT_EQ("", StandIn_LastPicker().prompt);
  EXPECT_EQ(eventNotHandledErr, StandIn_PressKey(m_View, 'x', 0));
  EXPECT_EQ(pickers + 1, StandIn_LastPicker().count);
  EXPECT_EQ(0, Commands());  // every picker was cancelled
}

TEST_F(PPXA_ColorSwatchTest, AnAcceptedPickerSendsOneCommandAndACancelledOneNothing) {
  m_Swatch->SetSwatchColor(kRed);
  StandIn_EventLogClear();
  m_Commands.clear();
  ScriptPick(kBlue);
  StandIn_ClickView(m_View, CGPointMake(2, 2), 0);
  EXPECT_TRUE(Same(kBlue, m_Swatch->GetSwatchColor()));
  EXPECT_EQ(1, Commands());
  EXPECT_EQ(std::vector<UInt32>{kCommand}, m_Commands);

  StandIn_ScriptCancelPicker();
  StandIn_ClickView(m_View, CGPointMake(2, 2), 0);
  EXPECT_TRUE(Same(kBlue, m_Swatch->GetSwatchColor()));
  EXPECT_EQ(1, Commands());
}

TEST_F(PPXA_ColorSwatchTest, AColourDraggedBetweenSwatchesLightsTheRingWhileOverIt) {
  m_Swatch->SetSwatchColor(kRed);
  m_OtherSwatch->SetSwatchColor(kBlue);
  StandIn_EventLogClear();
  m_Commands.clear();
  // While the drag is within the other swatch its ring shows (probed at its top left).
  static std::vector<UInt32> s_Ring;
  s_Ring.clear();
  static WindowRef s_Window;
  s_Window = m_Window;
  const EventTypeSpec within = {kEventClassControl, kEventControlDragWithin};
  EventHandlerRef probe = nullptr;
  InstallControlEventHandler(
      m_Other,
      [](EventHandlerCallRef, EventRef, void*) -> OSStatus {
        StandIn_WindowRender(s_Window);
        s_Ring.push_back(StandIn_WindowPixel(s_Window, 60 + 1, 22 + 10 + 1));
        return eventNotHandledErr;
      },
      1, &within, nullptr, &probe);

  StandIn_ScriptMouseMoved(true);
  StandIn_ScriptDrag({m_Other}, true);
  StandIn_ClickView(m_View, CGPointMake(15, 10), 0);

  const StandIn_TrackedDrag drag = StandIn_LastTrackedDrag();
  EXPECT_EQ(noErr, drag.result);
  ASSERT_EQ(1u, drag.flavors.size());
  EXPECT_EQ(1u, drag.flavors[0].item);
  EXPECT_EQ(kColr, drag.flavors[0].type);
  ASSERT_EQ(6u, drag.flavors[0].data.size());
  RGBColor carried{};
  std::memcpy(&carried, drag.flavors[0].data.data(), sizeof carried);
  EXPECT_TRUE(Same(kRed, carried));
  ASSERT_TRUE(drag.hasImage);
  EXPECT_EQ(10u, drag.imageWidth);
  EXPECT_EQ(10u, drag.imageHeight);
  EXPECT_EQ(-5.0, drag.imageOffset.x);
  EXPECT_EQ(-5.0, drag.imageOffset.y);
  EXPECT_EQ(kDragOpaqueTranslucency, drag.imageFlags);
  EXPECT_EQ(0xFFFF0000u, drag.ImagePixel(5, 5));  // the colour inside the black frame
  EXPECT_TRUE(drag.region.empty());

  EXPECT_TRUE(Same(kRed, m_OtherSwatch->GetSwatchColor()));
  EXPECT_TRUE(Same(kRed, m_Swatch->GetSwatchColor()));
  EXPECT_EQ(1, Commands());  // the receiving swatch's
  ASSERT_EQ(1u, s_Ring.size());
  EXPECT_EQ(0xFF7DA7D9u, s_Ring[0]);  // the focus colour
  StandIn_WindowRender(m_Window);
  EXPECT_EQ(0xFFE0E0E0u, StandIn_WindowPixel(m_Window, 60 + 1, 22 + 10 + 1));  // ring gone
  RemoveEventHandler(probe);
}

TEST_F(PPXA_ColorSwatchTest, AColourOfTheWrongSizeIsRefusedAndShowsNoRing) {
  m_Swatch->SetSwatchColor(kBlue);
  const UInt8 shortColour[4] = {0xFF, 0xFF, 0, 0};
  DragRef drag = NewColourDrag(shortColour, sizeof shortColour);
  Boolean accept = true;
  EXPECT_EQ(noErr, StandIn_SendControlDragEvent(m_View, kEventControlDragEnter, drag, &accept));
  EXPECT_FALSE(accept);
  EXPECT_EQ(0xFFE0E0E0u, Pixel(1, 1));  // the bevel's face, no ring
  EXPECT_EQ(dragNotAcceptedErr,
            StandIn_SendControlDragEvent(m_View, kEventControlDragReceive, drag, nullptr));
  EXPECT_TRUE(Same(kBlue, m_Swatch->GetSwatchColor()));
  EXPECT_EQ(1, Commands());  // SetSwatchColor's only
  DisposeDrag(drag);
}

TEST_F(PPXA_ColorSwatchTest, ADragAtAReusedAddressIsAskedAfresh) {
  // A drag without a colour is refused and leaves; a later drag at the same address (the same
  // DragRef here, now carrying a colour) must not get the old answer.
  DragRef drag = nullptr;
  NewDrag(&drag);
  AddDragItemFlavor(drag, 1, 0x54455854, "t", 1, 0);
  Boolean accept = true;
  StandIn_SendControlDragEvent(m_View, kEventControlDragEnter, drag, &accept);
  EXPECT_FALSE(accept);
  StandIn_SendControlDragEvent(m_View, kEventControlDragLeave, drag, nullptr);
  AddDragItemFlavor(drag, 2, kColr, &kRed, sizeof kRed, 0);
  StandIn_SendControlDragEvent(m_View, kEventControlDragEnter, drag, &accept);
  EXPECT_TRUE(accept);
  EXPECT_EQ(0xFF7DA7D9u, Pixel(1, 1));  // the ring while it is over the swatch
  EXPECT_EQ(noErr, StandIn_SendControlDragEvent(m_View, kEventControlDragReceive, drag, nullptr));
  EXPECT_TRUE(Same(kRed, m_Swatch->GetSwatchColor()));
  EXPECT_EQ(0xFFE0E0E0u, Pixel(1, 1));  // a receive clears the ring

  // The cache answers repeated questions about one drag alike, and a refusal leaves the colour.
  RGBColor colour = kBlue;
  EXPECT_TRUE(PPXA::ColorSwatch::GetColorFromDrag(drag, &colour));
  EXPECT_TRUE(Same(kRed, colour));
  StandIn_SendControlDragEvent(m_View, kEventControlDragLeave, drag, nullptr);  // forgets it
  DisposeDrag(drag);
  DragRef plain = nullptr;
  NewDrag(&plain);
  colour = kBlue;
  EXPECT_FALSE(PPXA::ColorSwatch::GetColorFromDrag(plain, &colour));
  EXPECT_FALSE(PPXA::ColorSwatch::GetColorFromDrag(plain, &colour));  // from the cache
  EXPECT_TRUE(Same(kBlue, colour));
  StandIn_SendControlDragEvent(m_View, kEventControlDragLeave, plain, nullptr);
  DisposeDrag(plain);
}

}  // namespace
