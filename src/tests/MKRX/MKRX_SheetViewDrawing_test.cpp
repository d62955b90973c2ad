// The sheet view's paint: the viewed surface over the one behind at every turn, level and
// mirror, the strips beyond the image, each kind of tile, and the overlays.
#include "support/MKRX_SheetViewFixture.h"

#include "IMPN/IMPN_Preferences.h"
#include "IMPN/IMPN_Surface.h"
#include "MKRX/MKRX_DrawContext.h"
#include "MKRX/MKRX_Preferences.h"

#include <string>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kSentinel = 0xFFFF00FFu;

enum class Shown {
  Front100,
  Front50,
  Back50,
  Front50NoMirror
};

struct PixelCase {
  long rotation;
  IMPN_ZoomLevel level;
  Shown shown;
  std::uint16_t orientation;  // the sheet's: 0 mirrors the back left to right, 2 top to bottom
};

std::string Describe(PixelCase const& c) {
  static char const* const kShown[] = {"front 100", "front 50", "back 50", "front 50 mirroring 0"};
  return "rotation " + std::to_string(c.rotation) + ", level " + std::to_string(c.level) + ", " +
         kShown[static_cast<int>(c.shown)] + ", orientation " + std::to_string(c.orientation);
}

class MKRX_SheetViewDrawingTest : public MKRX_SheetViewFixture {
protected:
  // Compares every probe whose neighbourhood has one expected colour (tile and mark edges may
  // round either way); returns how many were compared.
  long CompareProbes(MKRX_ProbeView& view, MKRX_Canvas& canvas, long width, long height,
                     std::string const& what) {
    long compared = 0;
    long mismatches = 0;
    for (long y = 3; y < height - 3; y += 19) {
      for (long x = 3; x < width - 3; x += 23) {
        std::uint32_t const expected = Expected(view, x, y);
        if (Expected(view, x - 3, y) != expected || Expected(view, x + 3, y) != expected ||
            Expected(view, x, y - 3) != expected || Expected(view, x, y + 3) != expected)
          continue;
        ++compared;
        if (!MKRX_SameColor(expected, canvas.Pixel(x, y)) && ++mismatches <= 3)
          ADD_FAILURE() << what << ": at " << x << ", " << y << " expected " << std::hex << expected
                        << " got " << canvas.Pixel(x, y);
      }
    }
    return compared;
  }
};

TEST_F(MKRX_SheetViewDrawingTest, MarksStandWhereThePortableTransformsPutThem) {
  std::vector<PixelCase> table;
  for (long rotation : {0L, 90L, 180L, 270L})
    for (IMPN_ZoomLevel level : {kIMPN_ZoomLevel1to1, kIMPN_ZoomLevel1to4}) {
      table.push_back({rotation, level, Shown::Front100, 0});
      table.push_back({rotation, level, Shown::Front50, 0});
      table.push_back({rotation, level, Shown::Back50, 2});
    }
  table.push_back({90, kIMPN_ZoomLevel1to1, Shown::Front50, 2});
  table.push_back({0, kIMPN_ZoomLevel1to4, Shown::Back50, 0});
  table.push_back({180, kIMPN_ZoomLevel1to1, Shown::Front50NoMirror, 0});

  IMPN_Sheet* sheets[3] = {};
  for (PixelCase const& c : table) {
    SCOPED_TRACE(Describe(c));
    IMPN_Sheet*& sheet = sheets[c.orientation];
    if (sheet == nullptr) {
      MKRX_TestSheetSpec spec;
      spec.orientation = c.orientation;
      sheet = MakeSheet(spec);
    }
    ASSERT_NE(nullptr, sheet);
    long const side = c.level == kIMPN_ZoomLevel1to1 ? 1600 : 420;
    MKRX_ProbeView& view = MakeView(sheet, side, side);
    view.SetPlateEdge(false);
    view.SetZoomLevel(c.level, false);
    for (long turned = 0; turned < c.rotation; turned += 90)
      view.RotateRight();
    if (c.shown == Shown::Back50)
      view.TogglePageFlipped();
    if (c.shown == Shown::Front50NoMirror)
      view.SetMirroring(0);
    view.SetSheetOpacity(c.shown == Shown::Front100 ? 100 : 50);
    ASSERT_EQ(c.rotation, view.GetRotation());
    ASSERT_EQ(c.orientation == 2                  ? 2
              : c.shown == Shown::Front50NoMirror ? 0
                                                  : 1,
              view.GetMirroring());

    MKRX_Canvas canvas(side, side);
    canvas.Fill(kWhite);
    canvas.Paint(view);
    EXPECT_GT(CompareProbes(view, canvas, side, side, Describe(c)), 200);
    m_Views.clear();
  }
}

