#include "TIFX_TestFiles.h"

#include <tiffio.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

using namespace PreviewFixture;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

PreviewFile RichFile() {
  PreviewFile file = PreviewFile::Make(1300, 700, 8);
  file.job = RichJob();
  return file;
}

std::string Message(std::function<void()> const& action) {
  try {
    action();
  } catch (TIFX_Exception const& e) {
    return std::to_string(e.code()) + ": " + e.what();
  }
  return "no exception";
}

}  // namespace

// --- The record is the same however the file lays the private directory out ---

struct Layout {
  char const* name;
  ByteOrder order;
  PrivateTags tags;
  ValuePlacement values;
};

class TIFX_RecordLayoutTest : public ::testing::TestWithParam<Layout> {};

TEST_P(TIFX_RecordLayoutTest, EveryLayoutGivesTheSameRecordInEveryIfd) {
  PreviewFile file = RichFile();
  file.byteOrder = GetParam().order;
  file.privateTags = GetParam().tags;
  file.values = GetParam().values;
  auto krx = WriteAndOpen(std::string("layout-") + GetParam().name + ".tif", file);

  EXPECT_TRUE(krx->IsValid());
  ExpectRichJob(krx->GetPrivateDirectory(), 1);
  ASSERT_EQ(krx->SetDirectory(1), 1);
  EXPECT_EQ(krx->CurrentDirectory(), 1);
  ExpectRichJob(krx->GetPrivateDirectory(), 8);
  EXPECT_EQ(krx->GetCMYKEquivalent()[1], 65535);
  ASSERT_EQ(krx->SetDirectory(0), 1);
  EXPECT_EQ(krx->GetPrivateDirectory().Scale, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, TIFX_RecordLayoutTest,
    ::testing::Values(
        Layout{"little-inblock", ByteOrder::Little, PrivateTags::Embedded, ValuePlacement::InBlock},
        Layout{"big-inblock", ByteOrder::Big, PrivateTags::Embedded, ValuePlacement::InBlock},
        Layout{"little-atend", ByteOrder::Little, PrivateTags::Embedded, ValuePlacement::AtFileEnd},
        Layout{"big-atend", ByteOrder::Big, PrivateTags::Embedded, ValuePlacement::AtFileEnd},
        Layout{"little-direct", ByteOrder::Little, PrivateTags::Direct, ValuePlacement::InBlock},
        Layout{"big-direct", ByteOrder::Big, PrivateTags::Direct, ValuePlacement::InBlock}),
    [](::testing::TestParamInfo<Layout> const& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (c == '-')
          c = '_';
      return name;
    });

TEST(TIFX_KRXFile, BottleAnglesStoredAsIntegersAreConverted) {
  for (PrivateTags tags : {PrivateTags::Embedded, PrivateTags::Direct}) {
    PreviewFile file = PreviewFile::Make(600, 600);
    file.privateTags = tags;
    file.job.pages.resize(2);
    file.job.pages[0].bottleAngle = 90;
    file.job.pages[1].bottleAngle = 3;
    file.job.bottleAngleAsLong = true;
    auto krx = WriteAndOpen("angles.tif", file);
    ASSERT_EQ(krx->GetPrivateDirectory().Pages.size(), 2u);
    EXPECT_EQ(krx->GetPrivateDirectory().Pages[0].BottleAngle, 90.0f);
    EXPECT_EQ(krx->GetPrivateDirectory().Pages[1].BottleAngle, 3.0f);
  }
}

TEST(TIFX_KRXFile, AFieldTheFileLacksKeepsItsResetValue) {
  PreviewFile file = PreviewFile::Make(600, 600);
  file.job.omit = {10004, 10005};
  auto krx = WriteAndOpen("no-title.tif", file);
  TIFX_NoltDirectory const& dir = krx->GetPrivateDirectory();
  EXPECT_EQ(dir.Title, "");
  EXPECT_EQ(dir.Scale, 1);
  EXPECT_FALSE(dir.FieldBitSet(NoltField::Title));
  EXPECT_FALSE(dir.FieldBitSet(NoltField::Scale));
  EXPECT_TRUE(dir.FieldBitSet(NoltField::Signature));
  EXPECT_EQ(Message([&] { krx->GetCMYKEquivalent(); }),
            "1500001: Tag #63 not found in current directory (0)");
}

// --- The preview-file test ---

struct Variant {
  char const* name;
  std::function<void(PreviewFile&)> bend;
  bool valid;
};

class TIFX_ValidityTest : public ::testing::TestWithParam<Variant> {};

TEST_P(TIFX_ValidityTest, ValidityAndTheCurrentDirectoryAfterwards) {
  PreviewFile file = PreviewFile::Make(1100, 600, 4);
  GetParam().bend(file);
  auto krx = WriteAndOpen(std::string("validity-") + GetParam().name + ".tif", file);
  const bool several = file.thumbnailAt != ThumbnailAt::Nowhere;
  const unsigned short start = several ? 1 : 0;
  if (several) {
    ASSERT_EQ(krx->SetDirectory(start), 1);
  }
  const std::uint16_t scale = krx->GetPrivateDirectory().Scale;

  EXPECT_EQ(krx->IsValid(), GetParam().valid);
  EXPECT_EQ(krx->CurrentDirectory(), start);
  EXPECT_EQ(krx->GetPrivateDirectory().Scale, scale);
  EXPECT_EQ(krx->GetTag<std::uint32_t>(TIFFTAG_IMAGEWIDTH),
            start == 0 || file.thumbnailAt == ThumbnailAt::Ifd2 ? 1100u : file.thumbnail.width);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, TIFX_ValidityTest,
    ::testing::Values(
        Variant{"thumbnail_in_ifd1", [](PreviewFile&) {}, true},
        Variant{"thumbnail_in_ifd2", [](PreviewFile& f) { f.thumbnailAt = ThumbnailAt::Ifd2; },
                true},
        Variant{"big_endian_g4",
                [](PreviewFile& f) {
                  f.byteOrder = ByteOrder::Big;
                  f.image.compression = Compression::CCITTG4;
                },
                true},
        Variant{"one_ifd", [](PreviewFile& f) { f.thumbnailAt = ThumbnailAt::Nowhere; }, false},
        Variant{"tiles_256", [](PreviewFile& f) { f.image.tileWidth = f.image.tileLength = 256; },
                false},
        Variant{"black_is_zero", [](PreviewFile& f) { f.image.photometric = 1; }, false},
        Variant{"no_private_directory", [](PreviewFile& f) { f.privateTags = PrivateTags::Absent; },
                false},
        Variant{"thumbnail_without_private_directory",
                [](PreviewFile& f) { f.thumbnail.privateDirectory = false; }, false},
        Variant{"no_resolution_unit", [](PreviewFile& f) { f.image.omitTags = {296}; }, false},
        Variant{"no_orientation", [](PreviewFile& f) { f.image.omitTags = {274}; }, false},
        Variant{"no_resolution",
                [](PreviewFile& f) {
                  f.image.omitTags = {282, 283};
                },
                false},
        Variant{"thumbnail_no_resolution_unit",
                [](PreviewFile& f) { f.thumbnail.omitTags = {296}; }, false},
        Variant{"thumbnail_without_subfile_type",
                [](PreviewFile& f) { f.thumbnail.newSubfileType.reset(); }, false},
        Variant{"thumbnail_tiles_256",
                [](PreviewFile& f) { f.thumbnail.tileWidth = f.thumbnail.tileLength = 256; },
                false},
        Variant{"thumbnail_black_is_zero", [](PreviewFile& f) { f.thumbnail.photometric = 1; },
                false},
        Variant{"ifd1_one_bit_and_no_ifd2",
                [](PreviewFile& f) {
                  f.thumbnail.bitsPerSample = 1;
                  f.thumbnail.newSubfileType.reset();
                },
                false},
        // The thumbnail is 1 : 4 of 1100 x 600, 275 x 150, with a pixel to spare.
        Variant{"thumbnail_a_pixel_larger",
                [](PreviewFile& f) {
                  f.thumbnail.width = 276;
                  f.thumbnail.length = 151;
                },
                true},
        Variant{"thumbnail_two_pixels_wider", [](PreviewFile& f) { f.thumbnail.width = 277; },
                false},
        Variant{"thumbnail_longer_than_its_scale_allows",
                [](PreviewFile& f) { f.thumbnail.length = 600; }, false},
        Variant{"thumbnail_of_scale_zero_bounded_by_the_image",
                [](PreviewFile& f) {
                  f.thumbnail.scale = 0;
                  f.thumbnail.length = 600;
                },
                true}),
    [](::testing::TestParamInfo<Variant> const& info) { return std::string(info.param.name); });

TEST(TIFX_KRXFile, SizesTheViewerCannotAddressAreNotValid) {
  // 1100 x 600 in 3 x 2 tiles, thumbnail 1 : 4 in IFD 1. Each case patches one entry; a size
  // given it makes the file that long (sparse) first. The library reads a directory whose tile
  // tables are shorter than its size asks for.
  const std::uint32_t maxSide = TIFX_KRXFile::kMaxSide;
  // 3 x 65536 tiles with 8 bytes of table each: far more than the file written.
  const std::uint32_t manyRows = 512 * 65536;
  const std::uint64_t tables = 3 * 65536 * 8;
  struct Case {
    char const* what;
    unsigned ifd;
    std::uint16_t tag;
    std::uint32_t value;
    std::uint64_t fileSize;
    bool valid;
  };
  const Case cases[] = {
      {"same tiles, thumbnail still fits", 0, TIFFTAG_IMAGEWIDTH, 1104, 0, true},
      {"image width 0", 0, TIFFTAG_IMAGEWIDTH, 0, 0, false},
      {"image length 0", 0, TIFFTAG_IMAGELENGTH, 0, 0, false},
      {"image wider than the limit", 0, TIFFTAG_IMAGEWIDTH, maxSide + 1, (1ull << 32) - 1, false},
      {"image of 2^31 - 1 rows", 0, TIFFTAG_IMAGELENGTH, 0x7FFFFFFF, 0, false},
      {"image of 2^32 - 1 rows", 0, TIFFTAG_IMAGELENGTH, 0xFFFFFFFF, 0, false},
      {"tile tables beyond the file", 0, TIFFTAG_IMAGELENGTH, manyRows, tables - 1, false},
      {"tile tables within the file", 0, TIFFTAG_IMAGELENGTH, manyRows, tables, true},
      {"thumbnail of a million rows", 1, TIFFTAG_IMAGELENGTH, 1000000, 0, false},
      {"thumbnail width 0", 1, TIFFTAG_IMAGEWIDTH, 0, 0, false},
  };
  PreviewFile file = PreviewFile::Make(1100, 600, 4);
  const std::string path = TempFilePath("sizes.tif");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write(path, file);
    PatchEntryValue(path, c.ifd, c.tag, c.value);
    if (c.fileSize)
      std::filesystem::resize_file(path, c.fileSize);
    TIFX_KRXFile krx(SpecFromPath(path));
    // The library itself may refuse to read a directory of no size.
    bool valid = false;
    try {
      krx.Open();
      valid = krx.IsValid();
    } catch (TIFX_FileIOException const&) {
    }
    EXPECT_EQ(valid, c.valid);
    krx.Close();
    std::filesystem::resize_file(path, 0);
  }
}

