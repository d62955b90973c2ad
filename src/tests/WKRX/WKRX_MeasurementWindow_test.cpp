#include "WKRX/WKRX_MeasurementWindow.h"

#include "IMPN/IMPN_Preferences.h"
#include "support/WKRX_ViewFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DWORD kPaletteStyle = 0x86CF0000;

TEST(WKRXMeasurementAngle, DragsAlongTheAxesAndBetweenThem) {
  struct Case {
    double dx, dy, angle;
  } const cases[] = {{5, 0, 0},  {-5, 0, 180},   {0, 5, 90}, {0, -5, -90},
                     {3, 3, 45}, {-3, -3, -135}, {0, 0, 90}, {1e-9, 0, 0}};
  for (const Case& c : cases)
    EXPECT_NEAR(WKRX_MeasurementWindow::Angle(c.dx, c.dy), c.angle, 1e-9) << c.dx << "," << c.dy;
}

class WKRXMeasurementWindow : public WKRX_ShellTest {
protected:
  void SetUp() override {
    WKRX_ShellTest::SetUp();
    IMPN_Preferences::SetToDefaultValues();
    RECT rect = {0, 0, 300, 150};
    ASSERT_NE(m_Palette.Create(m_Host, rect, L"Measurement", kPaletteStyle), nullptr);
  }
  void TearDown() override {
    if (m_Palette.IsWindow())
      m_Palette.DestroyWindow();
    IMPN_Preferences::SetToDefaultValues();
    WKRX_ShellTest::TearDown();
  }

  WKRX_RecordingFrame m_Host;
  WKRX_MeasurementWindow m_Palette;
};

