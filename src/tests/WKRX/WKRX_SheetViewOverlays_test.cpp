#include "CKRX/CKRX_Context.h"
#include "support/WKRX_ShellTest.h"
#include "support/WKRX_ViewTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace {

const COLORREF kBackground = RGB(32, 64, 96);

COLORREF Ref(const IMPN_RGBColor8& c) {
  return RGB(c.red, c.green, c.blue);
}

class WKRXSheetViewOverlays : public WKRX_ShellTest {
protected:
  void SetUp() override {
    WKRX_ShellTest::SetUp();
    IMPN_Preferences::SetToDefaultValues();
    m_View.BindSheet(WKRX_ViewSheets::Make(WKRX_ViewSheets::Layout()));
    m_Width = m_View.Sheet()->GetImageWidth(kIMPN_ZoomLevel1to1);
    m_Length = m_View.Sheet()->GetImageLength(kIMPN_ZoomLevel1to1);
  }
  void TearDown() override {
    IMPN_Preferences::SetToDefaultValues();
    WKRX_ShellTest::TearDown();
  }

  // Where a level rectangle shows, by the side's mirror and the portable view's turn.
  IMPN_RectT<long> Shown(IMPN_RectT<long> r, int mirror) {
    const long fx = m_View.Sheet()->GetBackupOffsetX(m_View.m_BackupAlignment, m_View.m_ZoomLevel);
    const long fy = m_View.Sheet()->GetBackupOffsetY(m_View.m_BackupAlignment, m_View.m_ZoomLevel);
    if (mirror == 1)
      r = IMPN_RectT<long>(r.top - fy, m_Width - fx - r.left - r.width, r.width, r.height);
    else if (mirror == 2)
      r = IMPN_RectT<long>(m_Length - fy - r.top - r.height, r.left - fx, r.width, r.height);
    const bool sideways = m_View.m_Rotation == 90 || m_View.m_Rotation == 270;
    return CKRX_SheetView::TransformRect(r, -m_View.m_Rotation, sideways ? m_Length : m_Width,
                                         sideways ? m_Width : m_Length);
  }

  template <class Draw>
  void InMode(int mirror, Draw draw) {
    CKRX_Context context(m_Canvas.DC());
    if (mirror < 0) {
      m_View.BeginFrontMode(context, 100);
      draw(context);
      m_View.EndFrontMode(context);
    } else {
      m_View.m_BackupMode = mirror;
      m_View.BeginBackMode(context, 100);
      draw(context);
      m_View.EndBackMode(context);
    }
  }

  WKRX_TestSheetView m_View;
  WKRX_DibCanvas m_Canvas{1300, 1300, kBackground};
  long m_Width = 0;
  long m_Length = 0;
};

class WKRXSheetViewEdges : public WKRXSheetViewOverlays,
                           public testing::WithParamInterface<std::tuple<long, int>> {};

// Each edge kind outlines its rectangle where the side shows it, in its own colour.
TEST_P(WKRXSheetViewEdges, OutlineTheirRectanglesWhereTheSideShowsThem) {
  const auto [rotation, mirror] = GetParam();
  m_View.m_Rotation = rotation;
  const IMPN_RectT<long> rect(100, 150, 300, 200);
  struct Kind {
    COLORREF colour;
    std::function<void(CKRX_Context&)> draw;
  };
  const std::vector<Kind> kinds = {
      {Ref(IMPN_Preferences::sm_PlateEdgeColor),
       [&](CKRX_Context& c) { m_View.DrawPlateEdge(c, rect, false); }},
      {Ref(IMPN_Preferences::sm_PressSheetEdgeColor),
       [&](CKRX_Context& c) { m_View.DrawPressSheetEdge(c, rect, false); }},
      {Ref(IMPN_Preferences::sm_BleedEdgeColor),
       [&](CKRX_Context& c) { m_View.DrawBleedEdges(c, {rect}, false); }},
      {Ref(IMPN_Preferences::sm_TypeSafetyEdgeColor),
       [&](CKRX_Context& c) { m_View.DrawTypeSafetyEdges(c, {rect}, false); }}};
  const IMPN_RectT<long> shown = Shown(rect, mirror);
  for (const Kind& kind : kinds) {
    m_Canvas.Fill(kBackground);
    InMode(mirror, kind.draw);
    for (const POINT& corner :
         {POINT{shown.left, shown.top}, POINT{shown.Right(), shown.top},
          POINT{shown.left, shown.Bottom()}, POINT{shown.Right(), shown.Bottom()}})
      EXPECT_EQ(m_Canvas.Pixel(corner.x, corner.y), kind.colour) << corner.x << "," << corner.y;
    EXPECT_EQ(m_Canvas.Pixel(shown.left + shown.width / 2, shown.top + shown.height / 2),
              kBackground);
  }
}