// --- Tags, tiles and errors ---

TEST(TIFX_KRXFile, TagsReadInTheirOwnTypesAndMissingTagsThrow) {
  PreviewFile file = PreviewFile::Make(1000, 700);
  file.image.inkNames = "Black";
  auto krx = WriteAndOpen("tags.tif", file);
  EXPECT_EQ(krx->GetTag<std::uint32_t>(TIFFTAG_IMAGEWIDTH), 1000u);
  EXPECT_EQ(krx->GetTag<std::uint32_t>(TIFFTAG_TILELENGTH), 512u);
  EXPECT_EQ(krx->GetTag<std::uint16_t>(TIFFTAG_RESOLUTIONUNIT), 2);
  EXPECT_EQ(krx->GetTag<float>(TIFFTAG_XRESOLUTION), 2400.0f);
  EXPECT_STREQ(krx->GetTag<char const*>(TIFFTAG_INKNAMES), "Black");
  EXPECT_EQ(Message([&] { krx->GetTag<std::uint16_t>(999); }),
            "1500001: Tag #999 not found in current directory (0)");
  ASSERT_EQ(krx->SetDirectory(1), 1);
  EXPECT_EQ(Message([&] { krx->GetTag<char const*>(TIFFTAG_INKNAMES); }),
            "1500001: Tag #333 not found in current directory (1)");
}

