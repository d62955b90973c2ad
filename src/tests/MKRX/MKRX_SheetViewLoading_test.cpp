// Progressive loading of reduced levels, and the frame the view reports as it scrolls, resizes
// and follows the navigation palette.
#include "support/MKRX_SheetViewFixture.h"

#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_TiledImage.h"

#include <HIToolbox/HIView.h>

#include <cmath>
#include <deque>
#include <filesystem>
#include <limits>

namespace {

class MKRX_SheetViewLoadingTest : public MKRX_SheetViewFixture {
protected:
  // 10240 x 5120: at 1:8 a grid of 20 x 10 tiles of 64.
  IMPN_Sheet* MakeTiledSheet(bool back) {
    MKRX_TestSheetSpec spec;
    spec.width = 10240;
    spec.length = 5120;
    spec.back = back;
    spec.frontMarks = {{800, 400, 3600, 1200}, {800, 400, 1200, 4400}};
    spec.backMarks = {{7200, 2400, 9200, 4000}};
    return MakeSheet(spec);
  }

  MKRX_ProbeView& MakeEighthView(IMPN_Sheet* sheet, long width, long height) {
    MKRX_ProbeView& view = MakeView(sheet, width, height);
    view.SetPlateEdge(false);
    view.SetZoomLevel(kIMPN_ZoomLevel1to8, false);
    return view;
  }

  static void Queue(MKRX_ProbeView& view, std::deque<IMPN_ImageTile>& queue, long count) {
    IMPN_Surface& surface = view.Viewed();
    for (long i = 0; i < count; ++i) {
      IMPN_ImageTile request;
      request.image = surface.GetTiledImage();
      request.x = (i % 20) * 64;
      request.y = (i / 20) * 64;
      request.opacity = 100;
      request.timeStamp = static_cast<long>(surface.GetTimeStamp());
      queue.push_back(request);
    }
  }

  // Builds the tiles of the first count positions of the frame, row by row.
  static void MakeCurrent(MKRX_ProbeView& view, long columns, long count) {
    IMPN_Surface& surface = view.Viewed();
    for (long i = 0; i < count; ++i)
      surface.GetTiledImage()->GetTile((i / columns) * 64, (i % columns) * 64, kIMPN_ZoomLevel1to8,
                                       static_cast<long>(surface.GetTimeStamp()));
  }

