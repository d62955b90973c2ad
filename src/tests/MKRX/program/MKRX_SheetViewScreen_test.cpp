// The Mac program on an X display of its own (run under tools/screen-run) on the sample job, with
// zoom-to-fit on open in its preferences: the front sheet window shows its sheet at fit, and once
// the loader drained the display shows the composited tiles where the view's transforms put them
// (and everywhere what the screen model composes). Zoomed in (Ctrl+=, Command-=), a drag of the
// navigation palette's frame (XTest) scrolls the view, and the display shows the new place. The
// screenshots go to the build's screenshots folder.
#include "MKRX/MKRX_NavigationView.h"
#include "MKRX/MKRX_NavigationWindow.h"
#include "MKRX/MKRX_PaletteManager.h"
#include "MKRX/MKRX_SheetView.h"
#include "MKRX/MKRX_SheetWindow.h"
#include "support/MKRX_ViewPixels.h"

#include "MKRX_ScreenTest.h"

#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFPreferences.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#define Cursor XCursor
#include <X11/keysym.h>
#undef Cursor

namespace {

enum class Stage {
  kOpening,
  kZoomed,
  kDragged,
  kDone
};

// How the display matched the composited tiles at probe points of the sheet view.
struct TileMatch {
  long compared = 0;
  long mismatches = 0;
  std::string firstMismatch;
};

// What the view showed at one stage.
struct Look {
  bool atFit = false;
  IMPN_ZoomLevel level = IMPN_ZoomLevel(0);
  CGPoint origin{};
  CGRect navigationFrame{};
  MKRX_ScreenMatch screen;
  TileMatch tiles;
};

struct Probe {
  StandIn_X11Presenter* presenter = nullptr;
  Display* driver = nullptr;
  Stage stage = Stage::kOpening;
  EventTime stageStart = 0;
  MKRX_SettleWatch watch;
  WindowRef window = nullptr;
  MKRX_SheetView* view = nullptr;
  bool drained = true;  // the loader had no work left at each look
  Look fit;
  Look zoomed;
  Look dragged;
  CGPoint drag{};          // by how much the frame was dragged, in palette points
  long changedPoints = 0;  // probe points of the view that differ between the two screenshots
};

MKRX_SheetView* SheetViewOf(WindowRef window) {
  auto* sheetWindow = dynamic_cast<MKRX_SheetWindow*>(PPXA::Window::GetWindowObject(window));
  return sheetWindow ? sheetWindow->GetSheetView() : nullptr;
}

MKRX_NavigationView* NavigationView() {
  MKRX_NavigationWindow* palette = MKRX_PaletteManager::GetNavigationWindow();
  return palette ? &palette->GetNavigationView() : nullptr;
}

bool Drained(MKRX_SheetView& view) {
  return !view.IsLoading() && view.QueuedFrontTiles() == 0 && view.QueuedBackTiles() == 0;
}

// The whole sheet shows, and the next level up would not.
bool AtFit(MKRX_SheetView& view) {
  IMPN_Sheet* sheet = view.GetSheet();
  const CGSize frame = view.ViewSize();
  const IMPN_ZoomLevel level = view.GetZoomLevel();
  const IMPN_ZoomLevel closer = static_cast<IMPN_ZoomLevel>(level - 1);
  return sheet && sheet->GetImageWidth(level) <= frame.width &&
         sheet->GetImageLength(level) <= frame.height &&
         (sheet->GetImageWidth(closer) > frame.width ||
          sheet->GetImageLength(closer) > frame.height);
}

// The screen point of each probe point of the view that the sheet window shows uncovered (the
// palettes may stand over it), clear of the scroll bars and where the neighbourhood agrees: the
// overlays and the marks' edges lie between.
template <class Visit>
void ForEachProbePoint(Probe& probe, Visit visit) {
  MKRX_SheetView& view = *probe.view;
  const CGSize frame = view.ViewSize();
  // The expected pixels are placed in the displayed image, which the view shows scrolled.
  const CGPoint origin = view.ImageOrigin();
  const auto expectedAt = [&](long x, long y) {
    return MKRX_ExpectedViewPixel(view, x + static_cast<long>(origin.x),
                                  y + static_cast<long>(origin.y));
  };
  for (long y = 4; y < static_cast<long>(frame.height) - 24; y += 17)
    for (long x = 4; x < static_cast<long>(frame.width) - 24; x += 29) {
      const std::uint32_t expected = expectedAt(x, y);
      if (expectedAt(x - 4, y) != expected || expectedAt(x + 4, y) != expected ||
          expectedAt(x, y - 4) != expected || expectedAt(x, y + 4) != expected)
        continue;
      const HIPoint at = MKRX_ScreenPointOfView(view.GetSysView(), CGPointMake(x, y));
      const Point global = {static_cast<short>(at.y), static_cast<short>(at.x)};
      WindowRef hit = nullptr;
      if (FindWindow(global, &hit) != inContent || hit != probe.window)
        continue;
      visit(x, y, static_cast<int>(at.x), static_cast<int>(at.y), expected);
    }
}

TileMatch CompareViewWithTiles(Probe& probe, const MKRX_Screenshot& shot) {
  TileMatch match;
  ForEachProbePoint(probe, [&](long x, long y, int sx, int sy, std::uint32_t expected) {
    if (sx < 0 || sy < 0 || sx >= shot.Width() || sy >= shot.Height())
      return;
    ++match.compared;
    const std::uint32_t shown = 0xFF000000u | shot.Pixel(sx, sy);
    if (!MKRX_SameColor(expected, shown) && match.mismatches++ == 0)
      match.firstMismatch = std::to_string(x) + ", " + std::to_string(y) + ": " +
                            std::to_string(expected & 0xFFFFFFu) + " vs " +
                            std::to_string(shown & 0xFFFFFFu);
  });
  return match;
}

Look LookAtView(Probe& probe, const std::string& screenshot) {
  Look look;
  look.atFit = AtFit(*probe.view);
  look.level = probe.view->GetZoomLevel();
  look.origin = probe.view->ImageOrigin();
  if (MKRX_NavigationView* navigation = NavigationView())
    look.navigationFrame = navigation->GetViewFrame();
  probe.drained = probe.drained && Drained(*probe.view);
  look.screen = MKRX_CompareScreenWithModel(*probe.presenter, probe.driver, screenshot);
  if (look.screen.shot)
    look.tiles = CompareViewWithTiles(probe, *look.screen.shot);
  return look;
}

// Towards the side of the thumbnail with more room, by up to 30 points on each axis.
double DragAlong(double start, double length, double limitStart, double limitLength) {
  const double before = start - limitStart;
  const double after = limitStart + limitLength - (start + length);
  return after >= before ? std::min(30.0, std::floor(after)) : -std::min(30.0, std::floor(before));
}

void DragNavigationFrame(Probe& probe) {
  MKRX_NavigationView* navigation = NavigationView();
  if (navigation == nullptr)
    return;
  const CGRect frame = navigation->GetViewFrame();
  const CGRect image = navigation->GetImageRect();
  probe.drag =
      CGPointMake(DragAlong(frame.origin.x, frame.size.width, image.origin.x, image.size.width),
                  DragAlong(frame.origin.y, frame.size.height, image.origin.y, image.size.height));
  const HIPoint from = MKRX_ScreenPointOfView(
      navigation->GetSysView(), CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)));
  MKRX_Drag(probe.driver, static_cast<int>(from.x), static_cast<int>(from.y),
            static_cast<int>(from.x + probe.drag.x), static_cast<int>(from.y + probe.drag.y));
}