TEST_F(MKRX_SheetViewDrawingTest, WhiteStripsBeginAtTheDisplayedEdges) {
  IMPN_Sheet* sheet = MakeSheet(MKRX_TestSheetSpec());
  for (long rotation : {0L, 90L}) {
    SCOPED_TRACE(rotation);
    MKRX_ProbeView& view = MakeView(sheet, 1700, 1700);
    if (rotation)
      view.RotateRight();
    MKRX_Canvas canvas(1700, 1700);
    canvas.Paint(view);  // takes the erase-all of the turn
    canvas.Fill(kSentinel);
    canvas.Paint(view);
    long const shownWidth = rotation ? 1024 : 1536;
    long const shownHeight = rotation ? 1536 : 1024;
    EXPECT_EQ(kWhite, canvas.Pixel(shownWidth, 10));
    EXPECT_EQ(kWhite, canvas.Pixel(1699, 1699));
    EXPECT_EQ(kWhite, canvas.Pixel(10, shownHeight));
    EXPECT_NE(kWhite, canvas.Pixel(shownWidth - 1, 10));  // the plate edge
    // Left of and above the strips the image shows.
    EXPECT_NE(kSentinel, canvas.Pixel(shownWidth - 2, shownHeight - 2));
  }
}

TEST_F(MKRX_SheetViewDrawingTest, EraseAllFillsTheVisibleFrame) {
  IMPN_Sheet* sheet = MakeSheet(MKRX_TestSheetSpec());
  MKRX_ProbeView& view = MakeView(sheet, 800, 600);
  view.SetPlateEdge(false);
  MKRX_Canvas canvas(800, 600);
  canvas.Fill(kSentinel);
  view.EraseAndRefreshView();
  canvas.Paint(view);
  for (long x : {0L, 400L, 799L})
    for (long y : {0L, 300L, 599L})
      EXPECT_TRUE(MKRX_SameColor(Expected(view, x, y), canvas.Pixel(x, y))) << x << ", " << y;
}

// One tile drawn alone into a canvas whose y axis points up, as the paint leaves it.
class MKRX_TileKindTest : public MKRX_SheetViewDrawingTest {
protected:
  void DrawTile(IMPN_BitMap const& tile) {
    m_Canvas.Fill(kSentinel);
    CGContextRef cg = m_Canvas.Context();
    CGContextSaveGState(cg);
    CGContextTranslateCTM(cg, 0, 8);  // level pixel (x, y) lands on canvas pixel (x, y)
    MKRX_DrawContext context(cg);
    m_View->DrawBitMapToContext(&tile, context, tile.rect);
    CGContextRestoreGState(cg);
  }
  void SetUp() override {
    MKRX_SheetViewDrawingTest::SetUp();
    m_View = &MakeView(nullptr, 8, 8);
  }
  void TearDown() override {
    MKRX_Preferences::sm_ShowImageTileBoundaries = false;
    MKRX_SheetViewDrawingTest::TearDown();
  }

  MKRX_Canvas m_Canvas{8, 8};
  MKRX_ProbeView* m_View = nullptr;
};

