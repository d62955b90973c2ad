#include "IMPN/IMPN_TiledImage.h"

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_Math.h"
#include "GLIB/GLIB_New.h"
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_TileBudget.h"
#include "SheetFixture.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it needs; version 2 is kernel32's own, no psapi library to link.
#define PSAPI_VERSION 2
#include <psapi.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <new>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace PreviewFixture;
using SheetFixture::Sheet;

namespace {
IMPN_RGBColor8 const kWhite(255, 255, 255);

// A surface made of generated plates: the plates and the files written of them, and the
// separations opened from those files.
struct Surface : SheetFixture::Surface {
  Sheet sheet;
  std::vector<std::string> paths;
};

std::unique_ptr<Surface> MakeSurface(Sheet sheet, std::string const& name,
                                     std::vector<bool> const& transparent) {
  auto surface = std::make_unique<Surface>();
  surface->sheet = std::move(sheet);
  Compression const compressions[] = {Compression::PackBits, Compression::Deflate,
                                      Compression::None};
  for (std::size_t i = 0; i < surface->sheet.plates.size(); ++i) {
    std::string const path = TempFilePath(name + "-" + std::to_string(i) + ".tif");
    Write(path, SheetFixture::FileFor(surface->sheet, i, compressions[i % 3],
                                      transparent[i % transparent.size()]));
    surface->paths.push_back(path);
    surface->Open(path);
  }
  return surface;
}

IMPN_RGBColor8 RandomColour(std::mt19937& random) {
  return IMPN_RGBColor8(std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random()));
}

void RandomInks(Surface& surface, std::mt19937& random) {
  for (auto* s : surface.separations) {
    s->SetInk(IMPN_Ink(RandomColour(random), long(random() % 101)));
    s->SetVisible(random() % 4 != 0);
  }
}

// ---- The reference: each display pixel straight from the rules, one pixel at a time. ----

// An ink laid over a pixel at a coverage, with a scaled copy of the ink.
IMPN_RGBColor8 LayInk(IMPN_Separation const& s, int coverage, IMPN_RGBColor8 pixel) {
  if (coverage == 0)
    return pixel;
  IMPN_Ink ink(s.GetInk());
  ink.SetOpacity(s.GetInk().GetOpacity() * coverage / 255);
  IMPN_RGBColor8 blended;
  IMPN_Ink::Blend(ink, pixel, blended);
  if (s.IsTransparent())
    return blended;
  IMPN_RGBColor8 opaque;
  IMPN_Ink::OpaqueAlphaBlend(ink, pixel, opaque);
  auto mix = [coverage](int b, int o) {
    return std::uint8_t((b * (255 - coverage) + o * coverage) / 255);
  };
  return IMPN_RGBColor8(mix(blended.red, opaque.red), mix(blended.green, opaque.green),
                        mix(blended.blue, opaque.blue));
}

// Coverage of display pixel (x, y) at levels 3 to 6 from the plate's bits.
int Coverage(Sheet const& sheet, std::size_t plate, int level, long x, long y) {
  long const k = 1L << (level - 3);
  auto bits = [&](long row, long column, long count) {
    int n = 0;
    for (long i = 0; i < count; ++i)
      n += sheet.Bit(plate, column + i, row);
    return n;
  };
  long const top = y * k;
  long const left = x * k;
  switch (level) {
    case 3:
      return bits(top, left, 1) ? 255 : 0;
    case 4: {
      static int const upper[2][3] = {{0, 63, 127}, {0, 64, 128}};
      static int const lower[2][3] = {{0, 64, 128}, {0, 63, 127}};
      return upper[x & 1][bits(top, left, 2)] + lower[x & 1][bits(top + 1, left, 2)];
    }
    case 5: {
      int sum = 0;
      for (int r = 0; r < 4; ++r) {
        int const n = bits(top + r, left, 4);
        int value = n * 16;
        if ((n == 1 && r == 2) || (n == 2 && r == 3) || (n == 3 && r == 0) || (n == 4 && r == 1))
          value -= 1;
        sum += value;
      }
      return sum;
    }
    default: {
      int n = 0;
      for (int r = 0; r < 8; ++r)
        n += bits(top + r, left, 8);
      return (n * 255) >> 6;
    }
  }
}

long ScaledSize(long size, int level) {
  return MATH_Round(double(size) * kIMPN_ZoomFactor[level]);
}

// Reference pictures over each level's whole tile grid.
class Reference {
public:
  Reference(Surface const& surface, IMPN_TiledImage const& image)
      : m_Surface(surface),
        m_Image(image) {}

  IMPN_RGBColor8 Pixel(int level, long x, long y) {
    bool const indexed = m_Surface.separations.size() <= 8 && level <= 3;
    if (indexed) {
      long const k = 1L << (3 - level);
      return SetColour(x / k, y / k);
    }
    if (level < 3) {
      long const k = 1L << (3 - level);
      return Picture(3).at(x / k, y / k);
    }
    return Picture(level).at(x, y);
  }

private:
  struct Image {
    long width = 0;
    std::vector<IMPN_RGBColor8> pixels;
    IMPN_RGBColor8 at(long x, long y) const { return pixels[std::size_t(y * width + x)]; }
  };

  // The inks of the plates inked at a full-resolution pixel, bottom first, over the surface;
  // kept per set of plates, as there are few.
  IMPN_RGBColor8 SetColour(long x, long y) {
    unsigned set = 0;
    for (std::size_t i = 0; i < m_Surface.separations.size(); ++i)
      set |= unsigned(m_Surface.sheet.Bit(i, x, y)) << i;
    if (!m_SetKnown[set])
      m_SetColours[set] = ComposeSet(set);
    m_SetKnown[set] = true;
    return m_SetColours[set];
  }

