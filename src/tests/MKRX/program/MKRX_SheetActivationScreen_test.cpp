// The Mac program on an X display of its own (run under tools/screen-run) with the sample job's
// two sheets in two windows, laid out so that the back one shows its title bar: a click there
// (XTest) makes it the active sheet window, and the palettes stand in front of it, on the display
// as in the stand-in's window order, and the display shows what the screen model composes. The
// screenshot goes to the build's screenshots folder.
#include "MKRX_ScreenTest.h"

#include "MKRX/MKRX_PaletteManager.h"

#include <algorithm>

namespace {

enum class Stage {
  kOpening,
  kLaidOut,
  kClicked,
  kDone
};

// Where the windows stand, as the stand-in has them and as the display stacks them.
struct Order {
  bool frontActive = false;
  bool backActive = false;
  bool sheetsFrontFirst = false;  // the sheet windows, front to back, are front then back
  bool sheetsBackFirst = false;   // ... back then front
  int palettes = 0;               // visible floating windows
  bool palettesBeforeSheets = true;
  bool palettesStackedAbove = true;  // on the display, above both sheets
  bool activeStackedAboveOther = false;
  bool allViewable = true;
};

struct Probe {
  StandIn_X11Presenter* presenter = nullptr;
  Display* driver = nullptr;
  Stage stage = Stage::kOpening;
  EventTime stageStart = 0;
  MKRX_SettleWatch watch;
  // The sheet window in front as opened, and the one behind it, which the click activates.
  WindowRef front = nullptr;
  WindowRef back = nullptr;
  bool laidOut = false;
  Order before;
  Order after;
  bool navigationShown = false;
  bool separationsShown = false;
  bool concealed = true;
  MKRX_ScreenMatch match;
};

std::ptrdiff_t IndexOf(const std::vector<WindowRef>& list, WindowRef window) {
  const auto found = std::find(list.begin(), list.end(), window);
  return found == list.end() ? -1 : found - list.begin();
}

std::ptrdiff_t IndexOf(const std::vector<unsigned long>& list, unsigned long window) {
  const auto found = std::find(list.begin(), list.end(), window);
  return window == 0 || found == list.end() ? -1 : found - list.begin();
}

Order LookAtOrder(const Probe& probe, WindowRef active, WindowRef other) {
  Order order;
  order.frontActive = IsWindowActive(probe.front);
  order.backActive = IsWindowActive(probe.back);
  const std::vector<WindowRef> sheets = MKRX_ShownSheetWindows();
  order.sheetsFrontFirst = sheets == std::vector<WindowRef>{probe.front, probe.back};
  order.sheetsBackFirst = sheets == std::vector<WindowRef>{probe.back, probe.front};

  const std::vector<WindowRef> shown = MKRX_ShownWindows();
  const std::vector<unsigned long> stacking = MKRX_XStackingOrder(probe.driver);
  const auto xActive = IndexOf(stacking, probe.presenter->XWindowOf(active));
  const auto xOther = IndexOf(stacking, probe.presenter->XWindowOf(other));
  order.activeStackedAboveOther = xOther >= 0 && xActive > xOther;
  order.allViewable = MKRX_XWindowViewable(probe.driver, probe.presenter->XWindowOf(active)) &&
                      MKRX_XWindowViewable(probe.driver, probe.presenter->XWindowOf(other));
  for (WindowRef window : shown) {
    WindowClass windowClass = 0;
    GetWindowClass(window, &windowClass);
    if (windowClass != kFloatingWindowClass)
      continue;
    ++order.palettes;
    order.palettesBeforeSheets = order.palettesBeforeSheets &&
                                 IndexOf(shown, window) < IndexOf(shown, active) &&
                                 IndexOf(shown, window) < IndexOf(shown, other);
    const unsigned long xPalette = probe.presenter->XWindowOf(window);
    order.palettesStackedAbove =
        order.palettesStackedAbove && IndexOf(stacking, xPalette) > xActive && xActive >= 0;
    order.allViewable = order.allViewable && MKRX_XWindowViewable(probe.driver, xPalette);
  }
  return order;
}

// Sets the two sheet windows (which open on the same place) apart: the back one at the top left,
// the front one lower and to the right, both clear of the palettes along the right edge.
void LayOut(Probe& probe) {
  const Rect back{40, 20, 520, 760};
  const Rect front{200, 300, 760, 1000};
  probe.laidOut = SetWindowBounds(probe.back, kWindowStructureRgn, &back) == noErr &&
                  SetWindowBounds(probe.front, kWindowStructureRgn, &front) == noErr;
}

// The middle of the back window's title bar, which the front window leaves clear.
void ClickBackTitleBar(Probe& probe) {
  Rect title{};
  GetWindowBounds(probe.back, kWindowTitleBarRgn, &title);
  MKRX_Click(probe.driver, (title.left + title.right) / 2, (title.top + title.bottom) / 2);
}

void NextStage(Probe& probe, Stage stage) {
  probe.stage = stage;
  probe.stageStart = GetCurrentEventTime();
}

// Fires in the program's own loop; each stage waits until the sheet windows have settled in the
// state it expects (or 30 seconds passed): opened, laid out, activated by the click. At the end it
// compares the display with the screen model and presses Ctrl+Q.
void ProbeTimer(EventLoopTimerRef timer, void* data) {
  Probe& probe = *static_cast<Probe*>(data);
  const std::vector<WindowRef> sheets = MKRX_ShownSheetWindows();
  const bool settled = probe.watch.Settled(sheets);
  const bool late = GetCurrentEventTime() - probe.stageStart >= 30;
  switch (probe.stage) {
    case Stage::kOpening:
      if (!late && !(settled && sheets.size() == 2))
        return;
      if (sheets.size() == 2) {
        probe.front = sheets[0];
        probe.back = sheets[1];
        LayOut(probe);
      }
      NextStage(probe, Stage::kLaidOut);
      return;
    case Stage::kLaidOut:
      if (!late && !settled)
        return;
      probe.presenter->Present();
      if (probe.front && probe.back) {
        probe.before = LookAtOrder(probe, probe.front, probe.back);
        ClickBackTitleBar(probe);
      }
      NextStage(probe, Stage::kClicked);
      return;
    case Stage::kClicked:
      if (!late && !(settled && !sheets.empty() && sheets[0] == probe.back))
        return;
      break;
    case Stage::kDone:
      return;
  }
  NextStage(probe, Stage::kDone);
  RemoveEventLoopTimer(timer);
  probe.match = MKRX_CompareScreenWithModel(*probe.presenter, probe.driver, "mac-sheet-activation");
  if (probe.front && probe.back)
    probe.after = LookAtOrder(probe, probe.back, probe.front);
  probe.navigationShown = MKRX_PaletteManager::NavigationPaletteVisible();
  probe.separationsShown = MKRX_PaletteManager::SeparationPaletteVisible();
  probe.concealed = MKRX_PaletteManager::PalettesConcealed();
  MKRX_PressQuit(probe.driver);
}

TEST_F(MKRX_ProgramScreenTest, AClickOnTheBackSheetWindowActivatesItWithThePalettesInFront) {
  Probe probe;
  probe.presenter = &Presenter();
  probe.driver = Driver();
  probe.stageStart = GetCurrentEventTime();

  EXPECT_EQ(0, RunProgram(&ProbeTimer, &probe));

  ASSERT_EQ(Stage::kDone, probe.stage);
  ASSERT_TRUE(probe.front && probe.back) << "the two sheet windows did not open";
  EXPECT_TRUE(probe.laidOut);
  // Before the click: the front window active, the palettes above both.
  EXPECT_TRUE(probe.before.frontActive);
  EXPECT_FALSE(probe.before.backActive);
  EXPECT_TRUE(probe.before.sheetsFrontFirst);
  EXPECT_EQ(2, probe.before.palettes);
  EXPECT_TRUE(probe.before.palettesBeforeSheets);
  EXPECT_TRUE(probe.before.palettesStackedAbove);
  EXPECT_TRUE(probe.before.activeStackedAboveOther);
  EXPECT_TRUE(probe.before.allViewable);
  // After it: the back window in front and active, the palettes shown and above it.
  EXPECT_FALSE(probe.after.frontActive);
  EXPECT_TRUE(probe.after.backActive);
  EXPECT_TRUE(probe.after.sheetsBackFirst);
  EXPECT_EQ(2, probe.after.palettes);
  EXPECT_TRUE(probe.after.palettesBeforeSheets);
  EXPECT_TRUE(probe.after.palettesStackedAbove);
  EXPECT_TRUE(probe.after.activeStackedAboveOther);
  EXPECT_TRUE(probe.after.allViewable);
  EXPECT_FALSE(probe.concealed);
  EXPECT_TRUE(probe.navigationShown);
  EXPECT_TRUE(probe.separationsShown);
  // And the display shows it as the screen model composes it.
  EXPECT_GT(probe.match.compared, 10000);
  EXPECT_EQ(0, probe.match.mismatches) << "first at " << probe.match.firstMismatch;
}

}  // namespace
