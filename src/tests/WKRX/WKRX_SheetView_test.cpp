#include "support/WKRX_ViewFixture.h"

#include "GLIB/GLIB_Math.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Surface.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

COLORREF TilePixel(const IMPN_BitMap& tile, long x, long y) {
  auto entry = [&tile](long index) -> COLORREF {
    if (tile.palette == nullptr || index >= tile.palette->count)
      return RGB(255, 255, 255);
    const IMPN_RGBColor8& c = tile.palette->entries[index];
    return RGB(c.red, c.green, c.blue);
  };
  switch (tile.kind) {
    case kIMPN_BitMapIndexed:
      return entry(tile.pixels[y * tile.rowBytes + x]);
    case kIMPN_BitMapUniformIndex:
      return entry(tile.pixels[0]);
    case kIMPN_BitMapRGB: {
      const std::uint8_t* p = tile.pixels + y * tile.rowBytes + 3 * x;
      return RGB(p[2], p[1], p[0]);
    }
    default:
      return RGB(tile.pixels[2], tile.pixels[1], tile.pixels[0]);
  }
}

class WKRXSheetView : public WKRX_ViewTest {
protected:
  // What the front surface's tiles show at a view pixel of an upright view.
  COLORREF Composited(long viewX, long viewY) {
    IMPN_Surface& front = View().Sheet()->GetFrontSurface();
    IMPN_TiledImage* image = front.GetTiledImage();
    const IMPN_ZoomLevel level = View().ZoomLevel();
    const long tw = image->GetTileWidth(level);
    const long th = image->GetTileLength(level);
    const long top = viewY / th * th;
    const long left = viewX / tw * tw;
    const IMPN_BitMap* tile =
        image->GetTile(top, left, level, static_cast<long>(front.GetTimeStamp()));
    return tile == nullptr ? CLR_INVALID : TilePixel(*tile, viewX - left, viewY - top);
  }
};

TEST_F(WKRXSheetView, AViewWithoutASheetShowsTheWorkspaceAndIgnoresTheMouse) {
  Paint();
  EXPECT_EQ(m_Canvas->Pixel(10, 10), GetSysColor(COLOR_APPWORKSPACE));
  Press(10, 10);
  Move(20, 20);
  EXPECT_FALSE(View().Tracking());
  EXPECT_TRUE(WKRX_RecordingFrame::sm_Messages.empty());
}

TEST_F(WKRXSheetView, AtOneToOneThePaintShowsTheTilesAndTellsTheFrame) {
  Show();
  View().m_ShowPlateEdge = false;
  View().ScrollViewTo(300, 0, false);
  Paint();
  const SIZE client = ViewClient();
  const POINT scroll = View().ScrollPosition();
  EXPECT_EQ(scroll.x, 300);
  int compared = 0;
  for (long y = 0; y < client.cy; y += 7)
    for (long x = 0; x < client.cx; x += 11, ++compared)
      ASSERT_EQ(m_Canvas->Pixel(x, y), Composited(x + scroll.x, y + scroll.y)) << x << "," << y;
  EXPECT_GT(compared, 1000);
  const auto frames = WKRX_RecordingFrame::Of(WKRX_WM_VIEWFRAMECHANGED);
  ASSERT_EQ(frames.size(), 1u);
  const double w = View().Sheet()->GetImageWidth(kIMPN_ZoomLevel1to1);
  EXPECT_DOUBLE_EQ(frames[0].values[1], 300.0 / w);
  EXPECT_DOUBLE_EQ(frames[0].values[2], client.cx / w);
}

// Below 1:1 the paint only queues; the timer's passes end on what an immediate draw shows.
TEST_F(WKRXSheetView, TimerPassesAtOneToFourEndOnTheImmediateDrawsPixels) {
  WKRX_ViewSheets::Layout layout;
  layout.width = 4000;
  layout.length = 3000;
  layout.backPlates = 1;
  Show(layout);
  View().SetZoomLevel(kIMPN_ZoomLevel1to4, false);
  View().Sheet()->GetFrontSurface().SetOpacity(50);
  View().ScrollViewTo(120, 80, false);
  Paint();
  EXPECT_FALSE(View().m_FrontTileRequests.empty());
  const int ticks = DrainTimer();
  EXPECT_GT(ticks, 1);
  const std::vector<std::uint32_t> timed = m_Canvas->Snapshot();

  WKRX_DibCanvas immediate(600, 500, RGB(1, 2, 3));
  const POINT scroll = View().ScrollPosition();
  SetViewportOrgEx(immediate.DC(), -scroll.x, -scroll.y, nullptr);
  CKRX_Context context(immediate.DC());
  View().DrawImage(context);
  const SIZE client = ViewClient();
  long differ = 0;
  for (long y = 0; y < client.cy; ++y)
    for (long x = 0; x < client.cx; ++x)
      differ += WKRX_Near(m_Canvas->Pixel(x, y), immediate.Pixel(x, y)) ? 0 : 1;
  EXPECT_EQ(differ, 0);
  (void)timed;
}

