#include "IMPN/IMPN_ColorDBFile.h"

#include "ColorDBFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {
class IMPN_ColorDBFileTest : public ::testing::Test {
protected:
  // Writes the bytes to a file and loads it into map.
  bool Load(ColorDBBytes const& bytes) {
    bytes.WriteTo(m_Folder.File("colors.colordb"));
    return IMPN_ColorDBFile(Path()).LoadColors(map);
  }
  std::string Path() const { return m_Folder.File("colors.colordb").string(); }

  ScratchFolder m_Folder;
  IMPN_ColorMap map;
};

// The L value that the file at path stores for the named Lab entry; NaN when there is none.
double LabInFile(std::string const& path, std::string const& name) {
  std::string const bytes = ScratchFolder::Read(path);
  std::string key(4, '\0');
  std::uint32_t const length = static_cast<std::uint32_t>(name.size());
  std::memcpy(&key[0], &length, 4);
  key += name;
  std::size_t const at = bytes.find(key);
  if (at == std::string::npos)
    return std::numeric_limits<double>::quiet_NaN();
  double L = 0;
  std::memcpy(&L, bytes.data() + at + key.size() + 4, sizeof L);
  return L;
}

double const kNaN = std::numeric_limits<double>::quiet_NaN();
double const kInf = std::numeric_limits<double>::infinity();

void ExpectCMYK(ColorRecipe const& r, int c, int m, int y, int k) {
  ASSERT_EQ(r.kind, kIMPN_RecipeCMYK);
  EXPECT_EQ(r.CMYK().cyan, c);
  EXPECT_EQ(r.CMYK().magenta, m);
  EXPECT_EQ(r.CMYK().yellow, y);
  EXPECT_EQ(r.CMYK().black, k);
}

void ExpectLab(ColorRecipe const& r, int L, int a, int b) {
  ASSERT_EQ(r.kind, kIMPN_RecipeLab);
  EXPECT_EQ(r.Lab().L, L);
  EXPECT_EQ(r.Lab().a, a);
  EXPECT_EQ(r.Lab().b, b);
}
}  // namespace

TEST_F(IMPN_ColorDBFileTest, LoadsEveryKindAndKeepsNamesAlreadyPresent) {
  map["orange 021"] = ColorRecipe::FromRGB(IMPN_RGBColor8(9, 9, 9));
  EXPECT_TRUE(Load(ColorDBBytes()
                       .Header(7)
                       .CMYK("Orange 021", 12.9, 50, 100, 0)
                       .CMYK("Teal", 12.9, 0.5, 99.99, 100)
                       .RGB("Gold", 212.7, 175, 55)
                       .Lab("Sky", 50, -20, 30)
                       .RGB("GOLD", 1, 2, 3)
                       .Entry("Mystery", 0x1234, {})
                       .RGB("After", 4, 5, 6)));

  ASSERT_EQ(map.size(), 5u);
  EXPECT_EQ(map["Orange 021"].RGB(), IMPN_RGBColor8(9, 9, 9));
  ExpectCMYK(map["teal"], 12, 0, 99, 100);
  EXPECT_EQ(map["gold"].RGB(), IMPN_RGBColor8(212, 175, 55));
  EXPECT_EQ(map.find("Gold")->first, "Gold") << "the first of two spellings wins";
  ExpectLab(map["Sky"], 32767, 27648, 40448);
  EXPECT_EQ(map.count("Mystery"), 0u) << "a kind without values is skipped";
  EXPECT_EQ(map["After"].RGB(), IMPN_RGBColor8(4, 5, 6));
}

TEST_F(IMPN_ColorDBFileTest, RGBRecipesAreKeptInTheDisplayByteOrder) {
  Load(ColorDBBytes().Header(1).RGB("Gold", 212, 175, 55));
  ColorRecipe const& r = map["Gold"];
#if defined(_WIN32)
  unsigned char const expected[3] = {55, 175, 212};
#else
  unsigned char const expected[3] = {212, 175, 55};
#endif
  EXPECT_EQ(std::memcmp(r.value, expected, 3), 0);
}

TEST_F(IMPN_ColorDBFileTest, NeedsTheMagicOrTheVersion) {
  struct Case {
    std::uint32_t magic, version;
    bool read;
  };
  Case const cases[] = {{0x43434442, 1, true},  {0x43434442, 2, true}, {0x12345678, 1, true},
                        {0x12345678, 7, false}, {0x42444343, 1, true}, {0x42444343, 0, false}};
  for (Case const& c : cases) {
    map.clear();
    EXPECT_EQ(Load(ColorDBBytes().Header(1, c.magic, c.version).RGB("Gold", 1, 2, 3)), c.read);
    EXPECT_EQ(map.size(), c.read ? 1u : 0u) << std::hex << c.magic << " v" << c.version;
  }
  map.clear();
  EXPECT_FALSE(Load(ColorDBBytes().U32(0x43434442).U32(1)));
  EXPECT_FALSE(Load(ColorDBBytes()));
  EXPECT_FALSE(IMPN_ColorDBFile(m_Folder.File("missing.colordb").string()).LoadColors(map));
  EXPECT_TRUE(map.empty());
}

