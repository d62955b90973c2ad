#include "IMPN/IMPN_Separation.h"

#include "JobTreeFiles.h"
#include "SpecFromPath.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace PreviewFixture;

namespace {
std::uint8_t Grey(std::uint32_t x, std::uint32_t y) {
  return static_cast<std::uint8_t>((x * 3 + y) & 0xFF);
}

// 3 x 2 tiles: blank, full, every odd pixel; left half inked, blank, blank.
PreviewFile TiledFile() {
  PreviewFile file = PreviewFile::Make(1536, 1024, 8);
  file.image.bits = [](std::uint32_t x, std::uint32_t y) {
    if (y < 512)
      return x < 512 ? false : x < 1024 ? true : (x % 2) == 1;
    return x < 256;
  };
  file.thumbnail.grey = Grey;
  return file;
}

class SeparationTiles : public ::testing::Test {
protected:
  void SetUp() override {
    path = TempFilePath("tiles.tif");
    Write(path, TiledFile());
    TIFX_KRXFile file(PreviewFixture::SpecFromPath(path));
    file.Open();
    separation = std::make_unique<IMPN_Separation>(file);
    separation->Init();
  }

  std::string path;
  std::unique_ptr<IMPN_Separation> separation;
  std::vector<std::uint8_t> tile = std::vector<std::uint8_t>(64 * 512, 0xAA);
};
}  // namespace

TEST(Separation, TakesTheJobFieldsOfTheFile) {
  PreviewFile file = JobTreeFiles::SmallFile("Folder", 3, "PANTONE 123 C", 0);
  file.job.signature = 7;
  file.job.printOrder = 5;
  file.job.printTime = "2006:01:02 03:04:05";
  // A real plate: its area does not fit 32 bits.
  file.job.pressSheet = Edges{0, 0, 70000, 100000};
  file.image.xResolution = 1270.5f;
  auto krx = JobTreeFiles::WriteAndOpen("fields.tif", file);
  IMPN_Separation s(*krx);

  EXPECT_EQ(s.GetTitle(), "Folder");
  EXPECT_EQ(s.GetSignature(), 7);
  EXPECT_EQ(s.GetSheetNumber(), 2);
  EXPECT_FALSE(s.IsFront());
  EXPECT_EQ(s.GetPrintOrder(), 5);
  EXPECT_EQ(s.GetColorCode(), 0);
  EXPECT_EQ(s.GetInkName(), "PANTONE 123 C");
  EXPECT_EQ(s.ToString(), "PANTONE 123 C");
  EXPECT_EQ(s.GetPrintTime(), "2006:01:02 03:04:05");
  EXPECT_FLOAT_EQ(s.GetResolution(), 1270.5f);
  EXPECT_EQ(s.GetPressSheetArea(), 7000000000ULL);
  EXPECT_EQ(s.GetTileWidth(), 512);
  EXPECT_EQ(s.GetTilesAcross(), 1);
  EXPECT_EQ(s.GetTileCount(), 1);
  EXPECT_EQ(s.GetThumbnailDirectory(), 1);
  EXPECT_TRUE(s.IsVisible());
  EXPECT_TRUE(s.IsTransparent());
  EXPECT_EQ(s.GetTimeStamp(), 0u);
  EXPECT_EQ(krx->CurrentDirectory(), 0);
}

TEST(Separation, FindsTheThumbnailInTheThirdDirectory) {
  PreviewFile file = PreviewFile::Make(1024, 512, 4);
  file.thumbnailAt = ThumbnailAt::Ifd2;
  file.thumbnail.grey = Grey;
  auto krx = JobTreeFiles::WriteAndOpen("ifd2.tif", file);
  IMPN_Separation s(*krx);
  s.Init();
  EXPECT_EQ(s.GetThumbnailDirectory(), 2);
  EXPECT_EQ(s.GetThumbnailScale(), 4);
  IMPN_BitMap bitmap;
  long width = 0, length = 0;
  EXPECT_EQ(s.GetThumbnail(bitmap, width, length), 512 * 512);
  EXPECT_EQ(width, 256);
  EXPECT_EQ(length, 128);
  ASSERT_NE(bitmap.pixels, nullptr);
  EXPECT_EQ(bitmap.pixels[5 * 512 + 7], Grey(7, 5));
  delete[] bitmap.pixels;
}

