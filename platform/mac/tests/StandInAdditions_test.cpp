#include "StandInToolboxTest.h"

#include <ColorSync/ColorSync.h>
#include <CoreServices/StandInCalls.h>
#include <Help/AppleHelp.h>

#include <cairo.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::u16string UnitsOf(CFStringRef text) {
  return text ? text->Units() : u"<null>";
}

class StandInScreenTest : public StandInToolboxTest {
protected:
  void TearDown() override {
    StandIn_SetMainScreen(StandIn_Screen{});
    StandInToolboxTest::TearDown();
  }
};

TEST_F(StandInScreenTest, OneScreenModelAnswersEveryCall) {
  StandIn_SetMainScreen(StandIn_Screen{1280, 800, 24});
  const Rect device = (*GetMainDevice())->gdRect;
  EXPECT_EQ((std::vector<short>{0, 0, 800, 1280}),
            (std::vector<short>{device.top, device.left, device.bottom, device.right}));
  SInt16 menuBar = 0;
  ASSERT_EQ(noErr, GetThemeMenuBarHeight(&menuBar));
  EXPECT_EQ(24, menuBar);
  struct Case {
    CGRect rect;
    CGDisplayCount found;
  };
  const Case cases[] = {{CGRectMake(100, 100, 50, 50), 1},
                        {CGRectMake(1270, 790, 50, 50), 1},  // overlaps a corner
                        {CGRectMake(1280, 0, 50, 50), 0},    // just beside
                        {CGRectMake(-60, -60, 50, 50), 0},
                        {CGRectMake(10, 10, 0, 5), 0}};
  for (const Case& c : cases) {
    CGDirectDisplayID displays[32] = {};
    CGDisplayCount count = 99;
    ASSERT_EQ(kCGErrorSuccess, CGGetDisplaysWithRect(c.rect, 32, displays, &count));
    EXPECT_EQ(c.found, count);
    if (count == 1) {
      EXPECT_EQ(CGMainDisplayID(), displays[0]);
    }
  }
  const CGRect bounds = CGDisplayBounds(CGMainDisplayID());
  EXPECT_EQ(1280, bounds.size.width);
}

TEST_F(StandInToolboxTest, FormattedStringsTakeObjectsNumbersAndUtf8) {
  struct Case {
    CFStringRef made;
    std::u16string expected;
  };
  const Case cases[] = {
      {CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%d of %ld files"), 3, 10L),
       u"3 of 10 files"},
      {CFStringCreateWithFormat(nullptr, nullptr, CFSTR("[%@]"), CFSTR("x")), u"[x]"},
      {CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%s!"), "\xF0\x9F\x98\x80"),
       u"\U0001F600!"},
      {CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%5.2f|%-3d|%x|%%"), 3.14159, 7, 255),
       u" 3.14|7  |ff|%"},
      {CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%lld %u %C"), -5LL, 9u, 0x263A),
       u"-5 9 \u263A"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, UnitsOf(c.made));
    if (c.made)
      CFRelease(c.made);
  }
}

// A subclass whose instance data is a fixed marker.
OSStatus PlainSubclass(EventHandlerCallRef, EventRef event, void*) {
  static int marker = 0;
  void* instance = &marker;
  if (GetEventKind(event) == kEventHIObjectConstruct)
    SetEventParameter(event, kEventParamHIObjectInstance, typeVoidPtr, sizeof instance, &instance);
  return noErr;
}

// Class ids outside the basic plane come back whole (a pair is one character, not two).
TEST_F(StandInToolboxTest, ClassIdsKeepTheirSurrogatePairs) {
  CFStringRef id =
      CFStringCreateWithCString(nullptr, "com.example.\xF0\x9F\x98\x80", kCFStringEncodingUTF8);
  ASSERT_EQ(2u + 12u, id->Units().size());
  HIObjectClassRef cls = nullptr;
  const EventTypeSpec events[] = {{kEventClassHIObject, kEventHIObjectConstruct},
                                  {kEventClassHIObject, kEventHIObjectDestruct}};
  ASSERT_EQ(noErr,
            HIObjectRegisterSubclass(id, nullptr, 0, PlainSubclass, 2, events, nullptr, &cls));
  EventRef init = nullptr;
  CreateEvent(nullptr, kEventClassHIObject, kEventHIObjectInitialize, 0, 0, &init);
  HIObjectRef object = nullptr;
  ASSERT_EQ(noErr, HIObjectCreate(id, init, &object));
  ReleaseEvent(init);
  CFStringRef copied = HIObjectCopyClassID(object);
  EXPECT_EQ(id->Units(), UnitsOf(copied));
  EXPECT_EQ(1, StandIn_HIObjectLiveCount(id));
  CFRelease(copied);
  CFRelease(object);
  EXPECT_EQ(noErr, HIObjectUnregisterClass(cls));
  CFRelease(id);
}

// Every manager's hooks are names in one scheme; nothing is counted while records are off.
TEST_F(StandInToolboxTest, OneFailureInjectionServesEveryManager) {
  StandIn_FailNext("CFArrayCreate", -1);
  StandIn_FailNext("NewRgn", memFullErr, 2);
  StandIn_CFStringFailNextCreations(1);
  StandIn_ColorSyncFailNext(StandIn_NCWNewColorWorld, cmParameterError);
  EXPECT_EQ(nullptr, CFArrayCreate(nullptr, nullptr, 0, &kCFTypeArrayCallBacks));
  EXPECT_EQ(nullptr, NewRgn());
  EXPECT_EQ(nullptr, NewRgn());
  EXPECT_EQ(nullptr, CFStringCreateWithCString(nullptr, "a", kCFStringEncodingASCII));
  CMWorldRef world = nullptr;
  EXPECT_EQ(cmParameterError, NCWNewColorWorld(&world, nullptr, nullptr));
  EXPECT_EQ(3, StandIn_CallCount("NewRgn") + StandIn_CFCallCount("CFArrayCreate"));

  StandIn_RecordCalls(false);
  RgnHandle region = NewRgn();
  ASSERT_NE(nullptr, region);
  DisposeRgn(region);
  StandIn_RecordCalls(true);
  EXPECT_EQ(2, StandIn_CallCount("NewRgn"));
}

