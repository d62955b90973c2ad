// The sheet toolbar: its items and their commands, the identifiers it leaves to the system, and
// its buttons following the window's view and the update-status round.
#include "support/MKRX_SheetWindowFixture.h"

#include "MKRX/MKRX_SheetToolbar.h"
#include "MKRX/MKRX_SheetView.h"
#include "MKRX/MKRX_SheetWindow.h"

#include <Carbon/Carbon.h>
#include <CoreServices/Gestalt.h>
#include <HIToolbox/StandInScript.h>

#include <map>

namespace {

constexpr UInt32 kZoomIn = 0x5A496E5F;      // 'ZIn_'
constexpr UInt32 kZoomOut = 0x5A4F7574;     // 'ZOut'
constexpr UInt32 kTypeSafety = 0x54795366;  // 'TySf'
const std::string kPrefix = "com.nolt.krx.SheetToolbar.";

using MKRX_SheetToolbarTest = MKRX_SheetWindowFixture;

std::vector<std::string> Texts(CFArrayRef array) {
  std::vector<std::string> texts;
  for (CFIndex i = 0; i < CFArrayGetCount(array); ++i)
    texts.push_back(MKRX_Text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, i))));
  return texts;
}

// The toolbar's items by identifier.
std::map<std::string, HIToolbarItemRef> Items(MKRX_SheetToolbar& toolbar,
                                              std::vector<std::string>* order = nullptr) {
  CFArrayRef items = nullptr;
  EXPECT_EQ(noErr, HIToolbarCopyItems(toolbar.GetSysHIToolbar().GetHIToolbarRef(), &items));
  std::map<std::string, HIToolbarItemRef> byIdentifier;
  for (CFIndex i = 0; items && i < CFArrayGetCount(items); ++i) {
    auto item = static_cast<HIToolbarItemRef>(const_cast<void*>(CFArrayGetValueAtIndex(items, i)));
    CFStringRef identifier = nullptr;
    HIToolbarItemCopyIdentifier(item, &identifier);
    std::string const name = MKRX_Text(identifier).substr(kPrefix.size());
    if (identifier)
      CFRelease(identifier);
    byIdentifier[name] = item;  // the toolbar keeps it
    if (order)
      order->push_back(name);
  }
  if (items)
    CFRelease(items);
  return byIdentifier;
}

// The toolbar's answer to one of its delegate events.
OSStatus AskToolbar(MKRX_SheetToolbar& toolbar, UInt32 kind, CFMutableArrayRef array,
                    CFStringRef identifier, HIToolbarItemRef* made) {
  HIToolbarRef ref = toolbar.GetSysHIToolbar().GetHIToolbarRef();
  EventRef event = nullptr;
  CreateEvent(nullptr, kEventClassToolbar, kind, 0, 0, &event);
  SetEventParameter(event, kEventParamToolbar, typeHIToolbarRef, sizeof ref, &ref);
  if (array)
    SetEventParameter(event, kEventParamMutableArray, typeCFMutableArrayRef, sizeof array, &array);
  if (identifier)
    SetEventParameter(event, kEventParamToolbarItemIdentifier, typeCFStringRef, sizeof identifier,
                      &identifier);
  OSStatus const status = SendEventToEventTarget(event, HIObjectGetEventTarget(ref));
  if (made)
    GetEventParameter(event, kEventParamToolbarItem, typeHIToolbarItemRef, nullptr, sizeof *made,
                      nullptr, made);
  ReleaseEvent(event);
  return status;
}

