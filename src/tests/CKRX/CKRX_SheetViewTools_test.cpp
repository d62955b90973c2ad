#include "ViewFixture.h"

#include <string>

namespace {
using Rect = IMPN_RectT<long>;
using Point = IMPN_PointT<long>;

class SheetViewTools : public ViewFixture {
protected:
  // 1200 x 700 at 1:1.
  void SetUp() override {
    ViewFixture::SetUp();
    Bind();
    view.ScriptFrame(Rect(0, 0, 300, 200));
  }

  IMPN_ToolMode Tool(Point p, bool zoomKey = false, bool measureKey = false, bool panKey = false) {
    guide = 12345;
    return view.DetermineActiveTool(p, zoomKey, measureKey, panKey, guide);
  }

  long guide = 0;
};

TEST_F(SheetViewTools, KeysComeBeforeThePickedTool) {
  view.m_ActiveTool = kIMPN_ToolDensitometer;
  EXPECT_EQ(kIMPN_ToolZoom, Tool(Point(5, 5), true, true, true));
  EXPECT_EQ(kIMPN_ToolMeasure, Tool(Point(5, 5), false, true, true));
  EXPECT_EQ(12345, guide);
  view.m_ActiveTool = kIMPN_ToolMeasure;
  EXPECT_EQ(kIMPN_ToolMeasure, Tool(Point(5, 5)));
  view.m_ActiveTool = kIMPN_ToolZoom;
  EXPECT_EQ(kIMPN_ToolZoom, Tool(Point(5, 5)));
}

TEST_F(SheetViewTools, DensitometerFrameEdgesInsideAndOutside) {
  view.m_ActiveTool = kIMPN_ToolDensitometer;
  EXPECT_EQ(kIMPN_ToolDensitometerNoFrame, Tool(Point(5, 5)));
  EXPECT_EQ(kIMPN_ToolDensitometerNoFrame, Tool(Point(500, 400)));

  // Base {100, 100, 50, 40} at 1:1 upright: outline at y 99 and 141, x 99 and 151.
  view.m_DensitometerFrame = Rect(100, 100, 50, 40);
  struct Case {
    Point point;
    IMPN_ToolMode mode;
  };
  for (Case c :
       {Case{Point(99, 99), kIMPN_ToolFrameTop}, Case{Point(151, 99), kIMPN_ToolFrameTop},
        Case{Point(120, 100), kIMPN_ToolFrameTop}, Case{Point(99, 141), kIMPN_ToolFrameBottom},
        Case{Point(120, 140), kIMPN_ToolFrameBottom}, Case{Point(99, 120), kIMPN_ToolFrameLeft},
        Case{Point(100, 120), kIMPN_ToolFrameLeft}, Case{Point(151, 120), kIMPN_ToolFrameRight},
        Case{Point(125, 120), kIMPN_ToolFrameInside}, Case{Point(98, 120), kIMPN_ToolDensitometer},
        Case{Point(120, 142), kIMPN_ToolDensitometer},
        Case{Point(500, 500), kIMPN_ToolDensitometer}}) {
    SCOPED_TRACE(std::to_string(c.point.x) + "," + std::to_string(c.point.y));
    EXPECT_EQ(c.mode, Tool(c.point));
  }

  // At 2:1 turned a quarter the frame shows elsewhere: its outline follows.
  view.SetZoomLevel(kIMPN_ZoomLevel2to1, false);
  view.m_Rotation = 90;
  Rect const shown = view.ImageRectToViewFrameRect(view.m_DensitometerFrame);
  EXPECT_EQ(kIMPN_ToolFrameTop, Tool(Point(shown.left + 10, shown.top - 1)));
  EXPECT_EQ(kIMPN_ToolFrameRight, Tool(Point(shown.left + shown.width + 1, shown.top + 10)));
  EXPECT_EQ(kIMPN_ToolDensitometer, Tool(Point(120, 120)));
}

TEST_F(SheetViewTools, PanOrSpaceBarFindsGuideLines) {
  view.m_FrontGuideLines.horizontal = {50};
  view.m_FrontGuideLines.vertical = {80};
  view.m_BackGuideLines.horizontal = {10};
  struct Case {
    IMPN_ToolMode picked;
    bool panKey;
    Point point;
    IMPN_ToolMode mode;
    long position;
  };
  for (Case c : {Case{kIMPN_ToolPan, false, Point(300, 51), kIMPN_ToolHorizontalGuide, 50},
                 Case{kIMPN_ToolPan, false, Point(79, 300), kIMPN_ToolVerticalGuide, 80},
                 Case{kIMPN_ToolPan, false, Point(80, 50), kIMPN_ToolHorizontalGuide, 50},
                 Case{kIMPN_ToolPan, false, Point(300, 10), kIMPN_ToolPan, -1},
                 Case{kIMPN_ToolDensitometer, true, Point(300, 49), kIMPN_ToolHorizontalGuide, 50},
                 Case{kIMPN_ToolMeasure, true, Point(300, 300), kIMPN_ToolPan, -1}}) {
    SCOPED_TRACE(std::to_string(c.point.x) + "," + std::to_string(c.point.y));
    view.m_ActiveTool = c.picked;
    EXPECT_EQ(c.mode, Tool(c.point, false, false, c.panKey));
    EXPECT_EQ(c.position, guide);
  }
  // The back's guides count when the back is viewed.
  view.m_PageFlipped = true;
  view.m_ActiveTool = kIMPN_ToolPan;
  EXPECT_EQ(kIMPN_ToolHorizontalGuide, Tool(Point(300, 10)));
  EXPECT_EQ(10, guide);
}

TEST_F(SheetViewTools, GuideLinesAreFoundWithinOnePixelAtEveryLevelAndRotation) {
  // Level 1:8: base 800 shows at 100.
  view.m_FrontGuideLines.horizontal = {800};
  view.SetZoomLevel(kIMPN_ZoomLevel1to8, false);
  long position = 0;
  for (long y : {99L, 100L, 101L})
    EXPECT_TRUE(view.NearHorizontalGuideLine(Point(5, y), position)) << y;
  EXPECT_EQ(800, position);
  EXPECT_FALSE(view.NearHorizontalGuideLine(Point(5, 98), position));
  EXPECT_EQ(-1, position);

  // 1:1, image 1200 x 700: horizontal guide at y 300, vertical guide at x 500.
  view.SetZoomLevel(kIMPN_ZoomLevel1to1, false);
  view.m_FrontGuideLines.horizontal = {300};
  view.m_FrontGuideLines.vertical = {500};
  struct Case {
    long rotation;
    Point horizontalHit;
    Point verticalHit;
  };
  for (Case c :
       {Case{0, Point(7, 300), Point(500, 7)}, Case{90, Point(400, 7), Point(7, 500)},
        Case{180, Point(7, 400), Point(700, 7)}, Case{270, Point(300, 7), Point(7, 700)}}) {
    SCOPED_TRACE(c.rotation);
    view.m_Rotation = c.rotation;
    EXPECT_TRUE(view.NearHorizontalGuideLine(c.horizontalHit, position));
    EXPECT_EQ(300, position);
    EXPECT_TRUE(view.NearVerticalGuideLine(c.verticalHit, position));
    EXPECT_EQ(500, position);
    // Across the line's direction nothing is near.
    EXPECT_FALSE(
        view.NearHorizontalGuideLine(Point(c.horizontalHit.y, c.horizontalHit.x), position));
  }
}

TEST_F(SheetViewTools, OfTwoNeighbouringGuidesTheSmallerPositionWins) {
  view.m_FrontGuideLines.horizontal = {41, 40};
  long position = 0;
  EXPECT_TRUE(view.NearHorizontalGuideLine(Point(0, 41), position));
  EXPECT_EQ(40, position);
}

TEST_F(SheetViewTools, GuideSetsClearAndReportPresence) {
  EXPECT_FALSE(view.AnyGuideLinesPresent());
  view.m_BackGuideLines.vertical = {3};
  EXPECT_TRUE(view.AnyGuideLinesPresent());
  view.m_FrontGuideLines.horizontal = {4};
  view.ClearGuideLines();
  EXPECT_FALSE(view.AnyGuideLinesPresent());
  EXPECT_EQ((std::vector<std::string>{"RefreshView"}), view.calls);
}

TEST_F(SheetViewTools, HidingAndShowingEdgeInfoRestoresTheSwitches) {
  view.m_ShowBleed = true;
  view.ToggleShowPageNumbers();
  EXPECT_TRUE(view.AnyEdgeInfoVisible());
  view.HideEdgeInfo();
  EXPECT_FALSE(view.AnyEdgeInfoVisible());
  EXPECT_FALSE(view.m_ShowBleed || view.m_ShowPageNumbers);
  view.ShowEdgeInfo();
  EXPECT_TRUE(view.m_ShowBleed && view.m_ShowPageNumbers);
  EXPECT_FALSE(view.m_ShowPressSheetEdge || view.m_ShowPageEdges || view.m_ShowTypeSafety);
  EXPECT_EQ(3u, view.Count("RefreshView"));
  view.ToggleShowPageEdges();
  view.ToggleShowPageEdges();
  EXPECT_FALSE(view.m_ShowPageEdges);
}

TEST_F(SheetViewTools, ClipPathsAndTypeSafetyCountOnlyWhenTheSheetHasThem) {
  view.HideEdgeInfo();
  view.m_ShowSourceClipPaths = true;
  view.m_ShowTypeSafety = true;
  view.m_ClipPathsAvailable = false;
  view.m_TypeSafetyAvailable = false;
  EXPECT_FALSE(view.AnyEdgeInfoVisible());
  view.m_ClipPathsAvailable = true;
  EXPECT_TRUE(view.AnyEdgeInfoVisible());
  view.m_ClipPathsAvailable = false;
  view.m_TypeSafetyAvailable = true;
  EXPECT_TRUE(view.AnyEdgeInfoVisible());
}

TEST_F(SheetViewTools, ResettingTheDensitometerFrameAndOriginDoesNotRefresh) {
  view.m_DensitometerFrame = Rect(1, 2, 3, 4);
  view.m_UnitOriginX = 5;
  view.m_UnitOriginY = 6;
  view.ResetDensitometerFrame();
  view.ResetUnitOrigin();
  EXPECT_EQ(Rect(0, 0, 0, 0), view.m_DensitometerFrame);
  EXPECT_EQ(0, view.m_UnitOriginX);
  EXPECT_EQ(0, view.m_UnitOriginY);
  EXPECT_TRUE(view.calls.empty());
}

TEST_F(SheetViewTools, WindowTitleNamesJobSignatureWebAndSide) {
  TestSheets::Layout layout;
  layout.title = "Leaflet";
  layout.signature = 3;
  Bind(layout);
  USTR_String const front = view.GetWindowTitle();
  view.TogglePageFlipped();
  USTR_String const back = view.GetWindowTitle();
  EXPECT_FALSE(front.empty());
#if defined(_WIN32)
  std::string const web = std::to_string(view.m_Sheet->GetWeb());
  std::wstring const start = L"Leaflet \u2022 Signature 3 \u2022 Web " +
                             std::wstring(web.begin(), web.end()) + L" \u2022 ";
  EXPECT_EQ(USTR_WStringToUString(GLIB_WString((start + L"Front").c_str())), front);
  EXPECT_EQ(USTR_WStringToUString(GLIB_WString((start + L"Back").c_str())), back);
#endif
}
}  // namespace