TEST(TIFX_KRXFile, AFailedSelectionIsNotTakenForTheOldDirectory) {
  auto krx = WriteAndOpen("select.tif", PreviewFile::Make(600, 600));
  EXPECT_EQ(krx->SetDirectory(5), 0);
  EXPECT_EQ(krx->CurrentDirectory(), TIFX_KRXFile::kUnknownDirectory);
  EXPECT_TRUE(krx->IsValid());
  ASSERT_EQ(krx->SetDirectory(0), 1);
  EXPECT_EQ(krx->CurrentDirectory(), 0);
}

TEST(TIFX_KRXFile, SelectsADirectoryOnlyWhenAnotherIsCurrent) {
  auto krx = WriteAndOpen("select-needed.tif", PreviewFile::Make(600, 600));
  EXPECT_EQ(krx->SelectImageDirectory(), 1);
  EXPECT_EQ(krx->SelectDirectoryIfNeeded(1), 1);
  EXPECT_EQ(krx->CurrentDirectory(), 1);
  EXPECT_EQ(krx->SelectImageDirectory(), 1);
  EXPECT_EQ(krx->CurrentDirectory(), TIFX_KRXFile::kImageDirectory);
  EXPECT_EQ(krx->GetTag<std::uint32_t>(TIFFTAG_IMAGEWIDTH), 600u);
  // A directory the file lacks, then IFD 0 read again after the failure.
  EXPECT_EQ(krx->SelectDirectoryIfNeeded(5), 0);
  EXPECT_EQ(krx->CurrentDirectory(), TIFX_KRXFile::kUnknownDirectory);
  EXPECT_EQ(krx->SelectImageDirectory(), 1);
  EXPECT_EQ(krx->GetTag<std::uint32_t>(TIFFTAG_IMAGEWIDTH), 600u);
  krx->Close();
  EXPECT_EQ(Message([&] { krx->SelectImageDirectory(); }), "1500005: The file is not open.");
}