  IMPN_RGBColor8 ComposeSet(unsigned set) const {
    IMPN_RGBColor8 pixel = m_Surface.colour;
    for (std::size_t i = 0; i < m_Surface.separations.size(); ++i) {
      IMPN_Separation const& s = *m_Surface.separations[i];
      if (!s.IsVisible() || !((set >> i) & 1))
        continue;
      if (s.IsTransparent())
        IMPN_Ink::Blend(s.GetInk(), pixel, pixel);
      else
        IMPN_Ink::OpaqueAlphaBlend(s.GetInk(), pixel, pixel);
    }
    return pixel;
  }

  Image const& Picture(int level) {
    Image& image = m_Pictures[std::size_t(level)];
    if (!image.pixels.empty())
      return image;
    IMPN_ZoomLevel const z = IMPN_ZoomLevel(level);
    long const width = m_Image.GetTilesAcross(z) * m_Image.GetTileWidth(z);
    long const length = m_Image.GetTilesDown(z) * m_Image.GetTileLength(z);
    long const scaledWidth = ScaledSize(m_Surface.sheet.width, level);
    long const scaledLength = ScaledSize(m_Surface.sheet.length, level);
    image.width = width;
    image.pixels.assign(std::size_t(width * length), kWhite);
    Image const* finer = level > 6 ? &Picture(level - 1) : nullptr;
    for (long y = 0; y < std::min(length, scaledLength); ++y)
      for (long x = 0; x < std::min(width, scaledWidth); ++x) {
        IMPN_RGBColor8 pixel = m_Surface.colour;
        if (finer) {
          // The average of the 2 x 2 pixels of the next finer level.
          IMPN_RGBColor8 const a = finer->at(2 * x, 2 * y);
          IMPN_RGBColor8 const b = finer->at(2 * x + 1, 2 * y);
          IMPN_RGBColor8 const c = finer->at(2 * x, 2 * y + 1);
          IMPN_RGBColor8 const d = finer->at(2 * x + 1, 2 * y + 1);
          pixel = IMPN_RGBColor8(std::uint8_t((a.red + b.red + c.red + d.red) >> 2),
                                 std::uint8_t((a.green + b.green + c.green + d.green) >> 2),
                                 std::uint8_t((a.blue + b.blue + c.blue + d.blue) >> 2));
        } else
          for (std::size_t i = 0; i < m_Surface.separations.size(); ++i)
            if (m_Surface.separations[i]->IsVisible())
              pixel = LayInk(*m_Surface.separations[i], Coverage(m_Surface.sheet, i, level, x, y),
                             pixel);
        image.pixels[std::size_t(y * width + x)] = pixel;
      }
    return image;
  }

  Surface const& m_Surface;
  IMPN_TiledImage const& m_Image;
  std::array<Image, kIMPN_ZoomLevelCount> m_Pictures;
  std::array<IMPN_RGBColor8, 256> m_SetColours;
  std::array<bool, 256> m_SetKnown{};
};

IMPN_RGBColor8 TilePixel(IMPN_BitMap const& tile, long x, long y) {
  std::uint8_t const* p = tile.pixels;
  IMPN_RGBColor8 c;
  switch (tile.kind) {
    case kIMPN_BitMapIndexed:
      return tile.palette->entries[p[y * tile.rowBytes + x]];
    case kIMPN_BitMapUniformIndex:
      return tile.palette->entries[p[0]];
    case kIMPN_BitMapRGB:
      std::memcpy(&c, p + y * tile.rowBytes + x * 3, 3);
      return c;
    case kIMPN_BitMapUniformRGB:
      std::memcpy(&c, p, 3);
      return c;
    default:
      ADD_FAILURE() << "empty tile";
      return c;
  }
}

// Number of pixels of the tile that differ from the reference; reports the first.
long Mismatches(IMPN_BitMap const& tile, int level, Reference& reference) {
  long count = 0;
  for (long y = 0; y < tile.rect.height; ++y)
    for (long x = 0; x < tile.rect.width; ++x) {
      IMPN_RGBColor8 const want = reference.Pixel(level, tile.rect.left + x, tile.rect.top + y);
      IMPN_RGBColor8 const got = TilePixel(tile, x, y);
      if (want != got && count++ == 0)
        ADD_FAILURE() << "level " << level << " tile (" << tile.rect.top << ", " << tile.rect.left
                      << ") kind " << tile.kind << " pixel (" << x << ", " << y << "): got "
                      << int(got.red) << "," << int(got.green) << "," << int(got.blue) << " want "
                      << int(want.red) << "," << int(want.green) << "," << int(want.blue);
    }
  return count;
}

enum class Order {
  FinestFirst,
  // A reduced tile asked for before its finer levels builds its 1:8 tiles on several threads.
  CoarsestFirst
};

// Compares every tile of levels 2 to 12 and some tiles of levels 0 and 1 with the reference.
void ExpectMatchesReference(Surface& surface, IMPN_TiledImage& image, std::mt19937& random,
                            Order order = Order::FinestFirst) {
  Reference reference(surface, image);
  long const stamp = surface.Stamp();
  for (int step = 0; step < kIMPN_ZoomLevelCount; ++step) {
    int const level = order == Order::FinestFirst ? step : kIMPN_ZoomLevelCount - 1 - step;
    IMPN_ZoomLevel const z = IMPN_ZoomLevel(level);
    long const across = image.GetTilesAcross(z);
    long const down = image.GetTilesDown(z);
    ASSERT_GT(across, 0);
    ASSERT_GT(down, 0);
    for (long row = 0; row < down; ++row)
      for (long column = 0; column < across; ++column) {
        // The magnified levels repeat level 3's pixels: their last tiles and a few
        // others will do.
        bool const last = row == down - 1 && column == across - 1;
        if (level < 2 && !last && random() % 16 != 0)
          continue;
        long const top = row * image.GetTileLength(z);
        long const left = column * image.GetTileWidth(z);
        IMPN_BitMap* tile = image.GetTile(top, left, z, stamp);
        ASSERT_NE(tile, nullptr);
        EXPECT_EQ(image.GetTileTimeStamp(top, left, z) >= stamp, true);
        ASSERT_EQ(Mismatches(*tile, level, reference), 0);
      }
  }
}

