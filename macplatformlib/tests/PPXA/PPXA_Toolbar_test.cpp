// Toolbars, their item holders, and the custom items with a row of bevel buttons or segments.
#include "PPXA/PPXA_SysHIToolbar.h"
#include "PPXA/PPXA_Toolbar.h"
#include "PPXA/PPXA_ToolbarMultiBevelButtonItem.h"
#include "PPXA/PPXA_ToolbarSegmentedViewItem.h"

#include "support/PPXA_Fixture.h"

#include <PPx/PPxExceptions.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UInt32 kZoomIn = 0x7a6d496e;   // 'zmIn'
constexpr UInt32 kZoomOut = 0x7a6d4f74;  // 'zmOt'
constexpr UInt32 kFit = 0x66697420;      // 'fit '
constexpr UInt32 kSysv = 0x73797376;     // 'sysv'
constexpr UInt32 kWhite = 0xFFFFFFFF;
constexpr UInt32 kBevelFrame = 0xFF808080;
constexpr UInt32 kBevelFace = 0xFFE0E0E0;

std::string Text(CFStringRef text) {
  if (text == nullptr)
    return "(null)";
  char buffer[256] = {};
  CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8);
  return buffer;
}

// A CF reference the test owns.
template <class Ref>
struct Owned {
  explicit Owned(Ref r = nullptr) : ref(r) {}
  ~Owned() {
    if (ref)
      CFRelease(ref);
  }
  Owned(Owned const&) = delete;
  Owned& operator=(Owned const&) = delete;
  Ref ref;
};

// An opaque RGB image of one colour.
CGImageRef NewImage(std::size_t width, std::size_t height, UInt8 red) {
  std::vector<UInt8> pixels(width * height * 3, 0);
  for (std::size_t i = 0; i < pixels.size(); i += 3)
    pixels[i] = red;
  Owned<CGColorSpaceRef> rgb(CGColorSpaceCreateDeviceRGB());
  Owned<CGDataProviderRef> provider(
      CGDataProviderCreateWithData(nullptr, pixels.data(), pixels.size(), nullptr));
  return CGImageCreate(width, height, 8, 24, width * 3, rgb.ref, kCGImageAlphaNone, provider.ref,
                       nullptr, false, kCGRenderingIntentDefault);
}

ControlButtonContentInfo ImageContent(CGImageRef image) {
  ControlButtonContentInfo content{};
  content.contentType = kControlContentCGImageRef;
  content.u.imageRef = image;
  return content;
}

// An icon reference the icon services do not know: kept and drawn as nothing.
ControlButtonContentInfo IconContent() {
  static int token = 0;
  ControlButtonContentInfo content{};
  content.contentType = kControlContentIconRef;
  content.u.iconRef = reinterpret_cast<IconRef>(&token);
  return content;
}

ControlButtonContentInfo NoContent() {
  ControlButtonContentInfo content{};
  content.contentType = kControlContentTextOnly;
  return content;
}

// The application's side: a toolbar whose default items are made by a function per identifier.
class TestToolbar : public PPXA::Toolbar {
public:
  std::vector<std::string> identifiers;
  std::function<HIToolbarItemRef(std::string const&)> make;

protected:
  OSStatus DoToolbarGetDefaultIdentifiers(PPx::SysCarbonEvent&, HIToolbarRef,
                                          CFMutableArrayRef out) override {
    for (std::string const& identifier : identifiers) {
      Owned<CFStringRef> text(
          CFStringCreateWithCString(nullptr, identifier.c_str(), kCFStringEncodingUTF8));
      CFArrayAppendValue(out, text.ref);
    }
    return noErr;
  }
  OSStatus DoToolbarCreateItemWithIdentifier(PPx::SysCarbonEvent&, HIToolbarRef,
                                             CFStringRef identifier, const void*,
                                             HIToolbarItemRef& item) override {
    item = make ? make(Text(identifier)) : nullptr;
    return item ? noErr : eventNotHandledErr;
  }
};

class PPXA_ToolbarTest : public PPXA_FixtureTest {
protected:
  void SetUp() override {
    PPXA_FixtureTest::SetUp();
    const Rect bounds = {100, 100, 300, 500};
    ASSERT_EQ(noErr, CreateNewWindow(kDocumentWindowClass, kWindowCompositingAttribute, &bounds,
                                     &m_Window));
    m_Image.ref = NewImage(16, 16, 200);
  }
  void TearDown() override {
    m_Toolbar.reset();
    if (m_Window)
      DisposeWindow(m_Window);
    m_Image.Reset();
    StandIn_ResetGestalt();
    PPXA_FixtureTest::TearDown();
  }

