#include "PPXA/PPXA_ToggleButton.h"

#include "support/PPXA_Fixture.h"

#include <HIServices/Icons.h>
#include <TempFolder.h>
#include <TestPng.h>

#include <fstream>

namespace {

constexpr OSType kCreator = 0x74737420;  // 'tst '
constexpr OSType kOn = 0x6f6e2020;       // 'on  '
constexpr OSType kOnPressed = 0x6f6e7020;
constexpr OSType kOff = 0x6f666620;
constexpr OSType kOffPressed = 0x6f666670;
constexpr OSType kCommand = 0x74676c65;  // 'tgle'

// The four icons: solid 16 x 16 squares, one colour each (opaque 0xAARRGGBB).
struct IconColour {
  OSType type;
  UInt32 argb;
};
const IconColour kIconColours[] = {
    {kOn, 0xFFFF0000u}, {kOnPressed, 0xFF00FF00u}, {kOff, 0xFF0000FFu}, {kOffPressed, 0xFFFFFF00u}};

class PPXA_ToggleButtonTest : public PPXA_FixtureTest {
protected:
  void SetUp() override {
    PPXA_FixtureTest::SetUp();
    StandIn_ResetIcons();
    for (const IconColour& icon : kIconColours)
      RegisterIcon(icon.type, testpng::Solid(16, 16, icon.argb));

    PPXA::ToggleButton::Register();
    PPXA::ToggleButton::Register();  // once per process: a second call does nothing
    Rect bounds{100, 100, 200, 300};
    ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowCompositingAttribute, &bounds,
                                     &m_Window));
    m_View = AddCustomView(m_Window, CFSTR("com.nolt.PPXA.ToggleButton"),
                           CGRectMake(10, 10, 16, 16), &m_Button);
    ASSERT_NE(nullptr, m_View);
    ASSERT_NE(nullptr, m_Button);
  }
  void TearDown() override {
    DisposeWindow(m_Window);
    EXPECT_EQ(0, StandIn_HIObjectLiveCount(CFSTR("com.nolt.PPXA.ToggleButton")));
    EXPECT_EQ(0, StandIn_IconLiveReferenceCount());  // the icons went with the button
    PPXA_FixtureTest::TearDown();
    StandIn_ResetIcons();
  }

  void RegisterIcon(OSType type, const std::string& png) {
    const std::string path = m_Folder.Path() + "/" + std::to_string(type) + ".png";
    std::ofstream(path, std::ios::binary) << png;
    FSRef ref;
    FSSpec spec{};
    ASSERT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr));
    FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr);
    IconRef icon = nullptr;
    ASSERT_EQ(noErr, RegisterIconRefFromIconFile(kCreator, type, &spec, &icon));
    ReleaseIconRef(icon);  // the registration keeps it
  }

  HIViewRef Content() const { return ContentViewOf(m_Window); }

  // The pixel at the button's centre after a render.
  UInt32 CentrePixel() const {
    StandIn_WindowRender(m_Window);
    HIPoint centre = CGPointMake(8, 8);
    HIViewConvertPoint(&centre, m_View, nullptr);
    return StandIn_WindowPixel(m_Window, int(centre.x), int(centre.y));
  }

  TempFolder m_Folder{"ppxa_toggle"};
  WindowRef m_Window = nullptr;
  HIViewRef m_View = nullptr;
  PPXA::ToggleButton* m_Button = nullptr;
};

TEST_F(PPXA_ToggleButtonTest, TwoClicksReturnTheValueEachFollowedByTheCommand) {
  SetControlCommandID(m_View, kCommand);
  EXPECT_EQ(0, GetControl32BitMinimum(m_View));
  EXPECT_EQ(1, GetControl32BitMaximum(m_View));
  EXPECT_EQ(0, GetControl32BitValue(m_View));
  StandIn_EventLogRecord(true);
  StandIn_EventLogClear();
  EXPECT_EQ(10, StandIn_ClickView(m_View, CGPointMake(3, 3), 0));
  EXPECT_EQ(1, GetControl32BitValue(m_View));
  EXPECT_EQ(10, StandIn_ClickView(m_View, CGPointMake(15, 15), 0));
  EXPECT_EQ(0, GetControl32BitValue(m_View));
  EXPECT_EQ(2, StandIn_EventLogCountOf(kEventClassCommand, kEventCommandProcess));
  StandIn_EventLogRecord(false);
  // Outside the bounds nothing is hit.
  EXPECT_EQ(0, StandIn_ClickView(m_View, CGPointMake(16, 3), 0));
  EXPECT_EQ(0, GetControl32BitValue(m_View));
}