struct Case {
  int separations;
  std::uint32_t seed;
};

class TiledImageReference : public ::testing::TestWithParam<Case> {};

TEST_P(TiledImageReference, EveryLevelMatchesThePixelRulesBeforeAndAfterInkChanges) {
  Case const c = GetParam();
  std::mt19937 random(c.seed);
  std::uint32_t const width = 900 + random() % 700;
  std::uint32_t const length = 520 + random() % 600;
  std::vector<bool> transparent;
  for (int i = 0; i < c.separations; ++i)
    transparent.push_back(random() % 2 == 0);
  auto surface = MakeSurface(SheetFixture::MakeRandomSheet(width, length, c.separations, c.seed),
                             "reference" + std::to_string(c.separations), transparent);
  surface->colour = RandomColour(random);
  RandomInks(*surface, random);
  IMPN_TiledImage image(surface->separations, surface->colour);
  image.SetWorkerCount(4);
  ExpectMatchesReference(*surface, image, random);

  // Indexed tiles keep their pixels and stamps; only the colour table follows the inks.
  std::vector<std::pair<std::uint8_t*, long>> before;
  for (long column = 0; column < image.GetTilesAcross(kIMPN_ZoomLevel1to1); ++column) {
    IMPN_BitMap* tile = image.GetTile(0, column * 512, kIMPN_ZoomLevel1to1, surface->Stamp());
    before.emplace_back(tile->pixels, tile->timeStamp);
  }
  RandomInks(*surface, random);
  ExpectMatchesReference(*surface, image, random, Order::CoarsestFirst);
  if (c.separations <= 8)
    for (long column = 0; column < image.GetTilesAcross(kIMPN_ZoomLevel1to1); ++column) {
      IMPN_BitMap* tile = image.GetTile(0, column * 512, kIMPN_ZoomLevel1to1, surface->Stamp());
      EXPECT_EQ(tile->pixels, before[std::size_t(column)].first);
      EXPECT_EQ(tile->timeStamp, before[std::size_t(column)].second);
    }

  // The same surface from a fresh cache, with every tile state now known.
  image.ResetCache();
  ExpectMatchesReference(*surface, image, random, Order::CoarsestFirst);
}

INSTANTIATE_TEST_SUITE_P(OneToNineSeparations, TiledImageReference,
                         ::testing::Values(Case{1, 11}, Case{2, 12}, Case{3, 13}, Case{4, 14},
                                           Case{5, 15}, Case{6, 16}, Case{7, 17}, Case{8, 18},
                                           Case{9, 19}),
                         [](::testing::TestParamInfo<Case> const& info) {
                           return std::to_string(info.param.separations);
                         });

// A surface with one plate per pattern function, all inks given.
std::unique_ptr<Surface> PatternSurface(std::string const& name, std::uint32_t width,
                                        std::uint32_t length,
                                        std::vector<std::function<bool(long, long)>> const& bits,
                                        std::vector<bool> const& transparent) {
  Sheet sheet = SheetFixture::MakeRandomSheet(width, length, 0, 1);
  for (auto const& f : bits) {
    SheetFixture::Plate plate;
    plate.rowBytes = sheet.gridWidth / 8;
    // Made at its size: assign() on the empty vector makes GCC 12 at -O3 see a memset of its
    // null data (-Wnonnull).
    plate.bits = std::vector<std::uint8_t>(std::size_t(plate.rowBytes) * sheet.gridLength);
    for (long y = 0; y < long(length); ++y)
      for (long x = 0; x < long(width); ++x)
        if (f(x, y))
          plate.bits[std::size_t(y) * plate.rowBytes + std::size_t(x) / 8] |=
              std::uint8_t(0x80u >> (x % 8));
    sheet.plates.push_back(std::move(plate));
  }
  return MakeSurface(std::move(sheet), name, transparent);
}

IMPN_RGBColor8 UniformColour(IMPN_BitMap const& tile) {
  EXPECT_EQ(tile.kind, kIMPN_BitMapUniformRGB);
  return TilePixel(tile, 0, 0);
}
}  // namespace

TEST(TiledImage, LevelGeometryFollowsTheZoomFactors) {
  auto surface =
      PatternSurface("geometry", 24576 / 8, 1000, {[](long, long) { return false; }}, {true});
  IMPN_TiledImage image(surface->separations, surface->colour);
  long const tileWidths[] = {512, 512, 512, 512, 256, 128, 64, 64, 64, 64, 64, 64, 64};
  long const multipliers[] = {1, 1, 1, 1, 1, 1, 1, 2, 4, 8, 16, 32, 64};
  for (int level = 0; level < kIMPN_ZoomLevelCount; ++level) {
    auto const& g = image.GetLevelGeometry(IMPN_ZoomLevel(level));
    EXPECT_EQ(g.tileWidth, tileWidths[level]);
    EXPECT_EQ(g.tileLength, tileWidths[level]);
    EXPECT_EQ(g.separationTilesPerTile, multipliers[level]);
    EXPECT_EQ(g.scaledWidth, ScaledSize(3072, level));
    EXPECT_EQ(g.tilesAcross, (g.scaledWidth + g.tileWidth - 1) / g.tileWidth);
  }
  // 1000 / 512 = 1.953125 ties to even: 2; 1000 / 16 = 62.5 also: 62.
  EXPECT_EQ(image.GetScaledLength(kIMPN_ZoomLevel1to512), 2);
  EXPECT_EQ(image.GetScaledLength(kIMPN_ZoomLevel1to16), 62);
}