  // Attaches a toolbar whose items are made by the function, and makes them.
  CFArrayRef MakeToolbar(std::vector<std::string> identifiers,
                         std::function<HIToolbarItemRef(std::string const&)> make) {
    m_Toolbar = std::make_unique<TestToolbar>();
    m_Toolbar->identifiers = std::move(identifiers);
    m_Toolbar->make = std::move(make);
    m_Toolbar->Initialize(CFSTR("com.example.toolbar"), kHIToolbarNoAttributes, m_Window);
    CFArrayRef items = nullptr;
    EXPECT_EQ(noErr, HIToolbarCopyItems(m_Toolbar->GetSysHIToolbar().GetHIToolbarRef(), &items));
    return items;
  }

  std::vector<PPXA::BevelButtonItem> ThreeButtons() {
    return {{kControlBehaviorToggles, ImageContent(m_Image.ref), kZoomIn, CFSTR("In"),
             CFSTR("Zooms in")},
            {kControlBehaviorToggles, IconContent(), kZoomOut, CFSTR("Out"), CFSTR("Zooms out")},
            {kControlBehaviorPushbutton, NoContent(), kFit, CFSTR("Fit"), CFSTR("Fits")}};
  }

  std::vector<PPXA::SegmentItem> ThreeSegments() {
    return {{ImageContent(m_Image.ref), kZoomIn, CFSTR("In"), CFSTR("Zooms in")},
            {IconContent(), kZoomOut, CFSTR("Out"), CFSTR("Zooms out")},
            {ImageContent(m_Image.ref), kFit, CFSTR("Fit"), CFSTR("Fits")}};
  }

  // A multi-bevel item made by a toolbar; the item object lives until its HIObject goes.
  PPXA::ToolbarMultiBevelButtonItem* MakeBevelItem(CFArrayRef* items) {
    auto* item = new PPXA::ToolbarMultiBevelButtonItem;
    *items = MakeToolbar({"com.example.bevels"}, [&](std::string const&) {
      EXPECT_EQ(noErr, item->Initialize(CFSTR("com.example.bevels"), ThreeButtons(), 0));
      item->InitEventHandlers(m_Window);
      return item->GetSysView();
    });
    return item;
  }

  PPXA::ToolbarSegmentedViewItem* MakeSegmentItem(CFArrayRef* items) {
    auto* item = new PPXA::ToolbarSegmentedViewItem;
    *items = MakeToolbar({"com.example.segments"}, [&](std::string const&) {
      EXPECT_EQ(noErr, item->Initialize(CFSTR("com.example.segments"), ThreeSegments(),
                                        kHISegmentBehaviorToggles, 0));
      item->InitEventHandlers(m_Window);
      return item->GetSysView();
    });
    return item;
  }

  // The item's view put into the window's content at (10, 5), as the toolbar shows it.
  HIViewRef ShowInWindow(HIToolbarItemRef item) {
    HIViewRef view = StandIn_HIToolbarItemView(item);
    EXPECT_EQ(noErr, HIViewAddSubview(HIViewGetRoot(m_Window), view));
    HIViewPlaceInSuperviewAt(view, 10, 30);  // below the title band
    return view;
  }

  std::string ShortHelp(HIToolbarItemRef item) {
    CFStringRef text = nullptr;
    HIToolbarItemCopyHelpText(item, &text, nullptr);
    Owned<CFStringRef> held(text);
    return Text(text);
  }

  struct OwnedImage : Owned<CGImageRef> {
    void Reset() {
      if (ref)
        CFRelease(ref);
      ref = nullptr;
    }
  };

  WindowRef m_Window = nullptr;
  std::unique_ptr<TestToolbar> m_Toolbar;
  OwnedImage m_Image;
};

HIToolbarItemRef ItemAt(CFArrayRef items, CFIndex index) {
  return static_cast<HIToolbarItemRef>(const_cast<void*>(CFArrayGetValueAtIndex(items, index)));
}