TEST(TIFX_KRXFile, OperationsOnAClosedFileThrowAndOpenTwiceIsHarmless) {
  const std::string path = TempFilePath("closed.tif");
  Write(path, PreviewFile::Make(600, 600));
  TIFX_KRXFile krx(SpecFromPath(path));
  EXPECT_EQ(Message([&] { krx.IsValid(); }), "1500005: The file is not open.");
  krx.Open();
  krx.Open();
  EXPECT_TRUE(krx.IsOpen());
  TIFX_KRXFile copy(krx);
  EXPECT_FALSE(copy.IsOpen());
  copy.Open();
  EXPECT_TRUE(copy.IsValid());
  krx.Close();
  krx.Close();
  EXPECT_FALSE(krx.IsOpen());
  EXPECT_EQ(Message([&] { krx.GetPrivateDirectory(); }), "1500005: The file is not open.");
}

TEST(TIFX_KRXFile, OpenFailuresCarryTheLibraryTextWithoutItsModule) {
  const std::string notTiff = TempFilePath("not-a-tiff.tif");
  std::ofstream(notTiff) << "hello, this is plain text and no TIFF";
  TIFX_KRXFile text(SpecFromPath(notTiff));
  const std::string message = Message([&] { text.Open(); });
  EXPECT_THAT(message, StartsWith("1500005: "));
  EXPECT_THAT(message, HasSubstr("bad magic number"));
  EXPECT_THAT(message, Not(HasSubstr("[")));

  TIFX_KRXFile missing(SpecFromPath(TempFilePath("no-such-file.tif")));
  const std::string missingMessage = Message([&] { missing.Open(); });
  EXPECT_THAT(missingMessage, StartsWith("1500005: "));
  EXPECT_THAT(missingMessage, Not(HasSubstr("bad magic number")));
  EXPECT_FALSE(missing.IsOpen());

  TIFX_KRXFile nothing{GFIL_FileSpec()};
  EXPECT_THAT(Message([&] { nothing.Open(); }), StartsWith("1500005: "));
}

