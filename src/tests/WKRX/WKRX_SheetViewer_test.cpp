#include "support/WKRX_ViewFixture.h"

#include "WKRX/WKRX_RulerView.h"

#include <gtest/gtest.h>

namespace {

class WKRXSheetViewer : public WKRX_ViewTest {
protected:
  RECT ViewRect() {
    RECT rect;
    GetWindowRect(View(), &rect);
    MapWindowPoints(nullptr, *m_Viewer, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  LRESULT ToViewer(UINT message, WPARAM wParam, int x, int y) {
    return SendMessageW(*m_Viewer, message, wParam, MAKELPARAM(x, y));
  }
  bool IsInk(int x, int y) { return m_Canvas->Pixel(x, y) == RGB(0x11, 0x11, 0x11); }
  // The pointer's line, far from the ticks looked at.
  void PointerAway() {
    m_Viewer->TopRuler().SetCursorPosition(IMPN_PointT<double>(1e6, 1e6));
    m_Viewer->LeftRuler().SetCursorPosition(IMPN_PointT<double>(1e6, 1e6));
  }
};

TEST_F(WKRXSheetViewer, TheViewLiesBesideTheRulersOrFillsTheViewerWithoutThem) {
  RECT rect = ViewRect();
  EXPECT_EQ(rect.left, 20);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right, 440 - 3);
  EXPECT_EQ(rect.bottom, 340 - 4);
  m_Viewer->HideRulers();
  rect = ViewRect();
  EXPECT_FALSE(m_Viewer->RulersShown());
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 440 - 3);
  m_Viewer->ShowRulers();
  EXPECT_EQ(ViewRect().left, 20);
}

TEST_F(WKRXSheetViewer, ARulerStartsAGuideOnlyWhileGuidesShowAndOnlyWhenTheMouseMoves) {
  Show();
  View().m_ShowGuideLines = false;
  ToViewer(WM_LBUTTONDOWN, MK_LBUTTON, 100, 10);
  EXPECT_FALSE(m_Viewer->DragPending());
  ToViewer(WM_MOUSEMOVE, MK_LBUTTON, 100, 30);
  EXPECT_FALSE(View().Tracking());

  View().m_ShowGuideLines = true;
  ToViewer(WM_LBUTTONDOWN, MK_LBUTTON, 100, 10);
  EXPECT_TRUE(m_Viewer->DragPending());
  EXPECT_EQ(m_Viewer->PendingToolMode(), kWKRX_ToolPlaceHorizontalGuide);
  ToViewer(WM_LBUTTONUP, 0, 100, 10);
  ToViewer(WM_MOUSEMOVE, 0, 100, 30);
  EXPECT_FALSE(View().Tracking());

  ToViewer(WM_LBUTTONDOWN, MK_LBUTTON, 10, 100);
  EXPECT_EQ(m_Viewer->PendingToolMode(), kWKRX_ToolPlaceVerticalGuide);
  ToViewer(WM_MOUSEMOVE, MK_LBUTTON, 30, 100);
  EXPECT_TRUE(View().Tracking());
  EXPECT_EQ(View().ToolMode(), kWKRX_ToolPlaceVerticalGuide);
  ReleaseCapture();
}

TEST_F(WKRXSheetViewer, TheCornerBoxStartsAnOriginDragAndADoubleClickResetsTheOrigin) {
  Show();
  View().m_ShowGuideLines = false;
  ToViewer(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  ToViewer(WM_MOUSEMOVE, MK_LBUTTON, 30, 30);
  EXPECT_EQ(View().ToolMode(), kWKRX_ToolMoveOrigin);
  ReleaseCapture();
  View().m_UnitOriginX = 10;
  View().m_UnitOriginY = 20;
  ToViewer(WM_LBUTTONDBLCLK, MK_LBUTTON, 5, 5);
  EXPECT_EQ(View().m_UnitOriginX, 0);
  EXPECT_EQ(View().m_UnitOriginY, 0);
}

TEST_F(WKRXSheetViewer, ThePointerPositionGoesToBothRulers) {
  Show();
  IMPN_PointT<double> position(1.5, -2.25);
  SendMessageW(*m_Viewer, WKRX_WM_CURSORPOSITION, reinterpret_cast<WPARAM>(&position), 0);
  EXPECT_EQ(m_Viewer->TopRuler().CursorPosition(), position);
  EXPECT_EQ(m_Viewer->LeftRuler().CursorPosition(), position);
  // A move over the view sends it too.
  SendMessageW(View(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 40));
  EXPECT_NE(m_Viewer->TopRuler().CursorPosition(), position);
}

TEST_F(WKRXSheetViewer, TheCornerBoxIsRaisedWithDottedThirds) {
  Show();
  m_Viewer->PaintRulers(m_Canvas->DC());
  EXPECT_EQ(m_Canvas->Pixel(14, 14), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(m_Canvas->Pixel(10, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(m_Canvas->Pixel(0, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(m_Canvas->Pixel(10, 19), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(m_Canvas->Pixel(19, 10), GetSysColor(COLOR_BTNSHADOW));
  int black = 0;
  for (int i = 1; i < 19; ++i)
    black += (m_Canvas->Pixel(6, i) == RGB(0, 0, 0)) + (m_Canvas->Pixel(i, 6) == RGB(0, 0, 0));
  EXPECT_GT(black, 6);
  EXPECT_LT(black, 36);  // dotted, not solid
}

TEST_F(WKRXSheetViewer, WithoutASheetTheRulerAreasShowTheWorkspace) {
  SendMessageW(*m_Viewer, WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_Canvas->DC()), 0);
  EXPECT_EQ(m_Canvas->Pixel(5, 5), GetSysColor(COLOR_APPWORKSPACE));
  EXPECT_EQ(m_Canvas->Pixel(200, 5), GetSysColor(COLOR_APPWORKSPACE));
  EXPECT_EQ(m_Canvas->Pixel(5, 200), GetSysColor(COLOR_APPWORKSPACE));
}

TEST(WKRXRulerLabels, StartAtOrBeforeTheFirstVisibleValue) {
  EXPECT_FLOAT_EQ(WKRX_FirstRulerLabel(-3.2f, 1.0f), -4.0f);
  EXPECT_FLOAT_EQ(WKRX_FirstRulerLabel(0.37f, 0.25f), 0.0f);
  EXPECT_FLOAT_EQ(WKRX_FirstRulerLabel(7.0f, 2.0f), 6.0f);
}

TEST_F(WKRXSheetViewer, TheLeftRulersTicksStandAtTheirValues) {
  Show();  // 2400 pixels per inch
  IMPN_Preferences::sm_PreferredLinearUnits = kIMPN_Inches;
  View().SetZoomLevel(kIMPN_ZoomLevel1to32, true);  // 75 pixels per inch
  PointerAway();
  m_Viewer->PaintRulers(m_Canvas->DC());
  // Inch 1 lies 75 pixels below the band's top at 20; the inch tick spans the band.
  EXPECT_TRUE(IsInk(15, 95) || IsInk(15, 94));
  EXPECT_TRUE(IsInk(15, 20));
  EXPECT_FALSE(IsInk(15, 60));
}

class WKRXSheetViewerTurns : public WKRXSheetViewer, public testing::WithParamInterface<long> {};

// The zero tick of each ruler stands on the unit origin, however the sheet is turned.
TEST_P(WKRXSheetViewerTurns, TheZeroTicksMeetTheOrigin) {
  Show();
  IMPN_Preferences::sm_PreferredLinearUnits = kIMPN_Inches;
  View().SetZoomLevel(kIMPN_ZoomLevel1to8, false);
  for (long r = 0; r < GetParam(); r += 90)
    View().RotateRight();
  View().m_UnitOriginX = 400;
  View().m_UnitOriginY = 240;
  const IMPN_RectT<long> origin = View().ImageRectToViewFrameRect(IMPN_RectT<long>(240, 400, 0, 0));
  const POINT scroll = View().ScrollPosition();
  PointerAway();
  m_Viewer->PaintRulers(m_Canvas->DC());
  const long x = 20 + origin.left - scroll.x;
  const long y = 20 + origin.top - scroll.y;
  EXPECT_TRUE(IsInk(x, 15) || IsInk(x - 1, 15) || IsInk(x + 1, 15)) << x;
  EXPECT_TRUE(IsInk(15, y) || IsInk(15, y - 1) || IsInk(15, y + 1)) << y;
}

INSTANTIATE_TEST_SUITE_P(Turns, WKRXSheetViewerTurns, testing::Values(0L, 90L, 180L, 270L));

TEST_F(WKRXSheetViewer, ASheetIsFittedToTheWindowWhenThePreferenceAsks) {
  IMPN_Preferences::sm_ZoomToFitWindowOnOpen = true;
  WKRX_ViewSheets::Layout layout;
  layout.width = 4000;
  layout.length = 3000;
  Show(layout);
  const SIZE client = ViewClient();
  const IMPN_ZoomLevel level = View().ZoomLevel();
  EXPECT_LT(View().Sheet()->GetImageWidth(level), client.cx);
  EXPECT_LT(View().Sheet()->GetImageLength(level), client.cy);
  const IMPN_ZoomLevel closer = static_cast<IMPN_ZoomLevel>(level - 1);
  EXPECT_TRUE(View().Sheet()->GetImageWidth(closer) >= client.cx ||
              View().Sheet()->GetImageLength(closer) >= client.cy);
}

}  // namespace

namespace {

TEST_F(WKRXSheetViewer, ThePointersLineCrossesBothRulers) {
  Show();
  IMPN_Preferences::sm_PreferredLinearUnits = kIMPN_Inches;
  View().SetZoomLevel(kIMPN_ZoomLevel1to32, true);  // 75 pixels per inch
  const IMPN_PointT<double> at(1.5, 2.0);
  SendMessageW(*m_Viewer, WKRX_WM_CURSORPOSITION, reinterpret_cast<WPARAM>(&at), 0);
  m_Viewer->PaintRulers(m_Canvas->DC());
  const COLORREF cursor = RGB(0x00, 0x4C, 0xFF);
  EXPECT_TRUE(m_Canvas->Pixel(20 + 112, 10) == cursor || m_Canvas->Pixel(20 + 113, 10) == cursor);
  EXPECT_TRUE(m_Canvas->Pixel(10, 20 + 150) == cursor || m_Canvas->Pixel(10, 20 + 149) == cursor);
}

}  // namespace