TEST_F(PPXA_ToolbarTest, ASecondToolbarIsALogicErrorAndKeepsTheFirst) {
  PPXA::SysHIToolbar holder;
  holder.MakeHIToolbar(CFSTR("com.example.one"), kHIToolbarIsConfigurable);
  HIToolbarRef first = holder.GetHIToolbarRef();
  ASSERT_NE(nullptr, first);
  try {
    holder.MakeHIToolbar(CFSTR("com.example.two"), 0);
    FAIL() << "no logic error";
  } catch (PPx::LogicError const& e) {
    EXPECT_STREQ("System HIToolbar already exists", e.what());
    EXPECT_EQ(0x6c6f6763, e.GetCode());  // 'logc'
  }
  EXPECT_EQ(first, holder.GetHIToolbarRef());
  CFStringRef identifier = nullptr;
  ASSERT_EQ(noErr, HIToolbarCopyIdentifier(first, &identifier));
  Owned<CFStringRef> held(identifier);
  EXPECT_EQ("com.example.one", Text(identifier));

  holder.SetDisplayMode(kHIToolbarDisplayModeLabelOnly);
  holder.SetDisplaySize(kHIToolbarDisplaySizeSmall);
  HIToolbarDisplayMode mode = 0;
  HIToolbarDisplaySize size = 0;
  HIToolbarGetDisplayMode(first, &mode);
  HIToolbarGetDisplaySize(first, &size);
  EXPECT_EQ(kHIToolbarDisplayModeLabelOnly, mode);
  EXPECT_EQ(kHIToolbarDisplaySizeSmall, size);
}

TEST_F(PPXA_ToolbarTest, HoldersNameTheFailingCall) {
  PPXA::SysHIToolbar toolbar;
  toolbar.MakeHIToolbar(CFSTR("com.example.toolbar"), 0);
  PPXA::SysHIToolbarItem item;
  item.MakeHIToolbarItem(CFSTR("com.example.item"), kHIToolbarItemNoAttributes);
  Owned<HIToolbarItemRef> madeItem(item.GetHIToolbarItemRef());
  struct Case {
    const char* call;
    std::function<void()> run;
  };
  PPXA::SysHIToolbar fresh;
  PPXA::SysHIToolbarItem other;
  const Case cases[] = {
      {"HIToolbarCreate", [&] { fresh.MakeHIToolbar(CFSTR("com.example.fresh"), 0); }},
      {"HIToolbarSetDisplayMode", [&] { toolbar.SetDisplayMode(1); }},
      {"HIToolbarSetDisplaySize", [&] { toolbar.SetDisplaySize(1); }},
      {"HIToolbarItemCreate", [&] { other.MakeHIToolbarItem(CFSTR("com.example.other"), 0); }},
      {"HIToolbarItemSetHelpText", [&] { item.SetHelpText(CFSTR("a"), CFSTR("b")); }},
      {"HIToolbarItemSetImage", [&] { item.SetImage(m_Image.ref); }},
      {"HIToolbarItemSetLabel", [&] { item.SetLabel(CFSTR("Label")); }},
      {"HIToolbarItemSetCommandID", [&] { item.SetCommandID(kZoomIn); }}};
  for (Case const& c : cases) {
    StandIn_FilesFailNext(c.call, -108);
    try {
      c.run();
      ADD_FAILURE() << c.call << " did not throw";
    } catch (PPx::OSError const& e) {
      EXPECT_EQ(std::string(c.call) + " failed", e.what());
      EXPECT_EQ(-108, e.GetStatus()) << c.call;
    }
    c.run();  // and works once the failure is gone
  }
  Owned<HIToolbarItemRef> otherItem(other.GetHIToolbarItemRef());

  HIToolbarItemRef ref = item.GetHIToolbarItemRef();
  CFStringRef label = nullptr;
  CFStringRef shortText = nullptr;
  CFStringRef longText = nullptr;
  CGImageRef image = nullptr;
  MenuCommand command = 0;
  HIToolbarItemCopyLabel(ref, &label);
  HIToolbarItemCopyHelpText(ref, &shortText, &longText);
  HIToolbarItemCopyImage(ref, &image);
  HIToolbarItemGetCommandID(ref, &command);
  Owned<CFStringRef> l(label), s(shortText), t(longText);
  Owned<CGImageRef> i(image);
  EXPECT_EQ("Label", Text(label));
  EXPECT_EQ("a", Text(shortText));
  EXPECT_EQ("b", Text(longText));
  EXPECT_EQ(m_Image.ref, image);
  EXPECT_EQ(kZoomIn, command);
}

