#include "IMPN/IMPN_ColorDatabase.h"

#include "ColorDatabaseFixture.h"

#include <gtest/gtest.h>

namespace {
IMPN_RGBColor8 const kUntouched(1, 2, 3);
}  // namespace

TEST_F(ColorDatabaseTest, BuiltInProcessColoursWinOverTheFile) {
  LoadPantone(ColorDBBytes().Header(2).RGB("CYAN", 9, 9, 9).RGB("PANTONE 185 C", 228, 0, 43));
  EXPECT_EQ(IMPN_ColorDatabase::sm_PantoneColorMap.size(), 8u);
  EXPECT_EQ(IMPN_ColorDatabase::sm_PantoneColorMap.find("cyan")->first, "Cyan");
  EXPECT_EQ(IMPN_ColorDatabase::sm_PantoneColorMap["CYAN"].kind, kIMPN_RecipeCMYK);
  EXPECT_EQ(IMPN_ColorDatabase::sm_PantoneColorFilePath, folder.File("Pantone.colordb").string());

  IMPN_RGBColor8 out = kUntouched;
  EXPECT_TRUE(IMPN_ColorDatabase::GetPantoneRecipe(out, "Blue"));
  EXPECT_EQ(out, IMPN_RGBColor8(0, 0, 255));
  // Upper-case process names are no Pantone names: they find the built-ins unchanged.
  EXPECT_TRUE(IMPN_ColorDatabase::GetPantoneRecipe(out, "BLACK"));
  impn_CMYKColor8 black = {0, 0, 0, 100};
  EXPECT_EQ(out, IMPN_ColorDatabase::IMPNCMYKToRGB(black));
}

TEST_F(ColorDatabaseTest, ResolvePantoneNameNormalisesTheSuffix) {
  struct Case {
    char const* in;
    char const* out;
  };
  Case const cases[] = {{"PANTONE 185 C", "PANTONE 185 C"},
                        {"PANTONE 072 U", "PANTONE 072 U"},
                        {"PANTONE 185 CVS", "PANTONE 185 CVS"},
                        {"PANTONE 185 CVU", "PANTONE 185 U"},
                        {"PANTONE 185 CVC", "PANTONE 185 C"},
                        {"PANTONE 185 CV", "PANTONE 185 C"},
                        {"PANTONE 185 PC", "PANTONE 185 C"},
                        {"PANTONE 185 EC", "PANTONE 185 C"},
                        {"PANTONE Warm Red", "PANTONE Warm Red C"},
                        {"PANTONE 185 c", "PANTONE 185 c C"},
                        {"PANTONE", "PANTONE C"},
                        {"", " C"}};
  for (Case const& c : cases) {
    std::string name = c.in;
    IMPN_ColorDatabase::ResolvePantoneName(name);
    EXPECT_EQ(name, c.out) << c.in;
  }
}

TEST_F(ColorDatabaseTest, PantoneLookupsNormaliseNamesThatSayPantone) {
  LoadPantone(ColorDBBytes()
                  .Header(3)
                  .RGB("PANTONE 185 C", 228, 0, 43)
                  .RGB("PANTONE 185 U", 240, 80, 90)
                  .RGB("Orange", 255, 128, 0));
  struct Case {
    char const* name;
    bool found;
    IMPN_RGBColor8 colour;
  };
  Case const cases[] = {{"PANTONE 185 CVC", true, IMPN_RGBColor8(228, 0, 43)},
                        {"Pantone 185", true, IMPN_RGBColor8(228, 0, 43)},
                        {"pantone 185 CVU", true, IMPN_RGBColor8(240, 80, 90)},
                        {"PANTONE 186 C", false, kUntouched},
                        {"Orange", true, IMPN_RGBColor8(255, 128, 0)},
                        {"ORANGE", true, IMPN_RGBColor8(255, 128, 0)}};
  for (Case const& c : cases) {
    IMPN_RGBColor8 out = kUntouched;
    EXPECT_EQ(IMPN_ColorDatabase::GetPantoneRecipe(out, c.name), c.found) << c.name;
    EXPECT_EQ(out, c.colour) << c.name;
  }
}