TEST_F(WKRXSheetView, TheDocumentIsErasedOnceInTheSurfaceColourAndBeyondItInTheWindowColour) {
  Show();
  View().SetZoomLevel(kIMPN_ZoomLevel1to4, true);  // 300 x 175, smaller than the view
  Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_Canvas->DC()), 0);
  EXPECT_EQ(m_Canvas->Pixel(10, 10), RGB(255, 255, 255));
  EXPECT_EQ(m_Canvas->Pixel(350, 10), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(m_Canvas->Pixel(10, 250), GetSysColor(COLOR_WINDOW));
  // Only once: a second erase leaves the document alone.
  m_Canvas->Fill(RGB(9, 9, 9));
  Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_Canvas->DC()), 0);
  EXPECT_EQ(m_Canvas->Pixel(10, 10), RGB(9, 9, 9));
  EXPECT_EQ(m_Canvas->Pixel(350, 10), GetSysColor(COLOR_WINDOW));
}

TEST_F(WKRXSheetView, ScrollingClampsAndAnImageSmallerThanTheWindowNeverScrolls) {
  Show();
  const SIZE client = ViewClient();
  View().ScrollViewTo(100000, -50, false);
  EXPECT_EQ(View().ScrollPosition().x, 1200 - client.cx);
  EXPECT_EQ(View().ScrollPosition().y, 0);
  View().SetZoomLevel(kIMPN_ZoomLevel1to4, false);
  View().ScrollViewTo(40, 40, false);
  EXPECT_EQ(View().ScrollPosition().x, 0);
  EXPECT_EQ(View().ScrollPosition().y, 0);
}

TEST_F(WKRXSheetView, PanningScrollsByTheMovementAndReportsTheFrameAtTheEnd) {
  Show();
  Press(200, 150);
  Move(190, 140);
  Move(170, 135);
  EXPECT_EQ(View().ScrollPosition().x, 30);
  EXPECT_EQ(View().ScrollPosition().y, 15);
  EXPECT_TRUE(WKRX_RecordingFrame::Of(WKRX_WM_VIEWFRAMECHANGED).empty());
  Release(170, 135);
  EXPECT_EQ(WKRX_RecordingFrame::Of(WKRX_WM_VIEWFRAMECHANGED).size(), 1u);
  EXPECT_FALSE(View().Tracking());
}

struct ZoomCase {
  IMPN_ZoomLevel from;
  bool shift;
  IMPN_ZoomLevel to;
};

class WKRXSheetViewZoom : public WKRXSheetView, public testing::WithParamInterface<ZoomCase> {};

TEST_P(WKRXSheetViewZoom, AClickMovesOneLevelWithinTheLimitsAndTellsBothLevels) {
  Show();
  View().SetZoomLevel(GetParam().from, false);
  m_Keys = {VK_CONTROL};
  if (GetParam().shift)
    m_Keys.insert(VK_SHIFT);
  Press(50, 50);
  EXPECT_EQ(View().ZoomLevel(), GetParam().to);
  const auto zooms = WKRX_RecordingFrame::Of(WKRX_WM_ZOOMLEVELCHANGED);
  ASSERT_EQ(zooms.size(), 1u);
  EXPECT_EQ(zooms[0].wParam, static_cast<WPARAM>(GetParam().from | GetParam().to << 16));
}

INSTANTIATE_TEST_SUITE_P(Levels, WKRXSheetViewZoom,
                         testing::Values(ZoomCase{kIMPN_ZoomLevel8to1, false, kIMPN_ZoomLevel8to1},
                                         ZoomCase{kIMPN_ZoomLevel1to512, true,
                                                  kIMPN_ZoomLevel1to512},
                                         ZoomCase{kIMPN_ZoomLevel1to2, false, kIMPN_ZoomLevel1to1},
                                         ZoomCase{kIMPN_ZoomLevel1to2, true, kIMPN_ZoomLevel1to4}));