TEST_F(StandInNibTest, ViewsListBackwardsAndResizableWindowsHaveAGrowBox) {
  Rect bounds{100, 50, 300, 250};
  WindowRef window = nullptr;
  ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowStandardDocumentAttributes, &bounds,
                                   &window));
  HIViewRef root = HIViewGetRoot(window);
  HIViewRef grow = nullptr;
  ASSERT_EQ(noErr, HIViewFindByID(root, kHIViewWindowGrowBoxID, &grow));
  HIRect frame{};
  HIViewGetFrame(grow, &frame);
  EXPECT_EQ(185, frame.origin.x);
  EXPECT_EQ(grow, HIViewGetLastSubview(root));
  HIViewRef content = HIViewGetPreviousView(grow);
  EXPECT_EQ(content, HIViewGetFirstSubview(root));
  EXPECT_EQ(nullptr, HIViewGetPreviousView(content));
  EXPECT_EQ(nullptr, HIViewGetLastSubview(content));
  Rect port{};
  ASSERT_EQ(noErr, GetWindowBounds(window, kWindowGlobalPortRgn, &port));
  EXPECT_EQ(100, port.top);
  DisposeWindow(window);

  // Help books are registered by their bundle; a missing one is not.
  StandIn_HelpReset();
  FSRef bundle;
  ASSERT_EQ(noErr, FSPathMakeRef(reinterpret_cast<const UInt8*>((m_Root / "App.app").c_str()),
                                 &bundle, nullptr));
  EXPECT_EQ(noErr, AHRegisterHelpBook(&bundle));
  EXPECT_EQ(noErr, AHRegisterHelpBook(&bundle));
  EXPECT_EQ(1u, StandIn_RegisteredHelpBooks().size());
  EXPECT_EQ(paramErr, AHRegisterHelpBook(nullptr));
}

TEST_F(StandInNibTest, CursorsComeFromTheThemeAndTheBundle) {
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 12);
  cairo_surface_write_to_png(image, (m_Resources / "crsr_2001.png").c_str());
  cairo_surface_destroy(image);
  const long live = StandIn_ResourceCursorCount();

  EXPECT_EQ(noErr, SetThemeCursor(kThemeOpenHandCursor));
  EXPECT_TRUE(StandIn_CurrentCursor().theme);
  EXPECT_EQ(kThemeOpenHandCursor, StandIn_CurrentCursor().themeCursor);
  CCrsrHandle zoom = GetCCursor(2001);
  ASSERT_NE(nullptr, zoom);
  SetCCursor(zoom);
  const StandIn_CursorRecord shown = StandIn_CurrentCursor();
  EXPECT_FALSE(shown.theme);
  EXPECT_EQ(2001, shown.resourceID);
  EXPECT_EQ(16u, shown.width);
  EXPECT_EQ(nullptr, GetCCursor(2002));  // not in the bundle
  EXPECT_EQ(nullptr, GetCursor(2021));
  DisposeCCursor(zoom);
  EXPECT_EQ(live, StandIn_ResourceCursorCount());
}

TEST_F(StandInToolboxTest, PlainDescriptorsGiveTheirBytes) {
  const UInt32 value = 0x01020304;
  AEDesc plain;
  ASSERT_EQ(noErr, AECreateDesc(typeType, &value, sizeof value, &plain));
  EXPECT_EQ(4, AEGetDescDataSize(&plain));
  UInt32 read = 0;
  EXPECT_EQ(noErr, AEGetDescData(&plain, &read, sizeof read));
  EXPECT_EQ(value, read);
  UInt8 first[2] = {};
  UInt8 expected[2] = {};
  std::memcpy(expected, &value, 2);
  EXPECT_EQ(noErr, AEGetDescData(&plain, first, 2));  // at most the room given
  EXPECT_EQ(0, std::memcmp(expected, first, 2));
  EXPECT_EQ(paramErr, AEGetDescData(&plain, nullptr, 4));

  AEDesc list;
  ASSERT_EQ(noErr, AECreateList(nullptr, 0, false, &list));
  ASSERT_EQ(noErr, AEPutPtr(&list, 0, typeType, &value, sizeof value));
  EXPECT_EQ(0, AEGetDescDataSize(&list));
  EXPECT_EQ(errAEWrongDataType, AEGetDescData(&list, &read, sizeof read));

  AEDesc none = {typeNull, nullptr};
  EXPECT_EQ(0, AEGetDescDataSize(&none));
  EXPECT_EQ(noErr, AEGetDescData(&none, &read, sizeof read));
  AEDisposeDesc(&plain);
  AEDisposeDesc(&list);
}

TEST(StandInFontNamesTest, PostScriptNamesFindTheirFont) {
  ATSFontRef font = ATSFontFindFromName(CFSTR("Lucida Grande"), 0);
  ASSERT_NE(0u, font);
  CFStringRef name = nullptr;
  ASSERT_EQ(noErr, ATSFontGetPostScriptName(font, 0, &name));
  EXPECT_EQ(u"LucidaGrande", UnitsOf(name));
  EXPECT_EQ(font, ATSFontFindFromName(name, 0));
  CFRelease(name);
  EXPECT_EQ(kATSInvalidFontAccess, ATSFontGetPostScriptName(0, 0, &name));
}

}  // namespace