TEST_F(IMPN_ColorDBFileTest, DamagedFilesKeepTheEntriesBeforeTheDamage) {
  std::string const longest(1024, 'n');
  struct Case {
    char const* what;
    ColorDBBytes bytes;
    std::size_t entries;
    bool complete;
  };
  Case const cases[] = {
      {"count beyond the entries", ColorDBBytes().Header(5).RGB("A", 1, 2, 3).RGB("B", 1, 2, 3), 2,
       false},
      {"huge count", ColorDBBytes().Header(0xFFFFFFFF).RGB("A", 1, 2, 3), 1, false},
      {"name too long",
       ColorDBBytes()
           .Header(3)
           .RGB("A", 1, 2, 3)
           .U32(1025)
           .Text(std::string(1025, 'x'))
           .U32(kIMPN_RecipeRGB),
       1, false},
      {"huge name length", ColorDBBytes().Header(2).RGB("A", 1, 2, 3).U32(0xFFFFFFF0), 1, false},
      {"name cut short", ColorDBBytes().Header(2).RGB("A", 1, 2, 3).U32(40).Text("short"), 1,
       false},
      {"values cut short",
       ColorDBBytes().Header(2).RGB("A", 1, 2, 3).U32(1).Text("B").U32(kIMPN_RecipeCMYK).Double(1),
       1, false},
      {"longest name", ColorDBBytes().Header(2).RGB("A", 1, 2, 3).RGB(longest, 1, 2, 3), 2, true},
  };
  for (Case const& c : cases) {
    map.clear();
    EXPECT_EQ(Load(c.bytes), c.complete) << c.what;
    EXPECT_EQ(map.size(), c.entries) << c.what;
    EXPECT_EQ(map.count("A"), 1u) << c.what;
  }
}

TEST_F(IMPN_ColorDBFileTest, ValuesOutsideTheirRangeAreClamped) {
  Load(ColorDBBytes()
           .Header(5)
           .CMYK("C", 250, -5, kNaN, 100.7)
           .RGB("R", 300, -1, kInf)
           .Lab("L", 150, 1000, -1000)
           .Lab("N", kNaN, kNaN, -kInf)
           .RGB("Z", -kInf, kNaN, 255.9));
  ExpectCMYK(map["C"], 100, 0, 0, 100);
  EXPECT_EQ(map["R"].RGB(), IMPN_RGBColor8(255, 0, 255));
  ExpectLab(map["L"], 65535, 65535, 0);
  ExpectLab(map["N"], 0, 0, 0);
  EXPECT_EQ(map["Z"].RGB(), IMPN_RGBColor8(0, 0, 255));
}

TEST_F(IMPN_ColorDBFileTest, SavedFilesReadBackTheSameRecipes) {
  IMPN_ColorMap saved;
  saved["Gold"] = ColorRecipe::FromRGB(IMPN_RGBColor8(212, 175, 55));
  saved["Sky"] = ColorRecipe::FromLab({32767, 27648, 40448});
  saved["Teal"] = ColorRecipe::FromCMYK({12, 0, 99, 100});
  saved["Mystery"] = ColorRecipe::OfKind(0x1234);
  ASSERT_EQ(IMPN_ColorDBFile(Path()).SaveColors(saved), kIMPN_ColorFileSaved);

  // Map order, red before blue, Lab as real values.
  ColorDBBytes expected;
  expected.Header(4)
      .RGB("Gold", 212, 175, 55)
      .Entry("Mystery", 0x1234, {})
      .Lab("Sky", 32767 / 655.35, 27648 / 256.0 - 128, 40448 / 256.0 - 128)
      .CMYK("Teal", 12, 0, 99, 100);
  EXPECT_EQ(ScratchFolder::Read(Path()), expected.bytes);
  EXPECT_NEAR(32767 / 655.35, 49.9992, 1e-4);

  EXPECT_TRUE(IMPN_ColorDBFile(Path()).LoadColors(map));
  ASSERT_EQ(map.size(), 3u);
  EXPECT_EQ(map["Gold"].RGB(), IMPN_RGBColor8(212, 175, 55));
  ExpectLab(map["Sky"], 32767, 27648, 40448);
  ExpectCMYK(map["Teal"], 12, 0, 99, 100);
  EXPECT_FALSE(std::filesystem::exists(Path() + ".saving"));
}