TEST_F(MKRX_SheetToolbarTest, TheToolbarOffersItsItemsInOrderWithTheirCommands) {
  MKRX_SheetToolbar& toolbar = *OpenWindow()->GetToolbar();
  HIToolbarRef ref = toolbar.GetSysHIToolbar().GetHIToolbarRef();
  CFStringRef identifier = nullptr;
  HIToolbarCopyIdentifier(ref, &identifier);
  EXPECT_EQ("com.nolt.krx.SheetToolbar", MKRX_Text(identifier));
  CFRelease(identifier);
  HIToolbarDisplayMode mode = 0;
  HIToolbarDisplaySize size = 0;
  HIToolbarGetDisplayMode(ref, &mode);
  HIToolbarGetDisplaySize(ref, &size);
  EXPECT_EQ(kHIToolbarDisplayModeIconAndLabel, mode);
  EXPECT_EQ(kHIToolbarDisplaySizeSmall, size);

  // The separators are the system's own items.
  std::vector<std::string> order;
  std::map<std::string, HIToolbarItemRef> const items = Items(toolbar, &order);
  EXPECT_EQ((std::vector<std::string>{"JobBrowser", "OpenFiles", "AddFiles", "FitToWindow",
                                      "ZoomOut", "ZoomIn", "RotateLeft", "RotateRight",
                                      "ImpositionTabs", "MeasurementTabs", "ToolTabs"}),
            order);
  std::string const separator = "com.apple.hitoolbox.toolbar.separator";
  for (UInt32 kind : {1u, 2u}) {  // default, allowed
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    EXPECT_EQ(noErr, AskToolbar(toolbar, kind, array, nullptr, nullptr));
    std::vector<std::string> const names = Texts(array);
    CFRelease(array);
    if (kind == 1) {
      ASSERT_EQ(17u, names.size());
      EXPECT_EQ(kPrefix + "JobBrowser", names[0]);
      EXPECT_EQ(separator, names[1]);
      EXPECT_EQ(kPrefix + "ToolTabs", names[16]);
    } else {
      ASSERT_EQ(12u, names.size());
      EXPECT_EQ(separator, names[0]);
      EXPECT_EQ(kPrefix + "JobBrowser", names[1]);
    }
  }

  struct IconItem {
    const char* name;
    UInt32 command;
    const char* label;
  };
  const IconItem icons[] = {{"JobBrowser", 0x534A4272, "Job Browser"},
                            {"FitToWindow", 0x5A466974, "Zoom to Fit"},
                            {"ZoomIn", kZoomIn, "Zoom In"},
                            {"RotateRight", 0x526F7452, "Rotate Right"}};
  for (IconItem const& icon : icons) {
    HIToolbarItemRef item = items.at(icon.name);
    MenuCommand command = 0;
    HIToolbarItemGetCommandID(item, &command);
    EXPECT_EQ(icon.command, command) << icon.name;
    CFStringRef label = nullptr;
    HIToolbarItemCopyLabel(item, &label);
    EXPECT_EQ(icon.label, MKRX_Text(label)) << icon.name;
    CFRelease(label);
    OptionBits attributes = 0;
    HIToolbarItemGetAttributes(item, &attributes);
    EXPECT_EQ(kHIToolbarItemCantBeRemoved, attributes & kHIToolbarItemCantBeRemoved);
  }

  // The grouped items' buttons and segments carry the menus' commands.
  const UInt32 imposition[] = {0x53484564, 0x53456467, 0x42456467,
                               0x50456467, 0x504E756D, kTypeSafety};
  for (UInt32 i = 1; i <= 6; ++i) {
    UInt32 command = 0;
    GetControlCommandID(toolbar.GetImpositionItem()->GetBevelButtonView(i), &command);
    EXPECT_EQ(imposition[i - 1], command) << i;
  }
  EXPECT_EQ(nullptr, toolbar.GetImpositionItem()->GetBevelButtonView(7));
  HIViewRef tools = toolbar.GetToolsItem()->GetSegmentedView();
  ASSERT_EQ(4u, HISegmentedViewGetSegmentCount(tools));
  const UInt32 toolCommands[] = {0x50616E54, 0x4D657354, 0x5A6F6D54, 0x44656E54};
  for (UInt32 i = 1; i <= 4; ++i) {
    EXPECT_EQ(toolCommands[i - 1], HISegmentedViewGetSegmentCommand(tools, i));
    EXPECT_EQ(2u, HISegmentedViewGetSegmentBehavior(tools, i));
  }
  // The windows these open are not built yet.
  for (const char* name : {"JobBrowser", "OpenFiles", "AddFiles"})
    EXPECT_FALSE(HIToolbarItemIsEnabled(items.at(name))) << name;
  EXPECT_TRUE(HIToolbarItemIsEnabled(items.at("RotateLeft")));
  // The rulers and guides start shown.
  EXPECT_EQ(1, GetControl32BitValue(toolbar.GetMeasurementItem()->GetBevelButtonView(1)));
  EXPECT_EQ(1, GetControl32BitValue(toolbar.GetMeasurementItem()->GetBevelButtonView(2)));
}

TEST_F(MKRX_SheetToolbarTest, AnIdentifierItDoesNotKnowIsLeftToTheSystem) {
  MKRX_SheetToolbar& toolbar = *OpenWindow()->GetToolbar();
  for (CFStringRef identifier :
       {CFSTR("com.nolt.krx.SheetToolbar.Nothing"), CFSTR("com.nolt.krx.SheetToolbar.zoomin"),
        CFSTR("com.apple.hitoolbox.toolbar.separator"), CFSTR("")}) {
    HIToolbarItemRef made = nullptr;
    EXPECT_EQ(-9874, AskToolbar(toolbar, kEventToolbarCreateItemWithIdentifier, nullptr, identifier,
                                &made))
        << MKRX_Text(identifier);
    EXPECT_EQ(nullptr, made);
  }
  HIToolbarItemRef made = nullptr;
  EXPECT_EQ(noErr, AskToolbar(toolbar, kEventToolbarCreateItemWithIdentifier, nullptr,
                              CFSTR("com.nolt.krx.SheetToolbar.ZoomIn"), &made));
  ASSERT_NE(nullptr, made);
  CFRelease(made);
}