TEST_F(MKRX_TileKindTest, EachKindFillsItsRectangle) {
  IMPN_RGBColor8 entries[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  IMPN_ColorTable palette{entries, 3};
  std::uint8_t indexed[16] = {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
  std::uint8_t uniformIndex[1] = {1};
  std::uint8_t rgb[4 * 4 * 3] = {};
  for (int i = 0; i < 16; ++i)
    rgb[i * 3 + 2] = static_cast<std::uint8_t>(i * 16);  // blue ramp
  std::uint8_t uniformRGB[3] = {10, 20, 30};

  IMPN_BitMap tile;
  tile.rect = IMPN_RectT<long>(2, 2, 4, 4);
  tile.palette = &palette;

  tile.kind = kIMPN_BitMapIndexed;
  tile.pixels = indexed;
  tile.rowBytes = 4;
  DrawTile(tile);
  EXPECT_EQ(0xFFFF0000u, m_Canvas.Pixel(2, 2));
  EXPECT_EQ(0xFF00FF00u, m_Canvas.Pixel(3, 2));
  EXPECT_EQ(0xFF0000FFu, m_Canvas.Pixel(4, 2));
  EXPECT_EQ(0xFF00FF00u, m_Canvas.Pixel(2, 3));  // second row starts at index 4
  EXPECT_EQ(kSentinel, m_Canvas.Pixel(1, 2));
  EXPECT_EQ(kSentinel, m_Canvas.Pixel(6, 6));

  tile.kind = kIMPN_BitMapUniformIndex;
  tile.pixels = uniformIndex;
  tile.rowBytes = 1;
  DrawTile(tile);
  EXPECT_EQ(0xFF00FF00u, m_Canvas.Pixel(5, 5));

  tile.kind = kIMPN_BitMapRGB;
  tile.pixels = rgb;
  tile.rowBytes = 12;
  DrawTile(tile);
  EXPECT_EQ(0xFF000000u | (5 * 16), m_Canvas.Pixel(3, 3));

  tile.kind = kIMPN_BitMapUniformRGB;
  tile.pixels = uniformRGB;
  tile.rowBytes = 3;
  DrawTile(tile);
  EXPECT_EQ(0xFF0A141Eu, m_Canvas.Pixel(4, 4));
}

TEST_F(MKRX_TileKindTest, WhatCannotBeDrawnLeavesTheCanvas) {
  IMPN_RGBColor8 entries[2] = {{255, 0, 0}, {0, 255, 0}};
  IMPN_ColorTable emptyPalette{entries, 0};
  IMPN_ColorTable twoEntries{entries, 2};
  std::uint8_t pixels[16] = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
  IMPN_BitMap tile;
  tile.rect = IMPN_RectT<long>(0, 0, 4, 4);
  tile.pixels = pixels;
  struct Case {
    char const* what;
    long kind;
    IMPN_ColorTable const* palette;
  } const cases[] = {{"indexed, empty palette", kIMPN_BitMapIndexed, &emptyPalette},
                     {"indexed, no palette", kIMPN_BitMapIndexed, nullptr},
                     {"uniform index beyond the palette", kIMPN_BitMapUniformIndex, &twoEntries},
                     {"uniform index, empty palette", kIMPN_BitMapUniformIndex, &emptyPalette},
                     {"grey", kIMPN_BitMapGray, &twoEntries},
                     {"empty", kIMPN_BitMapEmpty, &twoEntries}};
  for (Case const& c : cases) {
    SCOPED_TRACE(c.what);
    tile.kind = c.kind;
    tile.palette = c.palette;
    tile.rowBytes = c.kind == kIMPN_BitMapUniformIndex ? 1 : 4;
    DrawTile(tile);
    for (long y = 0; y < 8; ++y)
      for (long x = 0; x < 8; ++x)
        ASSERT_EQ(kSentinel, m_Canvas.Pixel(x, y)) << x << ", " << y;
  }
}

TEST_F(MKRX_TileKindTest, TileBoundariesAreOutlinedInOrange) {
  MKRX_Preferences::sm_ShowImageTileBoundaries = true;
  std::uint8_t uniformRGB[3] = {0, 0, 0};
  IMPN_BitMap tile;
  tile.rect = IMPN_RectT<long>(2, 2, 4, 4);
  tile.kind = kIMPN_BitMapUniformRGB;
  tile.pixels = uniformRGB;
  tile.rowBytes = 3;
  DrawTile(tile);
  bool orange = false;
  for (long y = 0; y < 8; ++y)
    for (long x = 0; x < 8; ++x)
      orange = orange || MKRX_SameColor(0xFFFF8000u, m_Canvas.Pixel(x, y), 2);
  EXPECT_TRUE(orange);
  EXPECT_EQ(0xFF000000u, m_Canvas.Pixel(4, 4));
}

}  // namespace

namespace {

std::uint32_t Pixel(IMPN_RGBColor8 const& c) {
  return 0xFF000000u | (std::uint32_t(c.red) << 16) | (std::uint32_t(c.green) << 8) | c.blue;
}

// Whether any pixel within two of (x, y) has the colour.
bool NearColor(MKRX_Canvas const& canvas, long x, long y, std::uint32_t colour) {
  for (long dy = -2; dy <= 2; ++dy)
    for (long dx = -2; dx <= 2; ++dx)
      if (MKRX_SameColor(colour, canvas.Pixel(x + dx, y + dy), 2))
        return true;
  return false;
}

class MKRX_SheetViewOverlayTest : public MKRX_SheetViewDrawingTest {
protected:
  void SetUp() override {
    MKRX_SheetViewDrawingTest::SetUp();
    IMPN_Preferences::sm_PlateEdgeColor = IMPN_RGBColor8(200, 0, 0);
    IMPN_Preferences::sm_PageEdgeColor = IMPN_RGBColor8(0, 0, 200);
    IMPN_Preferences::sm_GuideLineColor = IMPN_RGBColor8(0, 200, 0);
    m_Sheet = MakeSheet(MKRX_TestSheetSpec());
  }
  IMPN_Sheet* m_Sheet = nullptr;
};

TEST_F(MKRX_SheetViewOverlayTest, ThePlateEdgeRunsAlongTheImage) {
  MKRX_ProbeView& view = MakeView(m_Sheet, 1600, 1100);
  MKRX_Canvas canvas(1600, 1100);
  canvas.Fill(kWhite);
  canvas.Paint(view);
  std::uint32_t const edge = Pixel(IMPN_Preferences::sm_PlateEdgeColor);
  EXPECT_TRUE(NearColor(canvas, 1535, 500, edge));
  EXPECT_TRUE(NearColor(canvas, 700, 1023, edge));
  EXPECT_FALSE(NearColor(canvas, 1530, 500, edge));
}

TEST_F(MKRX_SheetViewOverlayTest, AGuideStandsAtItsBasePositionAtEveryLevel) {
  MKRX_ProbeView& view = MakeView(m_Sheet, 1600, 1100);
  view.AddHorizontalGuideLine(300);
  std::uint32_t const guide = Pixel(IMPN_Preferences::sm_GuideLineColor);
  for (IMPN_ZoomLevel level : {kIMPN_ZoomLevel1to1, kIMPN_ZoomLevel1to2}) {
    SCOPED_TRACE(level);
    view.SetZoomLevel(level, false);
    MKRX_Canvas canvas(1600, 1100);
    canvas.Fill(kWhite);
    canvas.Paint(view);
    long const row = level == kIMPN_ZoomLevel1to1 ? 300 : 150;
    EXPECT_TRUE(NearColor(canvas, 600, row, guide));
    EXPECT_FALSE(NearColor(canvas, 600, row + 6, guide));
    EXPECT_FALSE(NearColor(canvas, 600, row - 6, guide));
  }
}

TEST_F(MKRX_SheetViewOverlayTest, APageShowsItsOutlineFoldedHeadBarAndNumber) {
  MKRX_ProbeView& view = MakeView(m_Sheet, 1600, 1100);
  view.SetPlateEdge(false);
  view.SetPageEdges(true, true);
  MKRX_Canvas canvas(1600, 1100);
  canvas.Fill(kWhite);
  canvas.Paint(view);
  std::uint32_t const page = Pixel(IMPN_Preferences::sm_PageEdgeColor);
  // The page covers 100..1436 across and 100..924 down; its head is at the top, the fold at the
  // top right corner (f = 132), the head bar 33 high from 149.5 down.
  EXPECT_TRUE(NearColor(canvas, 100, 500, page));                // left side
  EXPECT_TRUE(NearColor(canvas, 700, 924, page));                // foot
  EXPECT_TRUE(NearColor(canvas, 1304, 166, page));               // the fold's inner side
  EXPECT_TRUE(NearColor(canvas, 1370, 166, page));               // its diagonal
  EXPECT_TRUE(MKRX_SameColor(page, canvas.Pixel(600, 166), 2));  // the filled head bar
  EXPECT_FALSE(NearColor(canvas, 1370, 120, page));              // cut off above the diagonal
  long inked = 0;  // the number "0" in black at the middle
  for (long y = 420; y < 620; ++y)
    for (long x = 660; x < 880; ++x)
      inked += MKRX_SameColor(0xFF000000u, canvas.Pixel(x, y), 40);
  EXPECT_GT(inked, 100);
}

TEST_F(MKRX_SheetViewOverlayTest, EachDrawOfTheDensitometerFrameMovesItsDashesOn) {
  MKRX_ProbeView& view = MakeView(m_Sheet, 800, 600);
  view.SetToolMode(kIMPN_ToolDensitometer);
  MKRX_Canvas canvas(800, 600);
  view.SetDensitometerFrame(IMPN_RectT<long>(100, 100, 0, 50));
  float const before = MKRX_SheetView::DensitometerDashPhase();
  canvas.Paint(view);
  EXPECT_EQ(before, MKRX_SheetView::DensitometerDashPhase());  // no width: nothing drawn
  view.SetDensitometerFrame(IMPN_RectT<long>(100, 100, 200, 50));
  canvas.Paint(view);
  canvas.Paint(view);
  EXPECT_EQ(before + 2, MKRX_SheetView::DensitometerDashPhase());
}

}  // namespace