TEST(TiledImage, PositionsOutsideTheTileGridHaveNoTile) {
  // 3 x 2 separation tiles.
  auto surface =
      PatternSurface("outside", 1536, 1024, {[](long x, long) { return x < 600; }}, {true});
  IMPN_TiledImage image(surface->separations, surface->colour);
  long const stamp = surface->Stamp();
  for (int level = 0; level < kIMPN_ZoomLevelCount; ++level) {
    IMPN_ZoomLevel const z = IMPN_ZoomLevel(level);
    long const w = image.GetTileWidth(z);
    long const l = image.GetTileLength(z);
    long const across = image.GetTilesAcross(z);
    long const down = image.GetTilesDown(z);
    // One column past the last would be the first tile of the next row in a flat index.
    EXPECT_EQ(image.GetTile(0, across * w, z, stamp), nullptr) << level;
    EXPECT_EQ(image.GetTile(down * l, 0, z, stamp), nullptr) << level;
    EXPECT_EQ(image.GetTile(-l, 0, z, stamp), nullptr) << level;
    EXPECT_EQ(image.GetTile(0, -1, z, stamp), nullptr) << level;
    EXPECT_EQ(image.GetTileTimeStamp(0, across * w, z), 0) << level;
    EXPECT_NE(image.GetTile((down - 1) * l, (across - 1) * w, z, stamp), nullptr) << level;
  }
}

TEST(TiledImage, BlankTileAtOneToOneIsIndexZero) {
  auto surface =
      PatternSurface("blank", 1024, 512,
                     {[](long x, long) { return x >= 512; }, [](long x, long) { return x >= 600; }},
                     {true, false});
  surface->colour = IMPN_RGBColor8(250, 240, 230);
  IMPN_TiledImage image(surface->separations, surface->colour);
  IMPN_BitMap* tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to1, surface->Stamp());
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile->kind, kIMPN_BitMapUniformIndex);
  EXPECT_EQ(tile->rowBytes, 1);
  EXPECT_EQ(tile->pixels[0], 0);
  EXPECT_EQ(tile->palette->entries[0], surface->colour);
  EXPECT_EQ(tile->rect, IMPN_RectT<long>(0, 0, 512, 512));
  EXPECT_EQ(image.GetColorTable().count, 4);
  // A zoomed-in tile of a uniform tile is uniform too.
  IMPN_BitMap* zoomed = image.GetTile(512, 1024, kIMPN_ZoomLevel4to1, surface->Stamp());
  ASSERT_NE(zoomed, nullptr);
  EXPECT_EQ(zoomed->kind, kIMPN_BitMapUniformIndex);
}

TEST(TiledImage, TilesBeyondTheImageAreWhiteThereAndNeverUniform) {
  // Blank everywhere; at 1:2 the second column tile holds 50 image pixels of 256.
  auto surface = PatternSurface("margin", 612, 512, {[](long, long) { return false; }}, {true});
  surface->colour = IMPN_RGBColor8(10, 20, 30);
  IMPN_TiledImage image(surface->separations, surface->colour);
  IMPN_BitMap* tile = image.GetTile(0, 256, kIMPN_ZoomLevel1to2, surface->Stamp());
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile->kind, kIMPN_BitMapRGB);
  EXPECT_EQ(TilePixel(*tile, 49, 0), surface->colour);
  EXPECT_EQ(TilePixel(*tile, 50, 0), kWhite);
  EXPECT_EQ(TilePixel(*tile, 0, 255), surface->colour);
  // The first tile lies wholly inside: one colour.
  EXPECT_EQ(UniformColour(*image.GetTile(0, 0, kIMPN_ZoomLevel1to2, surface->Stamp())),
            surface->colour);
}

TEST(TiledImage, FourUniformTilesAverageAndFollowLaterInkChanges) {
  // 2 x 2 separation tiles, the upper left full: at 1:16 one tile from four uniform ones.
  auto surface = PatternSurface("average", 1024, 1024,
                                {[](long x, long y) { return x < 512 && y < 512; }}, {true});
  surface->separations[0]->SetInk(IMPN_Ink(IMPN_RGBColor8(0, 0, 0), 100));
  IMPN_TiledImage image(surface->separations, surface->colour);
  IMPN_BitMap* tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to16, surface->Stamp());
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(UniformColour(*tile), IMPN_RGBColor8(191, 191, 191));

  // Recomputed from the four finer tiles, not from the upper left one alone.
  surface->separations[0]->SetInk(IMPN_Ink(IMPN_RGBColor8(255, 0, 0), 100));
  tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to16, surface->Stamp());
  EXPECT_EQ(UniformColour(*tile), IMPN_RGBColor8(255, 191, 191));
  tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to32, surface->Stamp());
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile->kind, kIMPN_BitMapRGB);  // half of it lies beyond the image
  EXPECT_EQ(TilePixel(*tile, 31, 31), IMPN_RGBColor8(255, 191, 191));
  EXPECT_EQ(TilePixel(*tile, 32, 0), kWhite);
}

TEST(TiledImage, RightEdgeTileWithFewerFinerTilesKeepsTheWhiteMargin) {
  // 3 x 2 full tiles: at 1:16 the second column tile has only one finer column (at 1:8).
  auto surface = PatternSurface("edge", 1536, 1024, {[](long, long) { return true; }}, {true});
  surface->separations[0]->SetInk(IMPN_Ink(IMPN_RGBColor8(0, 0, 0), 100));
  IMPN_TiledImage image(surface->separations, surface->colour);
  IMPN_BitMap* tile = image.GetTile(0, 64, kIMPN_ZoomLevel1to16, surface->Stamp());
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile->kind, kIMPN_BitMapRGB);
  EXPECT_EQ(TilePixel(*tile, 31, 63), IMPN_RGBColor8(0, 0, 0));
  EXPECT_EQ(TilePixel(*tile, 32, 0), kWhite);
  EXPECT_EQ(UniformColour(*image.GetTile(0, 0, kIMPN_ZoomLevel1to16, surface->Stamp())),
            IMPN_RGBColor8(0, 0, 0));
}