TEST_F(ColorDatabaseTest, UserLookupsTakeTheNameAsItIs) {
  std::string const path = folder.File("Custom.colordb").string();
  ColorDBBytes().Header(2).RGB("Spot CV", 10, 20, 30).Entry("Odd", 0x77, {}).WriteTo(path);
  IMPN_ColorDatabase::LoadCustomColors(path);
  EXPECT_EQ(IMPN_ColorDatabase::sm_CustomColorFilePath, path);

  IMPN_RGBColor8 out = kUntouched;
  EXPECT_FALSE(IMPN_ColorDatabase::GetUserRecipe(out, "Spot C"));
  EXPECT_EQ(out, kUntouched);
  EXPECT_TRUE(IMPN_ColorDatabase::GetUserRecipe(out, "spot cv"));
  EXPECT_EQ(out, IMPN_RGBColor8(10, 20, 30));

  // A recipe of another kind is found and leaves the caller's colour alone.
  IMPN_ColorDatabase::sm_CustomColorMap["Odd"] = ColorRecipe::OfKind(0x77);
  out = kUntouched;
  EXPECT_TRUE(IMPN_ColorDatabase::GetUserRecipe(out, "Odd"));
  EXPECT_EQ(out, kUntouched);
}

TEST_F(ColorDatabaseTest, InsertCustomColorRespectsPantoneNamesAndKeepsSpelling) {
  LoadPantone(ColorDBBytes().Header(0));
  IMPN_RGBColor8 colour(40, 50, 60);
  IMPN_ColorDatabase::InsertCustomColor(colour, "cyan");
  EXPECT_TRUE(IMPN_ColorDatabase::sm_CustomColorMap.empty());

  IMPN_ColorDatabase::InsertCustomColor(colour, "gold");
  IMPN_RGBColor8 replacement(70, 80, 90);
  IMPN_ColorDatabase::InsertCustomColor(replacement, "Gold");
  ASSERT_EQ(IMPN_ColorDatabase::sm_CustomColorMap.size(), 1u);
  EXPECT_EQ(IMPN_ColorDatabase::sm_CustomColorMap.begin()->first, "gold");
  IMPN_RGBColor8 out;
  EXPECT_TRUE(IMPN_ColorDatabase::GetUserRecipe(out, "GOLD"));
  EXPECT_EQ(out, replacement);
}

TEST_F(ColorDatabaseTest, ALookupConvertsOnceAndTheSaveKeepsTheRecipe) {
  std::string const path = folder.File("Custom.colordb").string();
  ColorDBBytes().Header(2).CMYK("Teal", 80, 0, 40, 10).Lab("Sky", 70, -10, -30).WriteTo(path);
  IMPN_ColorDatabase::LoadCustomColors(path);

  IMPN_RGBColor8 first;
  IMPN_RGBColor8 second;
  ASSERT_TRUE(IMPN_ColorDatabase::GetUserRecipe(first, "Teal"));
  ColorRecipe const& teal = IMPN_ColorDatabase::sm_CustomColorMap["Teal"];
  EXPECT_TRUE(teal.hasScreenColor);
  EXPECT_EQ(teal.screenColor, first);
  impn_CMYKColor8 tealRecipe = {80, 0, 40, 10};
  EXPECT_EQ(first, IMPN_ColorDatabase::IMPNCMYKToRGB(tealRecipe));
  ASSERT_TRUE(IMPN_ColorDatabase::GetUserRecipe(second, "Teal"));
  EXPECT_EQ(second, first);
  ASSERT_TRUE(IMPN_ColorDatabase::GetUserRecipe(first, "Sky"));

  IMPN_RGBColor8 added(1, 2, 3);
  IMPN_ColorDatabase::InsertCustomColor(added, "Added");
  ASSERT_EQ(IMPN_ColorDatabase::SaveCustomColors(), kIMPN_ColorFileSaved);

  IMPN_ColorMap reread;
  EXPECT_TRUE(IMPN_ColorDBFile(path).LoadColors(reread));
  ASSERT_EQ(reread.size(), 3u);
  EXPECT_EQ(reread["Teal"].kind, kIMPN_RecipeCMYK);
  EXPECT_EQ(reread["Teal"].CMYK().cyan, 80);
  EXPECT_EQ(reread["Teal"].CMYK().black, 10);
  EXPECT_EQ(reread["Sky"].kind, kIMPN_RecipeLab);
  EXPECT_EQ(reread["Sky"].Lab().L, static_cast<std::uint16_t>(70 * 655.35));
  EXPECT_EQ(reread["Added"].RGB(), added);
}