TEST_F(PPXA_ToolbarTest, InitializeSetsTheToolbarOnTheWindowAndAsksTheApplication) {
  const long handlers = StandIn_EventHandlerLiveCount();
  Owned<CFArrayRef> items(MakeToolbar({"com.example.plain", "com.example.unknown"},
                                      [](std::string const& identifier) -> HIToolbarItemRef {
                                        if (identifier != "com.example.plain")
                                          return nullptr;
                                        PPXA::SysHIToolbarItem item(CFSTR("com.example.plain"), 0);
                                        item.SetLabel(CFSTR("Plain"));
                                        return item.GetHIToolbarItemRef();
                                      }));
  HIToolbarRef toolbar = m_Toolbar->GetSysHIToolbar().GetHIToolbarRef();
  HIToolbarRef onWindow = nullptr;
  GetWindowToolbar(m_Window, &onWindow);
  EXPECT_EQ(toolbar, onWindow);
  WindowAttributes attributes = 0;
  GetWindowAttributes(m_Window, &attributes);
  EXPECT_EQ(kWindowToolbarButtonAttribute, attributes & kWindowToolbarButtonAttribute);
  EXPECT_EQ(64u, kWindowToolbarButtonAttribute);
  EXPECT_TRUE(StandIn_AutomaticControlDragTracking(m_Window));
  ASSERT_EQ(1, CFArrayGetCount(items.ref));
  CFStringRef label = nullptr;
  HIToolbarItemCopyLabel(ItemAt(items.ref, 0), &label);
  Owned<CFStringRef> held(label);
  EXPECT_EQ("Plain", Text(label));
  EXPECT_STREQ("PPXA::Toolbar", m_Toolbar->ClassName());
  EXPECT_EQ(HIObjectGetEventTarget(toolbar), m_Toolbar->SysEventTarget());

  // Going, the toolbar tells its target and takes its four doers away.
  EXPECT_EQ(handlers + 5, StandIn_EventHandlerLiveCount());  // and the window's own
  StandIn_EventLogRecord(true);
  StandIn_EventLogClear();
  m_Toolbar.reset();
  EXPECT_EQ(1, StandIn_EventLogCountOf(0x50507820, 1));
  StandIn_EventLogRecord(false);
  EXPECT_EQ(handlers + 1, StandIn_EventHandlerLiveCount());
}

TEST_F(PPXA_ToolbarTest, TheBaseToolbarOffersNoItems) {
  PPXA::Toolbar toolbar;
  toolbar.Initialize(CFSTR("com.example.base"), 0, m_Window);
  CFArrayRef items = nullptr;
  ASSERT_EQ(noErr, HIToolbarCopyItems(toolbar.GetSysHIToolbar().GetHIToolbarRef(), &items));
  Owned<CFArrayRef> held(items);
  EXPECT_EQ(0, CFArrayGetCount(items));
  toolbar.SetItemCommandStatus(kZoomIn, false);  // nothing to change
}

TEST_F(PPXA_ToolbarTest, BevelButtonsStandTwentyTwoSquareInARowOnWhite) {
  CFArrayRef made = nullptr;
  PPXA::ToolbarMultiBevelButtonItem* item = MakeBevelItem(&made);
  Owned<CFArrayRef> items(made);
  ASSERT_EQ(1, CFArrayGetCount(items.ref));
  HIToolbarItemRef ref = ItemAt(items.ref, 0);
  EXPECT_EQ(item, PPXA::ToolbarCustomItem::FromItem(ref));
  HIViewRef view = StandIn_HIToolbarItemView(ref);
  ASSERT_NE(nullptr, view);
  EXPECT_STREQ("image", StandIn_HIViewKind(view));
  HIViewFeatures features = 0;
  HIViewGetFeatures(view, &features);
  EXPECT_TRUE(features & kHIViewAllowsSubviews);
  HIRect frame{};
  HIViewGetFrame(view, &frame);
  EXPECT_EQ(66, frame.size.width);  // sized by the item's constraints
  EXPECT_EQ(22, frame.size.height);
  EXPECT_EQ(3, StandIn_HIViewSubviewCount(view));

  // Buttons counted from 1.
  EXPECT_EQ(nullptr, item->GetBevelButtonView(0));
  EXPECT_EQ(nullptr, item->GetBevelButtonView(4));
  EXPECT_EQ(HIViewGetFirstSubview(view), item->GetBevelButtonView(1));
  const UInt32 commands[] = {kZoomIn, kZoomOut, kFit};
  for (UInt32 i = 1; i <= 3; ++i) {
    HIViewRef button = item->GetBevelButtonView(i);
    ASSERT_NE(nullptr, button);
    EXPECT_STREQ("bevel", StandIn_HIViewKind(button));
    HIViewGetFrame(button, &frame);
    EXPECT_EQ(22.0 * (i - 1), frame.origin.x);
    EXPECT_EQ(22, frame.size.width);
    EXPECT_EQ(22, frame.size.height);
    UInt32 command = 0;
    GetControlCommandID(button, &command);
    EXPECT_EQ(commands[i - 1], command);
  }
  ControlButtonContentInfo content{};
  GetBevelButtonContentInfo(item->GetBevelButtonView(2), &content);
  EXPECT_EQ(kControlContentIconRef, content.contentType);

  // The background is a white image the size of the row; the buttons draw over it.
  Owned<CGImageRef> background(HIImageViewCopyImage(view));
  ASSERT_NE(nullptr, background.ref);
  EXPECT_EQ(66u, CGImageGetWidth(background.ref));
  EXPECT_EQ(22u, CGImageGetHeight(background.ref));
  EXPECT_EQ(kWhite, StandIn_CGImagePixel(background.ref, 0, 0));
  EXPECT_EQ(kWhite, StandIn_CGImagePixel(background.ref, 65, 21));
  HIViewRef shown = ShowInWindow(ref);
  HIPoint origin{0, 0};
  HIViewConvertPoint(&origin, shown, nullptr);
  ASSERT_EQ(noErr, StandIn_WindowRender(m_Window));
  const int x = static_cast<int>(origin.x);
  const int y = static_cast<int>(origin.y);
  for (int b = 0; b < 3; ++b) {
    EXPECT_EQ(kBevelFrame, StandIn_WindowPixel(m_Window, x + 22 * b, y + 11)) << b;
    EXPECT_EQ(kBevelFace, StandIn_WindowPixel(m_Window, x + 22 * b + 2, y + 2)) << b;
  }
  EXPECT_EQ(0xFFC80000, StandIn_WindowPixel(m_Window, x + 11, y + 11));  // the image's red
  EXPECT_EQ(kWhite, StandIn_WindowPixel(m_Window, x + 66, y + 11));
  EXPECT_EQ(kWhite, StandIn_WindowPixel(m_Window, x + 11, y + 22));
  HIViewRemoveFromSuperview(shown);
}