TEST(Separation, VersionsAndCommonPlates) {
  PreviewFile common = JobTreeFiles::SmallFile();
  common.job.versions = std::vector<std::string>{""};
  auto krx = JobTreeFiles::WriteAndOpen("common.tif", common);
  IMPN_Separation c(*krx);
  EXPECT_TRUE(c.HasVersions());
  EXPECT_TRUE(c.IsCommonToAllVersions());
  EXPECT_TRUE(c.GetVersionNames().empty());
  EXPECT_FALSE(c.HasVersion(USTR_String(L"EN")));

  PreviewFile two = JobTreeFiles::SmallFile();
  two.job.versions = std::vector<std::string>{"EN", "D\xC3\xA4"};
  krx = JobTreeFiles::WriteAndOpen("versions.tif", two);
  IMPN_Separation v(*krx);
  EXPECT_FALSE(v.IsCommonToAllVersions());
  ASSERT_EQ(v.GetVersionNames().size(), 2u);
  EXPECT_TRUE(v.HasVersion(USTR_String(L"EN")));
  EXPECT_EQ(v.GetVersionNames()[1], USTR_String(L"D\u00e4"));

  krx = JobTreeFiles::WriteAndOpen("noversions.tif", JobTreeFiles::SmallFile());
  IMPN_Separation none(*krx);
  EXPECT_FALSE(none.HasVersions());
}

TEST(Separation, ResolvesItsInk) {
  struct Case {
    char const* ink;
    char const* inkNames;
    bool cmyk;
    bool hasEquivalent;
    bool unknown;
  } const cases[] = {
      {"Black", "Black", true, true, false},
      {"Spot A", "Spot B", true, false, true},   // ink names differ: no equivalent
      {"Spot A", "Spot A", false, false, true},  // no equivalent: falls back to recipes
      {"Mystery", nullptr, false, false, true},
  };
  for (Case const& c : cases) {
    PreviewFile file = JobTreeFiles::SmallFile("Job", 0, c.ink, 0);
    if (c.inkNames)
      file.image.inkNames = std::string(c.inkNames);
    if (c.cmyk)
      file.job.cmyk = std::array<std::uint16_t, 4>{0, 0, 0, 65535};
    file.job.opacity = std::vector<std::uint16_t>{1};
    auto krx = JobTreeFiles::WriteAndOpen("ink.tif", file);
    IMPN_Separation s(*krx);
    krx.reset();
    s.Init();
    SCOPED_TRACE(c.ink);
    EXPECT_EQ(s.HasCMYKEquivalent(), c.hasEquivalent);
    EXPECT_EQ(s.GetInk().IsUnknown(), c.unknown);
    EXPECT_EQ(s.GetInk().GetName(), c.ink);
    EXPECT_EQ(s.GetInk().GetOpacity(), 100);
    EXPECT_FALSE(s.IsTransparent());
    if (c.unknown) {
      EXPECT_EQ(s.GetInk().GetInkColor(), IMPN_Ink::sm_DefaultColor);
    }
    EXPECT_EQ(s.GetFileInk().GetName(), c.ink);
  }
}

TEST_F(SeparationTiles, ClassifiesTilesOnFirstRead) {
  EXPECT_EQ(separation->GetTileState(0, 0), IMPN_Separation::kTileUnknown);
  EXPECT_EQ(separation->GetTile(tile.data(), 0, 0), 1);
  EXPECT_EQ(tile[0], 0x00);
  EXPECT_EQ(separation->GetTileState(511, 511), IMPN_Separation::kTileBlank);
  EXPECT_EQ(separation->GetTile(tile.data(), 512, 0), 1);
  EXPECT_EQ(tile[0], 0xFF);
  EXPECT_EQ(separation->GetTileState(600, 0), IMPN_Separation::kTileFull);
  // One repeated byte other than 0x00 and 0xFF is mixed.
  EXPECT_EQ(separation->GetTile(tile.data(), 1024, 0), 64 * 512);
  EXPECT_EQ(tile[100], 0x55);
  EXPECT_EQ(separation->GetTileState(1024, 0), IMPN_Separation::kTileMixed);
  EXPECT_EQ(separation->GetTileState(1536, 0), IMPN_Separation::kTileOutside);
  EXPECT_EQ(separation->GetTileState(0, 1024), IMPN_Separation::kTileOutside);
  EXPECT_EQ(separation->GetTile(tile.data(), 0, 1024), -1);
}

