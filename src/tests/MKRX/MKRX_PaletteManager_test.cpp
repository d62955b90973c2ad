// The palette manager: concealing and revealing with the sheet windows and dialogs, arranging,
// saving the palettes' places at quit, and placing them from stored rectangles of any kind; and
// the sheet-window manager's cases that go through the sheet window's commands.
#include "support/MKRX_SheetWindowFixture.h"

#include "MKRX/MKRX_MeasurementWindow.h"
#include "MKRX/MKRX_NavigationWindow.h"
#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/MKRX_Preferences.h"
#include "MKRX/MKRX_SeparationWindow.h"
#include "MKRX/MKRX_SheetWindow.h"
#include "MKRX/MKRX_SheetWindowManager.h"
#include "MKRX/iMKRX_PalettePlacement.h"

#include <Carbon/Carbon.h>
#include <CoreFoundation/CFPreferences.h>
#include <CoreFoundation/CFPropertyList.h>
#include <HIToolbox/StandInScript.h>
#include <QD/QuickDraw.h>

#include <fstream>
#include <iterator>

namespace {

constexpr UInt32 kCloseAll = 0x436C7341;          // 'ClsA'
constexpr UInt32 kCascade = 0x43736364;           // 'Cscd'
constexpr UInt32 kTileHorizontally = 0x54486F72;  // 'THor'
constexpr UInt32 kTileVertically = 0x54566572;    // 'TVer'
constexpr UInt32 kArrange = 0x41727250;           // 'ArrP'
constexpr UInt32 kWindowNav = 0x574E6176;         // 'WNav'
constexpr UInt32 kWindowSep = 0x57536570;         // 'WSep'
constexpr UInt32 kWindowMes = 0x574D6573;         // 'WMes'
constexpr UInt32 kQuit = 0x71756974;              // 'quit'

using M = MKRX_PaletteManager;
using MKRX_PaletteManagerTest = MKRX_SheetWindowFixture;

Rect Available() {
  Rect bounds;
  GetAvailableWindowPositioningBounds(GetMainDevice(), &bounds);
  return bounds;
}

Rect Bounds(WindowRef window, WindowRegionCode region) {
  Rect bounds{0, 0, 0, 0};
  GetWindowBounds(window, region, &bounds);
  return bounds;
}

// Every palette shown, as a user leaves them.
void ShowAll() {
  M::ShowNavigationPalette();
  M::ShowSeparationPalette();
  M::ShowMeasurementPalette();
}

std::vector<bool> Shown() {
  return {M::NavigationPaletteVisible(), M::SeparationPaletteVisible(),
          M::MeasurementPaletteVisible()};
}

TEST_F(MKRX_PaletteManagerTest, TheQuitWritesAPreferencesFileOfTwentyFiveKeys) {
  OpenWindow();
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  ASSERT_EQ(noErr, GetIndMenuItemWithCommandID(nullptr, kQuit, 1, &menu, &item));
  StandIn_ChooseMenuItem(menu, item);
  StandIn_RunUntilIdle();
  std::ifstream in(PreferencesFolder() / "com.nolt.krx.tests.plist", std::ios::binary);
  ASSERT_TRUE(in.good());
  std::string const xml{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(xml.data()),
                                static_cast<CFIndex>(xml.size()));
  CFPropertyListRef list = CFPropertyListCreateFromXMLData(nullptr, data, 0, nullptr);
  CFRelease(data);
  ASSERT_NE(nullptr, list);
  ASSERT_EQ(CFDictionaryGetTypeID(), CFGetTypeID(list));
  EXPECT_EQ(25, CFDictionaryGetCount(static_cast<CFDictionaryRef>(list)));
  CFRelease(list);
}

TEST_F(MKRX_PaletteManagerTest, ThePalettesFollowTheSheetWindowsAndTheDialogs) {
  EXPECT_TRUE(M::PalettesConcealed());
  EXPECT_EQ((std::vector<bool>{false, false, false}), Shown());
  // The first active window shows what the preferences kept (navigation and separations by
  // default; measurement never).
  MKRX_SheetWindow* first = OpenWindow();
  EXPECT_FALSE(M::PalettesConcealed());
  EXPECT_EQ((std::vector<bool>{MKRX_Preferences::sm_NavigationWindowVisible,
                               MKRX_Preferences::sm_SeparationWindowVisible, false}),
            Shown());
  // Navigation shown, the others hidden; a dialog conceals; a sheet window activated reveals
  // only navigation.
  M::ShowNavigationPalette();
  M::ToggleSeparationPalette();
  if (M::SeparationPaletteVisible())
    M::ToggleSeparationPalette();
  MKRX_SheetWindow* second = OpenWindow();
  m_Application->ShowPreferencesDialog();
  EXPECT_TRUE(M::PalettesConcealed());
  EXPECT_EQ((std::vector<bool>{false, false, false}), Shown());
  // A second conceal (another dialog) keeps what the first remembered.
  m_Application->ShowColorEditorDialog();
  SelectWindow(first->GetSysWindow());
  EXPECT_EQ((std::vector<bool>{true, false, false}), Shown());
  EXPECT_FALSE(M::PalettesConcealed());
  // A reveal with nothing concealed changes nothing.
  M::RevealPalettes();
  EXPECT_EQ((std::vector<bool>{true, false, false}), Shown());
  // Closing the last window conceals; a new window, once active, reveals.
  SelectWindow(second->GetSysWindow());
  MKRX_SheetWindowManager::CloseAll();
  StandIn_RunUntilIdle();
  EXPECT_TRUE(M::PalettesConcealed());
  EXPECT_EQ((std::vector<bool>{false, false, false}), Shown());
  OpenWindow();
  EXPECT_EQ((std::vector<bool>{true, false, false}), Shown());
}

// Closed after a reveal, a palette stays closed in the next run; hidden while concealed, it
// comes back.
TEST_F(MKRX_PaletteManagerTest, TheRememberedFlagsCountOnlyWhileConcealed) {
  OpenWindow();
  ShowAll();
  m_Application->ShowPreferencesDialog();  // conceals all three
  M::SavePaletteStates();
  EXPECT_TRUE(MKRX_Preferences::sm_NavigationWindowVisible);
  EXPECT_TRUE(MKRX_Preferences::sm_SeparationWindowVisible);
  OpenWindow();  // reveals
  EXPECT_EQ((std::vector<bool>{true, true, true}), Shown());
  M::ToggleNavigationPalette();  // the user closes it
  M::SavePaletteStates();
  EXPECT_FALSE(MKRX_Preferences::sm_NavigationWindowVisible);
  EXPECT_TRUE(MKRX_Preferences::sm_SeparationWindowVisible);
  // A hidden palette stays hidden through a conceal and a reveal.
  m_Application->ShowInkCoverageWindow();
  M::RevealPalettes();
  EXPECT_EQ((std::vector<bool>{false, true, true}), Shown());
}

TEST_F(MKRX_PaletteManagerTest, ArrangingStacksTheShownPalettesFlushRight) {
  OpenWindow();
  if (M::NavigationPaletteVisible())
    M::ToggleNavigationPalette();
  M::ShowSeparationPalette();
  EXPECT_EQ(noErr, SendCommand(nullptr, kArrange));
  Rect const screen = Available();
  Rect const separations = M::GetSeparationPaletteBounds();
  EXPECT_EQ(screen.top, separations.top);
  EXPECT_EQ(screen.right, separations.right);

  ShowAll();
  SendCommand(nullptr, kArrange);
  Rect const navigation = M::GetNavigationPaletteBounds();
  Rect const stacked = M::GetSeparationPaletteBounds();
  Rect const measurement = M::GetMeasurementPaletteBounds();
  EXPECT_EQ(screen.top, navigation.top);
  EXPECT_EQ(navigation.bottom + 1, stacked.top);
  EXPECT_EQ(stacked.bottom + 1, measurement.top);
  for (Rect const& r : {navigation, stacked, measurement})
    EXPECT_EQ(screen.right, r.right);
}

TEST_F(MKRX_PaletteManagerTest, TheWindowMenuNamesAndTogglesThePalettes) {
  OpenWindow();
  ShowAll();
  struct Case {
    UInt32 command;
    const char* shown;
    const char* hidden;
  };
  const Case cases[] = {{kWindowNav, "Hide Navigation Palette", "Show Navigation Palette"},
                        {kWindowSep, "Hide Separations Palette", "Show Separations Palette"},
                        {kWindowMes, "Hide Measurement Palette", "Show Measurement Palette"}};
  for (Case const& c : cases) {
    EXPECT_EQ(c.shown, MenuItem(c.command).text);
    MenuRef menu = nullptr;
    MenuItemIndex item = 0;
    GetIndMenuItemWithCommandID(nullptr, c.command, 1, &menu, &item);
    StandIn_ChooseMenuItem(menu, item);
    EXPECT_EQ(c.hidden, MenuItem(c.command).text);
  }
  // With every palette hidden there is nothing to arrange.
  EXPECT_FALSE(MenuItem(kArrange).enabled);
  M::ShowMeasurementPalette();
  EXPECT_TRUE(MenuItem(kArrange).enabled);
}

TEST_F(MKRX_PaletteManagerTest, ThreeSheetsGiveThreeWindowsThatTheWindowMenuArrangesAndCloses) {
  std::vector<WindowRef> windows;
  for (std::uint16_t surface : {0, 2, 4})
    windows.push_back(OpenWindow({"Three", surface})->GetSysWindow());
  EXPECT_EQ(3, MKRX_SheetWindowManager::GetWindowCountTotal());
  for (UInt32 command : {kCloseAll, kCascade, kTileHorizontally, kTileVertically})
    EXPECT_TRUE(MenuItem(command).enabled) << command;

  // Cascade: the front window one point inside the boundary's corner, the others stepped.
  SendCommand(nullptr, kCascade);
  Rect const screen = Available();
  Rect const front = Bounds(windows.back(), kWindowStructureRgn);
  EXPECT_EQ(screen.top + 1, front.top);
  EXPECT_EQ(screen.left + 1, front.left);
  EXPECT_LT(front.top, Bounds(windows.front(), kWindowStructureRgn).top);

  // Collapsed, they cannot be arranged but can still be closed.
  for (WindowRef window : windows)
    CollapseWindow(window, true);
  for (UInt32 command : {kCascade, kTileHorizontally, kTileVertically})
    EXPECT_FALSE(MenuItem(command).enabled) << command;
  EXPECT_TRUE(MenuItem(kCloseAll).enabled);

  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  GetIndMenuItemWithCommandID(nullptr, kCloseAll, 1, &menu, &item);
  StandIn_ChooseMenuItem(menu, item);
  StandIn_RunUntilIdle();
  EXPECT_EQ(0, MKRX_SheetWindowManager::GetWindowCountTotal());
  EXPECT_TRUE(M::PalettesConcealed());
}

TEST_F(MKRX_PaletteManagerTest, TheSavedPlacesAreThePalettesContentBounds) {
  OpenWindow();
  ShowAll();
  WindowRef navigation = M::GetNavigationWindow()->GetSysWindow();
  MoveWindowStructure(navigation, 300, 200);
  M::SavePaletteStates();
  Rect const content = Bounds(navigation, kWindowContentRgn);
  EXPECT_EQ(IMPN_RectT<long>(content.top, content.left, content.right - content.left,
                             content.bottom - content.top),
            MKRX_Preferences::sm_NavigationWindowBounds);
  // Read back, the same rectangle puts the palette where it was.
  MoveWindowStructure(navigation, 10, 500);
  iMKRX_PalettePlacement::Place(navigation, MKRX_Preferences::sm_NavigationWindowBounds);
  Rect const placed = Bounds(navigation, kWindowContentRgn);
  EXPECT_EQ(content.top, placed.top);
  EXPECT_EQ(content.left, placed.left);
  EXPECT_EQ(content.right, placed.right);
}

TEST_F(MKRX_PaletteManagerTest, AStoredRectangleThePaletteCannotTakeKeepsItsNibSize) {
  // The separations palette: 240 wide at most and at least, 100 to 2000 high.
  WindowRef palette = M::GetSeparationWindow()->GetSysWindow();
  Rect const nib = Bounds(palette, kWindowContentRgn);
  short const nibWidth = nib.right - nib.left;
  short const nibHeight = nib.bottom - nib.top;
  Rect const screen = Available();
  struct Case {
    const char* what;
    IMPN_RectT<long> stored;
    short width;
    short height;
  };
  const Case cases[] = {
      {"usable", {100, 300, 240, 500}, 240, 500},
      {"no width", {100, 300, 0, 500}, nibWidth, nibHeight},
      {"negative height", {100, 300, 240, -20}, nibWidth, nibHeight},
      {"wider than its limit", {100, 300, 241, 500}, nibWidth, nibHeight},
      {"too low", {100, 300, 240, 99}, nibWidth, nibHeight},
      {"too high", {100, 300, 240, 2001}, nibWidth, nibHeight},
      {"beyond 16 bits", {100, 300, 240, 70000}, nibWidth, nibHeight},
      {"far off the screen", {900000, -900000, 240, 400}, 240, 400},
      {"off the 16 bits' end", {32700, 32700, 240, 400}, 240, 400},
  };
  for (Case const& c : cases) {
    SetWindowBounds(palette, kWindowContentRgn, &nib);  // as the nib made it
    iMKRX_PalettePlacement::Place(palette, c.stored);
    Rect const content = Bounds(palette, kWindowContentRgn);
    EXPECT_EQ(c.width, content.right - content.left) << c.what;
    EXPECT_EQ(c.height, content.bottom - content.top) << c.what;
    // Its title bar is on the screen, whatever was stored.
    Rect const title = Bounds(palette, kWindowTitleBarRgn);
    EXPECT_GE(title.top, screen.top) << c.what;
    EXPECT_GE(title.left, screen.left) << c.what;
    EXPECT_LE(title.right, screen.right) << c.what;
    EXPECT_LE(title.bottom, screen.bottom) << c.what;
  }
}

// The start of a run: only in a process whose palettes are not made yet (as ctest runs each
// test), since the palettes are made once per process.
class MKRX_PaletteStartTest : public MKRX_SheetWindowFixture {
protected:
  void SetUp() override { MKRX_Fixture::SetUp(); }