TEST(TiledImage, OpaqueHalfInkOverAFullTileIsTheSameKnownOrLearned) {
  auto surface = PatternSurface(
      "opaque", 1024, 512,
      {[](long x, long) { return (x & 3) == 0; }, [](long x, long) { return x < 512; }},
      {true, false});
  surface->separations[1]->SetInk(IMPN_Ink(IMPN_RGBColor8(200, 100, 0), 50));
  for (int level = 3; level <= 6; ++level) {
    IMPN_ZoomLevel const z = IMPN_ZoomLevel(level);
    std::vector<std::uint8_t> learned;
    for (int pass = 0; pass < 2; ++pass) {
      IMPN_TiledImage image(surface->separations, surface->colour);
      IMPN_BitMap* tile = image.GetTile(0, 0, z, surface->Stamp());
      ASSERT_NE(tile, nullptr);
      std::vector<std::uint8_t> pixels(tile->pixels,
                                       tile->pixels + tile->rowBytes * tile->rect.height);
      if (pass == 0)
        learned = pixels;
      else
        EXPECT_EQ(pixels, learned) << level;
    }
  }
}

TEST(TiledImage, VisibilityChangeAtOneToOneRebuildsOnlyTheColourTable) {
  auto surface = PatternSurface("visibility", 512, 512,
                                {[](long x, long) { return x % 3 == 0; },
                                 [](long, long y) { return y % 2 == 0; },
                                 [](long x, long y) { return (x + y) % 5 == 0; }},
                                {true, false, true});
  surface->separations[0]->SetInk(IMPN_Ink(IMPN_RGBColor8(0, 160, 230), 100));
  surface->separations[1]->SetInk(IMPN_Ink(IMPN_RGBColor8(230, 0, 120), 60));
  surface->separations[2]->SetInk(IMPN_Ink(IMPN_RGBColor8(250, 230, 0), 80));
  IMPN_TiledImage image(surface->separations, surface->colour);
  IMPN_BitMap* tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to1, surface->Stamp());
  ASSERT_NE(tile, nullptr);
  ASSERT_EQ(tile->kind, kIMPN_BitMapIndexed);
  std::uint8_t* pixels = tile->pixels;
  long const tileStamp = tile->timeStamp;
  long const tableStamp = image.GetColorTableTimeStamp();
  IMPN_RGBColor8 const shown = TilePixel(*tile, 0, 0);  // all three inks

  surface->separations[1]->SetVisible(false);
  tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to1, surface->Stamp());
  EXPECT_EQ(tile->pixels, pixels);
  EXPECT_EQ(tile->timeStamp, tileStamp);
  EXPECT_GT(image.GetColorTableTimeStamp(), tableStamp);
  EXPECT_EQ(image.GetTileTimeStamp(0, 0, kIMPN_ZoomLevel1to1), image.GetColorTableTimeStamp());
  EXPECT_NE(TilePixel(*tile, 0, 0), shown);
  // A request that is not newer leaves the table alone.
  long const rebuilt = image.GetColorTableTimeStamp();
  image.GetTile(0, 0, kIMPN_ZoomLevel1to1, surface->Stamp());
  EXPECT_EQ(image.GetColorTableTimeStamp(), rebuilt);
}

TEST(TiledImage, TileOfAFailedReadIsBuiltAgain) {
  auto surface = PatternSurface(
      "failed", 512, 512,
      {[](long x, long) { return x % 2 == 0; }, [](long, long y) { return y % 2 == 0; }},
      {true, true});
  SheetFixture::Sheet const sheet = surface->sheet;
  IMPN_TiledImage image(surface->separations, surface->colour);
  // The second plate's file goes missing before its first tile is read.
  surface->separations[1]->CloseFile();
  ASSERT_EQ(std::remove(surface->paths[1].c_str()), 0);
  long const stamp = surface->Stamp();
  for (IMPN_ZoomLevel z :
       {kIMPN_ZoomLevel1to512, kIMPN_ZoomLevel1to8, kIMPN_ZoomLevel1to1, kIMPN_ZoomLevel1to4}) {
    IMPN_BitMap* tile = image.GetTile(0, 0, z, stamp);
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(image.GetTileTimeStamp(0, 0, z), 0) << z;
  }
  // Back again: the next request reads it.
  Write(surface->paths[1], SheetFixture::FileFor(sheet, 1, Compression::None, true));
  std::mt19937 random(5);
  ExpectMatchesReference(*surface, image, random);
}

// ---- Memory: the shared budget, failed allocations, memory given back. ----