INSTANTIATE_TEST_SUITE_P(TurnsAndMirrors, WKRXSheetViewEdges,
                         testing::Combine(testing::Values(0L, 90L, 180L, 270L),
                                          testing::Values(-1, 1, 2)));

TEST_F(WKRXSheetViewOverlays, GuidesRunAcrossTheImageAndClipPathsClose) {
  IMPN_GuideLines guides;
  guides.horizontal.insert(50);
  guides.vertical.insert(70);
  InMode(-1, [&](CKRX_Context& c) { m_View.DrawGuideLines(c, guides, false); });
  const COLORREF guide = Ref(IMPN_Preferences::sm_GuideLineColor);
  EXPECT_EQ(m_Canvas.Pixel(0, 50), guide);
  EXPECT_EQ(m_Canvas.Pixel(m_Width - 1, 50), guide);
  EXPECT_EQ(m_Canvas.Pixel(70, m_Length - 1), guide);
  EXPECT_EQ(m_Canvas.Pixel(m_Width + 5, 50), kBackground);

  m_Canvas.Fill(kBackground);
  IMPN_SCPath triangle;
  triangle.points = {IMPN_PointT<long>(10, 10), IMPN_PointT<long>(100, 10),
                     IMPN_PointT<long>(10, 60)};
  CKRX_ClipPathList pages(1);
  pages[0].push_back(triangle);
  pages[0].push_back(IMPN_SCPath());  // a path without points draws nothing
  InMode(-1, [&](CKRX_Context& c) { m_View.DrawSourceClipPaths(c, pages, false); });
  const COLORREF bleed = Ref(IMPN_Preferences::sm_BleedEdgeColor);
  EXPECT_EQ(m_Canvas.Pixel(50, 10), bleed);
  EXPECT_EQ(m_Canvas.Pixel(10, 40), bleed);
  EXPECT_EQ(m_Canvas.Pixel(55, 35), bleed);  // the closing side
}

TEST_F(WKRXSheetViewOverlays, TheDensitometerFrameIsDashedAndAnEmptyOneIsNotDrawn) {
  InMode(-1, [&](CKRX_Context& c) {
    m_View.DrawDensitometerFrame(c, IMPN_RectT<long>(20, 20, 0, 40));
  });
  EXPECT_EQ(m_Canvas.Pixel(20, 20), kBackground);
  InMode(-1, [&](CKRX_Context& c) {
    m_View.DrawDensitometerFrame(c, IMPN_RectT<long>(20, 20, 200, 40));
  });
  const COLORREF frame =
      RGB(IMPN_Preferences::sm_NavigationFrame.red, IMPN_Preferences::sm_NavigationFrame.green,
          IMPN_Preferences::sm_NavigationFrame.blue);
  int on = 0;
  for (int x = 20; x < 220; ++x)
    on += m_Canvas.Pixel(x, 20) == frame ? 1 : 0;
  EXPECT_GT(on, 50);
  EXPECT_LT(on, 200);
}

// The number bar lies along the page's own top, wherever the page's orientation turns it.
TEST_F(WKRXSheetViewOverlays, APagesNumberBarLiesAlongItsOwnTop) {
  const COLORREF page = Ref(IMPN_Preferences::sm_PageEdgeColor);
  // 200 x 300 at (x 100, t 50): m = 200, bar 8 pixels from the top, 12 to 20 down.
  const struct {
    std::uint16_t orientation;
    POINT bar;
    POINT fold;  // the folded corner's inner point, at the page's own top right
  } cases[] = {{0, {100 + 84, 50 + 16}, {100 + 200 - 32, 50 + 32}},
               {1, {100 + 200 - 84, 50 + 300 - 16}, {100 + 32, 50 + 300 - 32}},
               {2, {100 + 16, 50 + 300 - 134}, {100 + 32, 50 + 32}},
               {3, {100 + 200 - 16, 50 + 134}, {100 + 200 - 32, 50 + 300 - 32}}};
  for (const auto& c : cases) {
    m_Canvas.Fill(kBackground);
    IMPN_PageEdge edge;
    edge.pageNumber = 7;
    edge.orientation = c.orientation;
    edge.rect = IMPN_RectT<long>(50, 100, 200, 300);
    InMode(-1, [&](CKRX_Context& context) {
      m_View.DrawPageEdges(context, {edge}, false, true, true);
    });
    EXPECT_EQ(m_Canvas.Pixel(c.bar.x, c.bar.y), page) << c.orientation;
    EXPECT_EQ(m_Canvas.Pixel(c.fold.x, c.fold.y), page) << c.orientation;
    // Dashed, the bar is only outlined.
    m_Canvas.Fill(kBackground);
    InMode(-1,
           [&](CKRX_Context& context) { m_View.DrawPageEdges(context, {edge}, true, true, true); });
    EXPECT_EQ(m_Canvas.Pixel(c.bar.x, c.bar.y), kBackground) << c.orientation;
  }
}

}  // namespace