TEST_F(MKRX_SheetToolbarTest, TheZoomItemsFollowTheUpdateStatusRoundToTheLimits) {
  MKRX_SheetWindow* window = OpenWindow();
  std::map<std::string, HIToolbarItemRef> const items = Items(*window->GetToolbar());
  struct Case {
    IMPN_ZoomLevel level;
    bool in;
    bool out;
  };
  for (Case const& c :
       {Case{kIMPN_ZoomLevel8to1, false, true}, Case{kIMPN_ZoomLevel1to512, true, false},
        Case{kIMPN_ZoomLevel1to1, true, true}}) {
    window->GetSheetView()->SetZoomLevel(c.level, false);
    MenuItem(kZoomIn);  // the View menu's round
    EXPECT_EQ(c.in, HIToolbarItemIsEnabled(items.at("ZoomIn")) != 0) << c.level;
    EXPECT_EQ(c.out, HIToolbarItemIsEnabled(items.at("ZoomOut")) != 0) << c.level;
    EXPECT_TRUE(HIToolbarItemIsEnabled(items.at("FitToWindow")));
  }
}

TEST_F(MKRX_SheetToolbarTest, ChoosingTheDensitometerFromTheMenuSelectsTheFourthSegment) {
  MKRX_SheetWindow* window = OpenWindow();
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  ASSERT_EQ(noErr, GetIndMenuItemWithCommandID(nullptr, 0x44656E54, 1, &menu, &item));  // 'DenT'
  EXPECT_EQ(noErr, StandIn_ChooseMenuItem(menu, item));
  HIViewRef tools = window->GetToolbar()->GetToolsItem()->GetSegmentedView();
  for (UInt32 i = 1; i <= 4; ++i)
    EXPECT_EQ(i == 4 ? 1 : 0, HISegmentedViewGetSegmentValue(tools, i)) << i;
  // Modes without a segment change nothing.
  window->GetToolbar()->SetToolModeItem(kIMPN_ToolHorizontalGuide);
  EXPECT_EQ(1, HISegmentedViewGetSegmentValue(tools, 4));
}

TEST_F(MKRX_SheetToolbarTest, TheTypeSafetyButtonIsEnabledOnlyForSheetsWithTheEdges) {
  for (bool edges : {false, true}) {
    MKRX_SheetWindow* window = OpenWindow({"Job", 0, edges});
    HIViewRef button = window->GetToolbar()->GetImpositionItem()->GetBevelButtonView(6);
    EXPECT_EQ(edges, IsControlEnabled(button) != 0);
    EXPECT_TRUE(IsControlEnabled(window->GetToolbar()->GetImpositionItem()->GetBevelButtonView(2)));
  }
  // Commands without a button are ignored.
  MKRX_SheetWindow* window = OpenWindow();
  window->GetToolbar()->SetImpositionItem(0x53436C50, 1, false);  // 'SClP'
  window->GetToolbar()->SetViewItem(0x43476964, 0);               // 'CGid'
  EXPECT_EQ(
      1, GetControl32BitValue(window->GetToolbar()->GetMeasurementItem()->GetBevelButtonView(2)));
}

TEST_F(MKRX_SheetToolbarTest, OlderSystemsShowTheRegisteredIconsAndTheGroupsHelp) {
  for (const char* name :
       {"ShowHideRulers", "ShowHideGuides", "ShowHideEdgeInformation", "PressSheetEdge",
        "BleedEdges", "PageEdges", "PageNumbers", "TypeSafetyEdges"})
    m_Bundle->AddResource(std::string(name) + ".icns", "icns");
  StandIn_SetGestaltValue(0x73797376, 0x1039);  // 'sysv'
  MKRX_Application older;
  older.Initialize();
  MKRX_SheetWindow* window = OpenWindow();
  MKRX_SheetToolbar& toolbar = *window->GetToolbar();
  for (auto* item : {toolbar.GetImpositionItem(), toolbar.GetMeasurementItem()}) {
    ControlButtonContentInfo content{};
    GetBevelButtonContentInfo(item->GetBevelButtonView(1), &content);
    EXPECT_EQ(kControlContentIconRef, content.contentType);
  }
  EXPECT_EQ(kControlContentCGImageRef, HISegmentedViewGetSegmentImageContentType(
                                           toolbar.GetToolsItem()->GetSegmentedView(), 1));
  std::map<std::string, HIToolbarItemRef> const items = Items(toolbar);
  CFStringRef help = nullptr;
  CFStringRef extended = nullptr;
  HIToolbarItemCopyHelpText(items.at("ToolTabs"), &help, &extended);
  EXPECT_EQ("Tool", MKRX_Text(help));
  EXPECT_EQ("Chooses the pan, measure, zoom or densitometer tool.", MKRX_Text(extended));
  CFRelease(help);
  CFRelease(extended);
}

}  // namespace
