#include "CKRX/CKRX_Context.h"
#include "WKRX/WKRX_Preferences.h"
#include "WKRX/WKRX_TilePixels.h"
#include "support/WKRX_ShellTest.h"
#include "support/WKRX_ViewTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

namespace {

const COLORREF kBackground = RGB(32, 64, 96);

// A tile with its own pixels and palette, laid out as the tiled image lays them out: indexed rows
// of width bytes and RGB rows of 3 x width bytes, unpadded.
struct TestTile {
  IMPN_BitMap bitmap;
  std::vector<std::uint8_t> pixels;
  std::vector<IMPN_RGBColor8> entries;
  IMPN_ColorTable palette;

  TestTile(long kind, IMPN_RectT<long> rect, long paletteCount = 8) {
    bitmap.rect = rect;
    bitmap.kind = kind;
    const long w = rect.width;
    const long h = rect.height;
    for (long i = 0; i < paletteCount; ++i)
      entries.push_back(IMPN_RGBColor8(static_cast<std::uint8_t>(20 * i + 10),
                                       static_cast<std::uint8_t>(200 - 10 * i),
                                       static_cast<std::uint8_t>(i * 7 % 256)));
    palette.entries = entries.data();
    palette.count = paletteCount;
    bitmap.palette = &palette;
    switch (kind) {
      case kIMPN_BitMapIndexed:
        bitmap.rowBytes = static_cast<std::uint16_t>(w);
        pixels.resize(static_cast<std::size_t>(w * h));
        for (long y = 0; y < h; ++y)
          for (long x = 0; x < w; ++x)
            pixels[y * w + x] = static_cast<std::uint8_t>((x * 3 + y * 5) % 10);
        break;
      case kIMPN_BitMapUniformIndex:
        bitmap.rowBytes = 1;
        pixels = {3};
        break;
      case kIMPN_BitMapRGB:
        bitmap.rowBytes = static_cast<std::uint16_t>(w * 3);
        pixels.resize(static_cast<std::size_t>(w * h * 3));
        for (long y = 0; y < h; ++y)
          for (long x = 0; x < w; ++x) {
            std::uint8_t* p = &pixels[(y * w + x) * 3];
            p[0] = static_cast<std::uint8_t>(x);      // blue
            p[1] = static_cast<std::uint8_t>(y);      // green
            p[2] = static_cast<std::uint8_t>(x ^ y);  // red
          }
        break;
      case kIMPN_BitMapUniformRGB:
        bitmap.rowBytes = 3;
        pixels = {0x11, 0x22, 0x33};
        break;
      default:
        bitmap.rowBytes = static_cast<std::uint16_t>(w);
        pixels.assign(static_cast<std::size_t>(w * h * 4), 0x55);
        break;
    }
    bitmap.pixels = pixels.data();
  }

  // The colour pixel (x, y) of the tile should show, or nothing (false) for a tile that draws
  // nothing.
  COLORREF Colour(long x, long y) const {
    auto entry = [this](long index) -> COLORREF {
      if (index >= static_cast<long>(entries.size()))
        return RGB(255, 255, 255);
      return RGB(entries[index].red, entries[index].green, entries[index].blue);
    };
    const long w = bitmap.rect.width;
    switch (bitmap.kind) {
      case kIMPN_BitMapIndexed:
        return entry(pixels[y * w + x]);
      case kIMPN_BitMapUniformIndex:
        return entry(pixels[0]);
      case kIMPN_BitMapRGB: {
        const std::uint8_t* p = &pixels[(y * w + x) * 3];
        return RGB(p[2], p[1], p[0]);
      }
      default:
        return RGB(pixels[2], pixels[1], pixels[0]);
    }
  }
};

COLORREF Blended(COLORREF source, COLORREF under, int opacity) {
  const int a = opacity * 255 / 100;
  auto mix = [a](int s, int d) { return (s * a + d * (255 - a)) / 255; };
  return RGB(mix(GetRValue(source), GetRValue(under)), mix(GetGValue(source), GetGValue(under)),
             mix(GetBValue(source), GetBValue(under)));
}

class WKRXSheetViewTiles : public WKRX_ShellTest {
protected:
  void SetUp() override {
    WKRX_ShellTest::SetUp();
    m_System.sleep = [this](DWORD milliseconds) { m_Slept.push_back(milliseconds); };
    m_Scope.reset();
    m_Scope = std::make_unique<WKRX_SystemScope>(m_System);
    IMPN_Preferences::SetToDefaultValues();
    WKRX_Preferences::sm_ShowTileBoundaries = false;
    m_View.BindSheet(WKRX_ViewSheets::Make(WKRX_ViewSheets::Layout()));
    ASSERT_NE(m_View.Sheet(), nullptr);
    m_Width = m_View.Sheet()->GetImageWidth(kIMPN_ZoomLevel1to1);
    m_Length = m_View.Sheet()->GetImageLength(kIMPN_ZoomLevel1to1);
  }
  void TearDown() override {
    WKRX_Preferences::sm_ShowTileBoundaries = false;
    IMPN_Preferences::SetToDefaultValues();
    WKRX_ShellTest::TearDown();
  }