OSStatus RecordCommand(EventHandlerCallRef, EventRef event, void* data) {
  HICommand command{};
  GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr,
                    &command);
  static_cast<std::vector<UInt32>*>(data)->push_back(command.commandID);
  return noErr;
}

TEST_F(PPXA_ToolbarTest, AClickedButtonTogglesAndSendsItsCommandToTheWindow) {
  CFArrayRef made = nullptr;
  PPXA::ToolbarMultiBevelButtonItem* item = MakeBevelItem(&made);
  Owned<CFArrayRef> items(made);
  std::vector<UInt32> received;
  const EventTypeSpec process = {kEventClassCommand, kEventCommandProcess};
  InstallEventHandler(GetWindowEventTarget(m_Window), RecordCommand, 1, &process, &received,
                      nullptr);
  HIViewRef button = item->GetBevelButtonView(1);
  EXPECT_EQ(m_Window, HIViewGetWindow(button));
  EXPECT_EQ(kControlButtonPart, StandIn_ClickView(button, HIPoint{5, 5}, 0));
  EXPECT_EQ(1, GetControl32BitValue(button));  // a toggle
  StandIn_ClickView(item->GetBevelButtonView(3), HIPoint{5, 5}, 0);
  EXPECT_EQ(0, GetControl32BitValue(item->GetBevelButtonView(3)));  // a push button
  EXPECT_EQ((std::vector<UInt32>{kZoomIn, kFit}), received);
}

TEST_F(PPXA_ToolbarTest, MenusCarryTheEntriesWithIconsOfImagesAndIconReferencesOnly) {
  struct Case {
    const char* kind;
    std::vector<UInt8> iconTypes;
  };
  const Case cases[] = {{"bevels", {kMenuCGImageRefType, kMenuIconRefType, kMenuNoIcon}},
                        {"segments", {kMenuCGImageRefType, kMenuNoIcon, kMenuCGImageRefType}}};
  for (Case const& c : cases) {
    CFArrayRef made = nullptr;
    if (std::string(c.kind) == "bevels")
      MakeBevelItem(&made);
    else
      MakeSegmentItem(&made);
    Owned<CFArrayRef> items(made);
    Owned<MenuRef> menu(HIToolbarItemCopyMenu(ItemAt(items.ref, 0)));
    ASSERT_NE(nullptr, menu.ref) << c.kind;
    ASSERT_EQ(3, CountMenuItems(menu.ref));
    const char* texts[] = {"In", "Out", "Fit"};
    const UInt32 commands[] = {kZoomIn, kZoomOut, kFit};
    for (MenuItemIndex i = 1; i <= 3; ++i) {
      CFStringRef text = nullptr;
      CopyMenuItemTextAsCFString(menu.ref, i, &text);
      Owned<CFStringRef> held(text);
      EXPECT_EQ(texts[i - 1], Text(text));
      MenuCommand command = 0;
      GetMenuItemCommandID(menu.ref, i, &command);
      EXPECT_EQ(commands[i - 1], command);
      UInt8 type = 99;
      Handle icon = nullptr;
      GetMenuItemIconHandle(menu.ref, i, &type, &icon);
      EXPECT_EQ(c.iconTypes[i - 1], type) << c.kind << " item " << i;
    }
    m_Toolbar.reset();
    DisposeWindow(m_Window);
    const Rect bounds = {100, 100, 300, 500};
    CreateNewWindow(kDocumentWindowClass, kWindowCompositingAttribute, &bounds, &m_Window);
  }
}