long ChangedPoints(Probe& probe, const MKRX_Screenshot& before, const MKRX_Screenshot& after) {
  long changed = 0;
  ForEachProbePoint(probe, [&](long, long, int sx, int sy, std::uint32_t) {
    changed += before.Pixel(sx, sy) != after.Pixel(sx, sy);
  });
  return changed;
}

// Ctrl+=: Command-= on the presenter's keyboard.
void PressZoomIn(Display* driver) {
  MKRX_PressKey(driver, XK_Control_L, true);
  MKRX_PressKey(driver, XK_equal, true);
  MKRX_PressKey(driver, XK_equal, false);
  MKRX_PressKey(driver, XK_Control_L, false);
  XFlush(driver);
}

bool FrameInsideThumbnail() {
  MKRX_NavigationView* navigation = NavigationView();
  if (navigation == nullptr)
    return false;
  const CGRect image = navigation->GetImageRect();
  const CGRect frame = navigation->GetViewFrame();
  return frame.origin.x >= image.origin.x && frame.origin.y >= image.origin.y &&
         CGRectGetMaxX(frame) <= CGRectGetMaxX(image) &&
         CGRectGetMaxY(frame) <= CGRectGetMaxY(image);
}

void NextStage(Probe& probe, Stage stage) {
  probe.stage = stage;
  probe.stageStart = GetCurrentEventTime();
}