TEST(TIFX_KRXFile, NonAsciiFileNamesOpen) {
  const std::string ascii = TempFilePath("plain-name.tif");
  Write(ascii, PreviewFile::Make(600, 600));
  const std::string path = TempFilePath("\xC3\x89preuve-\xC3\xBC-\xE6\x97\xA5.tif");
  std::filesystem::rename(std::filesystem::u8path(ascii), std::filesystem::u8path(path));
  TIFX_KRXFile krx(SpecFromPath(path));
  krx.Open();
  EXPECT_TRUE(krx.IsValid());
}

class TIFX_TileTest : public ::testing::TestWithParam<Compression> {};

TEST_P(TIFX_TileTest, TilesReadBackAsWritten) {
  auto ink = [](std::uint32_t x, std::uint32_t y) {
    return (x * 7 + y * 3) % 5 == 0 || ((x / 64 + y / 64) % 2 == 0 && x < 900);
  };
  auto grey = [](std::uint32_t x, std::uint32_t y) {
    return static_cast<std::uint8_t>((x * 3 + y * 5) & 0xFF);
  };
  PreviewFile file = PreviewFile::Make(1300, 700, 2);
  file.image.compression = GetParam();
  file.image.bits = ink;
  file.thumbnail.compression = GetParam() == Compression::CCITTG4 ? Compression::LZW : GetParam();
  file.thumbnail.grey = grey;
  auto krx = WriteAndOpen("tiles.tif", file);
  ASSERT_TRUE(krx->IsValid());

  std::vector<std::uint8_t> tile(512 * 512);
  EXPECT_EQ(krx->ReadTile(tile.data(), 512 * 64 - 1, 0, 0), -1);
  for (std::uint32_t top = 0; top < 700; top += 512) {
    for (std::uint32_t left = 0; left < 1300; left += 512) {
      ASSERT_EQ(krx->ReadTile(tile.data(), tile.size(), left, top), 512 * 64);
      for (std::uint32_t y = top; y < std::min(700u, top + 512); ++y)
        for (std::uint32_t x = left; x < std::min(1300u, left + 512); ++x) {
          const std::uint8_t byte = tile[(y - top) * 64 + (x - left) / 8];
          ASSERT_EQ((byte & (0x80 >> ((x - left) % 8))) != 0, ink(x, y)) << x << "," << y;
        }
    }
  }
  ASSERT_EQ(krx->SetDirectory(1), 1);
  ASSERT_EQ(krx->ReadTile(tile.data(), tile.size(), 512, 0), 512 * 512);
  for (std::uint32_t y = 0; y < 350; ++y)
    for (std::uint32_t x = 512; x < 650; ++x)
      ASSERT_EQ(tile[y * 512 + x - 512], grey(x, y)) << x << "," << y;
  EXPECT_EQ(krx->ReadTile(tile.data(), tile.size(), 5000, 0), -1);
}

INSTANTIATE_TEST_SUITE_P(Compressions, TIFX_TileTest,
                         ::testing::Values(Compression::None, Compression::PackBits,
                                           Compression::LZW, Compression::Deflate,
                                           Compression::CCITTG4));