TEST_F(PPXA_ToolbarTest, SegmentsGetTheirContentCommandsAndTheBestSize) {
  CFArrayRef made = nullptr;
  PPXA::ToolbarSegmentedViewItem* item = MakeSegmentItem(&made);
  Owned<CFArrayRef> items(made);
  HIViewRef view = item->GetSegmentedView();
  ASSERT_EQ(view, StandIn_HIToolbarItemView(ItemAt(items.ref, 0)));
  ASSERT_EQ(3u, HISegmentedViewGetSegmentCount(view));
  const UInt32 commands[] = {kZoomIn, kZoomOut, kFit};
  const ControlContentType types[] = {kControlContentCGImageRef, kControlContentIconRef,
                                      kControlContentCGImageRef};
  for (UInt32 i = 1; i <= 3; ++i) {
    EXPECT_EQ(kHISegmentBehaviorToggles, HISegmentedViewGetSegmentBehavior(view, i));
    EXPECT_EQ(commands[i - 1], HISegmentedViewGetSegmentCommand(view, i));
    EXPECT_EQ(types[i - 1], HISegmentedViewGetSegmentImageContentType(view, i));
    Boolean automatic = false;
    EXPECT_EQ(16, HISegmentedViewGetSegmentContentWidth(view, i, &automatic));
    EXPECT_TRUE(automatic);
  }
  // The best rectangle: three segments of 16 + 16 by 24; the item's size follows it.
  HIRect frame{};
  HIViewGetFrame(view, &frame);
  EXPECT_EQ(96, frame.size.width);
  EXPECT_EQ(24, frame.size.height);
  Rect best{};
  GetBestControlRect(view, &best, nullptr);
  EXPECT_EQ(96, best.right - best.left);
  EXPECT_EQ(24, best.bottom - best.top);
}

TEST_F(PPXA_ToolbarTest, MenuMarksAndEnablingFollowTheEntries) {
  struct Case {
    const char* kind;
    CharParameter mark;
  };
  for (Case const c : {Case{"bevels", 18}, Case{"segments", 165}}) {
    CFArrayRef made = nullptr;
    const bool bevels = std::string(c.kind) == "bevels";
    PPXA::ToolbarMultiBevelButtonItem* bevel = nullptr;
    PPXA::ToolbarSegmentedViewItem* segments = nullptr;
    if (bevels)
      bevel = MakeBevelItem(&made);
    else
      segments = MakeSegmentItem(&made);
    Owned<CFArrayRef> items(made);
    HIToolbarItemRef ref = ItemAt(items.ref, 0);
    Owned<MenuRef> menu(HIToolbarItemCopyMenu(ref));
    // The second entry on, the third disabled.
    if (bevels) {
      SetControl32BitValue(bevel->GetBevelButtonView(2), 1);
      DisableControl(bevel->GetBevelButtonView(3));
    } else {
      HISegmentedViewSetSegmentValue(segments->GetSegmentedView(), 2, 1);
      HISegmentedViewSetSegmentEnabled(segments->GetSegmentedView(), 3, false);
    }
    SetItemMark(menu.ref, 1, 'x');  // a stale mark goes
    ASSERT_EQ(noErr, StandIn_HIToolbarItemOpenMenu(ref)) << c.kind;
    const CharParameter marks[] = {noMark, c.mark, noMark};
    const bool enabled[] = {true, true, false};
    for (MenuItemIndex i = 1; i <= 3; ++i) {
      CharParameter mark = 1;
      GetItemMark(menu.ref, i, &mark);
      EXPECT_EQ(marks[i - 1], mark) << c.kind << " item " << i;
      EXPECT_EQ(enabled[i - 1], IsMenuItemEnabled(menu.ref, i) != 0) << c.kind << " item " << i;
    }
    // A menu whose items no longer match the entries is left alone.
    DeleteMenuItems(menu.ref, 2, 1);
    EnableMenuItem(menu.ref, 2);
    EXPECT_EQ(eventNotHandledErr, StandIn_HIToolbarItemOpenMenu(ref));
    EXPECT_TRUE(IsMenuItemEnabled(menu.ref, 2));
    m_Toolbar.reset();
    DisposeWindow(m_Window);
    const Rect bounds = {100, 100, 300, 500};
    CreateNewWindow(kDocumentWindowClass, kWindowCompositingAttribute, &bounds, &m_Window);
  }
}

