// The sheet window: its menu status, its commands, its title, the slides of rulers and status
// bar, its binding to the palettes, and its closing.
#include "support/MKRX_SheetWindowFixture.h"

#include "MKRX/MKRX_MeasurementWindow.h"
#include "MKRX/MKRX_NavigationWindow.h"
#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/MKRX_SeparationWindow.h"
#include "MKRX/MKRX_SheetToolbar.h"
#include "MKRX/MKRX_SheetView.h"
#include "MKRX/MKRX_SheetWindow.h"
#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/iMKRX_PlaceholderLog.h"
#include "PPXA/PPXA_Window.h"

#include <Carbon/Carbon.h>
#include <HIToolbox/StandInScript.h>
#include <QD/QuickDraw.h>

#include <functional>

namespace {

constexpr UInt32 kZoom81 = 0x5A303831;       // 'Z081'
constexpr UInt32 kZoom11 = 0x5A313031;       // 'Z101'
constexpr UInt32 kZoom1512 = 0x5A353132;     // 'Z512'
constexpr UInt32 kZoomIn = 0x5A496E5F;       // 'ZIn_'
constexpr UInt32 kZoomOut = 0x5A4F7574;      // 'ZOut'
constexpr UInt32 kZoomToFit = 0x5A466974;    // 'ZFit'
constexpr UInt32 kPan = 0x50616E54;          // 'PanT'
constexpr UInt32 kMeasure = 0x4D657354;      // 'MesT'
constexpr UInt32 kZoomTool = 0x5A6F6D54;     // 'ZomT'
constexpr UInt32 kDensity = 0x44656E54;      // 'DenT'
constexpr UInt32 kRotateLeft = 0x526F744C;   // 'RotL'
constexpr UInt32 kRotateRight = 0x526F7452;  // 'RotR'
constexpr UInt32 kFlip = 0x466C5067;         // 'FlPg'
constexpr UInt32 kPlates = 0x4275504C;       // 'BuPL'
constexpr UInt32 kPages = 0x42755067;        // 'BuPg'
constexpr UInt32 kOpacityDown = 0x41446563;  // 'ADec'
constexpr UInt32 kOpacityUp = 0x41496E63;    // 'AInc'
constexpr UInt32 kSheetEdge = 0x53456467;    // 'SEdg'
constexpr UInt32 kBleed = 0x42456467;        // 'BEdg'
constexpr UInt32 kTypeSafety = 0x54795366;   // 'TySf'
constexpr UInt32 kClipPaths = 0x53436C50;    // 'SClP'
constexpr UInt32 kPageEdges = 0x50456467;    // 'PEdg'
constexpr UInt32 kPageNumbers = 0x504E756D;  // 'PNum'
constexpr UInt32 kEdgeInfo = 0x53484564;     // 'SHEd'
constexpr UInt32 kGuides = 0x56476964;       // 'VGid'
constexpr UInt32 kClearGuides = 0x43476964;  // 'CGid'
constexpr UInt32 kRulers = 0x56526C72;       // 'VRlr'
constexpr UInt32 kStatusBar = 0x56534272;    // 'VSBr'
constexpr UInt32 kToolbar = 0x56544272;      // 'VTBr'
constexpr UInt32 kAddFiles = 0x41646446;     // 'AddF'
constexpr UInt32 kVersions = 0x53685649;     // 'ShVI'
constexpr UInt32 kCloseWindow = 0x436C7357;  // 'ClsW'
constexpr UInt32 kWindowNav = 0x574E6176;    // 'WNav'
constexpr UInt32 kWindowSep = 0x57536570;    // 'WSep'
constexpr UInt32 kWindowMes = 0x574D6573;    // 'WMes'

constexpr CharParameter kBullet = 0xA5;
constexpr CharParameter kCheck = 0x12;

const std::string kDot = " \xE2\x80\xA2 ";

using MKRX_SheetWindowTest = MKRX_SheetWindowFixture;

// The recorded calls on the palettes and the sheet panel, in order.
std::vector<std::string> PaletteCalls() {
  std::vector<std::string> calls;
  for (std::string const& call : iMKRX_PlaceholderLog::Calls())
    if (call.rfind("MKRX_NavigationWindow", 0) == 0 ||
        call.rfind("MKRX_SeparationWindow", 0) == 0 || call.rfind("MKRX_SheetPanel", 0) == 0)
      calls.push_back(call);
  return calls;
}

CGRect Frame(HIViewRef view) {
  HIRect frame = CGRectMake(0, 0, 0, 0);
  HIViewGetFrame(view, &frame);
  return frame;
}

// The views around the sheet view, by id.
struct Views {
  explicit Views(WindowRef window) {
    auto find = [&](UInt32 id) { return PPXA::FindWindowViewByID(window, {id, 0}); };
    scroll = find(0x5363726C);      // 'Scrl'
    status = find(0x53747356);      // 'StsV'
    horizontal = find(0x48526C72);  // 'HRlr'
    vertical = find(0x56526C72);    // 'VRlr'
    origin = find(0x43526C72);      // 'CRlr'
    bottom = find(0x42526C72);      // 'BRlr'
    right = find(0x52526C72);       // 'RRlr'
    HIRect bounds = CGRectMake(0, 0, 0, 0);
    HIViewGetBounds(HIViewGetSuperview(scroll), &bounds);
    content = bounds.size;
  }
  HIViewRef scroll, status, horizontal, vertical, origin, bottom, right;
  CGSize content;
};

TEST_F(MKRX_SheetWindowTest, TheWindowOpensTitledAtItsStandardSizeWithItsToolbarAndViews) {
  MKRX_SheetWindow* window = OpenWindow({"Title", 2});
  WindowRef ref = window->GetSysWindow();
  EXPECT_EQ("Title" + kDot + "Signature 1" + kDot + "Sheet 2" + kDot + "Front", Title(ref));
  EXPECT_TRUE(IsWindowVisible(ref));
  EXPECT_TRUE(window->IsToolbarVisible());
  EXPECT_EQ(window, MKRX_SheetWindow::GetObject(ref));
  EXPECT_EQ(nullptr, MKRX_SheetWindow::GetObject(nullptr));
  // Zoomed out to the screen available.
  Rect available;
  GetAvailableWindowPositioningBounds(GetMainDevice(), &available);
  Rect structure;
  GetWindowBounds(ref, kWindowStructureRgn, &structure);
  EXPECT_EQ(available.top, structure.top);
  EXPECT_EQ(available.bottom, structure.bottom);
  // The views fill the content: rulers 20, status bar 16, placards 15.
  Views const views(ref);
  EXPECT_TRUE(CGRectEqualToRect(
      CGRectMake(20, 20, views.content.width - 20, views.content.height - 16 - 20),
      Frame(views.scroll)));
  EXPECT_TRUE(CGRectEqualToRect(
      CGRectMake(0, views.content.height - 16, views.content.width - 15, 16), Frame(views.status)));
  // The rulers, corner and status bar are opaque and bound to the sheet view.
  HIViewFeatures features = 0;
  HIViewGetFeatures(views.status, &features);
  EXPECT_EQ(0x02000000u, features & 0x02000000u);
  EXPECT_EQ(1, iMKRX_PlaceholderLog::Count("MKRX_StatusView::SetView"));
  EXPECT_EQ(2, iMKRX_PlaceholderLog::Count("MKRX_RulerView::SetView"));
  EXPECT_EQ(1, iMKRX_PlaceholderLog::Count("MKRX_OriginView::SetView"));
  EXPECT_EQ(1, iMKRX_PlaceholderLog::Count("MKRX_SheetView::InitEventHandlers"));
  // Activated: the palettes show this window's view and panel.
  EXPECT_EQ(window->GetSheetView(), MKRX_PaletteManager::GetNavigationWindow()->GetView());
  EXPECT_EQ(window->GetSheetPanel(), MKRX_PaletteManager::GetSeparationWindow()->GetPanel());
  EXPECT_EQ(window->GetSheetView(), window->GetSheetPanel()->GetView());
}

TEST_F(MKRX_SheetWindowTest, TheStatusOfEveryViewCommandFollowsTheView) {
  MKRX_SheetWindow* window = OpenWindow({"Job", 0, true, false});
  MKRX_SheetView& view = *window->GetSheetView();
  struct Case {
    const char* state;
    std::function<void()> set;
    UInt32 command;
    bool enabled;
    CharParameter mark;
  };
  const Case cases[] = {
      {"zoom 0", [&] { view.SetZoomLevel(kIMPN_ZoomLevel8to1, false); }, kZoomIn, false, 0},
      {"zoom 0", nullptr, kZoomOut, true, 0},
      {"zoom 0", nullptr, kZoom81, true, kBullet},
      {"zoom 0", nullptr, kZoom11, true, 0},
      {"zoom 12", [&] { view.SetZoomLevel(kIMPN_ZoomLevel1to512, false); }, kZoomOut, false, 0},
      {"zoom 12", nullptr, kZoomIn, true, 0},
      {"zoom 12", nullptr, kZoom1512, true, kBullet},
      {"zoom 12", nullptr, kZoomToFit, true, 0},
      {"opacity 0", [&] { view.SetSheetOpacity(0); }, kOpacityDown, false, 0},
      {"opacity 0", nullptr, kOpacityUp, true, 0},
      {"opacity 100", [&] { view.SetSheetOpacity(100); }, kOpacityUp, false, 0},
      {"opacity 100", nullptr, kOpacityDown, true, 0},
      {"measure tool", [&] { view.SetToolMode(kIMPN_ToolMeasure); }, kMeasure, true, kBullet},
      {"measure tool", nullptr, kPan, true, 0},
      {"pages", [&] { view.SetBackupAlignment(kIMPN_AlignPages); }, kPages, true, kBullet},
      {"pages", nullptr, kPlates, true, 0},
      {"bleed on", [&] { view.ShowBleedEdges() = true; }, kBleed, true, kCheck},
      {"bleed on", nullptr, kSheetEdge, true, 0},
      {"type safety", [&] { view.ShowTypeSafetyEdges() = true; }, kTypeSafety, true, kCheck},
      {"no clip paths", nullptr, kClipPaths, false, 0},
      {"no guides", nullptr, kClearGuides, false, 0},
      {"a guide", [&] { view.AddHorizontalGuideLine(10); }, kClearGuides, true, 0},
      {"always", nullptr, kFlip, true, 0},
      {"always", nullptr, kRotateLeft, true, 0},
      {"always", nullptr, kCloseWindow, true, 0},
      // Their dialogs are not built yet.
      {"not yet", nullptr, kAddFiles, false, 0},
      {"not yet", nullptr, kVersions, false, 0},
  };
  for (Case const& c : cases) {
    if (c.set)
      c.set();
    MKRX_MenuItemState const item = MenuItem(c.command);
    EXPECT_EQ(c.enabled, item.enabled) << c.state << " " << c.command;
    EXPECT_EQ(c.mark, item.mark) << c.state << " " << c.command;
  }
  // A sheet without type-safety edges disables its command.
  OpenWindow({"Other", 2});
  EXPECT_FALSE(MenuItem(kTypeSafety).enabled);
}

TEST_F(MKRX_SheetWindowTest, ToggledItemsNameWhatTheyWillDo) {
  MKRX_SheetWindow* window = OpenWindow();
  WindowRef ref = window->GetSysWindow();
  struct Case {
    UInt32 command;
    const char* shown;
    const char* hidden;
  };
  const Case cases[] = {
      {kGuides, "Hide Guide Lines", "Show Guide Lines"},
      {kToolbar, "Hide Tool Palette", "Show Tool Palette"},
      {kWindowMes, "Show Measurement Palette", "Hide Measurement Palette"},
      {kRulers, "Hide Rulers", "Show Rulers"},
      {kStatusBar, "Hide Status Bar", "Show Status Bar"},
  };
  for (Case const& c : cases) {
    EXPECT_EQ(c.shown, MenuItem(c.command).text) << c.command;
    EXPECT_EQ(noErr, SendCommand(ref, c.command));
    Tick(5);
    EXPECT_EQ(c.hidden, MenuItem(c.command).text) << c.command;
    EXPECT_TRUE(MenuItem(c.command).enabled);
  }
  // The imposition item says what it will do with all edge information.
  std::string const before = MenuItem(kEdgeInfo).text;
  SendCommand(ref, kEdgeInfo);
  EXPECT_NE(before, MenuItem(kEdgeInfo).text);
  SendCommand(ref, kEdgeInfo);
  EXPECT_EQ(before, MenuItem(kEdgeInfo).text);
}

TEST_F(MKRX_SheetWindowTest, EachViewCommandChangesTheView) {
  MKRX_SheetWindow* window = OpenWindow({"Job", 0, true, true});
  WindowRef ref = window->GetSysWindow();
  MKRX_SheetView& view = *window->GetSheetView();
  MKRX_SheetToolbar& toolbar = *window->GetToolbar();
  auto button = [&](PPXA::ToolbarMultiBevelButtonItem* item, UInt32 index) {
    return GetControl32BitValue(item->GetBevelButtonView(index));
  };
  auto segment = [&](UInt32 index) {
    return HISegmentedViewGetSegmentValue(toolbar.GetToolsItem()->GetSegmentedView(), index);
  };
  struct Case {
    UInt32 command;
    std::function<bool()> done;
  };
  view.SetZoomLevel(kIMPN_ZoomLevel1to4, false);
  // The preferences may show the edges on opening; the toggles below start from none.
  view.HideEdgeInfo();
  window->UpdateToolbarStatus();
  const Case cases[] = {
      {kZoom81, [&] { return view.GetZoomLevel() == kIMPN_ZoomLevel8to1; }},
      {kZoomOut, [&] { return view.GetZoomLevel() == kIMPN_ZoomLevel4to1; }},
      {kZoomIn, [&] { return view.GetZoomLevel() == kIMPN_ZoomLevel8to1; }},
      {kZoom1512, [&] { return view.GetZoomLevel() == kIMPN_ZoomLevel1to512; }},
      {kMeasure,
       [&] {
         return view.GetToolMode() == kIMPN_ToolMeasure && segment(2) == 1 && segment(1) == 0 &&
                MKRX_PaletteManager::MeasurementPaletteVisible();
       }},
      {kZoomTool, [&] { return view.GetToolMode() == kIMPN_ToolZoom && segment(3) == 1; }},
      {kDensity, [&] { return view.GetToolMode() == kIMPN_ToolDensitometer && segment(4) == 1; }},
      {kPan,
       [&] {
         // Another tool leaves the measurement palette shown.
         return view.GetToolMode() == kIMPN_ToolPan && segment(1) == 1 && segment(4) == 0 &&
                MKRX_PaletteManager::MeasurementPaletteVisible();
       }},
      {kRotateRight, [&] { return view.GetRotation() == 90; }},
      {kRotateLeft, [&] { return view.GetRotation() == 0; }},
      {kPlates, [&] { return view.GetBackupAlignment() == kIMPN_AlignPlates; }},
      {kOpacityDown, [&] { return view.GetSheetOpacity() == 99; }},
      {kOpacityUp, [&] { return view.GetSheetOpacity() == 100; }},
      {kSheetEdge,
       [&] { return view.ShowPressSheetEdge() && button(toolbar.GetImpositionItem(), 2) == 1; }},
      {kBleed,
       [&] { return view.ShowBleedEdges() && button(toolbar.GetImpositionItem(), 3) == 1; }},
      {kPageEdges,
       [&] { return view.ShowPageEdges() && button(toolbar.GetImpositionItem(), 4) == 1; }},
      {kPageNumbers,
       [&] { return view.ShowPageNumbers() && button(toolbar.GetImpositionItem(), 5) == 1; }},
      {kTypeSafety,
       [&] {
         return view.ShowTypeSafetyEdges() && button(toolbar.GetImpositionItem(), 6) == 1 &&
                IsControlEnabled(toolbar.GetImpositionItem()->GetBevelButtonView(6));
       }},
      {kClipPaths, [&] { return view.ShowSourceClipPaths(); }},
      {kEdgeInfo,
       [&] {
         return !view.AnyEdgeInfoVisible() && button(toolbar.GetImpositionItem(), 2) == 0 &&
                button(toolbar.GetImpositionItem(), 3) == 0;
       }},
      {kGuides,
       [&] { return !view.ShowGuideLines() && button(toolbar.GetMeasurementItem(), 2) == 0; }},
      {kToolbar, [&] { return !window->IsToolbarVisible(); }},
      {kToolbar, [&] { return window->IsToolbarVisible(); }},
      {kWindowNav, [&] { return !MKRX_PaletteManager::NavigationPaletteVisible(); }},
      {kWindowNav, [&] { return MKRX_PaletteManager::NavigationPaletteVisible(); }},
      {kWindowSep, [&] { return !MKRX_PaletteManager::SeparationPaletteVisible(); }},
      {kWindowMes, [&] { return !MKRX_PaletteManager::MeasurementPaletteVisible(); }},
  };
  for (Case const& c : cases) {
    EXPECT_EQ(noErr, SendCommand(ref, c.command)) << c.command;
    EXPECT_TRUE(c.done()) << c.command;
  }
  // The densitometer puts the separations palette into its information mode; the others out.
  EXPECT_EQ(1, iMKRX_PlaceholderLog::Count("MKRX_SeparationWindow::SetInfoModeEnabled on"));
  EXPECT_EQ(3, iMKRX_PlaceholderLog::Count("MKRX_SeparationWindow::SetInfoModeEnabled off"));

  view.AddHorizontalGuideLine(12);
  SendCommand(ref, kClearGuides);
  EXPECT_FALSE(view.AnyGuideLinesPresent());
}

TEST_F(MKRX_SheetWindowTest, CommandsOfOthersGoOnToTheApplication) {
  WindowRef ref = OpenWindow()->GetSysWindow();
  constexpr UInt32 kUnknown = 0x78787878;  // 'xxxx'
  EXPECT_EQ(eventNotHandledErr, SendCommand(ref, kUnknown));
  EXPECT_EQ(eventNotHandledErr, SendUpdateStatus(ref, kUnknown));
  EXPECT_EQ(noErr, SendUpdateStatus(ref, kZoomIn));
}

TEST_F(MKRX_SheetWindowTest, FlippingTheSheetNamesTheOtherSurface) {
  WindowRef ref = OpenWindow({"Flip", 0})->GetSysWindow();
  EXPECT_EQ("Flip" + kDot + "Signature 1" + kDot + "Sheet 1" + kDot + "Front", Title(ref));
  SendCommand(ref, kFlip);
  EXPECT_EQ("Flip" + kDot + "Signature 1" + kDot + "Sheet 1" + kDot + "Back", Title(ref));
  SendCommand(ref, kFlip);
  EXPECT_EQ("Flip" + kDot + "Signature 1" + kDot + "Sheet 1" + kDot + "Front", Title(ref));
}

TEST_F(MKRX_SheetWindowTest, TheRulersSlideOutInFiveTicksAndBackInFive) {
  MKRX_SheetWindow* window = OpenWindow();
  WindowRef ref = window->GetSysWindow();
  Views const views(ref);
  CGRect const shown = Frame(views.scroll);
  long const timers = StandIn_TimerLiveCount();
  SendCommand(ref, kRulers);
  EXPECT_EQ(
      0, GetControl32BitValue(window->GetToolbar()->GetMeasurementItem()->GetBevelButtonView(1)));
  EXPECT_EQ(timers + 1, StandIn_TimerLiveCount());
  for (int tick = 1; tick <= 5; ++tick) {
    Tick();
    CGFloat const offset = -4 * tick;
    EXPECT_EQ(20 + offset, Frame(views.scroll).origin.x) << tick;
    EXPECT_EQ(shown.size.width - offset, Frame(views.scroll).size.width) << tick;
    EXPECT_EQ(offset, Frame(views.origin).origin.y) << tick;
    EXPECT_EQ(offset, Frame(views.horizontal).origin.y) << tick;
    EXPECT_EQ(offset, Frame(views.right).origin.y) << tick;
    EXPECT_EQ(offset, Frame(views.vertical).origin.x) << tick;
    EXPECT_EQ(offset, Frame(views.bottom).origin.x) << tick;
    EXPECT_EQ(tick < 5, window->RulersShown()) << tick;
  }
  EXPECT_EQ(timers, StandIn_TimerLiveCount());
  SendCommand(ref, kRulers);
  Tick(5);
  EXPECT_TRUE(window->RulersShown());
  EXPECT_TRUE(CGRectEqualToRect(shown, Frame(views.scroll)));
  EXPECT_EQ(
      1, GetControl32BitValue(window->GetToolbar()->GetMeasurementItem()->GetBevelButtonView(1)));
}

TEST_F(MKRX_SheetWindowTest, TheStatusBarSlidesDownInFourTicks) {
  MKRX_SheetWindow* window = OpenWindow();
  WindowRef ref = window->GetSysWindow();
  Views const views(ref);
  CGRect const scroll = Frame(views.scroll);
  CGRect const ruler = Frame(views.vertical);
  SendCommand(ref, kStatusBar);
  for (int tick = 1; tick <= 4; ++tick) {
    Tick();
    EXPECT_EQ(views.content.height - 16 + 4 * tick, Frame(views.status).origin.y) << tick;
    EXPECT_EQ(scroll.size.height + 4 * tick, Frame(views.scroll).size.height) << tick;
    EXPECT_EQ(ruler.size.height + 4 * tick, Frame(views.vertical).size.height) << tick;
    EXPECT_EQ(tick < 4, window->StatusBarShown()) << tick;
  }
  SendCommand(ref, kStatusBar);
  Tick(4);
  EXPECT_TRUE(window->StatusBarShown());
  EXPECT_TRUE(CGRectEqualToRect(scroll, Frame(views.scroll)));
}

// Rulers first, the status bar two ticks later: the rulers end while the bar still moves, and
// the bar goes on to its end on the same timer.
TEST_F(MKRX_SheetWindowTest, BothSlidesShareOneTimerToTheEndOfTheLonger) {
  MKRX_SheetWindow* window = OpenWindow();
  WindowRef ref = window->GetSysWindow();
  Views const views(ref);
  CGRect const scroll = Frame(views.scroll);
  long const timers = StandIn_TimerLiveCount();
  SendCommand(ref, kRulers);
  Tick(2);
  SendCommand(ref, kStatusBar);
  EXPECT_EQ(timers + 1, StandIn_TimerLiveCount());
  Tick(3);
  EXPECT_FALSE(window->RulersShown());
  EXPECT_TRUE(window->StatusBarShown());  // three of its four ticks
  EXPECT_EQ(timers + 1, StandIn_TimerLiveCount());
  Tick();
  EXPECT_FALSE(window->StatusBarShown());
  EXPECT_EQ(timers, StandIn_TimerLiveCount());
  EXPECT_TRUE(CGRectEqualToRect(
      CGRectMake(0, 0, scroll.size.width + 20, scroll.size.height + 20 + 16), Frame(views.scroll)));
  EXPECT_EQ(views.content.height, Frame(views.status).origin.y);
}

TEST_F(MKRX_SheetWindowTest, ARepeatWhileASlideRunsIsIgnored) {
  MKRX_SheetWindow* window = OpenWindow();
  WindowRef ref = window->GetSysWindow();
  Views const views(ref);
  CGRect const scroll = Frame(views.scroll);
  SendCommand(ref, kRulers);
  SendCommand(ref, kStatusBar);
  Tick(2);
  SendCommand(ref, kRulers);
  SendCommand(ref, kStatusBar);
  Tick(3);
  EXPECT_FALSE(window->RulersShown());
  EXPECT_FALSE(window->StatusBarShown());
  EXPECT_EQ(
      0, GetControl32BitValue(window->GetToolbar()->GetMeasurementItem()->GetBevelButtonView(1)));
  CGRect const hidden = CGRectMake(0, 0, scroll.size.width + 20, scroll.size.height + 20 + 16);
  EXPECT_TRUE(CGRectEqualToRect(hidden, Frame(views.scroll)));
  Tick(3);  // nothing more moves
  EXPECT_TRUE(CGRectEqualToRect(hidden, Frame(views.scroll)));
  // And back, to exactly where they began.
  SendCommand(ref, kRulers);
  SendCommand(ref, kStatusBar);
  Tick(5);
  EXPECT_TRUE(CGRectEqualToRect(scroll, Frame(views.scroll)));
}

TEST_F(MKRX_SheetWindowTest, ResettingTheSheetUnbindsThePalettesFirst) {
  MKRX_SheetWindow* window = OpenWindow({"First", 0});
  IMPN_Sheet* other = MakeSheet({"Second", 0});
  iMKRX_PlaceholderLog::Clear();
  window->ResetSheet(other);
  EXPECT_EQ(
      (std::vector<std::string>{"MKRX_SeparationWindow::RemovePanel", "MKRX_SheetPanel::SetView",
                                "MKRX_SeparationWindow::SwitchToPanel"}),
      PaletteCalls());
  EXPECT_EQ(other, window->GetSheet());
  MKRX_NavigationWindow* navigation = MKRX_PaletteManager::GetNavigationWindow();
  EXPECT_EQ(window->GetSheetView(), navigation->GetView());
  // The palette shows the new sheet, bound once each way.
  EXPECT_EQ(other, navigation->GetNavigationView().GetSheet());
  EXPECT_EQ(1u, navigation->GetNavigationView().Dispatchers().size());
  EXPECT_EQ(1u, window->GetSheetView()->Dispatchers().size());
  // The title stays.
  EXPECT_EQ("First" + kDot + "Signature 1" + kDot + "Sheet 1" + kDot + "Front",
            Title(window->GetSysWindow()));
}

TEST_F(MKRX_SheetWindowTest, ThePalettesFollowTheActiveWindow) {
  MKRX_SheetWindow* first = OpenWindow({"First", 0});
  MKRX_SheetWindow* second = OpenWindow({"Second", 0});
  EXPECT_EQ(second->GetSheetView(), MKRX_PaletteManager::GetNavigationWindow()->GetView());
  SelectWindow(first->GetSysWindow());
  EXPECT_EQ(first->GetSheetView(), MKRX_PaletteManager::GetNavigationWindow()->GetView());
  EXPECT_EQ(first->GetSheetPanel(), MKRX_PaletteManager::GetSeparationWindow()->GetPanel());
  // Closing the active one lets the palettes go of it; they keep showing until the last closes.
  SendCommand(first->GetSysWindow(), kCloseWindow);
  StandIn_RunUntilIdle();
  EXPECT_EQ(second->GetSheetView(), MKRX_PaletteManager::GetNavigationWindow()->GetView());
  EXPECT_FALSE(MKRX_PaletteManager::PalettesConcealed());
}

TEST_F(MKRX_SheetWindowTest, TheOpaquePartOfTheScrollViewIsTheSheetView) {
  MKRX_SheetWindow* window = OpenWindow();
  HIViewRef scroll = PPXA::FindWindowViewByID(window->GetSysWindow(), {0x5363726C, 0});
  RgnHandle region = NewRgn();
  ASSERT_EQ(noErr, GetControlRegion(scroll, -3, region));
  Rect bounds;
  GetRegionBounds(region, &bounds);
  CGRect const frame = window->GetSheetView()->GetFrame();
  EXPECT_EQ(frame.size.width, bounds.right - bounds.left);
  EXPECT_EQ(frame.size.height, bounds.bottom - bounds.top);
  DisposeRgn(region);
}

}  // namespace
