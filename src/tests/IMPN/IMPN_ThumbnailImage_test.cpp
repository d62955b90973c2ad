#include "IMPN/IMPN_ThumbnailImage.h"

#include "GLIB/GLIB_New.h"
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Separation.h"
#include "SheetFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace PreviewFixture;

namespace {
IMPN_RGBColor8 const kPaper(250, 245, 240);

struct Plate {
  std::uint32_t width;
  std::uint32_t length;
  std::function<std::uint8_t(std::uint32_t, std::uint32_t)> grey;
};

// Separations whose thumbnails have the given sizes and grey values, over paper; each file ink
// comes from a CMYK equivalent of its own.
std::unique_ptr<SheetFixture::Surface>
MakeSurface(std::string const& name, std::vector<Plate> const& plates, std::uint16_t scale = 8) {
  auto surface = std::make_unique<SheetFixture::Surface>();
  surface->colour = kPaper;
  for (std::size_t i = 0; i < plates.size(); ++i) {
    PreviewFile file = PreviewFile::Make(512, 512, scale);
    file.thumbnail.width = plates[i].width;
    file.thumbnail.length = plates[i].length;
    file.thumbnail.tileWidth = 64;
    file.thumbnail.tileLength = 64;
    file.thumbnail.grey = plates[i].grey;
    file.job.inkName = "Spot " + std::to_string(i);
    file.image.inkNames = file.job.inkName;
    file.job.cmyk = std::array<std::uint16_t, 4>{
        {std::uint16_t(i % 2 ? 0 : 52000), 30000, std::uint16_t(i % 2 ? 60000 : 0), 0}};
    std::string const path = TempFilePath(name + std::to_string(i) + ".tif");
    Write(path, file);
    surface->Open(path);
  }
  return surface;
}

IMPN_RGBColor8 Pixel(IMPN_ThumbnailImage const& image, long x, long y) {
  IMPN_BitMap const& b = image.GetBitMap();
  IMPN_RGBColor8 c;
  std::memcpy(&c, b.pixels + y * b.rowBytes + x * 4, 3);
  EXPECT_EQ(b.pixels[y * b.rowBytes + x * 4 + 3], 0);
  return c;
}

// The file ink of the separation at a percentage, multiplied over below.
IMPN_RGBColor8 Expected(IMPN_Separation const& s, long opacity, IMPN_RGBColor8 below) {
  IMPN_Ink ink(s.GetFileInk());
  ink.SetOpacity(opacity);
  IMPN_Ink::Blend(ink, below, below);
  return below;
}

std::uint8_t Constant(std::uint32_t, std::uint32_t, std::uint8_t v) {
  return v;
}
}  // namespace

TEST(ThumbnailImage, GreyValuesBlendTheFileInkAtTheirPercentage) {
  using namespace std::placeholders;
  // Columns of grey 255, 128, 2 and 0; the second plate covers the left half only.
  auto surface = MakeSurface("thumbgrey", {{100, 80,
                                            [](std::uint32_t x, std::uint32_t) -> std::uint8_t {
                                              return x < 25 ? 255 : x < 50 ? 128 : x < 75 ? 2 : 0;
                                            }},
                                           {50, 40, std::bind(Constant, _1, _2, 255)}});
  IMPN_ThumbnailImage image(surface->separations, surface->colour);
  ASSERT_EQ(image.GetWidth(), 100);
  ASSERT_EQ(image.GetLength(), 80);
  EXPECT_EQ(image.GetScale(), 8.0);
  IMPN_BitMap const& b = image.GetBitMap();
  EXPECT_EQ(b.kind, kIMPN_BitMap32);
  EXPECT_EQ(b.rowBytes, 400);
  EXPECT_EQ(b.rect, IMPN_RectT<long>(0, 0, 100, 80));

  IMPN_Separation const& first = *surface->separations[0];
  IMPN_Separation const& second = *surface->separations[1];
  ASSERT_NE(first.GetFileInk().GetInkColor(), second.GetFileInk().GetInkColor());
  long const opacities[] = {100, 50, 0, 0};
  for (int column = 0; column < 4; ++column) {
    IMPN_RGBColor8 const below = Expected(first, opacities[column], kPaper);
    // Rows beyond the second plate's 40 show the first plate alone.
    EXPECT_EQ(Pixel(image, column * 25 + 10, 60), below) << column;
    IMPN_RGBColor8 const both = column * 25 + 10 < 50 ? Expected(second, 100, below) : below;
    EXPECT_EQ(Pixel(image, column * 25 + 10, 10), both) << column;
  }
}

TEST(ThumbnailImage, VisibleOnlyLeavesHiddenPlatesOut) {
  using namespace std::placeholders;
  auto surface = MakeSurface("thumbhidden", {{60, 30, std::bind(Constant, _1, _2, 255)}});
  surface->separations[0]->SetVisible(false);
  IMPN_ThumbnailImage image(surface->separations, surface->colour);
  EXPECT_NE(Pixel(image, 5, 5), kPaper);
  image.GenerateThumbnailImage(true);
  EXPECT_EQ(Pixel(image, 5, 5), kPaper);
  EXPECT_EQ(Pixel(image, 59, 29), kPaper);
}