TEST_F(PPXA_ToolbarTest, HoverShowsTheHelpOfTheEntryUnderTheMouse) {
  CFArrayRef made = nullptr;
  MakeBevelItem(&made);
  Owned<CFArrayRef> items(made);
  HIToolbarItemRef ref = ItemAt(items.ref, 0);
  HIViewRef view = ShowInWindow(ref);
  struct Case {
    const char* what;
    HIPoint inView;
    const char* help;
  };
  const Case cases[] = {{"first column", {0, 0}, "In"},
                        {"middle", {30, 11}, "Out"},
                        {"last column", {65.5f, 21}, "Fit"},
                        {"right of it", {66, 11}, "(null)"},
                        {"above it", {11, -1}, "(null)"}};
  for (Case const& c : cases) {
    HIToolbarItemSetHelpText(ref, nullptr, nullptr);
    HIPoint where = c.inView;
    HIViewConvertPoint(&where, view, nullptr);
    EXPECT_EQ(eventNotHandledErr, StandIn_MoveMouse(m_Window, where)) << c.what;
    EXPECT_EQ(c.help, ShortHelp(ref)) << c.what;
  }
  CFStringRef longText = nullptr;
  HIPoint last = {65, 0};
  HIViewConvertPoint(&last, view, nullptr);
  StandIn_MoveMouse(m_Window, last);
  HIToolbarItemCopyHelpText(ref, nullptr, &longText);
  Owned<CFStringRef> held(longText);
  EXPECT_EQ("Fits", Text(longText));

  // A view narrower than its entries has no part under the mouse.
  HIToolbarItemSetHelpText(ref, nullptr, nullptr);
  HIRect narrow = CGRectMake(10, 5, 2, 22);
  HIViewSetFrame(view, &narrow);
  HIPoint inside = {1, 1};
  HIViewConvertPoint(&inside, view, nullptr);
  EXPECT_EQ(eventNotHandledErr, StandIn_MoveMouse(m_Window, inside));
  EXPECT_EQ("(null)", ShortHelp(ref));
  EXPECT_EQ(0, StandIn_HandlerExceptionCount());
  HIViewRemoveFromSuperview(view);
}

TEST_F(PPXA_ToolbarTest, HoverHelpNeedsMacOSXTenFour) {
  StandIn_SetGestaltValue(kSysv, 0x1039);
  const long handlers = StandIn_EventHandlerLiveCount();
  CFArrayRef made = nullptr;
  PPXA::ToolbarSegmentedViewItem* item = MakeSegmentItem(&made);
  Owned<CFArrayRef> items(made);
  HIToolbarItemRef ref = ItemAt(items.ref, 0);
  // The toolbar's doers, the window's close handler, the item's class handler, its size and menu
  // doers: no mouse-moved doer.
  EXPECT_EQ(handlers + 8, StandIn_EventHandlerLiveCount());
  HIViewRef view = ShowInWindow(ref);
  HIPoint where = {5, 5};
  HIViewConvertPoint(&where, view, nullptr);
  StandIn_MoveMouse(m_Window, where);
  EXPECT_EQ("(null)", ShortHelp(ref));

  // On 10.4 the segment under the mouse shows its help.
  item->InitEventHandlers(m_Window);
  StandIn_SetGestaltValue(kSysv, 0x1040);
  item->InitEventHandlers(m_Window);
  StandIn_MoveMouse(m_Window, where);
  EXPECT_EQ("In", ShortHelp(ref));
  HIViewRemoveFromSuperview(view);
}

