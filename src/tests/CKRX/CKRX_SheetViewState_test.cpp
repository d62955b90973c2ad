#include "ViewFixture.h"

#include "IMPN/IMPN_SheetReference.h"
#include "IMPN/IMPN_Tools.h"

#include <cmath>
#include <string>
#include <vector>

namespace {
using Rect = IMPN_RectT<long>;

class SheetViewState : public ViewFixture {};

TEST_F(SheetViewState, NewViewStartsAtOneToOneUprightFrontWithPlateEdgeAndGuides) {
  EXPECT_EQ(nullptr, view.m_Sheet);
  EXPECT_EQ(kIMPN_ZoomLevel1to1, view.m_ZoomLevel);
  EXPECT_EQ(0, view.m_Rotation);
  EXPECT_FALSE(view.m_PageFlipped);
  EXPECT_EQ(kIMPN_AlignPressSheets, view.m_BackupAlignment);
  EXPECT_EQ(0, view.m_BackupMode);
  EXPECT_EQ(kIMPN_ToolPan, view.m_ActiveTool);
  EXPECT_TRUE(view.m_ShowPlateEdge);
  EXPECT_TRUE(view.m_ShowGuideLines);
  EXPECT_FALSE(view.AnyEdgeInfoVisible());
  EXPECT_FALSE(view.m_ShowSourceClipPaths || view.m_ShowTypeSafety);
  for (bool saved : view.m_SavedEdgeInfo)
    EXPECT_TRUE(saved);
  EXPECT_EQ(Rect(0, 0, 0, 0), view.m_DensitometerFrame);
  EXPECT_TRUE(view.m_BackgroundDrawing);
  EXPECT_FALSE(view.m_BackOverlaysPending);
  EXPECT_TRUE(view.GetWindowTitle().empty());
}

TEST_F(SheetViewState, BindingSizesTheViewPaintsTheSurfacesAndTakesTheBackupMode) {
  IMPN_Preferences::sm_DefaultSurfaceColor = IMPN_RGBColor8(250, 240, 230);
  IMPN_Sheet* sheet = TestSheets::Make({});
  view.SetSheet(sheet);
  EXPECT_EQ(1, sheet->GetReferenceCount());
  EXPECT_EQ(1, view.m_BackupMode);
  EXPECT_EQ(IMPN_RGBColor8(250, 240, 230), sheet->GetFrontSurface().GetColor());
  EXPECT_EQ(IMPN_RGBColor8(250, 240, 230), sheet->GetBackSurface().GetColor());
  std::vector<std::string> const resize = view.CallsOf("ResizeView");
  ASSERT_EQ(1u, resize.size());
  EXPECT_EQ("ResizeView " + std::to_string(Width(kIMPN_ZoomLevel1to1)) + "x" +
                std::to_string(Length(kIMPN_ZoomLevel1to1)),
            resize[0]);
  EXPECT_FALSE(view.m_PageFlipped);
}

TEST_F(SheetViewState, ASheetWithOnlyABackShowsTheBack) {
  TestSheets::Layout layout;
  layout.frontPlates = 0;
  layout.backPlates = 1;
  Bind(layout);
  EXPECT_TRUE(view.m_PageFlipped);
}

TEST_F(SheetViewState, ShowImpositionOnOpenTurnsEveryEdgeOverlayOn) {
  IMPN_Preferences::sm_ShowImpositionOnOpen = true;
  Bind();
  EXPECT_TRUE(view.m_ShowPressSheetEdge && view.m_ShowBleed && view.m_ShowPageEdges &&
              view.m_ShowPageNumbers && view.m_ShowSourceClipPaths && view.m_ShowTypeSafety);
}

TEST_F(SheetViewState, RotateUprightOnOpenFollowsTheSheetOrientation) {
  struct Case {
    std::uint16_t orientation;
    long rotation;
  };
  for (Case c : {Case{0, 0}, Case{1, 180}, Case{2, 90}, Case{3, 270}, Case{7, 0}}) {
    SCOPED_TRACE(c.orientation);
    IMPN_Preferences::sm_RotateUprightOnOpen = true;
    FakeSheetView fresh;
    TestSheets::Layout layout;
    layout.orientation = c.orientation;
    fresh.SetSheet(TestSheets::Make(layout));
    EXPECT_EQ(c.rotation, fresh.m_Rotation);
  }
}

TEST_F(SheetViewState, RebindingAfterARotationTurnsToTheUprightRotationNotPastIt) {
  Bind();
  view.RotateRight();
  IMPN_Preferences::sm_RotateUprightOnOpen = true;
  TestSheets::Layout down;
  down.orientation = 1;
  view.SetSheet(TestSheets::Make(down));
  EXPECT_EQ(180, view.m_Rotation);

  // Without the preference the rotation stays, and the view is sized as it is shown.
  IMPN_Preferences::sm_RotateUprightOnOpen = false;
  view.RotateRight();
  view.calls.clear();
  view.SetSheet(TestSheets::Make({}));
  EXPECT_EQ(270, view.m_Rotation);
  ASSERT_EQ(1u, view.Count("ResizeView"));
  EXPECT_EQ("ResizeView " + std::to_string(Length(kIMPN_ZoomLevel1to1)) + "x" +
                std::to_string(Width(kIMPN_ZoomLevel1to1)),
            view.CallsOf("ResizeView")[0]);
}

TEST_F(SheetViewState, RebindingStopsTheTimerEmptiesTheQueuesAndReleasesTheOldSheet) {
  IMPN_Sheet* first = Bind();
  IMPN_SheetReference const keep(first);  // keeps it observable after the view lets go
  view.m_FrontTileRequests.push_back(IMPN_ImageTile());
  view.m_BackTileRequests.push_back(IMPN_ImageTile());

  IMPN_Sheet* second = TestSheets::Make({});
  view.SetSheet(second);
  EXPECT_EQ("StopTimer", view.calls.at(0));
  EXPECT_TRUE(view.m_FrontTileRequests.empty());
  EXPECT_TRUE(view.m_BackTileRequests.empty());
  EXPECT_EQ(1, first->GetReferenceCount());
  EXPECT_EQ(1, second->GetReferenceCount());
  EXPECT_EQ(second, view.m_Sheet);
}

TEST_F(SheetViewState, BindingTheSameSheetAgainChangesNothing) {
  IMPN_Sheet* sheet = Bind();
  view.SetSheet(sheet);
  EXPECT_EQ(sheet, view.m_Sheet);
  EXPECT_EQ(1, sheet->GetReferenceCount());
  EXPECT_TRUE(view.calls.empty());
  view.SetSheet(nullptr);
  EXPECT_EQ(sheet, view.m_Sheet);
}

TEST_F(SheetViewState, PurgeReleasesTheSheetOnceAndLeavesNoPointer) {
  IMPN_Sheet* sheet = Bind();
  IMPN_SheetReference const keep(sheet);
  view.m_FrontTileRequests.push_back(IMPN_ImageTile());
  view.PurgeCacheAndCloseFiles();
  EXPECT_EQ(nullptr, view.m_Sheet);
  EXPECT_TRUE(view.m_FrontTileRequests.empty());
  EXPECT_EQ(1, sheet->GetReferenceCount());
  view.PurgeCacheAndCloseFiles();
  EXPECT_EQ(1, sheet->GetReferenceCount());
}

TEST_F(SheetViewState, ZoomFactorSnapsToTheNextSmallerMagnification) {
  struct Case {
    double factor;
    IMPN_ZoomLevel level;
  };
  Bind();
  view.ScriptFrame(Rect(0, 0, 100, 100));
  for (Case c : {Case{100.0, kIMPN_ZoomLevel8to1}, Case{8.0, kIMPN_ZoomLevel8to1},
                 Case{3.0, kIMPN_ZoomLevel2to1}, Case{1.0, kIMPN_ZoomLevel1to1},
                 Case{0.75, kIMPN_ZoomLevel1to2}, Case{1.0 / 512, kIMPN_ZoomLevel1to512},
                 Case{0.001, kIMPN_ZoomLevel1to512}}) {
    SCOPED_TRACE(c.factor);
    view.SetZoomFactor(c.factor, false);
    EXPECT_EQ(c.level, view.m_ZoomLevel);
  }
  // Below the smallest level the level stays where it was.
  view.SetZoomLevel(kIMPN_ZoomLevel1to4, false);
  view.SetZoomFactor(0.001, false);
  EXPECT_EQ(kIMPN_ZoomLevel1to4, view.m_ZoomLevel);
}

TEST_F(SheetViewState, ZoomingScalesTheCentreAndScrollsItToTheFrameMiddle) {
  Bind();
  view.ScriptFrame(Rect(40, 100, 200, 100));
  view.SetZoomFactor(2.0, true);
  // Centre (200, 90) at 1:1 becomes (400, 180) at 2:1.
  EXPECT_EQ((std::vector<std::string>{"StopTimer", "StopTimer",
                                      "ResizeView " + std::to_string(Width(kIMPN_ZoomLevel2to1)) +
                                          "x" + std::to_string(Length(kIMPN_ZoomLevel2to1)),
                                      "ScrollViewTo 300,130", "EraseAndRefreshView"}),
            view.calls);

  // A frame wider than the image zooms about the image's middle.
  view.SetZoomLevel(kIMPN_ZoomLevel1to1, false);
  view.ScriptFrame(Rect(0, 0, 5000, 50));
  view.calls.clear();
  view.SetZoomLevel(kIMPN_ZoomLevel1to2, false);
  EXPECT_EQ("ScrollViewTo " + std::to_string(Width(kIMPN_ZoomLevel1to1) / 2 / 2 - 2500) + ",-13",
            view.CallsOf("ScrollViewTo").at(0));
  EXPECT_EQ(0u, view.Count("EraseAndRefreshView"));
}

TEST_F(SheetViewState, ZoomInAndOutStopAtTheEndsButStillZoom) {
  Bind();
  view.ScriptFrame(Rect(0, 0, 100, 100));
  view.SetZoomLevel(kIMPN_ZoomLevel8to1, false);
  view.calls.clear();
  view.ZoomIn(true);
  EXPECT_EQ(kIMPN_ZoomLevel8to1, view.m_ZoomLevel);
  EXPECT_EQ(1u, view.Count("ResizeView"));
  EXPECT_EQ(1u, view.Count("ScrollViewTo"));
  EXPECT_EQ(1u, view.Count("EraseAndRefreshView"));

  view.SetZoomLevel(kIMPN_ZoomLevel1to512, false);
  view.calls.clear();
  view.ZoomOut(IMPN_PointT<long>(1, 1), false);
  EXPECT_EQ(kIMPN_ZoomLevel1to512, view.m_ZoomLevel);
  EXPECT_EQ(1u, view.Count("ScrollViewTo"));
  EXPECT_EQ(0u, view.Count("EraseAndRefreshView"));

  view.ZoomIn(IMPN_PointT<long>(0, 0), false);
  EXPECT_EQ(kIMPN_ZoomLevel1to256, view.m_ZoomLevel);
  view.SetZoomLevel(static_cast<IMPN_ZoomLevel>(13), true);
  view.SetZoomLevel(static_cast<IMPN_ZoomLevel>(-1), true);
  EXPECT_EQ(kIMPN_ZoomLevel1to256, view.m_ZoomLevel);
}

// The base-space point under the frame's middle.
IMPN_PointT<long> CentreInBase(FakeSheetView& view) {
  Rect const frame = view.GetViewFrame();
  Rect const base = view.ViewFrameRectToImageRect(
      Rect(frame.top + frame.height / 2, frame.left + frame.width / 2, 0, 0));
  return IMPN_PointT<long>(base.left, base.top);
}

TEST_F(SheetViewState, RotationKeepsThePointInTheFrameMiddle) {
  TestSheets::Layout layout;
  layout.width = 1600;
  layout.length = 1200;
  Bind(layout);
  view.EmulateScrollWindow(200, 100);
  view.ResizeView(Width(kIMPN_ZoomLevel1to1), Length(kIMPN_ZoomLevel1to1), false);
  view.ScrollViewTo(500, 300, false);
  for (long turn : {90L, 90L, 90L, 90L, -90L, -90L, -90L, -90L}) {
    SCOPED_TRACE(view.m_Rotation);
    IMPN_PointT<long> const before = CentreInBase(view);
    view.Rotate(turn);
    IMPN_PointT<long> const after = CentreInBase(view);
    EXPECT_LE(std::labs(before.x - after.x), 1);
    EXPECT_LE(std::labs(before.y - after.y), 1);
    bool const sideways = view.m_Rotation % 180 != 0;
    EXPECT_EQ(sideways ? Length(kIMPN_ZoomLevel1to1) : Width(kIMPN_ZoomLevel1to1),
              view.ExtentWidth());
    EXPECT_EQ("ScrollViewTo", view.calls.back().substr(0, 12));
    EXPECT_NE(std::string::npos, view.calls.back().find("refresh"));
  }
  EXPECT_EQ(0, view.m_Rotation);
}

TEST_F(SheetViewState, RotationByOtherAnglesIsIgnored) {
  Bind();
  view.ScriptFrame(Rect(0, 0, 100, 100));
  view.Rotate(180);
  view.Rotate(45);
  view.Rotate(0);
  EXPECT_EQ(0, view.m_Rotation);
  EXPECT_TRUE(view.calls.empty());
  view.RotateLeft();
  EXPECT_EQ(270, view.m_Rotation);
  for (int i = 0; i < 4; ++i)
    view.RotateRight();
  EXPECT_EQ(270, view.m_Rotation);
}

TEST_F(SheetViewState, TransformRectTurnsInsideTheArea) {
  Rect const r(10, 20, 30, 40);
  EXPECT_EQ(Rect(1950, 10, 40, 30), CKRX_SheetView::TransformRect(r, 90, 1000, 2000));
  EXPECT_EQ(Rect(1950, 950, 30, 40), CKRX_SheetView::TransformRect(r, 180, 1000, 2000));
  EXPECT_EQ(Rect(20, 950, 40, 30), CKRX_SheetView::TransformRect(r, 270, 1000, 2000));
  EXPECT_EQ(Rect(20, 950, 40, 30), CKRX_SheetView::TransformRect(r, -90, 1000, 2000));
  EXPECT_EQ(r, CKRX_SheetView::TransformRect(r, 0, 1000, 2000));
  EXPECT_EQ(r, CKRX_SheetView::TransformRect(r, 45, 1000, 2000));
  EXPECT_EQ(r, CKRX_SheetView::TransformRect(r, 360, 1000, 2000));
}

TEST_F(SheetViewState, ViewAndBaseRectanglesRoundTripAtEveryRotationAndLevel) {
  Bind();
  view.ScriptFrame(Rect(0, 0, 100, 100));
  Rect const base(96, 200, 64, 32);
  for (IMPN_ZoomLevel level : {kIMPN_ZoomLevel2to1, kIMPN_ZoomLevel1to1, kIMPN_ZoomLevel1to4}) {
    view.SetZoomLevel(level, false);
    for (long rotation : {0L, 90L, 180L, 270L}) {
      SCOPED_TRACE(std::to_string(level) + " at " + std::to_string(rotation));
      view.m_Rotation = rotation;
      Rect const shown = view.ImageRectToViewFrameRect(base);
      EXPECT_EQ(base, view.ViewFrameRectToImageRect(shown));
      bool const sideways = rotation % 180 != 0;
      double const zf = kIMPN_ZoomFactor[level];
      EXPECT_EQ(static_cast<long>((sideways ? base.height : base.width) * zf), shown.width);
    }
  }
  // Rotation 90: the base top-left corner shows at the view's top-right.
  view.SetZoomLevel(kIMPN_ZoomLevel1to1, false);
  view.m_Rotation = 90;
  EXPECT_EQ(Rect(0, Length(kIMPN_ZoomLevel1to1), 0, 0),
            view.ImageRectToViewFrameRect(Rect(0, 0, 0, 0)));
}

TEST_F(SheetViewState, OpacityOutsideThePercentRangeIsIgnoredButRefreshes) {
  IMPN_Sheet* sheet = Bind();
  view.SetSheetOpacity(95);
  view.AdjustSheetOpacity(10);
  EXPECT_EQ(95, view.GetSheetOpacity());
  view.SetSheetOpacity(101);
  view.SetSheetOpacity(-1);
  EXPECT_EQ(95, view.GetSheetOpacity());
  EXPECT_EQ(4u, view.Count("RefreshView"));
  view.AdjustSheetOpacity(-95);
  EXPECT_EQ(0, view.GetSheetOpacity());
  EXPECT_EQ(100u, sheet->GetBackSurface().GetOpacity());
  view.TogglePageFlipped();
  EXPECT_TRUE(view.m_PageFlipped);
  EXPECT_EQ("EraseAndRefreshView", view.calls.back());
  view.SetSheetOpacity(30);
  EXPECT_EQ(30u, sheet->GetBackSurface().GetOpacity());
}

TEST_F(SheetViewState, NormalizedFrameUsesTheDisplayedSize) {
  Bind();
  long const w = Width(kIMPN_ZoomLevel1to1);
  long const l = Length(kIMPN_ZoomLevel1to1);
  view.ScriptFrame(Rect(10, 20, 100, 50));
  IMPN_RectT<double> upright = view.GetNormalizedViewFrame();
  EXPECT_DOUBLE_EQ(10.0 / l, upright.top);
  EXPECT_DOUBLE_EQ(20.0 / w, upright.left);
  EXPECT_DOUBLE_EQ(100.0 / w, upright.width);
  view.m_Rotation = 90;
  IMPN_RectT<double> turned = view.GetNormalizedViewFrame();
  EXPECT_DOUBLE_EQ(10.0 / w, turned.top);
  EXPECT_DOUBLE_EQ(20.0 / l, turned.left);
  EXPECT_DOUBLE_EQ(50.0 / w, turned.height);
}

TEST_F(SheetViewState, ImageToUnitPointMeasuresFromTheOriginAtTheZoomLevel) {
  Bind();  // 2400 pixels per inch
  view.ScriptFrame(Rect(0, 0, 100, 100));
  IMPN_PointT<double> p = view.ImageToUnitPoint(IMPN_PointT<long>(2400, 1200), kIMPN_Inches);
  EXPECT_DOUBLE_EQ(1.0, p.x);
  EXPECT_DOUBLE_EQ(0.5, p.y);
  view.m_UnitOriginX = 1200;
  view.m_UnitOriginY = 2400;
  view.SetZoomLevel(kIMPN_ZoomLevel1to2, false);
  p = view.ImageToUnitPoint(IMPN_PointT<long>(1200, 0), kIMPN_Points);
  EXPECT_DOUBLE_EQ(36.0, p.x);
  EXPECT_DOUBLE_EQ(-72.0, p.y);
  view.ResetUnitOrigin();
  p = view.ImageToUnitPoint(IMPN_PointT<long>(1200, 600), kIMPN_Millimeters);
  EXPECT_DOUBLE_EQ(25.4, p.x);
  EXPECT_DOUBLE_EQ(12.7, p.y);
}

TEST_F(SheetViewState, ImageToUnitPointOfASheetWithoutResolutionIsZero) {
  TestSheets::Layout empty;
  empty.frontPlates = 0;
  Bind(empty);
  IMPN_PointT<double> const p = view.ImageToUnitPoint(IMPN_PointT<long>(10, 10), kIMPN_Inches);
  EXPECT_EQ(0.0, p.x);
  EXPECT_EQ(0.0, p.y);
  // Nor a frame to measure against an image of no size.
  view.ScriptFrame(Rect(5, 5, 10, 10));
  EXPECT_EQ(IMPN_RectT<double>(), view.GetNormalizedViewFrame());
}

TEST_F(SheetViewState, AdjustFrameToFitZoomsByAPowerOfTwoAndCentres) {
  Bind();
  view.ScriptFrame(Rect(0, 0, 200, 100));
  struct Case {
    IMPN_RectT<double> rect;
    IMPN_ZoomLevel level;
    std::string scroll;
  };
  // Same aspect at scale 1: no zoom, centre (150, 100) to the frame's middle.
  // Scale 3 (a 66.67 x 33.33 rectangle): zoom x4; scale 0.3: zoom x1/4.
  for (Case c :
       {Case{IMPN_RectT<double>(50, 50, 200, 100), kIMPN_ZoomLevel1to1, "ScrollViewTo 50,50"},
        Case{IMPN_RectT<double>(10, 10, 200.0 / 3, 100.0 / 3), kIMPN_ZoomLevel4to1,
             "ScrollViewTo 73,56"},
        Case{IMPN_RectT<double>(0, 0, 2000.0 / 3, 1000.0 / 3), kIMPN_ZoomLevel1to4,
             "ScrollViewTo -17,-9"}}) {
    view.SetZoomLevel(kIMPN_ZoomLevel1to1, false);
    view.calls.clear();
    IMPN_RectT<double> rect = c.rect;
    view.AdjustFrameToFit(rect);
    EXPECT_EQ(c.level, view.m_ZoomLevel);
    EXPECT_EQ(c.scroll, view.calls.back());
  }
}

TEST_F(SheetViewState, AdjustFrameToFitWidensANarrowRectangleAboutItsCentre) {
  Bind();
  view.ScriptFrame(Rect(0, 0, 200, 100));
  IMPN_RectT<double> rect(0, 100, 100, 100);
  view.AdjustFrameToFit(rect);
  EXPECT_DOUBLE_EQ(200.0, rect.width);
  EXPECT_DOUBLE_EQ(50.0, rect.left);
  EXPECT_EQ(kIMPN_ZoomLevel1to1, view.m_ZoomLevel);
}

TEST_F(SheetViewState, AdjustFrameToFitIgnoresARectangleWithoutExtent) {
  Bind();
  view.ScriptFrame(Rect(0, 0, 200, 100));
  IMPN_RectT<double> rect(40, 30, 0, 0);
  view.AdjustFrameToFit(rect);
  EXPECT_EQ(kIMPN_ZoomLevel1to1, view.m_ZoomLevel);
  EXPECT_EQ(0u, view.Count("ScrollViewTo"));
  EXPECT_EQ(IMPN_RectT<double>(40, 30, 0, 0), rect);

  // A line of a drag still has a scale from its other side.
  IMPN_RectT<double> line(0, 50, 0, 50);
  view.AdjustFrameToFit(line);
  EXPECT_EQ(kIMPN_ZoomLevel2to1, view.m_ZoomLevel);
  EXPECT_EQ("ScrollViewTo 0,0", view.calls.back());
}

TEST_F(SheetViewState, ZoomToFitPicksTheClosestLevelThatFitsAndCentresTheImage) {
  TestSheets::Layout layout;
  layout.width = 1600;
  layout.length = 800;
  Bind(layout);
  struct Case {
    long rotation;
    long frameWidth;
    long frameHeight;
  };
  for (Case c : {Case{0, 500, 300}, Case{90, 500, 300}, Case{90, 300, 500}, Case{270, 120, 300}}) {
    SCOPED_TRACE(std::to_string(c.rotation) + " " + std::to_string(c.frameWidth));
    view.m_Rotation = c.rotation;
    view.ScriptFrame(Rect(0, 0, c.frameWidth, c.frameHeight));
    view.calls.clear();
    view.ZoomToFit(false);
    bool const sideways = c.rotation % 180 != 0;
    IMPN_ZoomLevel const level = view.m_ZoomLevel;
    long const shownWidth = sideways ? Length(level) : Width(level);
    long const shownHeight = sideways ? Width(level) : Length(level);
    EXPECT_LT(shownWidth, c.frameWidth);
    EXPECT_LT(shownHeight, c.frameHeight);
    IMPN_ZoomLevel const closer = static_cast<IMPN_ZoomLevel>(level - 1);
    long const closerWidth = sideways ? Length(closer) : Width(closer);
    long const closerHeight = sideways ? Width(closer) : Length(closer);
    EXPECT_TRUE(closerWidth >= c.frameWidth || closerHeight >= c.frameHeight);
    EXPECT_EQ("ScrollViewTo " + std::to_string(shownWidth / 2 - c.frameWidth / 2) + "," +
                  std::to_string(shownHeight / 2 - c.frameHeight / 2),
              view.calls.back());
  }
}

TEST_F(SheetViewState, ZoomToFitCentresThePressSheetAndFallsBackToTheSmallestLevel) {
  TestSheets::Layout layout;
  layout.width = 1600;
  layout.length = 800;
  layout.pressSheet = PreviewFixture::Edges{100, 200, 499, 1399};  // 1200 x 400 at (200, 100)
  IMPN_Sheet* sheet = Bind(layout);
  IMPN_RectT<long> const press = sheet->GetFrontSurface().GetPressSheetRect();
  ASSERT_GT(press.width, 0);
  view.ScriptFrame(Rect(0, 0, 700, 700));
  view.ZoomToFit(true);
  EXPECT_EQ(kIMPN_ZoomLevel1to2, view.m_ZoomLevel);
  Rect const half = IMPN_Tools::ScaleRect(press, 0.5);
  EXPECT_EQ("ScrollViewTo " + std::to_string(half.left + half.width / 2 - 350) + "," +
                std::to_string(half.top + half.height / 2 - 350),
            view.CallsOf("ScrollViewTo").back());
  EXPECT_EQ("EraseAndRefreshView", view.calls.back());

  // Nothing fits a one-pixel frame: level 12 with its own size.
  view.ScriptFrame(Rect(0, 0, 1, 1));
  view.calls.clear();
  view.ZoomToFit(false);
  EXPECT_EQ(kIMPN_ZoomLevel1to512, view.m_ZoomLevel);
  Rect const fitted = IMPN_Tools::ScaleRect(press, kIMPN_ZoomFactor[kIMPN_ZoomLevel1to512]);
  EXPECT_EQ("ScrollViewTo " + std::to_string(fitted.left + fitted.width / 2) + "," +
                std::to_string(fitted.top + fitted.height / 2),
            view.calls.back());
}
// Whatever the turn, the origin reads zero and lengths grow rightwards and downwards on screen.
TEST_F(SheetViewState, ViewPointLengthsFollowTheScreenAxesAtEveryRotation) {
  Bind();  // 2400 pixels per inch
  view.ScriptFrame(Rect(0, 0, 100, 100));
  view.m_UnitOriginX = 300;
  view.m_UnitOriginY = 100;
  for (long rotation : {0L, 90L, 180L, 270L}) {
    view.m_Rotation = rotation;
    IMPN_RectT<long> const origin = view.ImageRectToViewFrameRect(IMPN_RectT<long>(100, 300, 0, 0));
    IMPN_PointT<long> const at(origin.left, origin.top);
    IMPN_PointT<double> p = view.ViewPointToUnitLengths(at, kIMPN_Inches);
    EXPECT_NEAR(0.0, p.x, 1e-9) << rotation;
    EXPECT_NEAR(0.0, p.y, 1e-9) << rotation;
    p = view.ViewPointToUnitLengths(IMPN_PointT<long>(at.x + 240, at.y - 480), kIMPN_Inches);
    EXPECT_NEAR(0.1, p.x, 1e-9) << rotation;
    EXPECT_NEAR(-0.2, p.y, 1e-9) << rotation;
  }
}

}  // namespace