TEST_F(PPXA_ToggleButtonTest, DrawsTheIconOfItsValueAndPressedState) {
  EXPECT_EQ(0xFFFFFFFFu, CentrePixel());  // no icons yet: nothing drawn
  m_Button->SetGraphics(kCreator, kOn, kOnPressed, kOff, kOffPressed);
  struct Case {
    SInt32 value;
    ControlPartCode hilite;
    UInt32 expected;
  };
  const Case cases[] = {{1, 0, 0xFFFF0000u},
                        {1, 10, 0xFF00FF00u},
                        {0, 0, 0xFF0000FFu},
                        {0, 10, 0xFFFFFF00u},
                        {0, 11, 0xFF0000FFu}};  // another part is not the button held down
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value * 100 + c.hilite);
    SetControl32BitValue(m_View, c.value);
    HiliteControl(m_View, c.hilite);
    EXPECT_EQ(c.expected, CentrePixel());
  }
  // Disabled: the disabled transform, at half strength over the white window.
  HiliteControl(m_View, 0);
  DisableControl(m_View);
  const UInt32 dimmed = CentrePixel();
  EXPECT_EQ(kTransformDisabled, StandIn_LastIconPlot().transform);
  EXPECT_NEAR(0x7F, (dimmed >> 16) & 0xFF, 2);  // half of the blue icon's red over white
  EXPECT_EQ(0xFFu, dimmed & 0xFF);
  EnableControl(m_View);
  CentrePixel();
  EXPECT_EQ(kTransformNone, StandIn_LastIconPlot().transform);
}

TEST_F(PPXA_ToggleButtonTest, SettingTheGraphicsAgainReleasesTheFourIcons) {
  m_Button->SetGraphics(kCreator, kOn, kOnPressed, kOff, kOffPressed);
  EXPECT_EQ(4, StandIn_IconLiveReferenceCount());
  const long released = StandIn_IconReleaseCount();
  // A type without an icon leaves its holder empty.
  m_Button->SetGraphics(kCreator, kOff, kOffPressed, kOn, 0x6e6f6e65);
  EXPECT_EQ(released + 4, StandIn_IconReleaseCount());
  EXPECT_EQ(3, StandIn_IconLiveReferenceCount());
  HiliteControl(m_View, 10);
  EXPECT_EQ(0xFFFFFFFFu, CentrePixel());  // off pressed has no icon
}

TEST_F(PPXA_ToggleButtonTest, AnswersOnlyItsKindAndItsOneGeometry) {
  ControlKind kind{0, 0};
  Size size = 0;
  EXPECT_EQ(noErr, GetControlData(m_View, 0, kControlKindTag, sizeof kind, &kind, &size));
  EXPECT_EQ(0x546c6742u, kind.signature);
  EXPECT_EQ(0x546c6742u, kind.kind);
  EXPECT_EQ(8, size);
  char small[4] = {};
  EXPECT_EQ(errDataSizeMismatch, GetControlData(m_View, 0, kControlKindTag, 4, small, &size));
  EXPECT_EQ(8, size);
  EXPECT_EQ(noErr, GetControlDataSize(m_View, 0, kControlKindTag, &size));
  EXPECT_EQ(8, size);
  // Other tags are the system's: kept and answered by the standard handling.
  const SInt32 stored = 7;
  EXPECT_EQ(noErr, SetControlData(m_View, 0, 0x74657374, sizeof stored, &stored));
  SInt32 read = 0;
  EXPECT_EQ(noErr, GetControlData(m_View, 0, 0x74657374, sizeof read, &read, nullptr));
  EXPECT_EQ(7, read);

  HIRect optimal = CGRectMake(1, 1, 1, 1);
  HIViewGetOptimalBounds(m_View, &optimal, nullptr);
  EXPECT_TRUE(CGRectEqualToRect(CGRectMake(0, 0, 16, 16), optimal));
  HISize minimum{0, 0};
  HISize maximum{0, 0};
  HIViewGetSizeConstraints(m_View, &minimum, &maximum);
  EXPECT_EQ(16, minimum.width);
  EXPECT_EQ(16, minimum.height);
  EXPECT_EQ(32767, maximum.width);  // left as it came

  RgnHandle region = NewRgn();
  for (ControlPartCode part : {10, -1, -2}) {
    EXPECT_EQ(noErr, GetControlRegion(m_View, part, region));
    Rect box{0, 0, 0, 0};
    GetRegionBounds(region, &box);
    EXPECT_EQ(16, box.right);
    EXPECT_EQ(16, box.bottom);
  }
  EXPECT_EQ(-30588, GetControlRegion(m_View, 26, region));
  EXPECT_TRUE(EmptyRgn(region));
  DisposeRgn(region);
}

TEST_F(PPXA_ToggleButtonTest, TakesTheFocusByTabOnlyWhenEverythingIsFocused) {
  AdvanceKeyboardFocus(m_Window);
  ControlRef focused = nullptr;
  GetKeyboardFocus(m_Window, &focused);
  EXPECT_EQ(nullptr, focused);

  StandIn_SetFullKeyboardAccess(true);
  const long redraws = StandIn_HIViewDisplayRequests(m_View);
  AdvanceKeyboardFocus(m_Window);
  GetKeyboardFocus(m_Window, &focused);
  EXPECT_EQ(m_View, focused);
  EXPECT_EQ(10, StandIn_KeyboardFocusPart(m_Window));
  EXPECT_EQ(redraws + 1, StandIn_HIViewDisplayRequests(m_View));
  // Its only part: tabbing on leaves it and, with nothing else to focus, comes round to it.
  AdvanceKeyboardFocus(m_Window);
  GetKeyboardFocus(m_Window, &focused);
  EXPECT_EQ(m_View, focused);
  EXPECT_EQ(errCouldntSetFocus, SetKeyboardFocus(m_Window, m_View, 3));
  StandIn_SetFullKeyboardAccess(false);
}

}  // namespace