TEST_F(WKRXSheetView, MeasuringFromBesideTheImageSendsNoDistances) {
  Show();
  View().SetZoomLevel(kIMPN_ZoomLevel1to4, false);  // 300 x 175
  m_Keys = {VK_MENU};
  Press(350, 50);
  EXPECT_EQ(WKRX_RecordingFrame::Of(WKRX_WM_SHOWPALETTE).size(), 1u);
  Move(100, 60);
  for (const WKRX_FrameMessage& m : WKRX_RecordingFrame::Of(WKRX_WM_MEASUREMENTCHANGED))
    EXPECT_TRUE(m.extra.empty());
}

// On its side the sheet's vertical resolution runs along the screen's x axis.
TEST_F(WKRXSheetView, MeasuringAtNinetyUsesTheResolutionAlongEachScreenAxis) {
  WKRX_ViewSheets::Layout layout;
  layout.xResolution = 2400;
  layout.yResolution = 1200;
  Show(layout);
  View().RotateRight();
  IMPN_Preferences::sm_PreferredLinearUnits = kIMPN_Inches;
  m_Keys = {VK_MENU};
  Press(10, 10);
  Move(130, 250);
  const auto measured = WKRX_RecordingFrame::Of(WKRX_WM_MEASUREMENTCHANGED);
  ASSERT_FALSE(measured.empty());
  ASSERT_EQ(measured.back().extra.size(), 2u);
  EXPECT_NEAR(measured.back().extra[0], 120.0 / 1200.0, 1e-9);
  EXPECT_NEAR(measured.back().extra[1], 240.0 / 2400.0, 1e-9);
}

TEST_F(WKRXSheetView, ShiftLocksTheMeasureToOneAxisChosenOnce) {
  Show();
  IMPN_Preferences::sm_PreferredLinearUnits = kIMPN_Inches;
  m_Keys = {VK_MENU};
  Press(10, 10);
  Move(110, 30, MK_LBUTTON | MK_SHIFT);  // mostly across: horizontal
  Move(120, 200, MK_LBUTTON | MK_SHIFT);
  auto last = WKRX_RecordingFrame::Of(WKRX_WM_MEASUREMENTCHANGED).back();
  EXPECT_NEAR(last.extra[1], 0.0, 1e-12);
  EXPECT_NEAR(last.extra[0], 110.0 / 2400.0, 1e-9);
  Move(120, 200, MK_LBUTTON);            // lock off
  Move(20, 200, MK_LBUTTON | MK_SHIFT);  // chosen again: vertical
  last = WKRX_RecordingFrame::Of(WKRX_WM_MEASUREMENTCHANGED).back();
  EXPECT_NEAR(last.extra[0], 0.0, 1e-12);
}

TEST_F(WKRXSheetView, ASheetWithoutResolutionShowsNoDistances) {
  WKRX_ViewSheets::Layout layout;
  layout.xResolution = 0;
  layout.yResolution = 0;
  Show(layout);
  m_Keys = {VK_MENU};
  Press(10, 10);
  Move(50, 50);
  for (const WKRX_FrameMessage& m : WKRX_RecordingFrame::Of(WKRX_WM_MEASUREMENTCHANGED)) {
    EXPECT_TRUE(m.extra.empty());
    EXPECT_TRUE(std::isfinite(m.values[0]));
  }
}

struct BlockCase {
  IMPN_ZoomLevel level;
  long side;  // of the block in 1:1 pixels
};

class WKRXSheetViewDensitometer : public WKRXSheetView,
                                  public testing::WithParamInterface<BlockCase> {};

TEST_P(WKRXSheetViewDensitometer, TheBlockUnderThePointerIsOneScreenPixelOrAGroupOfThem) {
  Show();
  View().SetZoomLevel(GetParam().level, false);
  View().m_ActiveTool = kIMPN_ToolDensitometer;
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));  // any move first chooses the tool
  Press(1, 1);
  Release(1, 1);
  WKRX_RecordingFrame::sm_Messages.clear();
  View().ResetDensitometerFrame();
  SetCursorPos(0, 0);
  Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(View().m_hWnd), MAKELPARAM(HTCLIENT, 0));
  ASSERT_EQ(View().ToolMode(), kIMPN_ToolDensitometerNoFrame);
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(13, 22));
  const auto moved = WKRX_RecordingFrame::Of(WKRX_WM_DENSITOMETERMOVED);
  ASSERT_EQ(moved.size(), 1u);
  const POINT scroll = View().ScrollPosition();
  const double f = kIMPN_ZoomFactor[GetParam().level];
  const long d = GetParam().level <= kIMPN_ZoomLevel2to1 ? static_cast<long>(f) : 1;
  const long blockX = (13 + scroll.x) / d * d;
  const long blockY = (22 + scroll.y) / d * d;
  EXPECT_EQ(moved[0].values[1], MATH_Round(blockX / f));
  EXPECT_EQ(moved[0].values[0], MATH_Round(blockY / f));
  EXPECT_EQ(moved[0].values[2], GetParam().side);
}