namespace {
// The process-wide budget at a given size for one test.
class ScopedBudget {
public:
  explicit ScopedBudget(std::size_t bytes) : m_Previous(IMPN_TileBudget::Instance().GetLimit()) {
    IMPN_TileBudget::Instance().SetLimit(bytes);
  }
  ~ScopedBudget() { IMPN_TileBudget::Instance().SetLimit(m_Previous); }
  ScopedBudget(ScopedBudget const&) = delete;
  ScopedBudget& operator=(ScopedBudget const&) = delete;

private:
  std::size_t m_Previous;
};

struct TilePlace {
  IMPN_ZoomLevel level;
  long top;
  long left;
};

// Every tile of levels 2 to 12 and one in eight of levels 0 and 1 (which repeat level 3's
// pixels), in a random order.
std::vector<TilePlace> EveryTileShuffled(IMPN_TiledImage const& image, std::mt19937& random) {
  std::vector<TilePlace> places;
  for (int level = 0; level < kIMPN_ZoomLevelCount; ++level) {
    IMPN_ZoomLevel const z = IMPN_ZoomLevel(level);
    for (long row = 0; row < image.GetTilesDown(z); ++row)
      for (long column = 0; column < image.GetTilesAcross(z); ++column)
        if (level >= 2 || random() % 8 == 0)
          places.push_back({z, row * image.GetTileLength(z), column * image.GetTileWidth(z)});
  }
  std::shuffle(places.begin(), places.end(), random);
  return places;
}

// Asks for the tile and compares it with the reference before anything else may drop it.
void ExpectTileMatches(IMPN_TiledImage& image, TilePlace const& place, long stamp,
                       Reference& reference) {
  IMPN_BitMap* tile = image.GetTile(place.top, place.left, place.level, stamp);
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(Mismatches(*tile, place.level, reference), 0);
}

std::size_t const kIndexedTileBytes = 512 * 512;

class TiledImageBudget : public ::testing::TestWithParam<int> {};

TEST_P(TiledImageBudget, EveryTileMatchesTheReferenceWhateverTheOrderOfRequestsAndDrops) {
  int const separations = GetParam();
  std::mt19937 random(std::uint32_t(700 + separations));
  auto surface = MakeSurface(SheetFixture::MakeRandomSheet(1300, 1100, separations, 7),
                             "budget" + std::to_string(separations), {true, false});
  RandomInks(*surface, random);
  IMPN_TileBudget& budget = IMPN_TileBudget::Instance();
  // About three indexed 1:1 tiles: most requests drop something.
  ScopedBudget scoped(3 * kIndexedTileBytes);
  IMPN_TiledImage image(surface->separations, surface->colour);
  image.SetWorkerCount(3);
  for (int pass = 0; pass < 2; ++pass) {
    // The second pass after ink changes: RGB tiles are rebuilt, indexed ones kept or dropped.
    if (pass > 0)
      RandomInks(*surface, random);
    Reference reference(*surface, image);
    for (TilePlace const& place : EveryTileShuffled(image, random)) {
      ExpectTileMatches(image, place, surface->Stamp(), reference);
      // What a request added goes again at the next one, as nothing is shown.
      budget.MakeRoom();
      ASSERT_LE(budget.GetUsed(), budget.GetLimit());
    }
  }
  image.ResetCache();
  EXPECT_EQ(budget.GetUsed(), 0u);
}

TEST_P(TiledImageBudget, ShownTilesStayWhileEverythingElseIsDropped) {
  int const separations = GetParam();
  std::mt19937 random(std::uint32_t(800 + separations));
  auto surface = MakeSurface(SheetFixture::MakeRandomSheet(1600, 1100, separations, 8),
                             "shown" + std::to_string(separations), {true});
  ScopedBudget scoped(1);
  IMPN_TiledImage image(surface->separations, surface->colour);
  long const stamp = surface->Stamp();
  // One view at 4:1 over the 1:1 tile at (512, 1024); another at 1:16 over the first tile.
  int const viewAt4 = 0;
  int const viewAt16 = 0;
  image.SetVisibleArea(&viewAt4, kIMPN_ZoomLevel4to1, IMPN_RectT<long>(2048, 4096, 1000, 600));
  image.SetVisibleArea(&viewAt16, kIMPN_ZoomLevel1to16, IMPN_RectT<long>(0, 0, 64, 64));
  long const shown4 = image.GetTile(2048, 4096, kIMPN_ZoomLevel4to1, stamp)->timeStamp;
  long const shown16 = image.GetTile(0, 0, kIMPN_ZoomLevel1to16, stamp)->timeStamp;
  long const under4 = image.GetTile(512, 1024, kIMPN_ZoomLevel1to1, stamp)->timeStamp;
  long const under16 = image.GetTile(0, 64, kIMPN_ZoomLevel1to8, stamp)->timeStamp;
  ASSERT_NE(shown4, 0);
  ASSERT_NE(under16, 0);
  Reference reference(*surface, image);
  for (TilePlace const& place : EveryTileShuffled(image, random))
    ExpectTileMatches(image, place, stamp, reference);
  // A tile built again would have a newer stamp.
  EXPECT_EQ(image.GetTile(2048, 4096, kIMPN_ZoomLevel4to1, stamp)->timeStamp, shown4);
  EXPECT_EQ(image.GetTile(0, 0, kIMPN_ZoomLevel1to16, stamp)->timeStamp, shown16);
  EXPECT_EQ(image.GetTile(512, 1024, kIMPN_ZoomLevel1to1, stamp)->timeStamp, under4);
  EXPECT_EQ(image.GetTile(0, 64, kIMPN_ZoomLevel1to8, stamp)->timeStamp, under16);
  // A tile that is not shown was dropped: at a level of RGB tiles it has no stamp until it is
  // asked for again; at an indexed level the colour table's stamp answers, as for a tile
  // never built.
  image.GetTile(0, 0, kIMPN_ZoomLevel1to2, stamp);
  image.GetTile(0, 0, kIMPN_ZoomLevel1to4, stamp);
  EXPECT_EQ(image.GetTileTimeStamp(0, 0, kIMPN_ZoomLevel1to2), 0);
  image.GetTile(0, 0, kIMPN_ZoomLevel1to1, stamp);
  image.GetTile(0, 0, kIMPN_ZoomLevel1to4, stamp);
  EXPECT_EQ(image.GetTileTimeStamp(0, 0, kIMPN_ZoomLevel1to1),
            separations <= 8 ? image.GetColorTableTimeStamp() : 0);

  // Once the views forget their areas their tiles go too.
  image.ForgetVisibleArea(&viewAt4);
  image.ForgetVisibleArea(&viewAt16);
  image.GetTile(0, 0, kIMPN_ZoomLevel1to512, stamp);
  image.GetTile(0, 0, kIMPN_ZoomLevel1to4, stamp);
  EXPECT_EQ(image.GetTileTimeStamp(0, 0, kIMPN_ZoomLevel1to16), 0);
}

INSTANTIATE_TEST_SUITE_P(IndexedAndRGB, TiledImageBudget, ::testing::Values(3, 9),
                         [](::testing::TestParamInfo<int> const& info) {
                           return std::to_string(info.param) + "separations";
                         });
}  // namespace