TEST_F(SeparationTiles, KnownTilesNeedNoFileAndAVanishedFileFailsQuietly) {
  separation->GetTile(tile.data(), 0, 0);
  separation->GetTile(tile.data(), 512, 0);
  separation->GetTile(tile.data(), 1024, 0);
  separation->CloseFile();
  ASSERT_EQ(std::remove(path.c_str()), 0);

  tile[0] = 0x77;
  EXPECT_EQ(separation->GetTile(tile.data(), 0, 0), 1);
  EXPECT_EQ(tile[0], 0x00);
  EXPECT_EQ(separation->GetTile(tile.data(), 512, 0), 1);
  EXPECT_EQ(tile[0], 0xFF);
  EXPECT_EQ(separation->GetTile(tile.data(), 1024, 0), -1);
  EXPECT_EQ(separation->GetTile(tile.data(), 0, 512), -1);
  EXPECT_EQ(separation->GetTileState(0, 512), IMPN_Separation::kTileUnknown);

  // Reads of the vanished file count nothing and leave the outputs alone.
  EXPECT_FLOAT_EQ(separation->CalculateInkDensity(IMPN_RectT<long>(512, 0, 100, 10)), 0.0f);
  EXPECT_FLOAT_EQ(separation->CalculateInkDensity(IMPN_RectT<long>(0, 512, 2, 2)), 1.0f);
  IMPN_BitMap bitmap;
  long width = 7, length = 7;
  EXPECT_EQ(separation->GetThumbnail(bitmap, width, length), -1);
  EXPECT_EQ(bitmap.pixels, nullptr);
  EXPECT_EQ(width, 7);
  EXPECT_EQ(separation->GetThumbnailScale(), 1);
  long w = 1, l = 2, tw = 3, tl = 4;
  separation->GetImageDimensions(w, l, tw, tl);
  EXPECT_EQ(w + l + tw + tl, 10);
}

TEST_F(SeparationTiles, InkDensity) {
  struct Case {
    IMPN_RectT<long> rect;  // top, left, width, height
    float density;
  } const cases[] = {
      {{10, 10, 2, 2}, 0.0f},        // blank tile
      {{10, 600, 2, 2}, 1.0f},       // full tile
      {{0, 0, 1024, 512}, 0.5f},     // right edge on a tile boundary: no pixel of the next
      {{0, 1024, 8, 1}, 0.5f},       // odd pixels
      {{3, 1025, 3, 2}, 4.0f / 6},   // starts inside a byte, ends inside it
      {{512, 200, 100, 10}, 0.56f},  // 56 of 100 pixels per row left of 256
      {{500, 500, 24, 24}, 0.25f},   // four tiles: 12 x 12 of the full one
      {{-10, -10, 20, 20}, 0.0f},
      {{0, 0, 0, 5}, 0.0f},
      // A plate-sized rectangle: its area does not fit 32 bits.
      {{0, 0, 100000, 70000}, static_cast<float>(524288.0 / 7e9)},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.rect.left);
    EXPECT_FLOAT_EQ(separation->CalculateInkDensity(c.rect), c.density);
  }
}