TEST(TIFX_KRXFile, DirectoryDumpFollowsTheLibraryLines) {
  PreviewFile file = RichFile();
  auto krx = WriteAndOpen("dump.tif", file);
  const std::string path = TempFilePath("dump.txt");
  FILE* out = std::fopen(path.c_str(), "w");
  ASSERT_NE(out, nullptr);
  TIFFPrintDirectory(krx->GetTIFFHandle(), out, 0);
  std::fclose(out);
  std::ifstream in(path);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_THAT(text, HasSubstr("Image Width: 1300"));
  EXPECT_THAT(text, HasSubstr("  IT8 Color Sequence: CMYK\n"));
  EXPECT_THAT(text, HasSubstr("  IT8 CMYK Equivalent: [0x0000,0xFFFF,0xCCCC,0x0001] "
                              "(0.0,100.0,80.0,0.0) %--- Nolt Private IFD ---\n"));
  EXPECT_THAT(text, HasSubstr("  Title: Leaflet 12pp\n"));
  EXPECT_THAT(text, HasSubstr("  Color: PANTONE 185 C (Unknown (0))\n"));
  EXPECT_THAT(text, HasSubstr("  Workstyle: Perfector (2)\n"));
  EXPECT_THAT(text, HasSubstr("  Press Sheet: (10,20)-(7000,9000)\n"));
  EXPECT_THAT(text, HasSubstr("  Index: 0, Page Number: 7, Orientation: Left (2)\n"
                              "    Position: (200,100)-(900,1100)\n"));
  EXPECT_THAT(text, HasSubstr("    Bottling:   1.50 degrees about (640,480)\n"));
  EXPECT_THAT(text, HasSubstr("    Source Clip Path #2\n    +  (    -7,     8 )\n"));
  EXPECT_THAT(text, HasSubstr("  {\n    00 : 0x0000, 01 : 0x0064, 02 : 0xFFFF, \n  }\n"));
  EXPECT_THAT(text, HasSubstr("  Versions:\n    1) EN\n    2) DE\n"));
}

// --- Broken files are refused or read safely ---

struct Broken {
  char const* name;
  std::function<void(PreviewFile&)> bend;
  std::function<void(TIFX_KRXFile&)> check;
  bool directToo = false;  // the damage can also be done to tags standing in the IFD
};

class TIFX_BrokenFileTest : public ::testing::TestWithParam<Broken> {};

TEST_P(TIFX_BrokenFileTest, IsRefusedOrReadSafely) {
  for (PrivateTags tags : {PrivateTags::Embedded, PrivateTags::Direct}) {
    if (tags == PrivateTags::Direct && !GetParam().directToo)
      continue;
    PreviewFile file = PreviewFile::Make(700, 600, 4);
    file.privateTags = tags;
    file.values = ValuePlacement::AtFileEnd;
    file.job.title = "Broken";
    file.job.pages.resize(1);
    GetParam().bend(file);
    auto krx = WriteAndOpen(std::string("broken-") + GetParam().name + ".tif", file);
    GetParam().check(*krx);
    // Whatever the private directory held, the rest of the file stays readable.
    EXPECT_EQ(krx->GetPrivateDirectory().Title,
              tags == PrivateTags::Embedded && file.image.embeddedEntryCount ? "" : "Broken");
    EXPECT_EQ(krx->GetTag<std::uint32_t>(TIFFTAG_IMAGEWIDTH), 700u);
  }
}

PrivateEntry WithCount(PrivateEntry entry, std::uint32_t count) {
  entry.count = count;
  return entry;
}

PrivateEntry WithOffset(PrivateEntry entry, std::uint32_t offset) {
  entry.offset = offset;
  return entry;
}

PrivateEntry Untyped(std::uint16_t tag, std::uint16_t type, std::vector<double> values) {
  PrivateEntry entry;
  entry.tag = tag;
  entry.type = type;
  entry.values = std::move(values);
  return entry;
}