// Fires in the program's own loop; each stage waits until the sheet windows have settled and the
// loader drained in the state it expects (or 30 seconds passed): opened at fit, zoomed in,
// scrolled by the drag. At the end it presses Ctrl+Q.
void ProbeTimer(EventLoopTimerRef timer, void* data) {
  Probe& probe = *static_cast<Probe*>(data);
  const std::vector<WindowRef> sheets = MKRX_ShownSheetWindows();
  const bool settled = probe.watch.Settled(sheets) && probe.view && Drained(*probe.view);
  const bool late = GetCurrentEventTime() - probe.stageStart >= 30;
  switch (probe.stage) {
    case Stage::kOpening:
      if (sheets.size() == 2 && probe.view == nullptr) {
        probe.window = sheets[0];
        probe.view = SheetViewOf(probe.window);
        return;
      }
      if (!late && !settled)
        return;
      if (probe.view == nullptr)
        break;
      probe.fit = LookAtView(probe, "mac-sheet-at-fit");
      PressZoomIn(probe.driver);
      NextStage(probe, Stage::kZoomed);
      return;
    case Stage::kZoomed:
      if (!late && !(settled && probe.view->GetZoomLevel() != probe.fit.level))
        return;
      // Until the navigation frame lies inside the thumbnail, where a drag can move it.
      if (!late && !FrameInsideThumbnail() && probe.view->GetZoomLevel() > 0) {
        PressZoomIn(probe.driver);
        probe.watch = MKRX_SettleWatch();
        return;
      }
      probe.zoomed = LookAtView(probe, "mac-sheet-zoomed");
      DragNavigationFrame(probe);
      NextStage(probe, Stage::kDragged);
      return;
    case Stage::kDragged: {
      const CGPoint origin = probe.view->ImageOrigin();
      const bool scrolled = origin.x != probe.zoomed.origin.x || origin.y != probe.zoomed.origin.y;
      if (!late && !(settled && scrolled))
        return;
      probe.dragged = LookAtView(probe, "mac-sheet-scrolled");
      if (probe.zoomed.screen.shot && probe.dragged.screen.shot)
        probe.changedPoints =
            ChangedPoints(probe, *probe.zoomed.screen.shot, *probe.dragged.screen.shot);
      break;
    }
    case Stage::kDone:
      return;
  }
  NextStage(probe, Stage::kDone);
  RemoveEventLoopTimer(timer);
  MKRX_PressQuit(probe.driver);
}

int Sign(double value) {
  return (value > 0) - (value < 0);
}

void ExpectShownAsComposed(const Look& look, const char* when) {
  SCOPED_TRACE(when);
  EXPECT_GT(look.screen.compared, 10000);
  EXPECT_EQ(0, look.screen.mismatches) << "first at " << look.screen.firstMismatch;
  EXPECT_GT(look.tiles.compared, 100);
  EXPECT_EQ(0, look.tiles.mismatches) << "first at " << look.tiles.firstMismatch;
}

TEST_F(MKRX_ProgramScreenTest, TheSheetShowsAtFitAndADragOfTheNavigationFrameScrollsIt) {
  CFPreferencesSetAppValue(CFSTR("MKRX_ZoomToFitWindowOnOpen"), kCFBooleanTrue,
                           kCFPreferencesCurrentApplication);
  CFPreferencesAppSynchronize(kCFPreferencesCurrentApplication);
  Probe probe;
  probe.presenter = &Presenter();
  probe.driver = Driver();
  probe.stageStart = GetCurrentEventTime();

  EXPECT_EQ(0, RunProgram(&ProbeTimer, &probe));

  ASSERT_EQ(Stage::kDone, probe.stage);
  ASSERT_NE(nullptr, probe.view) << "no sheet window opened";
  EXPECT_TRUE(probe.drained);
  // Opened at fit, the sheet on the display as its tiles compose it.
  EXPECT_TRUE(probe.fit.atFit);
  ExpectShownAsComposed(probe.fit, "at fit");
  // Zoomed in, the frame covers part of the thumbnail only, so that it can move.
  EXPECT_LT(probe.zoomed.level, probe.fit.level);
  ExpectShownAsComposed(probe.zoomed, "zoomed in");
  ASSERT_TRUE(probe.drag.x != 0 || probe.drag.y != 0) << "the frame had no room to move";
  // The drag moved the frame by as much, scrolled the view and showed the new place.
  EXPECT_NEAR(probe.zoomed.navigationFrame.origin.x + probe.drag.x,
              probe.dragged.navigationFrame.origin.x, 1.0);
  EXPECT_NEAR(probe.zoomed.navigationFrame.origin.y + probe.drag.y,
              probe.dragged.navigationFrame.origin.y, 1.0);
  EXPECT_EQ(Sign(probe.drag.x), Sign(probe.dragged.origin.x - probe.zoomed.origin.x));
  EXPECT_EQ(Sign(probe.drag.y), Sign(probe.dragged.origin.y - probe.zoomed.origin.y));
  EXPECT_EQ(probe.zoomed.level, probe.dragged.level);
  ExpectShownAsComposed(probe.dragged, "scrolled");
  EXPECT_GT(probe.changedPoints, 0);
}

}  // namespace