TEST(ThumbnailImage, LargePicturesShrinkToThreeHundredFiftyOnTheLongerSide) {
  using namespace std::placeholders;
  struct SizeCase {
    std::uint32_t width, length;
    long newWidth, newLength;
    double scale;
  };
  SizeCase const cases[] = {{700, 350, 350, 175, 16.0},
                            {351, 1000, 122, 350, 1000 * 8 / 350.0},
                            {350, 350, 350, 350, 8.0},
                            {200, 350, 200, 350, 8.0},
                            {1, 1000, 1, 350, 1000 * 8 / 350.0}};
  for (SizeCase const& c : cases) {
    auto surface = MakeSurface("thumbsize", {{c.width, c.length, std::bind(Constant, _1, _2, 0)}});
    IMPN_ThumbnailImage image(surface->separations, surface->colour);
    EXPECT_EQ(image.GetWidth(), c.newWidth) << c.width;
    EXPECT_EQ(image.GetLength(), c.newLength) << c.width;
    EXPECT_DOUBLE_EQ(image.GetScale(), c.scale) << c.width;
    IMPN_BitMap const& b = image.GetBitMap();
    EXPECT_EQ(b.rect, IMPN_RectT<long>(0, 0, c.newWidth, c.newLength));
    EXPECT_EQ(b.rowBytes, c.newWidth * 4);
    // A uniform picture stays uniform.
    EXPECT_EQ(Pixel(image, c.newWidth - 1, c.newLength - 1), kPaper);
  }
}

TEST(ThumbnailImage, ClearTileEmptiesTheBitmap) {
  using namespace std::placeholders;
  auto surface = MakeSurface("thumbclear", {{20, 20, std::bind(Constant, _1, _2, 9)}});
  IMPN_ThumbnailImage image(surface->separations, surface->colour);
  image.ClearTile();
  EXPECT_EQ(image.GetBitMap().pixels, nullptr);
  EXPECT_EQ(image.GetBitMap().kind, 0);
}

namespace {
// Fails the n-th line-tagged allocation of the thumbnail image (1 first), counting them all.
std::atomic<int> s_ThumbnailAllocations(0);
std::atomic<int> s_FailAt(0);
bool FailNthThumbnailAllocation(std::size_t, char const* file, int) {
  return std::strstr(file, "IMPN_ThumbnailImage.cpp") != nullptr &&
         ++s_ThumbnailAllocations == s_FailAt;
}

std::vector<std::uint8_t> Bytes(IMPN_BitMap const& b) {
  return std::vector<std::uint8_t>(b.pixels, b.pixels + b.rowBytes * b.rect.height);
}
}  // namespace

TEST(ThumbnailImage, AFailedAllocationLeavesTheOldPictureOrAWholeNewOne) {
  using namespace std::placeholders;
  // Large enough to be shrunk: a picture and a shrunk copy are allocated in each build.
  auto surface = MakeSurface("thumbfail", {{700, 360, std::bind(Constant, _1, _2, 200)},
                                           {700, 360, std::bind(Constant, _1, _2, 90)}});
  surface->separations[1]->SetVisible(false);
  IMPN_ThumbnailImage reference(surface->separations, surface->colour);
  reference.GenerateThumbnailImage(true);
  std::vector<std::uint8_t> const referenceBytes = Bytes(reference.GetBitMap());

  int failures = 0;
  for (int failAt = 1;; ++failAt) {
    SCOPED_TRACE(failAt);
    IMPN_ThumbnailImage image(surface->separations, surface->colour);
    IMPN_BitMap const before = image.GetBitMap();
    std::vector<std::uint8_t> const beforeBytes = Bytes(before);
    s_ThumbnailAllocations = 0;
    s_FailAt = failAt;
    GLIB_SetAllocationFailureHook(FailNthThumbnailAllocation);
    bool threw = false;
    try {
      image.GenerateThumbnailImage(true);
    } catch (GLIB_BadAllocException const&) {
      threw = true;
    }
    GLIB_SetAllocationFailureHook(nullptr);
    if (s_ThumbnailAllocations < failAt)
      break;  // every allocation of the build went through
    ++failures;
    IMPN_BitMap const& after = image.GetBitMap();
    if (threw) {
      // The picture is the old one, bit for bit, with its old stamp.
      EXPECT_EQ(after.timeStamp, before.timeStamp);
      EXPECT_EQ(after.rect, before.rect);
      EXPECT_EQ(Bytes(after), beforeBytes);
    } else {
      // The shrinking failed: the new picture at full size, newly stamped.
      EXPECT_GT(after.timeStamp, before.timeStamp);
      EXPECT_EQ(after.rect, IMPN_RectT<long>(0, 0, 700, 360));
      EXPECT_EQ(after.rowBytes, 700 * 4);
      EXPECT_EQ(image.GetWidth(), 700);
    }
    // The next build, with memory, gives the reference.
    image.GenerateThumbnailImage(true);
    EXPECT_EQ(image.GetBitMap().rect, reference.GetBitMap().rect);
    EXPECT_EQ(Bytes(image.GetBitMap()), referenceBytes);
  }
  EXPECT_EQ(failures, 2);
}