INSTANTIATE_TEST_SUITE_P(
    Files, TIFX_BrokenFileTest,
    ::testing::Values(
        Broken{"count_beyond_end",
               [](PreviewFile& f) {
                 f.job.extra = {WithCount(PrivateEntry::Ascii(10012, "rip-07"), 0x00100000)};
               },
               [](TIFX_KRXFile& k) {
                 EXPECT_FALSE(k.GetPrivateDirectory().FieldBitSet(NoltField::SourceMachine));
                 EXPECT_TRUE(k.IsValid());
               }},
        Broken{"huge_count",
               [](PreviewFile& f) {
                 f.job.omit = {12001};
                 f.job.extra = {WithCount(PrivateEntry::Longs(12001, {5, 6}), 0xFFFFFFFF)};
               },
               [](TIFX_KRXFile& k) {
                 EXPECT_FALSE(k.GetPrivateDirectory().FieldBitSet(NoltField::PagePosnTop));
               }},
        Broken{"offset_beyond_end",
               [](PreviewFile& f) {
                 f.job.extra = {WithOffset(PrivateEntry::Ascii(10011, "DIG 9.9"), 0x7FFFFFF0)};
               },
               [](TIFX_KRXFile& k) {
                 EXPECT_FALSE(k.GetPrivateDirectory().FieldBitSet(NoltField::DigVersion));
                 EXPECT_EQ(k.GetPrivateDirectory().DigVersion, "");
               }},
        Broken{"entry_count_beyond_block",
               [](PreviewFile& f) { f.image.embeddedEntryCount = 5000; },
               [](TIFX_KRXFile& k) { EXPECT_FALSE(k.IsValid()); }, true},
        Broken{"clip_path_points_beyond_array",
               [](PreviewFile& f) {
                 f.job.extra = {PrivateEntry::Longs(12018, {1, 1000, 1, 2})};
               },
               [](TIFX_KRXFile& k) {
                 EXPECT_FALSE(k.GetPrivateDirectory().FieldBitSet(NoltField::PageSourceClipPath));
                 EXPECT_TRUE(k.GetPrivateDirectory().Pages.at(0).SCPaths.empty());
               },
               true},
        Broken{"clip_path_count_huge",
               [](PreviewFile& f) {
                 f.job.extra = {PrivateEntry::Longs(12018, {0xFFFFFFFF, 1, 3, 4})};
               },
               [](TIFX_KRXFile& k) {
                 EXPECT_FALSE(k.GetPrivateDirectory().FieldBitSet(NoltField::PageSourceClipPath));
               },
               true},
        Broken{"cmyk_short",
               [](PreviewFile& f) {
                 f.job.extra = {PrivateEntry::Shorts(34032, {1, 2, 3})};
               },
               [](TIFX_KRXFile& k) {
                 EXPECT_FALSE(k.GetPrivateDirectory().FieldBitSet(NoltField::CMYKEquivalent));
                 EXPECT_THROW(k.GetCMYKEquivalent(), TIFX_TagNotFoundException);
               },
               true},
        Broken{"page_count_repeated",
               [](PreviewFile& f) {
                 f.job.pages.clear();
                 f.job.extra = {PrivateEntry::Short(11001, 65535), PrivateEntry::Short(11001, 2)};
               },
               [](TIFX_KRXFile& k) {
                 EXPECT_EQ(k.GetPrivateDirectory().Pages.size(), 65535u);
                 EXPECT_EQ(k.GetPrivateDirectory().NumPages, 65535);
               }},
        Broken{"wrong_and_unknown_types",
               [](PreviewFile& f) {
                 f.job.extra = {PrivateEntry::Ascii(10005, "12"), Untyped(10015, 13, {5}),
                                Untyped(50000, kLong, {1}), PrivateEntry::Bytes(34756, {0, 0})};
               },
               [](TIFX_KRXFile& k) {
                 EXPECT_EQ(k.GetPrivateDirectory().Scale, 1);
                 EXPECT_EQ(k.GetPrivateDirectory().Color, 4);
               }}),
    [](::testing::TestParamInfo<Broken> const& info) { return std::string(info.param.name); });

TEST(TIFX_KRXFile, ATruncatedFileIsRefusedOrReadsNoTiles) {
  PreviewFile file = PreviewFile::Make(1300, 1300, 8);
  file.image.bits = [](std::uint32_t x, std::uint32_t y) { return ((x ^ y) & 4) != 0; };
  const std::string path = TempFilePath("truncated.tif");
  Write(path, file);
  const std::uint64_t size = ReadAll(path).size();
  for (std::uint64_t cut : {size - 1, size / 2, std::uint64_t{300}, std::uint64_t{6}}) {
    SCOPED_TRACE(cut);
    Write(path, file);
    Truncate(path, cut);
    TIFX_KRXFile krx(SpecFromPath(path));
    try {
      krx.Open();
    } catch (TIFX_FileIOException const&) {
      continue;
    }
    // Shorter than a TIFF header: nothing to open.
    EXPECT_GT(cut, 8u);
    krx.IsValid();
    std::vector<std::uint8_t> tile(512 * 64);
    for (std::uint32_t top = 0; top < 1300; top += 512)
      for (std::uint32_t left = 0; left < 1300; left += 512) {
        const long result = krx.ReadTile(tile.data(), tile.size(), left, top);
        EXPECT_TRUE(result == -1 || (result > 0 && result <= static_cast<long>(tile.size())))
            << result;
      }
  }
}