  // Where level pixel (x, y) of the side shows, from the back-up mirror of the side's mode and
  // the portable view's turn; mirror -1 is the front.
  POINT Expected(long x, long y, int mirror) {
    const long fx = m_View.Sheet()->GetBackupOffsetX(m_View.m_BackupAlignment, m_View.m_ZoomLevel);
    const long fy = m_View.Sheet()->GetBackupOffsetY(m_View.m_BackupAlignment, m_View.m_ZoomLevel);
    long mx = x;
    long my = y;
    if (mirror == 1) {
      mx = m_Width - fx - x - 1;
      my = y - fy;
    } else if (mirror == 2) {
      mx = x - fx;
      my = m_Length - fy - y - 1;
    }
    const bool sideways = m_View.m_Rotation == 90 || m_View.m_Rotation == 270;
    const IMPN_RectT<long> r =
        CKRX_SheetView::TransformRect(IMPN_RectT<long>(my, mx, 1, 1), -m_View.m_Rotation,
                                      sideways ? m_Length : m_Width, sideways ? m_Width : m_Length);
    return POINT{r.left, r.top};
  }

  void Draw(const IMPN_BitMap& tile, HDC dc, int mirror, int opacity) {
    CKRX_Context context(dc);
    if (mirror < 0) {
      m_View.BeginFrontMode(context, opacity);
      m_View.DrawBitMapToContext(&tile, context, tile.rect);
      m_View.EndFrontMode(context);
    } else {
      m_View.m_BackupMode = mirror;
      m_View.BeginBackMode(context, opacity);
      m_View.DrawBitMapToContext(&tile, context, tile.rect);
      m_View.EndBackMode(context);
    }
  }

