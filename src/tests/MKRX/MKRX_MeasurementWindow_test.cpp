// The measurement palette: its texts from the program's nib, the angle of a delta, and the
// formats it shows them in.
#include "support/MKRX_Fixture.h"

#include "IMPN/IMPN_Preferences.h"
#include "MKRX/MKRX_MeasurementWindow.h"
#include "USTR/USTR_FormatNumber.h"

#include <HIToolbox/MacWindows.h>
#include <PPx/PPxExceptions.h>

#include <string>

namespace {

std::u16string Text(USTR_String const& text) {
  return std::u16string(text.begin(), text.end());
}

bool EndsWith(std::u16string const& text, std::u16string const& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class MKRX_MeasurementWindowTest : public MKRX_Fixture {
protected:
  void SetUp() override {
    MKRX_Fixture::SetUp();
    IMPN_Preferences::SetToDefaultValues();
    m_Window = std::make_unique<MKRX_MeasurementWindow>();
  }
  void TearDown() override {
    m_Window.reset();
    MKRX_Fixture::TearDown();
  }
  std::unique_ptr<MKRX_MeasurementWindow> m_Window;
};

TEST_F(MKRX_MeasurementWindowTest, TheTextsStartEmptyAndTheWindowKnowsItsPalette) {
  EXPECT_TRUE(m_Window->PositionText().empty());
  EXPECT_TRUE(m_Window->DeltaText().empty());
  EXPECT_TRUE(m_Window->DistanceAngleText().empty());
  MKRX_MeasurementWindow* stored = nullptr;
  EXPECT_EQ(noErr, GetWindowProperty(m_Window->GetSysWindow(), 0x4E6C7432, 0x4D657357,
                                     sizeof stored, nullptr, &stored));
  EXPECT_EQ(m_Window.get(), stored);
}

TEST_F(MKRX_MeasurementWindowTest, TheAngleRunsFromThePositiveXDirectionWithTheSignOfDy) {
  struct Case {
    double dx, dy, angle;
  } const cases[] = {{0, 0, 90},   {0, 5, 90}, {0, -5, -90},   {3, 0, 0},
                     {-3, 0, 180}, {1, 1, 45}, {-1, -1, -135}, {1, -1, -45}};
  for (Case const& c : cases)
    EXPECT_NEAR(c.angle, MKRX_MeasurementWindow::Angle(c.dx, c.dy), 1e-9) << c.dx << ", " << c.dy;
}

TEST_F(MKRX_MeasurementWindowTest, TheDeltaShowsItsDistanceAngleAndComponents) {
  if (Text(USTR_FormatNumber(-1234.5, 1, false)) != u"-1,234.5")
    GTEST_SKIP() << "needs an English user locale";
  IMPN_Preferences::sm_LinearUnitPrecision = 2;
  IMPN_Preferences::sm_AngularUnitPrecision = 1;
  m_Window->SetDeltaText(3, -4, kIMPN_Millimeters);
  EXPECT_EQ(u"5.00 mm  |  -53.1\u00B0", Text(m_Window->DistanceAngleText()));
  EXPECT_EQ(u"( 3.00, -4.00) mm", Text(m_Window->DeltaText()));
  m_Window->SetDeltaText(0, 0, kIMPN_Inches);
  EXPECT_EQ(u"0.00 in  |  +90.0\u00B0", Text(m_Window->DistanceAngleText()));
  m_Window->SetPositionText(1.5, 2, kIMPN_Points);
  EXPECT_EQ(u"( 1.50, 2.00) pt", Text(m_Window->PositionText()));
}

TEST_F(MKRX_MeasurementWindowTest, PicasCarryNoAbbreviation) {
  m_Window->SetPositionText(2.5, 1, kIMPN_Picas);
  EXPECT_TRUE(EndsWith(Text(m_Window->PositionText()), u") "));
  m_Window->SetDeltaText(-2, 0, kIMPN_Picas);
  std::u16string const distance = Text(m_Window->DistanceAngleText());
  EXPECT_EQ(std::u16string::npos, distance.find(u" p"));
  std::size_t const bar = distance.find(u"  |  ");
  ASSERT_NE(std::u16string::npos, bar);
  EXPECT_NE(u' ', distance[bar - 1]);
  EXPECT_NE(std::u16string::npos, distance.find(u"180"));
}

TEST_F(MKRX_MeasurementWindowTest, ClosingHidesThePalette) {
  m_Window->Show();
  ASSERT_TRUE(m_Window->IsVisible());
  m_Window->Close();
  StandIn_RunUntilIdle();
  EXPECT_FALSE(m_Window->IsVisible());
}

}  // namespace