  // Starts the program with what the last quit kept; false when this process cannot.
  bool Start(bool navigation, bool separations, IMPN_RectT<long> const& navigationBounds) {
    if (M::GetNavigationWindow() != nullptr)
      return false;
    MKRX_Preferences::LoadPreferences();
    MKRX_Preferences::sm_NavigationWindowVisible = navigation;
    MKRX_Preferences::sm_SeparationWindowVisible = separations;
    MKRX_Preferences::sm_NavigationWindowBounds = navigationBounds;
    MKRX_Preferences::SavePreferences();
    m_Application = std::make_unique<MKRX_Application>();
    m_Application->Initialize();
    return true;
  }
};

TEST_F(MKRX_PaletteStartTest, NoPaletteShowsWhenNoneWasShownAtTheLastQuit) {
  if (!Start(false, false, {-5000, 40000, 0, -3}))
    GTEST_SKIP() << "the palettes of this process were made by an earlier test";
  EXPECT_EQ((std::vector<bool>{false, false, false}), Shown());
  OpenWindow();
  EXPECT_FALSE(M::PalettesConcealed());
  EXPECT_EQ((std::vector<bool>{false, false, false}), Shown());
  // The hostile stored bounds were not used: the navigation palette stands on the screen, sized
  // to the window's thumbnail (a 1024 x 1024 sheet at 1 : 8).
  Rect const navigation = Bounds(M::GetNavigationWindow()->GetSysWindow(), kWindowContentRgn);
  EXPECT_EQ(128, navigation.right - navigation.left);
  EXPECT_EQ(128, navigation.bottom - navigation.top);
  EXPECT_GE(navigation.top, Available().top);
}

TEST_F(MKRX_PaletteStartTest, TheFirstActiveWindowShowsWhatTheLastQuitShowedButMeasurement) {
  Rect const screen = Available();
  IMPN_RectT<long> const stored(screen.top + 100, screen.left + 50, 240, 200);
  if (!Start(true, false, stored))
    GTEST_SKIP() << "the palettes of this process were made by an earlier test";
  EXPECT_EQ((std::vector<bool>{false, false, false}), Shown());
  OpenWindow();
  EXPECT_EQ((std::vector<bool>{true, false, false}), Shown());
  Rect const navigation = Bounds(M::GetNavigationWindow()->GetSysWindow(), kWindowContentRgn);
  EXPECT_EQ(stored.top, navigation.top);
  EXPECT_EQ(stored.left, navigation.left);
}

}  // namespace