TEST_F(ColorDatabaseTest, AMissingUserFileIsCreatedEmptyAndThenSavedTo) {
  EXPECT_EQ(IMPN_ColorDatabase::SaveCustomColors(), kIMPN_ColorFileNotWritten)
      << "nothing loaded, nowhere to save";

  std::string const path = folder.File("Custom.colordb").string();
  ASSERT_EQ(IMPN_ColorDBFile(path).CreateEmptyFile(), kIMPN_ColorFileSaved);
  IMPN_ColorDatabase::LoadCustomColors(path);
  IMPN_RGBColor8 colour(200, 100, 50);
  IMPN_ColorDatabase::InsertCustomColor(colour, "Brick");
  ASSERT_EQ(IMPN_ColorDatabase::SaveCustomColors(), kIMPN_ColorFileSaved);

  Forget();
  IMPN_ColorDatabase::LoadCustomColors(path);
  IMPN_RGBColor8 out;
  EXPECT_TRUE(IMPN_ColorDatabase::GetUserRecipe(out, "brick"));
  EXPECT_EQ(out, colour);

  IMPN_ColorDatabase::sm_CustomColorFilePath = folder.File("gone/Custom.colordb").string();
  EXPECT_EQ(IMPN_ColorDatabase::SaveCustomColors(), kIMPN_ColorFileNotWritten);
}

TEST_F(ColorDatabaseTest, FormulaConversions) {
  struct CMYKCase {
    impn_CMYKColor8 in;
    IMPN_RGBColor8 out;
  };
  CMYKCase const cmyk[] = {{{0, 0, 0, 0}, IMPN_RGBColor8(255, 255, 255)},
                           {{0, 0, 0, 100}, IMPN_RGBColor8(0, 0, 0)},
                           {{50, 50, 50, 0}, IMPN_RGBColor8(128, 128, 128)},
                           {{100, 0, 0, 0}, IMPN_RGBColor8(0, 175, 240)},
                           {{0, 100, 0, 0}, IMPN_RGBColor8(237, 1, 141)},
                           {{0, 0, 100, 0}, IMPN_RGBColor8(255, 243, 1)}};
  for (CMYKCase c : cmyk)
    EXPECT_EQ(IMPN_ColorDatabase::CMYKToRGB(c.in), c.out)
        << int(c.in.cyan) << "/" << int(c.in.magenta);

  // L 100 is stored as 65535, a = b = 0 as 32768; the stored L is divided back and truncated.
  struct LabCase {
    impn_LabColor16 in;
    IMPN_RGBColor8 out;
  };
  LabCase const lab[] = {{{65535, 32768, 32768}, IMPN_RGBColor8(255, 255, 254)},
                         {{0, 32768, 32768}, IMPN_RGBColor8(0, 0, 0)},
                         {{32768, 32768, 32768}, IMPN_RGBColor8(118, 118, 118)}};
  for (LabCase c : lab)
    EXPECT_EQ(IMPN_ColorDatabase::LabToRGB(c.in), c.out) << c.in.L;
}