TEST_F(WKRXMeasurementWindow, ThreeRowsOfOwnerDrawnCaptionsAndValues) {
  const wchar_t* const captions[] = {L"Distance | Angle :", L"Delta ( h, v ) :",
                                     L"Current ( h, v ) :"};
  for (int row = 0; row < WKRX_MeasurementWindow::kRowCount; ++row) {
    WKRX_MeasurementPanel& panel = m_Palette.Panel(static_cast<WKRX_MeasurementWindow::Row>(row));
    ASSERT_TRUE(panel.IsWindow());
    RECT rect;
    panel.GetWindowRect(&rect);
    MapWindowPoints(nullptr, m_Palette, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.top, 4 + 24 * row);
    EXPECT_EQ(rect.right - rect.left, 270);
    EXPECT_EQ(rect.bottom - rect.top, 24);
    EXPECT_NE(panel.GetWindowLongPtr(GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);
    EXPECT_EQ(panel.Caption().GetText(), captions[row]);
    EXPECT_TRUE(panel.Value().GetText().empty());
    for (const WKRX_StaticTextCtrl* text : {&panel.Caption(), &panel.Value()}) {
      EXPECT_EQ(text->GetWindowLongPtr(GWL_STYLE) & 0xFFFF00FF, 0x5000000Du);
      EXPECT_EQ(reinterpret_cast<HFONT>(text->SendMessage(WM_GETFONT)),
                static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    }
    EXPECT_EQ(GetDlgCtrlID(panel.Caption()), 4401);
    EXPECT_EQ(GetDlgCtrlID(panel.Value()), 4402);
  }
  // The panel hands its children's drawing back to them: the caption paints its text.
  WKRX_MeasurementPanel& panel = m_Palette.Panel(WKRX_MeasurementWindow::kDistanceAngle);
  WKRX_DibCanvas canvas(120, 24, RGB(1, 2, 3));
  SelectObject(canvas.DC(), GetStockObject(DEFAULT_GUI_FONT));
  DRAWITEMSTRUCT item = {ODT_STATIC,      4401, 0, ODA_DRAWENTIRE, 0, panel.Caption(), canvas.DC(),
                         {0, 0, 102, 16}, 0};
  EXPECT_TRUE(panel.SendMessage(WM_DRAWITEM, 4401, reinterpret_cast<LPARAM>(&item)));
  int ink = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 102; ++x)
      ink += canvas.Pixel(x, y) != GetSysColor(COLOR_BTNFACE);
  EXPECT_GT(ink, 20);
  EXPECT_EQ(canvas.Pixel(110, 20), RGB(1, 2, 3));
}

TEST_F(WKRXMeasurementWindow, ReadOutsInTheUnitAndPrecisionAsked) {
  IMPN_Preferences::sm_LinearUnitPrecision = 2;
  IMPN_Preferences::sm_AngularUnitPrecision = 1;
  m_Palette.SetDistance(3, -4, kIMPN_Millimeters);
  m_Palette.SetCurrentPosition(12.5, 0.25, kIMPN_Millimeters);
  const GLIB_WString distance = m_Palette.Text(WKRX_MeasurementWindow::kDistanceAngle);
  const GLIB_WString delta = m_Palette.Text(WKRX_MeasurementWindow::kDelta);
  const GLIB_WString current = m_Palette.Text(WKRX_MeasurementWindow::kCurrent);
  EXPECT_EQ(distance, L"5.00 mm  |  -53.1\u00B0") << std::string(distance.begin(), distance.end());
  EXPECT_EQ(delta, L"( 3.00, -4.00) mm");
  EXPECT_EQ(current, L"( 12.50, 0.25) mm");
  EXPECT_EQ(m_Palette.Panel(WKRX_MeasurementWindow::kDelta).Value().GetText(), delta);

  IMPN_Preferences::sm_LinearUnitPrecision = 0;
  IMPN_Preferences::sm_AngularUnitPrecision = 3;
  m_Palette.SetDistance(0, 0, kIMPN_Inches);
  EXPECT_EQ(m_Palette.Text(WKRX_MeasurementWindow::kDistanceAngle), L"0 in  |  +90.000\u00B0");
  m_Palette.SetDistance(-18, 0, kIMPN_Points);
  EXPECT_EQ(m_Palette.Text(WKRX_MeasurementWindow::kDelta), L"( -18, 0) pt");
  m_Palette.SetDistance(-18, 0, kIMPN_Picas);
  EXPECT_EQ(m_Palette.Text(WKRX_MeasurementWindow::kDelta), L"( -18p, 0p) ");
  // The position keeps the last one until the next.
  EXPECT_EQ(m_Palette.Text(WKRX_MeasurementWindow::kCurrent), current);
}

TEST_F(WKRXMeasurementWindow, ActivationClosingAndTheMinimumSize) {
  m_Palette.SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(HWND(m_Host)));
  m_Palette.SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
  m_Palette.SendMessage(WM_CLOSE, 0, 0);
  const auto deactivated = WKRX_RecordingFrame::Of(WKRX_WM_PALETTEDEACTIVATED);
  const auto activated = WKRX_RecordingFrame::Of(WKRX_WM_PALETTEACTIVATED);
  const auto hidden = WKRX_RecordingFrame::Of(WKRX_WM_PALETTEHIDDEN);
  ASSERT_FALSE(deactivated.empty());
  ASSERT_FALSE(activated.empty());
  ASSERT_EQ(hidden.size(), 1u);
  EXPECT_EQ(deactivated[0].wParam, 10144u);
  EXPECT_EQ(deactivated[0].lParam, reinterpret_cast<LPARAM>(HWND(m_Host)));
  EXPECT_EQ(activated[0].wParam, 10144u);
  EXPECT_EQ(hidden[0].lParam, reinterpret_cast<LPARAM>(m_Palette.m_hWnd));
  EXPECT_FALSE(m_Palette.IsWindowVisible());
  MINMAXINFO info = {};
  m_Palette.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 270);
  EXPECT_EQ(info.ptMinTrackSize.y, dockwins::COutlookLikeCaption::Thickness() + 80);
}

}  // namespace