  static long Stale(MKRX_ProbeView& view, long& current) {
    long stale = 0;
    view.DetermineFrontTileRangeState(view.Viewed(), current, stale);
    return stale;
  }
};

bool At(MKRX_SheetView const& view, CGFloat x, CGFloat y) {
  return view.ImageOrigin().x == x && view.ImageOrigin().y == y;
}

struct Loads {
  std::size_t queuedBack, queuedFront, loadedBack, loadedFront;
  bool loading;
};

void ExpectLoads(MKRX_ProbeView const& view, Loads const& expected, int firing) {
  SCOPED_TRACE(firing);
  EXPECT_EQ(expected.queuedBack, view.QueuedBackTiles());
  EXPECT_EQ(expected.queuedFront, view.QueuedFrontTiles());
  EXPECT_EQ(expected.loadedBack, view.LoadedBackTiles());
  EXPECT_EQ(expected.loadedFront, view.LoadedFrontTiles());
  EXPECT_EQ(expected.loading, view.IsLoading());
}

TEST_F(MKRX_SheetViewLoadingTest, FiringsBuildTenTilesTheSurfaceBehindFirst) {
  MKRX_ProbeView& view = MakeEighthView(MakeTiledSheet(false), 400, 300);
  struct Case {
    char const* what;
    long back, front;
    std::vector<Loads> firings;  // after each firing
  } const cases[] = {
      {"25 behind, 5 viewed",
       25,
       5,
       {{15, 5, 10, 0, true}, {5, 5, 20, 0, true}, {0, 0, 25, 5, true}, {0, 0, 0, 0, false}}},
      {"exactly the last 10 behind", 10, 0, {{0, 0, 10, 0, true}, {0, 0, 0, 0, false}}},
      {"both empty", 0, 0, {{0, 0, 0, 0, false}}},
  };
  for (auto const& c : cases) {
    SCOPED_TRACE(c.what);
    Queue(view, view.BackRequests(), c.back);
    Queue(view, view.FrontRequests(), c.front);
    view.StartDrawCachedImageTimer();
    EXPECT_TRUE(view.IsLoading());
    long const requests = StandIn_HIViewDisplayRequests(view.GetSysView());
    for (std::size_t i = 0; i < c.firings.size(); ++i) {
      view.DoTimer();
      ExpectLoads(view, c.firings[i], static_cast<int>(i + 1));
      // Every firing ends in one repaint.
      EXPECT_EQ(requests + static_cast<long>(i) + 1,
                StandIn_HIViewDisplayRequests(view.GetSysView()));
    }
  }
}

TEST_F(MKRX_SheetViewLoadingTest, APaintLoadsWhenManyTilesAreStaleAndFewCurrent) {
  IMPN_Sheet* sheet = MakeTiledSheet(false);
  struct Case {
    char const* what;
    long width, height, columns, current, stale;
    bool loads;
  } const cases[] = {
      {"49 stale", 447, 447, 7, 0, 49, false},
      {"50 stale", 639, 319, 10, 0, 50, true},
      {"50 stale, quotient 2", 959, 639, 15, 100, 50, true},
      {"50 stale, quotient 3", 1279, 639, 20, 150, 50, false},
  };
  for (auto const& c : cases) {
    SCOPED_TRACE(c.what);
    MKRX_ProbeView& view = MakeEighthView(sheet, c.width, c.height);
    view.Viewed().GetTiledImage()->ResetCache();
    MakeCurrent(view, c.columns, c.current);
    long current = 0;
    ASSERT_EQ(c.stale, Stale(view, current));
    ASSERT_EQ(c.current, current);
    MKRX_Canvas canvas(c.width, c.height);
    canvas.Paint(view);
    EXPECT_EQ(c.loads, view.IsLoading());
    EXPECT_EQ(c.loads ? static_cast<std::size_t>(c.stale + c.current) : 0u,
              view.QueuedFrontTiles());
    // Drawn at once, every tile is current afterwards.
    EXPECT_EQ(c.loads ? c.stale : 0, Stale(view, current));
    m_Views.clear();
  }
}

TEST_F(MKRX_SheetViewLoadingTest, TheLoadedPictureEqualsTheDirectPaint) {
  IMPN_Sheet* sheet = MakeTiledSheet(true);
  MKRX_ProbeView& view = MakeEighthView(sheet, 639, 319);
  view.Viewed().GetTiledImage()->ResetCache();
  view.Other().GetTiledImage()->ResetCache();
  view.SetSheetOpacity(60);  // the back shows through, loaded first
  // Each paint starts from the window's white, as a composited window redraws a view.
  MKRX_Canvas loaded(639, 319);
  loaded.Fill(0xFFFFFFFFu);
  loaded.Paint(view);
  ASSERT_TRUE(view.IsLoading());
  EXPECT_GT(view.QueuedBackTiles(), 0u);
  long firings = 0;
  while (view.IsLoading() && ++firings < 100) {
    view.DoTimer();
    loaded.Fill(0xFFFFFFFFu);
    loaded.Paint(view);
  }
  EXPECT_FALSE(view.IsLoading());

  // The same picture painted at once.
  MKRX_ProbeView& once = MakeEighthView(sheet, 639, 319);
  once.SetProgressive(false);
  once.Viewed().GetTiledImage()->ResetCache();
  once.Other().GetTiledImage()->ResetCache();
  MKRX_Canvas direct(639, 319);
  direct.Fill(0xFFFFFFFFu);
  direct.Paint(once);
  EXPECT_FALSE(once.IsLoading());
  EXPECT_TRUE(loaded.Pixels() == direct.Pixels());
  for (long y = 5; y < 319; y += 31)
    for (long x = 5; x < 639; x += 37)
      ASSERT_TRUE(MKRX_SameColor(Expected(view, x, y), direct.Pixel(x, y)))
          << x << ", " << y << std::hex << " " << Expected(view, x, y) << " " << direct.Pixel(x, y)
          << " " << loaded.Pixel(x, y);
}

TEST_F(MKRX_SheetViewLoadingTest, AChangeOfWhatIsDrawnStopsTheLoader) {
  IMPN_Sheet* sheet = MakeTiledSheet(true);
  enum class Change {
    Flip,
    Opacity,
    Alignment
  };
  for (Change change : {Change::Flip, Change::Opacity, Change::Alignment}) {
    SCOPED_TRACE(static_cast<int>(change));
    MKRX_ProbeView& view = MakeEighthView(sheet, 639, 319);
    view.Viewed().GetTiledImage()->ResetCache();
    view.Other().GetTiledImage()->ResetCache();
    view.SetSheetOpacity(50);
    MKRX_Canvas canvas(639, 319);
    canvas.Paint(view);
    ASSERT_TRUE(view.IsLoading());
    view.DoTimer();
    switch (change) {
      case Change::Flip:
        view.TogglePageFlipped();
        break;
      case Change::Opacity:
        view.SetSheetOpacity(100);
        break;
      case Change::Alignment:
        view.SetBackupAlignment(kIMPN_AlignPages);
        break;
    }
    ExpectLoads(view, {0, 0, 0, 0, false}, 0);
    // The next paint asks for the tiles of what is shown now.
    canvas.Paint(view);
    if (view.IsLoading()) {
      ASSERT_FALSE(view.FrontRequests().empty());
      EXPECT_EQ(view.Viewed().GetTiledImage(), view.FrontRequests().front().image);
    }
    m_Views.clear();
  }
}

// ---------------------------------------------------------------------------------------------
// The frame reported

using FrameHeard = MKRX_Heard<MKRX_SheetViewFrameChangedMessage>;

void ExpectFrame(MKRX_SheetView& view, CGRect const& r) {
  IMPN_Sheet* sheet = view.GetSheet();
  double const w = sheet->GetImageWidth(view.GetZoomLevel());
  double const l = sheet->GetImageLength(view.GetZoomLevel());
  EXPECT_FLOAT_EQ(view.ImageOrigin().x / w, r.origin.x);
  EXPECT_FLOAT_EQ(view.ImageOrigin().y / l, r.origin.y);
  EXPECT_FLOAT_EQ(view.ViewSize().width / w, r.size.width);
  EXPECT_FLOAT_EQ(view.ViewSize().height / l, r.size.height);
}

TEST_F(MKRX_SheetViewLoadingTest, ScrollingAndResizingReportTheFrame) {
  MKRX_ProbeView& view = MakeView(MakeTiledSheet(false), 600, 400);
  FrameHeard heard(view.Dispatcher());
  view.ScrollViewTo(101, 53, false);
  ASSERT_EQ(1u, heard.messages.size());
  // Whole lines of 8.
  EXPECT_EQ(0, static_cast<long>(view.ImageOrigin().x) % 8);
  EXPECT_NEAR(101, view.ImageOrigin().x, 8);
  ExpectFrame(view, heard.messages.back().GetValue());

  view.ResizeView(3000, 2000, false);
  ASSERT_EQ(2u, heard.messages.size());
  EXPECT_TRUE(At(view, 0, 0));
  ExpectFrame(view, heard.messages.back().GetValue());

  PPx::SysCarbonEvent event;
  event.MakeEvent(kEventClassScrollable, kEventScrollableScrollTo);
  EXPECT_EQ(noErr, view.DoScrollableScrollTo(event, CGPointMake(200, 120)));
  ASSERT_EQ(3u, heard.messages.size());
  EXPECT_TRUE(At(view, 200, 120));
  ExpectFrame(view, heard.messages.back().GetValue());
}

TEST_F(MKRX_SheetViewLoadingTest, ANavigationMoveScrollsAndRepaintsWithoutReporting) {
  MKRX_ProbeView& view = MakeView(MakeTiledSheet(false), 600, 400);
  FrameHeard heard(view.Dispatcher());
  long const requests = StandIn_HIViewDisplayRequests(view.GetSysView());
  view.DoNavigationViewFrameMoved(
      MKRX_NavigationViewFrameMovedMessage(CGRectMake(0.25f, 0.5f, 0.1f, 0.1f)));
  EXPECT_TRUE(heard.messages.empty());
  EXPECT_TRUE(At(view, 2560, 2560));
  EXPECT_GT(StandIn_HIViewDisplayRequests(view.GetSysView()), requests);
}

TEST_F(MKRX_SheetViewLoadingTest, AResizedRectangleFitsTheViewAndAnEmptyOneKeepsIt) {
  MKRX_ProbeView& view = MakeView(MakeTiledSheet(false), 600, 400);
  view.ScrollViewTo(800, 400, false);
  FrameHeard heard(view.Dispatcher());
  view.DoNavigationViewFrameResized(
      MKRX_NavigationViewFrameResizedMessage(CGRectMake(0.3f, 0.3f, 0, 0)));
  ASSERT_EQ(1u, heard.messages.size());
  EXPECT_EQ(kIMPN_ZoomLevel1to1, view.GetZoomLevel());
  EXPECT_TRUE(At(view, 800, 400));
  ExpectFrame(view, heard.messages.back().GetValue());

  // The whole sheet asked for: the view zooms out until it shows it.
  view.DoNavigationViewFrameResized(MKRX_NavigationViewFrameResizedMessage(CGRectMake(0, 0, 1, 1)));
  ASSERT_GE(heard.messages.size(), 2u);
  EXPECT_GT(view.GetZoomLevel(), kIMPN_ZoomLevel1to2);
  CGRect const shown = heard.messages.back().GetValue();
  EXPECT_GE(shown.size.width, 1.0f);
  ExpectFrame(view, shown);
}

TEST_F(MKRX_SheetViewLoadingTest, ASheetWithoutSizeReportsNothing) {
  IMPN_Sheet* sheet = MakeSheetWithoutSize();
  ASSERT_EQ(0, sheet->GetImageWidth(kIMPN_ZoomLevel1to1));
  MKRX_ProbeView& view = MakeView(sheet, 600, 400);
  FrameHeard heard(view.Dispatcher());
  view.ScrollViewTo(10, 10, false);
  view.BroadcastSheetViewFrameChangedMessage();
  view.DoNavigationViewFrameResized(
      MKRX_NavigationViewFrameResizedMessage(CGRectMake(0, 0, 0.5f, 0.5f)));
  float const nan = std::numeric_limits<float>::quiet_NaN();
  view.DoNavigationViewFrameMoved(MKRX_NavigationViewFrameMovedMessage(CGRectMake(nan, nan, 0, 0)));
  EXPECT_TRUE(heard.messages.empty());
  EXPECT_TRUE(At(view, 0, 0));
  MKRX_Canvas canvas(600, 400);
  canvas.Paint(view);
}

}  // namespace