TEST_F(PPXA_ToolbarTest, CommandStatusReachesItemsButtonsAndSegments) {
  auto* bevel = new PPXA::ToolbarMultiBevelButtonItem;
  auto* segments = new PPXA::ToolbarSegmentedViewItem;
  Owned<CFArrayRef> items(
      MakeToolbar({"com.example.plain", "com.example.bevels", "com.example.segments"},
                  [&](std::string const& identifier) -> HIToolbarItemRef {
                    if (identifier == "com.example.bevels") {
                      bevel->Initialize(CFSTR("com.example.bevels"), ThreeButtons(), 0);
                      return bevel->GetSysView();
                    }
                    if (identifier == "com.example.segments") {
                      segments->Initialize(CFSTR("com.example.segments"), ThreeSegments(),
                                           kHISegmentBehaviorRadio, 0);
                      return segments->GetSysView();
                    }
                    PPXA::SysHIToolbarItem item;
                    item.MakeHIToolbarItem(CFSTR("com.example.plain"), 0);
                    item.SetCommandID(kZoomIn);
                    return item.GetHIToolbarItemRef();
                  }));
  ASSERT_EQ(3, CFArrayGetCount(items.ref));
  HIToolbarItemRef plain = ItemAt(items.ref, 0);
  EXPECT_EQ(nullptr, PPXA::ToolbarCustomItem::FromItem(plain));
  HIViewRef view = segments->GetSegmentedView();
  for (bool enabled : {false, true}) {
    m_Toolbar->SetItemCommandStatus(kZoomIn, enabled);
    EXPECT_EQ(enabled, HIToolbarItemIsEnabled(plain) != 0);
    EXPECT_EQ(enabled, IsControlEnabled(bevel->GetBevelButtonView(1)) != 0);
    EXPECT_TRUE(IsControlEnabled(bevel->GetBevelButtonView(2)));
    EXPECT_EQ(enabled, HISegmentedViewIsSegmentEnabled(view, 1) != 0);
    EXPECT_TRUE(HISegmentedViewIsSegmentEnabled(view, 2));
  }
  m_Toolbar->SetItemCommandStatus(kFit, false);
  EXPECT_FALSE(IsControlEnabled(bevel->GetBevelButtonView(3)));
  EXPECT_FALSE(HISegmentedViewIsSegmentEnabled(view, 3));
  EXPECT_TRUE(HIToolbarItemIsEnabled(plain));
}

// A custom item that counts its own construction and destruction.
class CountingItem : public PPXA::ToolbarCustomItem {
public:
  explicit CountingItem(OSStatus construct) : m_Construct(construct) {}
  static int destroyed;

protected:
  OSStatus DoConstruct() override { return m_Construct; }
  OSStatus DoInitialize() override { return noErr; }
  OSStatus DoDestruct() override {
    ++destroyed;
    delete this;
    return noErr;
  }
  OSStatus DoCreateCustomView(ControlRef&) override { return eventNotHandledErr; }
  OSStatus DoGetMinMaxSize(CGSize&, CGSize&) override { return noErr; }

private:
  OSStatus m_Construct;
};
int CountingItem::destroyed = 0;

TEST_F(PPXA_ToolbarTest, AnItemIsMadeOnlyForAnObjectBeingConstructed) {
  CountingItem::destroyed = 0;
  CFStringRef classID = CFSTR("com.example.counting");
  // A failing construct makes nothing; the status comes back.
  auto failing = std::make_unique<CountingItem>(-50);
  EXPECT_EQ(-50, failing->Initialize(classID, classID, 0));
  EXPECT_EQ(nullptr, failing->GetSysView());
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(classID));

  // The class made outside an Initialize (as the toolbar would remake it): an error, no object.
  HIObjectRef object = reinterpret_cast<HIObjectRef>(1);
  EXPECT_EQ(paramErr, HIObjectCreate(classID, nullptr, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(classID));
  EXPECT_EQ(0, StandIn_HandlerExceptionCount());

  // A good one: the identifier and attributes reach the system item; it goes with its HIObject.
  auto* item = new CountingItem(noErr);
  ASSERT_EQ(noErr,
            item->Initialize(classID, CFSTR("com.example.counted"), kHIToolbarItemCantBeRemoved));
  HIToolbarItemRef ref = item->GetSysView();
  ASSERT_NE(nullptr, ref);
  EXPECT_EQ(item, PPXA::ToolbarCustomItem::FromItem(ref));
  CFStringRef identifier = nullptr;
  HIToolbarItemCopyIdentifier(ref, &identifier);
  Owned<CFStringRef> held(identifier);
  EXPECT_EQ("com.example.counted", Text(identifier));
  OptionBits attributes = 0;
  HIToolbarItemGetAttributes(ref, &attributes);
  EXPECT_EQ(kHIToolbarItemCantBeRemoved, attributes);
  EXPECT_EQ(1, StandIn_HIObjectLiveCount(classID));
  CFRelease(ref);
  EXPECT_EQ(1, CountingItem::destroyed);
  EXPECT_EQ(0, StandIn_HIObjectLiveCount(classID));
}

}  // namespace