  WKRX_TestSheetView m_View;
  long m_Width = 0;
  long m_Length = 0;
  std::vector<DWORD> m_Slept;
};

using TileCase = std::tuple<long, long, long, int, int>;  // kind, width, rotation, mirror, opacity

class WKRXSheetViewTileCases : public WKRXSheetViewTiles,
                               public testing::WithParamInterface<TileCase> {};

TEST_P(WKRXSheetViewTileCases, EveryPixelLandsWhereTheViewShowsIt) {
  const auto [kind, width, rotation, mirror, opacity] = GetParam();
  // A full tile, or the narrow tile at the image's bottom right edge.
  const IMPN_RectT<long> rect = width == 512
                                    ? IMPN_RectT<long>(0, 512, 512, 512)
                                    : IMPN_RectT<long>(512, m_Width - 13, 13, m_Length - 512);
  const TestTile tile(kind, rect);
  m_View.m_Rotation = rotation;
  WKRX_DibCanvas canvas(1200, 1200, kBackground);
  Draw(tile.bitmap, canvas.DC(), mirror, opacity);

  long wrong = 0;
  RECT bounds = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
  for (long y = 0; y < rect.height; ++y) {
    for (long x = 0; x < rect.width; ++x) {
      const POINT at = Expected(rect.left + x, rect.top + y, mirror);
      bounds = RECT{std::min(bounds.left, at.x), std::min(bounds.top, at.y),
                    std::max(bounds.right, at.x + 1), std::max(bounds.bottom, at.y + 1)};
      if (at.x < 0 || at.y < 0 || at.x >= canvas.Width() || at.y >= canvas.Height())
        continue;
      const COLORREF want = Blended(tile.Colour(x, y), kBackground, opacity);
      if (!WKRX_Near(canvas.Pixel(at.x, at.y), want) && ++wrong <= 3)
        ADD_FAILURE() << "pixel " << x << "," << y << " at " << at.x << "," << at.y << " is "
                      << std::hex << canvas.Pixel(at.x, at.y) << " not " << want;
    }
  }
  EXPECT_EQ(wrong, 0);
  // Nothing beside the tile's area was touched.
  for (long x = bounds.left - 1; x <= bounds.right; ++x)
    for (long y : {bounds.top - 1, bounds.bottom})
      if (x >= 0 && y >= 0 && x < canvas.Width() && y < canvas.Height()) {
        EXPECT_EQ(canvas.Pixel(x, y), kBackground) << x << "," << y;
      }
  for (long y = bounds.top; y < bounds.bottom; ++y)
    for (long x : {bounds.left - 1, bounds.right})
      if (x >= 0 && y >= 0 && x < canvas.Width() && y < canvas.Height()) {
        EXPECT_EQ(canvas.Pixel(x, y), kBackground) << x << "," << y;
      }
}

INSTANTIATE_TEST_SUITE_P(KindsSizesTurnsMirrorsOpacities, WKRXSheetViewTileCases,
                         testing::Combine(testing::Values(1L, 2L, 3L, 4L),
                                          testing::Values(512L, 13L),
                                          testing::Values(0L, 90L, 180L, 270L),
                                          testing::Values(-1, 0, 1, 2), testing::Values(100, 50)));

struct BrokenTile {
  const char* name;
  long kind;
  long paletteCount;
  std::uint8_t index;  // the single index of a kind-2 tile
  bool nullPalette;
  bool drawsSomething;
};

class WKRXSheetViewBrokenTiles : public WKRXSheetViewTiles,
                                 public testing::WithParamInterface<BrokenTile> {};

TEST_P(WKRXSheetViewBrokenTiles, AreDrawnSafelyOrNotAtAll) {
  const BrokenTile& c = GetParam();
  TestTile tile(c.kind, IMPN_RectT<long>(0, 0, 16, 16), c.paletteCount);
  if (c.kind == kIMPN_BitMapUniformIndex)
    tile.pixels[0] = c.index;
  if (c.kind == kIMPN_BitMapIndexed) {
    // Every index the palette may hold, the high ones included.
    for (std::size_t i = 0; i < tile.pixels.size(); ++i)
      tile.pixels[i] = static_cast<std::uint8_t>(i);
  }
  if (c.nullPalette)
    tile.bitmap.palette = nullptr;
  WKRX_DibCanvas canvas(64, 64, kBackground);
  Draw(tile.bitmap, canvas.DC(), -1, 100);
  const bool drawn = canvas.Pixel(0, 0) != kBackground;
  EXPECT_EQ(drawn, c.drawsSomething) << c.name;
  if (drawn && c.kind == kIMPN_BitMapIndexed) {
    // Entry 255 of 300 is the palette's own; no entry beyond 256 is read.
    const COLORREF last = canvas.Pixel(15, 15);
    EXPECT_EQ(last, RGB(tile.entries[255].red, tile.entries[255].green, tile.entries[255].blue));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, WKRXSheetViewBrokenTiles,
    testing::Values(BrokenTile{"300 entries", kIMPN_BitMapIndexed, 300, 0, false, true},
                    BrokenTile{"index 9 of 8", kIMPN_BitMapUniformIndex, 8, 9, false, false},
                    BrokenTile{"index 7 of 8", kIMPN_BitMapUniformIndex, 8, 7, false, true},
                    BrokenTile{"no palette", kIMPN_BitMapUniformIndex, 8, 0, true, false},
                    BrokenTile{"grey", kIMPN_BitMapGray, 8, 0, false, false},
                    BrokenTile{"32-bit", kIMPN_BitMap32, 8, 0, false, false},
                    BrokenTile{"empty", kIMPN_BitMapEmpty, 8, 0, false, false}));

TEST_F(WKRXSheetViewTiles, RowsShorterThanTheTileDrawNothing) {
  TestTile tile(kIMPN_BitMapRGB, IMPN_RectT<long>(0, 0, 16, 16));
  tile.bitmap.rowBytes = 40;  // less than 16 x 3
  WKRX_DibCanvas canvas(32, 32, kBackground);
  Draw(tile.bitmap, canvas.DC(), -1, 100);
  EXPECT_EQ(canvas.Pixel(0, 0), kBackground);
}

// Padded rows are read by their stride, not by the width.
TEST_F(WKRXSheetViewTiles, PaddedRowsAreReadByTheirStride) {
  TestTile tile(kIMPN_BitMapIndexed, IMPN_RectT<long>(0, 0, 13, 4));
  std::vector<std::uint8_t> padded(16 * 4, 0);
  for (long y = 0; y < 4; ++y)
    for (long x = 0; x < 13; ++x)
      padded[y * 16 + x] = tile.pixels[y * 13 + x];
  tile.bitmap.pixels = padded.data();
  tile.bitmap.rowBytes = 16;
  WKRX_DibCanvas canvas(32, 32, kBackground);
  Draw(tile.bitmap, canvas.DC(), -1, 100);
  for (long y = 0; y < 4; ++y)
    for (long x = 0; x < 13; ++x)
      EXPECT_EQ(canvas.Pixel(x, y), tile.Colour(x, y)) << x << "," << y;
}

TEST_F(WKRXSheetViewTiles, TileBoundariesAreOutlinedAndAPausePerTileAtCloseLevels) {
  WKRX_Preferences::sm_ShowTileBoundaries = true;
  const TestTile tile(kIMPN_BitMapUniformRGB, IMPN_RectT<long>(10, 20, 30, 40));
  WKRX_DibCanvas canvas(100, 100, kBackground);
  Draw(tile.bitmap, canvas.DC(), -1, 100);
  const COLORREF boundary = RGB(255, 127, 0);
  EXPECT_EQ(canvas.Pixel(20, 10), boundary);
  EXPECT_EQ(canvas.Pixel(20, 30), boundary);
  EXPECT_EQ(canvas.Pixel(35, 10), boundary);
  EXPECT_EQ(canvas.Pixel(30, 30), tile.Colour(0, 0));
  EXPECT_EQ(m_Slept, (std::vector<DWORD>{5}));

  m_Slept.clear();
  m_View.SetZoomLevel(kIMPN_ZoomLevel1to2, false);
  Draw(tile.bitmap, canvas.DC(), -1, 100);
  EXPECT_TRUE(m_Slept.empty());
}

// Why the view turns tiles itself: the system's blend under a turned world transform is not
// where the transform puts it.
TEST(WKRXSystemBlend, UnderATurnedWorldTransformIsNotWhereTheTransformPutsIt) {
  WKRX_DibCanvas canvas(16, 16, RGB(0, 0, 0));
  WKRX_DibCanvas source(4, 2, RGB(255, 255, 255));
  const HDC dc = canvas.DC();
  SetGraphicsMode(dc, GM_ADVANCED);
  // A quarter turn clockwise about the origin, shifted into the canvas: (x, y) -> (8 - y, x).
  const XFORM turn = {0, 1, -1, 0, 8, 0};
  ASSERT_TRUE(SetWorldTransform(dc, &turn));
  const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, 0};
  AlphaBlend(dc, 0, 0, 4, 2, source.DC(), 0, 0, 4, 2, blend);
  ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
  // The transform puts the 4 x 2 block at x 6..7, y 0..3.
  int inside = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 6; x < 8; ++x)
      inside += canvas.Pixel(x, y) == RGB(255, 255, 255) ? 1 : 0;
  RecordProperty("pixelsWhereTheTransformPutsThem", inside);
  EXPECT_LT(inside, 8);
}

}  // namespace
