// The Mac program on an X display of its own (run under tools/screen-run), from a bundle laid out
// as the program's: opened on the sample job it shows the menu bar and the two sheet windows, the
// display shows what the screen model composes, and Ctrl+Q (Command-Q) ends it with 0. The
// screenshot goes to the build's screenshots folder.
#include "MKRX_ScreenTest.h"

namespace {

// What the run's timer saw, checked once the program has ended.
struct Probe {
  StandIn_X11Presenter* presenter = nullptr;
  Display* driver = nullptr;
  EventTime start = 0;
  MKRX_SettleWatch watch;
  int documentWindows = 0;
  bool menuBarShown = false;
  bool sheetWindowsShown = false;
  MKRX_ScreenMatch match;
  bool done = false;
};

// Fires in the program's own loop until the two sheet windows are shown and their pixels have
// settled (or 30 seconds passed), then compares the display with the screen model, keeps the
// screenshot and presses Ctrl+Q.
void ProbeTimer(EventLoopTimerRef timer, void* data) {
  Probe& probe = *static_cast<Probe*>(data);
  if (probe.done)
    return;
  const std::vector<WindowRef> sheets = MKRX_ShownSheetWindows();
  const bool settled = probe.watch.Settled(sheets) && sheets.size() == 2;
  if (!settled && GetCurrentEventTime() - probe.start < 30)
    return;
  probe.done = true;
  RemoveEventLoopTimer(timer);

  probe.match = MKRX_CompareScreenWithModel(*probe.presenter, probe.driver, "mac-program");
  probe.documentWindows = static_cast<int>(sheets.size());
  probe.menuBarShown = MKRX_XWindowViewable(probe.driver, probe.presenter->MenuBarXWindow());
  probe.sheetWindowsShown = !sheets.empty();
  for (WindowRef window : sheets)
    probe.sheetWindowsShown =
        probe.sheetWindowsShown &&
        MKRX_XWindowViewable(probe.driver, probe.presenter->XWindowOf(window));
  MKRX_PressQuit(probe.driver);
}

TEST_F(MKRX_ProgramScreenTest, OnTheSampleJobItShowsTheMenuBarAndTwoSheetsAndCtrlQEndsIt) {
  Probe probe;
  probe.presenter = &Presenter();
  probe.driver = Driver();
  probe.start = GetCurrentEventTime();

  EXPECT_EQ(0, RunProgram(&ProbeTimer, &probe));

  EXPECT_TRUE(probe.done);
  EXPECT_EQ(2, probe.documentWindows);
  EXPECT_TRUE(probe.menuBarShown);
  EXPECT_TRUE(probe.sheetWindowsShown);
  EXPECT_GT(probe.match.compared, 10000);
  EXPECT_EQ(0, probe.match.mismatches) << "first at " << probe.match.firstMismatch;
}

}  // namespace
