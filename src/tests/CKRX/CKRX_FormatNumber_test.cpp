#include "CKRX/CKRX_FormatNumber.h"

#include "USTR/USTR_FormatNumber.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Units(USTR_String const& text) {
  return std::u16string(text.begin(), text.end());
}

USTR_String U(char const* text) {
  return USTR_NStringToUString(std::string(text));
}

bool LocaleIsEnglish() {
  return Units(USTR_FormatNumber(-1234.5, 1, false)) == u"-1,234.5";
}

class CKRX_FormatNumberTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!LocaleIsEnglish())
      GTEST_SKIP() << "needs an English user locale";
  }
};

TEST_F(CKRX_FormatNumberTest, CoordinatesPerUnit) {
  CKRX_FormatNumber format;
  struct Case {
    double x;
    double y;
    IMPN_Units units;
    unsigned long precision;
    std::u16string expected;
  };
  Case const cases[] = {
      {1.25, 3.5, kIMPN_Inches, 2, u"( 1.25, 3.50) in"},
      {-12.04, 1500.0, kIMPN_Millimeters, 1, u"( -12.0, 1,500.0) mm"},
      {72.0, 0.0, kIMPN_Points, 0, u"( 72, 0) pt"},
      {2.5, -0.5, kIMPN_Picas, 0, u"( 2p6, -0p6) "},  // picas carry no abbreviation
      {0.254, 1.0, kIMPN_Centimeters, 2, u"( 0.25, 1.00) cm"},
      {1.0, 2.0, static_cast<IMPN_Units>(7), 0, u"( 1, 2) "},
  };
  for (Case const& c : cases)
    EXPECT_EQ(c.expected, Units(format.FormatCoordinate(c.x, c.y, c.units, c.precision)))
        << c.units;
}

TEST_F(CKRX_FormatNumberTest, DistanceAndAngle) {
  CKRX_FormatNumber format;
  struct Case {
    double distance;
    double angle;
    IMPN_Units units;
    std::u16string expected;
  };
  Case const cases[] = {
      {12.5, 45.0, kIMPN_Millimeters, u"12.50 mm  |  +45.0\u00B0"},
      {12.5, -30.24, kIMPN_Millimeters, u"12.50 mm  |  -30.2\u00B0"},  // no plus before a minus
      {3.0, 0.0, kIMPN_Inches, u"3.00 in  |  0.0\u00B0"},              // zero: neither sign
      {1.5, 90.0, kIMPN_Picas, u"1p6.00  |  +90.0\u00B0"},
  };
  for (Case const& c : cases)
    EXPECT_EQ(c.expected,
              Units(format.FormatDistanceAngleVector(c.distance, c.angle, c.units, 2, 1)))
        << c.distance << " " << c.angle;
}

TEST_F(CKRX_FormatNumberTest, LocalisedAbbreviationsSurviveLaterConstructions) {
  CKRX_FormatNumber first;
  USTR_String const saved = CKRX_FormatNumber::sm_UnitNameAbbrev[kIMPN_Millimeters];
  first.SetString(kIMPN_Millimeters, U("MM"));
  first.SetString(static_cast<IMPN_Units>(5), U("ignored"));
  first.SetString(static_cast<IMPN_Units>(-1), U("ignored"));
  CKRX_FormatNumber second;
  EXPECT_EQ(u"( 1, 2) MM", Units(second.FormatCoordinate(1.0, 2.0, kIMPN_Millimeters, 0)));
  EXPECT_EQ(5u, CKRX_FormatNumber::sm_UnitNameAbbrev.size());
  first.SetString(kIMPN_Millimeters, saved);
  EXPECT_EQ(u"pt", Units(CKRX_FormatNumber::sm_UnitNameAbbrev[kIMPN_Points]));
  EXPECT_EQ(0x00B0, CKRX_FormatNumber::sm_DegreeSymbol);
}

TEST_F(CKRX_FormatNumberTest, LengthIsTheNumberAlone) {
  CKRX_FormatNumber format;
  EXPECT_EQ(u"2p6", Units(format.FormatLength(2.5, 0, kIMPN_Picas)));
  EXPECT_EQ(u"2.50", Units(format.FormatLength(2.5, 2, kIMPN_Centimeters)));
}

}  // namespace