TEST_F(IMPN_ColorDBFileTest, EveryStoredLabValueSurvivesRepeatedSaves) {
  IMPN_ColorMap saved;
  for (std::uint32_t L = 0; L <= 65535; ++L)
    saved["L" + std::to_string(L)] = ColorRecipe::FromLab(
        {std::uint16_t(L), std::uint16_t(L ^ 0x5555), std::uint16_t(65535 - L)});
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(IMPN_ColorDBFile(Path()).SaveColors(saved), kIMPN_ColorFileSaved);
    map.clear();
    ASSERT_TRUE(IMPN_ColorDBFile(Path()).LoadColors(map));
    ASSERT_EQ(map.size(), saved.size());
    for (auto const& [name, recipe] : saved) {
      impn_LabColor16 const want = recipe.Lab();
      impn_LabColor16 const got = map[name].Lab();
      ASSERT_TRUE(got.L == want.L && got.a == want.a && got.b == want.b)
          << name << " round " << round << ": " << got.L << " " << got.a << " " << got.b;
    }
  }
  // The written L stays the stored value's own, to the last digits.
  EXPECT_NEAR(LabInFile(Path(), "L33333"), 33333 / 655.35, 1e-9);
}

TEST_F(IMPN_ColorDBFileTest, AnEmptyMapSavesTheSameTwelveBytesAsCreateEmptyFile) {
  std::string const created = m_Folder.File("created.colordb").string();
  ColorDBBytes().Header(1).RGB("Old", 1, 2, 3).WriteTo(created);
  ASSERT_EQ(IMPN_ColorDBFile(created).CreateEmptyFile(), kIMPN_ColorFileSaved);
  ASSERT_EQ(IMPN_ColorDBFile(Path()).SaveColors(IMPN_ColorMap()), kIMPN_ColorFileSaved);
  std::string const bytes = ScratchFolder::Read(created);
  EXPECT_EQ(bytes, std::string("BDCC\x01\0\0\0\0\0\0\0", 12));
  EXPECT_EQ(ScratchFolder::Read(Path()), bytes);
}

TEST_F(IMPN_ColorDBFileTest, AFailedSaveLeavesTheOldFileAndSaysSo) {
  IMPN_ColorMap saved;
  saved["Gold"] = ColorRecipe::FromRGB(IMPN_RGBColor8(212, 175, 55));

  std::string const inMissingFolder = m_Folder.File("no-such-folder/colors.colordb").string();
  EXPECT_EQ(IMPN_ColorDBFile(inMissingFolder).SaveColors(saved), kIMPN_ColorFileNotWritten);
  EXPECT_EQ(IMPN_ColorDBFile(inMissingFolder).CreateEmptyFile(), kIMPN_ColorFileNotWritten);
  EXPECT_FALSE(std::filesystem::exists(inMissingFolder));

  // The temporary file cannot be made: the old file stays as it was.
  ColorDBBytes old;
  old.Header(1).RGB("Old", 1, 2, 3).WriteTo(Path());
  std::filesystem::create_directory(Path() + ".saving");
  EXPECT_EQ(IMPN_ColorDBFile(Path()).SaveColors(saved), kIMPN_ColorFileNotWritten);
  EXPECT_EQ(ScratchFolder::Read(Path()), old.bytes);

  // The target cannot be replaced (it is a folder): nothing is left behind.
  std::filesystem::remove(Path() + ".saving");
  std::string const folderTarget = m_Folder.File("folder.colordb").string();
  std::filesystem::create_directory(folderTarget);
  std::filesystem::create_directory(folderTarget + "/inside");
  EXPECT_EQ(IMPN_ColorDBFile(folderTarget).SaveColors(saved), kIMPN_ColorFileNotWritten);
  EXPECT_TRUE(std::filesystem::is_directory(folderTarget));
  EXPECT_FALSE(std::filesystem::exists(folderTarget + ".saving"));
}

TEST_F(IMPN_ColorDBFileTest, NamesBeyondTheLimitAreNotSaved) {
  IMPN_ColorMap saved;
  saved["A"] = ColorRecipe::FromRGB(IMPN_RGBColor8(1, 2, 3));
  saved[std::string(1025, 'x')] = ColorRecipe::FromRGB(IMPN_RGBColor8(1, 2, 3));
  saved["Z"] = ColorRecipe::FromRGB(IMPN_RGBColor8(1, 2, 3));
  ASSERT_EQ(IMPN_ColorDBFile(Path()).SaveColors(saved), kIMPN_ColorFileSaved);
  EXPECT_TRUE(IMPN_ColorDBFile(Path()).LoadColors(map));
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(map.count("Z"), 1u);
}