INSTANTIATE_TEST_SUITE_P(Levels, WKRXSheetViewDensitometer,
                         testing::Values(BlockCase{kIMPN_ZoomLevel8to1, 1},
                                         BlockCase{kIMPN_ZoomLevel4to1, 1},
                                         BlockCase{kIMPN_ZoomLevel2to1, 1},
                                         BlockCase{kIMPN_ZoomLevel1to2, 2}));

TEST_F(WKRXSheetView, ShiftMakesTheDensitometerFrameSquareAndEdgesStopTwoPixelsApart) {
  Show();
  View().m_ActiveTool = kIMPN_ToolDensitometer;
  Press(10, 10);
  Move(70, 40, MK_LBUTTON | MK_SHIFT);
  Release(70, 40);
  EXPECT_EQ(View().m_DensitometerFrame, IMPN_RectT<long>(10, 10, 30, 30));
  const auto moved = WKRX_RecordingFrame::Of(WKRX_WM_DENSITOMETERMOVED);
  ASSERT_FALSE(moved.empty());
  EXPECT_EQ(moved.back().values, (std::vector<double>{10, 10, 30, 30}));

  // The top edge dragged far below the bottom stops two pixels above it.
  Press(20, 9);
  ASSERT_EQ(View().ToolMode(), kIMPN_ToolFrameTop);
  Move(20, 200);
  Release(20, 200);
  EXPECT_EQ(View().m_DensitometerFrame.height, 2);

  // Inside, the frame moves whole.
  Press(20, 39);
  ASSERT_EQ(View().ToolMode(), kIMPN_ToolFrameInside);
  Move(25, 49);
  Release(25, 49);
  EXPECT_EQ(View().m_DensitometerFrame, IMPN_RectT<long>(48, 15, 30, 2));
}

// XOR feedback drawn twice leaves nothing behind.
TEST_F(WKRXSheetView, ABandDrawnAndTakenOffLeavesTheCanvasUnchanged) {
  Show();
  View().m_ActiveTool = kIMPN_ToolDensitometer;
  m_Canvas->Fill(RGB(40, 80, 120));
  const std::vector<std::uint32_t> before = m_Canvas->Snapshot();
  Press(10, 10);
  Move(60, 50);
  EXPECT_NE(m_Canvas->Snapshot(), before);
  Move(90, 70);
  Release(90, 70);
  EXPECT_EQ(m_Canvas->Snapshot(), before);
}

// A timer pass must not paint tiles under a band it would invert when the band goes.
TEST_F(WKRXSheetView, ATimerPassTakesTheFeedbackOffAndPutsItBack) {
  WKRX_ViewSheets::Layout layout;
  layout.width = 4000;
  layout.length = 3000;
  Show(layout);
  View().SetZoomLevel(kIMPN_ZoomLevel1to4, false);
  Paint();
  m_Keys = {VK_MENU};
  Press(10, 10);
  Move(200, 120);
  DrainTimer();
  Release(200, 120);
  const std::vector<std::uint32_t> withBand = m_Canvas->Snapshot();
  WKRX_DibCanvas clean(600, 500, RGB(1, 2, 3));
  SetViewportOrgEx(clean.DC(), -View().ScrollPosition().x, -View().ScrollPosition().y, nullptr);
  CKRX_Context context(clean.DC());
  View().DrawImage(context);
  EXPECT_EQ(withBand, clean.Snapshot());
}

class WKRXSheetViewRotation : public WKRXSheetView, public testing::WithParamInterface<long> {
protected:
  void Turn() {
    for (long r = 0; r < GetParam(); r += 90)
      View().RotateRight();
    ASSERT_EQ(View().Rotation(), GetParam());
  }
};