TEST_F(SeparationTiles, ReadsTheWholeThumbnail) {
  IMPN_BitMap bitmap;
  long width = 0, length = 0;
  EXPECT_EQ(separation->GetThumbnail(bitmap, width, length), 512 * 512);
  EXPECT_EQ(width, 192);
  EXPECT_EQ(length, 128);
  ASSERT_NE(bitmap.pixels, nullptr);
  EXPECT_EQ(bitmap.kind, kIMPN_BitMapGray);
  EXPECT_EQ(bitmap.rowBytes, 512);
  EXPECT_EQ(bitmap.rect, IMPN_RectT<long>(0, 0, 512, 512));
  EXPECT_GT(bitmap.timeStamp, 0);
  bool same = true;
  for (std::uint32_t y = 0; y < 128; ++y)
    for (std::uint32_t x = 0; x < 192; ++x)
      same = same && bitmap.pixels[y * 512 + x] == Grey(x, y);
  EXPECT_TRUE(same);
  delete[] bitmap.pixels;
}

TEST(Separation, ThumbnailWithOneUnreadableTileIsAFailure) {
  PreviewFile file = PreviewFile::Make(8192, 512, 8);  // thumbnail of 2 tiles
  file.thumbnail.compression = Compression::Deflate;
  file.thumbnail.grey = Grey;
  std::string const path = TempFilePath("brokenthumb.tif");
  Write(path, file);
  // Spoil the compressed data of the second thumbnail tile.
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  ASSERT_NE(tif, nullptr);
  ASSERT_TRUE(TIFFSetDirectory(tif, 1));
  std::uint64_t* offsets = nullptr;
  ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_TILEOFFSETS, &offsets));
  std::uint64_t const second = offsets[1];
  TIFFClose(tif);
  Patch(path, second, std::vector<std::uint8_t>(16, 0xFF));

  TIFX_KRXFile krx(PreviewFixture::SpecFromPath(path));
  krx.Open();
  IMPN_Separation s(krx);
  s.Init();
  IMPN_BitMap bitmap;
  bitmap.kind = kIMPN_BitMapRGB;
  long width = 0, length = 0;
  EXPECT_EQ(s.GetThumbnail(bitmap, width, length), -1);
  EXPECT_EQ(bitmap.pixels, nullptr);
  EXPECT_EQ(bitmap.kind, kIMPN_BitMapEmpty);
}

TEST(Separation, StampsEveryChangeThatAltersTheDrawing) {
  auto krx = JobTreeFiles::WriteAndOpen("stamps.tif", JobTreeFiles::SmallFile());
  IMPN_Separation s(*krx);
  std::uint32_t const initial = s.Init();
  EXPECT_EQ(s.GetTimeStamp(), initial);
  s.SetVisible(false);
  EXPECT_FALSE(s.IsVisible());
  std::uint32_t const hidden = s.GetTimeStamp();
  EXPECT_GT(hidden, initial);
  IMPN_Ink ink(IMPN_RGBColor8(1, 2, 3), 40);
  s.SetInk(ink);
  EXPECT_GT(s.GetTimeStamp(), hidden);
  EXPECT_EQ(s.GetInk().GetOpacity(), 40);
  EXPECT_EQ(s.GetFileInk().GetOpacity(), 100);
}

TEST(Separation, SortOrders) {
  auto make = [](char const* name, char const* ink, std::uint16_t color, std::uint16_t order) {
    PreviewFile file = JobTreeFiles::SmallFile("Job", 0, ink, color);
    file.job.printOrder = order;
    auto krx = JobTreeFiles::WriteAndOpen(name, file);
    return std::make_unique<IMPN_Separation>(*krx);
  };
  auto cyan = make("c.tif", "Cyan", 1, 2);
  auto spot = make("s.tif", "spot", 0, 1);
  auto spot2 = make("s2.tif", "Spot", 0, 1);
  EXPECT_LT(cyan->CompareTo(spot.get(), IMPN_Node::kIdentityOrder), 0);
  EXPECT_GT(cyan->CompareTo(spot.get(), IMPN_Node::kCountOrPrintOrder), 0);
  EXPECT_EQ(spot->CompareTo(spot2.get(), IMPN_Node::kCountOrPrintOrder), 0);
  EXPECT_EQ(cyan->CompareTo(nullptr, IMPN_Node::kIdentityOrder), 0);
  cyan->SetSelectedState(kIMPN_ButtonOn);
  EXPECT_EQ(cyan->CompareTo(spot.get(), IMPN_Node::kSelectionState), 1 - 3);
}