TEST(TIFX_KRXFile, ATileThatRunsPastTheEndOfAValidFileReadsAsFailedAndLeavesTheHeapWhole) {
  // One tile, so its offset stands in the directory entry itself; it is moved so that its
  // data starts just before the end of the file. The read comes back short.
  PreviewFile file = PreviewFile::Make(512, 512, 8);
  file.image.bits = [](std::uint32_t x, std::uint32_t y) { return ((x ^ y) & 4) != 0; };
  const std::string path = TempFilePath("tile-past-end.tif");
  Write(path, file);
  PatchEntryValue(path, 0, TIFFTAG_TILEOFFSETS,
                  static_cast<std::uint32_t>(ReadAll(path).size() - 10));

  TIFX_KRXFile krx(SpecFromPath(path));
  krx.Open();
  EXPECT_TRUE(krx.IsValid());
  std::vector<std::uint8_t> tile(512 * 64);
  for (int attempt = 0; attempt < 2; ++attempt)
    EXPECT_EQ(krx.ReadTile(tile.data(), tile.size(), 0, 0), -1);
  // The thumbnail, read through the same handle afterwards, is whole.
  ASSERT_EQ(krx.SetDirectory(1), 1);
  std::vector<std::uint8_t> thumbnail(512 * 512);
  EXPECT_GT(krx.ReadTile(thumbnail.data(), thumbnail.size(), 0, 0), 0);
}

// --- Threads ---

TEST(TIFX_KRXFile, EachOpenReportsItsOwnError) {
  const std::string notTiff = TempFilePath("thread-text.tif");
  std::ofstream(notTiff) << "no tiff at all, just text";
  const std::string good = TempFilePath("thread-good.tif");
  PreviewFile file = PreviewFile::Make(1024, 1024);
  file.image.compression = Compression::Deflate;
  Write(good, file);
  const std::string missing = TempFilePath("thread-missing.tif");

  std::atomic<int> wrong{0};
  auto opener = [&](std::string const& path, bool expectMagic) {
    for (int i = 0; i < 100; ++i) {
      TIFX_KRXFile krx(SpecFromPath(path));
      const std::string message = Message([&] { krx.Open(); });
      if ((message.find("bad magic number") != std::string::npos) != expectMagic) {
        ADD_FAILURE() << path << ": " << message;
        ++wrong;
      }
    }
  };
  auto reader = [&] {
    TIFX_KRXFile krx(SpecFromPath(good));
    krx.Open();
    std::vector<std::uint8_t> tile(512 * 64);
    for (int i = 0; i < 100; ++i) {
      if (krx.SetDirectory(0) != 1)
        ++wrong;
      if (krx.ReadTile(tile.data(), tile.size(), 512 * (i % 2), 0) != 512 * 64)
        ++wrong;
      if (krx.SetDirectory(1) != 1)
        ++wrong;
    }
  };
  std::thread a(opener, notTiff, true), b(opener, missing, false), c(reader);
  a.join();
  b.join();
  c.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST(TIFX_KRXFile, InstallingTheCallbacksAgainChangesNothing) {
  TIFX_KRXFile::SetCallbackFunctions();
  TIFX_KRXFile::SetCallbackFunctions();
  auto krx = WriteAndOpen("callbacks.tif", RichFile());
  for (int i = 0; i < 20; ++i)
    ASSERT_EQ(krx->SetDirectory(static_cast<unsigned short>(i % 2)), 1);
  TIFX_KRXFile::SetCallbackFunctions();
  ASSERT_EQ(krx->SetDirectory(0), 1);
  ExpectRichJob(krx->GetPrivateDirectory(), 1);
}

TEST(TIFX_KRXFile, HandlesOpenedElsewhereAreLeftAlone) {
  TIFX_KRXFile::SetCallbackFunctions();
  const std::string path = TempFilePath("foreign.tif");
  Write(path, RichFile());
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  ASSERT_NE(tif, nullptr);
  EXPECT_EQ(TIFFGetClientInfo(tif, "NoltIFD"), nullptr);
  TIFFClose(tif);
}