TEST(TiledImageBudget, ImagesShareOneBudgetAndABuildLargerThanItCompletes) {
  std::mt19937 random(31);
  auto front = MakeSurface(SheetFixture::MakeRandomSheet(1100, 1000, 9, 31), "share-front", {true});
  auto back = MakeSurface(SheetFixture::MakeRandomSheet(1000, 1100, 4, 32), "share-back", {false});
  RandomInks(*front, random);
  RandomInks(*back, random);
  IMPN_TileBudget& budget = IMPN_TileBudget::Instance();
  // Less than the pyramid under one 1:512 tile.
  ScopedBudget scoped(64 * 1024);
  IMPN_TiledImage frontImage(front->separations, front->colour);
  IMPN_TiledImage backImage(back->separations, back->colour);
  Reference frontReference(*front, frontImage);
  Reference backReference(*back, backImage);

  // The whole pyramid under one 1:512 tile, far above the budget, in one request.
  ExpectTileMatches(frontImage, {kIMPN_ZoomLevel1to512, 0, 0}, front->Stamp(), frontReference);
  EXPECT_GT(budget.GetUsed(), 0u);
  ASSERT_GT(budget.GetUsed(), budget.GetLimit());
  // The back's requests make room by dropping the front's tiles, which are older.
  ExpectTileMatches(backImage, {kIMPN_ZoomLevel1to1, 0, 0}, back->Stamp(), backReference);
  ExpectTileMatches(backImage, {kIMPN_ZoomLevel1to1, 0, 512}, back->Stamp(), backReference);
  EXPECT_EQ(frontImage.GetTileTimeStamp(0, 0, kIMPN_ZoomLevel1to512), 0);
  for (int round = 0; round < 2; ++round) {
    std::vector<TilePlace> const frontPlaces = EveryTileShuffled(frontImage, random);
    std::vector<TilePlace> const backPlaces = EveryTileShuffled(backImage, random);
    for (std::size_t i = 0; i < std::max(frontPlaces.size(), backPlaces.size()); ++i) {
      if (i < frontPlaces.size())
        ExpectTileMatches(frontImage, frontPlaces[i], front->Stamp(), frontReference);
      if (i < backPlaces.size())
        ExpectTileMatches(backImage, backPlaces[i], back->Stamp(), backReference);
      budget.MakeRoom();
      ASSERT_LE(budget.GetUsed(), budget.GetLimit());
    }
  }
}

namespace {
// The resident size of the process in bytes; 0 where it cannot be read.
std::size_t ResidentBytes() {
#if defined(_WIN32)
  PROCESS_MEMORY_COUNTERS counters = {};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
    return 0;
  return counters.WorkingSetSize;
#else
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  std::size_t resident = 0;
  if (!(statm >> pages >> resident))
    return 0;
  return resident * 4096;
#endif
}
}  // namespace

TEST(TiledImageBudget, DroppedTilesGiveTheirMemoryBackToTheSystem) {
  if (ResidentBytes() == 0)
    GTEST_SKIP() << "no resident size to read here";
  // 9 separations: RGB tiles of 768 KiB at 1:1, 6 x 4 of them.
  auto surface =
      MakeSurface(SheetFixture::MakeRandomSheet(3072, 2048, 9, 41, true), "resident", {true});
  ScopedBudget scoped(std::size_t(1) << 30);
  IMPN_TiledImage image(surface->separations, surface->colour);
  long const stamp = surface->Stamp();
  // Scratch and reader memory first, so that only the tiles make the difference.
  image.GetTile(0, 0, kIMPN_ZoomLevel1to1, stamp);
  std::size_t const before = ResidentBytes();
  for (long top = 0; top < 2048; top += 512)
    for (long left = 0; left < 3072; left += 512)
      image.GetTile(top, left, kIMPN_ZoomLevel1to1, stamp);
  std::size_t const built = IMPN_TileBudget::Instance().GetUsed();
  ASSERT_GE(built, std::size_t(20) * 768 * 1024);
  std::size_t const full = ResidentBytes();
  EXPECT_GE(full, before + built / 2);
  image.ResetCache();
  std::size_t const after = ResidentBytes();
  EXPECT_LE(after, before + built / 8) << "before " << before << " full " << full;
}

TEST(TiledImage, ReinitialisedSeparationsGiveTheTilesOfAFreshSurface) {
  // An opaque black plate full everywhere, under a transparent one with some dots.
  auto surface = PatternSurface("reinit", 1024, 1024,
                                {[](long, long) { return true; },
                                 [](long x, long y) { return x >= 512 && (x + y) % 7 == 0; }},
                                {false, true});
  surface->separations[0]->SetInk(IMPN_Ink(IMPN_RGBColor8(0, 0, 0), 100));
  IMPN_TiledImage image(surface->separations, surface->colour);
  IMPN_ZoomLevel const levels[] = {kIMPN_ZoomLevel1to2, kIMPN_ZoomLevel1to8, kIMPN_ZoomLevel1to16};
  for (IMPN_ZoomLevel z : levels)
    image.GetTile(0, 0, z, surface->Stamp());
  // The surface initialised a second time keeps its tiled image; the separations forget
  // their tile states and take new stamps.
  for (IMPN_Separation* separation : surface->separations) {
    IMPN_Ink const ink = separation->GetInk();
    separation->Init();
    separation->SetInk(ink);
  }
  IMPN_TiledImage fresh(surface->separations, surface->colour);
  for (IMPN_ZoomLevel z : levels) {
    IMPN_BitMap const* kept = image.GetTile(0, 0, z, surface->Stamp());
    IMPN_BitMap const* made = fresh.GetTile(0, 0, z, surface->Stamp());
    ASSERT_NE(kept, nullptr);
    ASSERT_NE(made, nullptr);
    ASSERT_EQ(kept->kind, made->kind) << z;
    for (long y = 0; y < kept->rect.height; y += 7)
      for (long x = 0; x < kept->rect.width; x += 5)
        ASSERT_EQ(TilePixel(*kept, x, y), TilePixel(*made, x, y)) << z << " " << x << "," << y;
  }
  EXPECT_EQ(UniformColour(*image.GetTile(0, 0, kIMPN_ZoomLevel1to2, surface->Stamp())),
            IMPN_RGBColor8(0, 0, 0));
}