TEST_P(WKRXSheetViewRotation, AGuideDroppedOnARowIsFoundThereAgain) {
  Show();
  Turn();
  for (bool horizontal : {true, false}) {
    WKRX_RecordingFrame::sm_Messages.clear();
    Send(horizontal ? WKRX_WM_BEGINHORZGUIDEDRAG : WKRX_WM_BEGINVERTGUIDEDRAG, horizontal ? 1 : 0,
         0);
    Move(77, 63);
    Release(77, 63);
    long position = -1;
    const POINT scroll = View().ScrollPosition();
    const IMPN_PointT<long> at(77 + scroll.x, 63 + scroll.y);
    const bool found = horizontal != (GetParam() == 90 || GetParam() == 270)
                           ? View().NearHorizontalGuideLine(at, position)
                           : View().NearVerticalGuideLine(at, position);
    EXPECT_TRUE(found) << horizontal;
  }
  const size_t count =
      View().m_FrontGuideLines.horizontal.size() + View().m_FrontGuideLines.vertical.size();
  EXPECT_EQ(count, 2u);

  // Moved outside the view, a guide is gone.
  SetCursorPos(0, 0);
  long guide = 0;
  IMPN_PointT<long> at(77 + View().ScrollPosition().x, 63 + View().ScrollPosition().y);
  ASSERT_NE(View().DetermineActiveTool(at, false, false, false, guide), kIMPN_ToolPan);
  Press(77, 63);
  Move(77, 900);
  Release(77, 900);
  EXPECT_EQ(View().m_FrontGuideLines.horizontal.size() + View().m_FrontGuideLines.vertical.size(),
            1u);
}

TEST_P(WKRXSheetViewRotation, TheOriginReadsZeroWhereItWasDropped) {
  Show();
  Turn();
  IMPN_Preferences::sm_PreferredLinearUnits = kIMPN_Points;
  Send(WKRX_WM_BEGINORIGINDRAG, 0, 0);
  Move(91, 47);
  Release(91, 47);
  const POINT scroll = View().ScrollPosition();
  const IMPN_PointT<double> at =
      View().ViewPointToUnitLengths(IMPN_PointT<long>(91 + scroll.x, 47 + scroll.y), kIMPN_Points);
  EXPECT_NEAR(at.x, 0.0, 1e-9);
  EXPECT_NEAR(at.y, 0.0, 1e-9);
  const IMPN_PointT<double> right = View().ViewPointToUnitLengths(
      IMPN_PointT<long>(91 + scroll.x + 100, 47 + scroll.y + 50), kIMPN_Points);
  EXPECT_GT(right.x, 0.0);
  EXPECT_GT(right.y, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Turns, WKRXSheetViewRotation, testing::Values(0L, 90L, 180L, 270L));

// Below 1:1 the timer fills the tiles in later: what a pan uncovers shows the window colour at
// once, never the old picture.
TEST_F(WKRXSheetView, WhatAPanUncoversBelowOneToOneIsFilledAtOnce) {
  WKRX_ViewSheets::Layout layout;
  layout.width = 8000;
  layout.length = 6000;
  Show(layout);
  ShowWindow(*m_Frame, SW_SHOWNOACTIVATE);  // a hidden window uncovers nothing
  View().SetZoomLevel(kIMPN_ZoomLevel1to4, false);
  ValidateRect(View(), nullptr);  // as after a paint
  m_Canvas->Fill(RGB(9, 9, 9));
  const SIZE client = ViewClient();
  Press(200, 150);
  Move(170, 150);
  Release(170, 150);
  EXPECT_EQ(View().ScrollPosition().x, 30);
  EXPECT_EQ(m_Canvas->Pixel(client.cx - 5, 100), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(m_Canvas->Pixel(client.cx - 40, 100), RGB(9, 9, 9));

  // At 1:1 the paint draws the tiles at once; nothing is filled.
  View().SetZoomLevel(kIMPN_ZoomLevel1to1, false);
  ValidateRect(View(), nullptr);
  m_Canvas->Fill(RGB(9, 9, 9));
  Press(200, 150);
  Move(170, 150);
  Release(170, 150);
  EXPECT_EQ(m_Canvas->Pixel(client.cx - 5, 100), RGB(9, 9, 9));
}

TEST_F(WKRXSheetView, AFrameForASheetWithoutImageIsNeverSent) {
  WKRX_ViewSheets::Layout layout;
  layout.frontPlates = 0;
  layout.backPlates = 0;
  Show(layout);
  Paint();
  EXPECT_TRUE(WKRX_RecordingFrame::Of(WKRX_WM_VIEWFRAMECHANGED).empty());
}

}  // namespace