namespace {
// Fails the n-th line-tagged allocation from when it is armed, on whichever thread.
struct AllocationFailure {
  static std::atomic<long>& Countdown() {
    static std::atomic<long> countdown{0};
    return countdown;
  }
  static std::atomic<bool>& Failed() {
    static std::atomic<bool> failed{false};
    return failed;
  }
  static bool Hook(std::size_t, char const*, int) {
    if (Countdown().fetch_sub(1) != 1)
      return false;
    Failed() = true;
    return true;
  }
  explicit AllocationFailure(long n) {
    Countdown() = n;
    Failed() = false;
    GLIB_SetAllocationFailureHook(Hook);
  }
  ~AllocationFailure() { GLIB_SetAllocationFailureHook(nullptr); }
  AllocationFailure(AllocationFailure const&) = delete;
  AllocationFailure& operator=(AllocationFailure const&) = delete;
};

// Requests that between them build every kind of tile: a pyramid on worker threads, a
// magnified tile over its 1:1 tile, single tiles at 1:1 and 1:4.
std::vector<TilePlace> const kBuilds = {{kIMPN_ZoomLevel1to512, 0, 0},
                                        {kIMPN_ZoomLevel4to1, 2048, 2048},
                                        {kIMPN_ZoomLevel1to1, 512, 0},
                                        {kIMPN_ZoomLevel1to4, 0, 128}};

class TiledImageAllocationFailure : public ::testing::TestWithParam<int> {};

TEST_P(TiledImageAllocationFailure, EveryFailedAllocationLeavesTilesRightOrRebuilt) {
  int const separations = GetParam();
  std::mt19937 random(std::uint32_t(900 + separations));
  auto surface = MakeSurface(SheetFixture::MakeRandomSheet(1100, 1000, separations, 9),
                             "fail" + std::to_string(separations), {true, false});
  RandomInks(*surface, random);
  long const stamp = surface->Stamp();
  IMPN_TiledImage first(surface->separations, surface->colour);
  Reference reference(*surface, first);
  long n = 1;
  for (; n < 2000; ++n) {
    IMPN_TiledImage image(surface->separations, surface->colour);
    image.SetWorkerCount(2);
    bool threw = false;
    {
      AllocationFailure failure(n);
      for (TilePlace const& place : kBuilds) {
        try {
          image.GetTile(place.top, place.left, place.level, stamp);
        } catch (std::bad_alloc const&) {
          threw = true;
        }
      }
    }
    if (!AllocationFailure::Failed())
      break;
    EXPECT_TRUE(threw) << n;
    // Whatever failed is built again now, to the reference's pixels.
    for (TilePlace const& place : kBuilds) {
      ExpectTileMatches(image, place, stamp, reference);
      ASSERT_NE(image.GetTileTimeStamp(place.top, place.left, place.level), 0) << n;
    }
    if (HasFailure())
      break;
  }
  EXPECT_GT(n, 10);
  EXPECT_LT(n, 2000);
}

INSTANTIATE_TEST_SUITE_P(IndexedAndRGB, TiledImageAllocationFailure, ::testing::Values(2, 9),
                         [](::testing::TestParamInfo<int> const& info) {
                           return std::to_string(info.param) + "separations";
                         });
}  // namespace

TEST(TiledImage, FailedAllocationWhileAFailedReadTileTurnsUniformLeavesItStale) {
  auto surface =
      PatternSurface("uniform-after-failure", 512, 512, {[](long, long) { return true; }}, {true});
  surface->separations[0]->SetInk(IMPN_Ink(IMPN_RGBColor8(0, 0, 0), 100));
  SheetFixture::Sheet const sheet = surface->sheet;
  IMPN_TiledImage image(surface->separations, surface->colour);
  surface->separations[0]->CloseFile();
  ASSERT_EQ(std::remove(surface->paths[0].c_str()), 0);
  long const stamp = surface->Stamp();
  IMPN_BitMap* tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to2, stamp);
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile->kind, kIMPN_BitMapRGB);
  EXPECT_EQ(image.GetTileTimeStamp(0, 0, kIMPN_ZoomLevel1to2), 0);
  Write(surface->paths[0], SheetFixture::FileFor(sheet, 0, Compression::None, true));
  {
    // The uniform tile's three bytes cannot be had.
    AllocationFailure failure(1);
    EXPECT_THROW(image.GetTile(0, 0, kIMPN_ZoomLevel1to2, stamp), std::bad_alloc);
  }
  EXPECT_EQ(image.GetTileTimeStamp(0, 0, kIMPN_ZoomLevel1to2), 0);
  tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to2, stamp);
  EXPECT_GT(image.GetTileTimeStamp(0, 0, kIMPN_ZoomLevel1to2), 0);
  EXPECT_EQ(UniformColour(*tile), IMPN_RGBColor8(0, 0, 0));
}
