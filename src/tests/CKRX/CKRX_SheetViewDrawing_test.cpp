#include "ViewFixture.h"

#include "CKRX/CKRX_Context.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_TileBudget.h"
#include "IMPN/IMPN_TiledImage.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {
using Rect = IMPN_RectT<long>;

class SheetViewDrawing : public ViewFixture {
protected:
  SheetViewDrawing()
#if defined(_WIN32)
      : context(nullptr)
#endif
  {
  }

  // 1600 x 1200 at 1:1: four tile columns and three tile rows of 512.
  IMPN_Sheet* BindLarge(int frontPlates = 1, int backPlates = 1) {
    return BindFront(1600, 1200, frontPlates, backPlates);
  }

  // One tile per side: the draw sequences stay short.
  IMPN_Sheet* BindSmall(int frontPlates, int backPlates) {
    IMPN_Sheet* sheet = BindFront(400, 300, frontPlates, backPlates);
    view.ScriptFrame(Rect(0, 0, 400, 300));
    return sheet;
  }

  // A sheet of the size bound front up with its back aligned by plates: no offsets, so the back
  // is a plain mirror image.
  IMPN_Sheet* BindFront(std::uint32_t width, std::uint32_t length, int frontPlates,
                        int backPlates) {
    TestSheets::Layout layout;
    layout.width = width;
    layout.length = length;
    layout.frontPlates = frontPlates;
    layout.backPlates = backPlates;
    IMPN_Sheet* sheet = Bind(layout);
    view.m_PageFlipped = false;
    view.m_BackupAlignment = kIMPN_AlignPlates;
    return sheet;
  }

  static std::string Range(IMPN_TileRange const& r) {
    if (!r.valid)
      return "invalid";
    return "x " + std::to_string(r.firstX) + ".." + std::to_string(r.lastX) + " y " +
           std::to_string(r.firstY) + ".." + std::to_string(r.lastY);
  }

  // The calls with the tile drawing reduced to its kind, marked when drawn in back mode.
  std::vector<std::string> Sequence() const {
    std::vector<std::string> out;
    bool back = false;
    for (std::string const& call : view.calls) {
      std::string const name = call.substr(0, call.find(' '));
      if (name == "BeginBackMode")
        back = true;
      else if (name == "EndBackMode")
        back = false;
      if (name == "DrawBitMap" || name == "EraseTile" || name == "DrawPlateEdge" ||
          name == "DrawGuideLines")
        out.push_back(name + (back ? " back" : ""));
      else
        out.push_back(call);
    }
    return out;
  }

  CKRX_Context context;
};

TEST_F(SheetViewDrawing, FrontRangeFollowsTheRotation) {
  BindLarge();
  IMPN_Surface& front = view.m_Sheet->GetFrontSurface();
  ASSERT_EQ(512, front.GetTiledImage()->GetTileWidth(kIMPN_ZoomLevel1to1));
  ASSERT_EQ(512, front.GetTiledImage()->GetTileLength(kIMPN_ZoomLevel1to1));
  struct Case {
    long rotation;
    Rect frame;
    char const* range;
  };
  for (Case c : {Case{0, Rect(100, 600, 300, 200), "x 512..512 y 0..0"},
                 Case{90, Rect(100, 600, 300, 200), "x 0..0 y 0..512"},
                 Case{180, Rect(100, 600, 300, 200), "x 512..512 y 512..1024"},
                 Case{270, Rect(100, 600, 300, 200), "x 1024..1024 y 512..512"},
                 Case{0, Rect(-50, -70, 5000, 5000), "x 0..1536 y 0..1024"},
                 Case{90, Rect(-50, -70, 5000, 5000), "x 0..1536 y 0..1024"}}) {
    SCOPED_TRACE(c.rotation);
    view.m_Rotation = c.rotation;
    view.ScriptFrame(c.frame);
    IMPN_TileRange const range = view.DetermineFrontTileRange(front);
    EXPECT_EQ(c.range, Range(range));
    EXPECT_EQ(512, range.xStep);
  }
}

TEST_F(SheetViewDrawing, BackRangeMirrorsTheFrameByTheBackupMode) {
  BindLarge();
  IMPN_Surface& back = view.m_Sheet->GetBackSurface();
  struct Case {
    long mode;
    long rotation;
    char const* mirrored;
    char const* range;
  };
  for (Case c : {Case{0, 0, "{0,0,300,200}", "invalid"},
                 Case{1, 0, "{100,700,300,200}", "x 512..512 y 0..0"},
                 Case{2, 0, "{900,600,300,200}", "x 512..512 y 512..1024"},
                 Case{1, 90, "{300,1300,200,300}", "x 1024..1024 y 0..512"},
                 Case{2, 180, "{100,700,300,200}", "x 512..512 y 0..0"}}) {
    SCOPED_TRACE(std::to_string(c.mode) + " at " + std::to_string(c.rotation));
    view.m_BackupMode = c.mode;
    view.m_Rotation = c.rotation;
    view.ScriptFrame(Rect(100, 600, 300, 200));
    EXPECT_EQ(c.mirrored, FakeSheetView::Rect(view.GetViewFrameMirrored()));
    EXPECT_EQ(c.range, Range(view.DetermineBackTileRange(back)));
  }
}

TEST_F(SheetViewDrawing, MirroredFrameShiftsByTheSheetsBackupOffsets) {
  IMPN_Sheet* sheet = BindLarge();
  view.m_BackupAlignment = kIMPN_AlignPressSheets;
  view.m_BackupMode = 1;
  view.ScriptFrame(Rect(100, 600, 300, 200));
  long const dx = sheet->GetBackupOffsetX(kIMPN_AlignPressSheets, kIMPN_ZoomLevel1to1);
  long const dy = sheet->GetBackupOffsetY(kIMPN_AlignPressSheets, kIMPN_ZoomLevel1to1);
  EXPECT_EQ(Rect(100 + dy, 1600 - 600 - 300 - dx, 300, 200), view.GetViewFrameMirrored());
}

TEST_F(SheetViewDrawing, RangeStateCountsStaleTilesUntilTheyAreMade) {
  BindLarge();
  IMPN_Surface& front = view.m_Sheet->GetFrontSurface();
  view.ScriptFrame(Rect(0, 0, 1000, 600));  // 2 x 2 tiles
  // A fresh stamp on a separation makes every cached tile older than the surface.
  front.GetSeparations().front()->SetTimeStamp(IMPN_Registry::GetNewTimeStamp());
  long current = -1;
  long stale = -1;
  view.DetermineFrontTileRangeState(front, current, stale);
  EXPECT_EQ(0, current);
  EXPECT_EQ(4, stale);
  view.DrawImage(context);
  view.DetermineFrontTileRangeState(front, current, stale);
  EXPECT_EQ(4, current);
  EXPECT_EQ(0, stale);
  view.m_BackupMode = 0;
  view.DetermineBackTileRangeState(view.m_Sheet->GetBackSurface(), current, stale);
  EXPECT_EQ(0, current + stale);
}

TEST_F(SheetViewDrawing, ShownTilesStayUnderATightBudgetUntilTheViewMovesOn) {
  BindLarge();
  IMPN_Surface& front = view.m_Sheet->GetFrontSurface();
  IMPN_TiledImage* image = front.GetTiledImage();
  IMPN_TileBudget& budget = IMPN_TileBudget::Instance();
  std::size_t const limit = budget.GetLimit();
  budget.SetLimit(1);
  // RGB tiles of 256 at 1:2, whose stamps show whether they were dropped.
  view.m_ZoomLevel = kIMPN_ZoomLevel1to2;
  view.ScriptFrame(Rect(0, 0, 300, 300));  // 2 x 2 tiles
  view.DrawImage(context);
  long const stamp = static_cast<long>(front.GetTimeStamp());
  // What another window asks for meanwhile.
  for (long top = 0; top < 1200 / 4; top += 128)
    for (long left = 0; left < 1600 / 4; left += 128)
      image->GetTile(top, left, kIMPN_ZoomLevel1to4, stamp);
  long current = -1;
  long stale = -1;
  view.DetermineFrontTileRangeState(front, current, stale);
  EXPECT_EQ(4, current);
  EXPECT_EQ(0, stale);
  // Elsewhere now: the first tile may go.
  view.ScriptFrame(Rect(300, 512, 200, 200));
  view.DrawImage(context);
  image->GetTile(0, 0, kIMPN_ZoomLevel1to4, stamp);
  EXPECT_EQ(0, image->GetTileTimeStamp(0, 0, kIMPN_ZoomLevel1to2));
  EXPECT_NE(0, image->GetTileTimeStamp(256, 512, kIMPN_ZoomLevel1to2));
  budget.SetLimit(limit);
}

TEST_F(SheetViewDrawing, DrawSequenceDependsOnOpacityBackupModeAndEmptySides) {
  using Seq = std::vector<std::string>;
  Seq const opaqueFront = {"BeginFrontMode 100", "DrawBitMap", "DrawPlateEdge", "DrawGuideLines",
                           "EndFrontMode"};
  Seq const backThenFront99 = {"BeginBackMode 100",   "DrawBitMap back", "DrawPlateEdge back",
                               "DrawGuideLines back", "EndBackMode",     "BeginFrontMode 99",
                               "DrawBitMap",          "DrawPlateEdge",   "DrawGuideLines",
                               "EndFrontMode"};
  Seq const erasedFront99 = {"BeginFrontMode 99", "EraseTile",      "DrawBitMap",
                             "DrawPlateEdge",     "DrawGuideLines", "EndFrontMode"};
  Seq const backOnly = {"BeginBackMode 100", "DrawBitMap back", "DrawPlateEdge back",
                        "DrawGuideLines back", "EndBackMode"};
  struct Case {
    int frontPlates;
    int backPlates;
    long mode;
    int opacity;
    Seq expected;
  };
  for (Case const& c : {Case{1, 1, 1, 100, opaqueFront}, Case{1, 1, 2, 100, opaqueFront},
                        Case{1, 1, 0, 100, opaqueFront}, Case{1, 1, 1, 99, backThenFront99},
                        Case{1, 1, 2, 99, backThenFront99}, Case{1, 1, 0, 99, erasedFront99},
                        Case{1, 1, 0, 0,
                             Seq{"BeginFrontMode 0", "EraseTile", "DrawBitMap", "DrawPlateEdge",
                                 "DrawGuideLines", "EndFrontMode"}},
                        Case{1, 0, 1, 99, erasedFront99}, Case{0, 1, 1, 100, backOnly},
                        Case{0, 1, 0, 100, Seq{}}, Case{0, 0, 1, 100, Seq{}}}) {
    SCOPED_TRACE(std::to_string(c.frontPlates) + std::to_string(c.backPlates) + " mode " +
                 std::to_string(c.mode) + " at " + std::to_string(c.opacity));
    BindSmall(c.frontPlates, c.backPlates);
    view.m_BackupMode = c.mode;
    view.m_Sheet->GetFrontSurface().SetOpacity(static_cast<std::uint32_t>(c.opacity));
    view.DrawImage(context);
    EXPECT_EQ(c.expected, Sequence());
  }
}

TEST_F(SheetViewDrawing, TilesAreErasedWithTheSurfaceColourAndDrawnInTheirOwnRectangle) {
  IMPN_Sheet* sheet = BindLarge(1, 0);
  view.m_Sheet->GetFrontSurface().SetColor(IMPN_RGBColor8(1, 2, 3));
  sheet->GetFrontSurface().SetOpacity(50);
  view.ScriptFrame(Rect(0, 0, 1000, 600));
  view.DrawImage(context);
  std::vector<std::string> const erased = view.CallsOf("EraseTile");
  std::vector<std::string> const drawn = view.CallsOf("DrawBitMap");
  ASSERT_EQ(4u, drawn.size());
  ASSERT_EQ(4u, erased.size());
  // Row by row, left to right.
  char const* const rects[] = {"{0,0,512,512}", "{0,512,512,512}", "{512,0,512,512}",
                               "{512,512,512,512}"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(std::string("EraseTile ") + rects[i] + " rgb(1,2,3)", erased[i]);
    EXPECT_EQ(0u, drawn[i].find(std::string("DrawBitMap ") + rects[i] + " tile " + rects[i]));
  }
}

TEST_F(SheetViewDrawing, OverlaysFollowTheirSwitchesInOrder) {
  BindSmall(1, 0);
  view.m_ShowPressSheetEdge = true;
  view.m_ShowBleed = true;
  view.m_ShowPageNumbers = true;
  view.m_ShowTypeSafety = true;
  view.m_ActiveTool = kIMPN_ToolDensitometer;
  view.m_DensitometerFrame = Rect(5, 6, 7, 8);
  view.m_FrontGuideLines.horizontal = {10, 20};
  view.m_FrontGuideLines.vertical = {30};
  view.m_BackGuideLines.horizontal = {99};
  view.DrawImage(context);
  std::vector<std::string> overlays(view.calls.begin() + 2, view.calls.end());
  EXPECT_EQ((std::vector<std::string>{
                "DrawPlateEdge {0,0,400,300} front", "DrawPressSheetEdge {0,0,0,0} front",
                "DrawBleedEdges [] front", "DrawBleedEdges [] front",
                "DrawPageEdges [] front edges 0 numbers 1", "DrawTypeSafetyEdges [] front",
                "DrawGuideLines h{ 10 20 } v{ 30 } front", "DrawDensitometerFrame {5,6,7,8}",
                "EndFrontMode"}),
            overlays);

  view.calls.clear();
  view.m_ClipPathsAvailable = true;
  view.m_ShowPlateEdge = false;
  view.m_ShowGuideLines = false;
  view.m_ActiveTool = kIMPN_ToolMeasure;
  view.DrawImage(context);
  EXPECT_EQ(1u, view.Count("DrawSourceClipPaths"));
  EXPECT_EQ(0u, view.Count("DrawBleedEdges") + view.Count("DrawPlateEdge") +
                    view.Count("DrawGuideLines") + view.Count("DrawDensitometerFrame"));
}

TEST_F(SheetViewDrawing, CacheImageQueuesBothSidesRowByRowAndReplacesEarlierRequests) {
  IMPN_Sheet* sheet = BindLarge();
  view.m_BackupMode = 1;
  sheet->GetFrontSurface().SetOpacity(60);
  sheet->GetBackSurface().SetColor(IMPN_RGBColor8(9, 8, 7));
  // 2 x 2 tiles of the front; the mirrored frame spans x 600..1600: 3 x 2 of the back.
  view.ScriptFrame(Rect(0, 0, 1000, 1000));
  view.CacheImage();
  view.CacheImage();
  EXPECT_EQ((std::vector<std::string>{"StartTimer", "StartTimer"}), view.calls);
  EXPECT_TRUE(view.m_BackOverlaysPending);
  ASSERT_EQ(4u, view.m_FrontTileRequests.size());
  ASSERT_EQ(6u, view.m_BackTileRequests.size());
  long const order[][2] = {{0, 0}, {512, 0}, {0, 512}, {512, 512}};
  for (int i = 0; i < 4; ++i) {
    IMPN_ImageTile const& tile = view.m_FrontTileRequests[i];
    EXPECT_EQ(order[i][0], tile.x);
    EXPECT_EQ(order[i][1], tile.y);
    EXPECT_EQ(60, tile.opacity);
    EXPECT_EQ(static_cast<long>(sheet->GetFrontSurface().GetTimeStamp()), tile.timeStamp);
    EXPECT_EQ(sheet->GetFrontSurface().GetTiledImage(), tile.image);
  }
  EXPECT_EQ(512, view.m_BackTileRequests.front().x);  // mirrored: 1600 - 1000 = 600
  EXPECT_EQ(IMPN_RGBColor8(9, 8, 7), view.m_BackTileRequests.front().colour);
  EXPECT_EQ(sheet->GetBackSurface().GetTiledImage(), view.m_BackTileRequests.front().image);

  // Opaque front: the back is not asked for.
  sheet->GetFrontSurface().SetOpacity(100);
  view.CacheImage();
  EXPECT_TRUE(view.m_BackTileRequests.empty());
  EXPECT_EQ(4u, view.m_FrontTileRequests.size());
}

// Ticks from a script; the last value repeats.
struct ScriptedTicks {
  std::deque<std::uint32_t> values;
  std::uint32_t operator()() {
    std::uint32_t const v = values.front();
    if (values.size() > 1)
      values.pop_front();
    return v;
  }
};

TEST_F(SheetViewDrawing, TimerPassStopsOnceTwoMillisecondsHavePassed) {
  IMPN_Sheet* sheet = BindLarge();
  view.m_BackupMode = 1;
  sheet->GetFrontSurface().SetOpacity(50);
  view.ScriptFrame(Rect(0, 0, 1000, 1000));
  view.CacheImage();
  view.calls.clear();

  // Start at 100; after the first tile 101 (go on), after the second 102 (stop).
  auto ticks = std::make_shared<ScriptedTicks>();
  ticks->values = {100, 101, 102};
  view.SetTickSource([ticks] { return (*ticks)(); });
  view.DrawCachedImage(context);
  EXPECT_EQ(2u, view.Count("DrawBitMap"));
  EXPECT_EQ(4u, view.m_BackTileRequests.size());
  EXPECT_EQ((std::vector<std::string>{"BeginBackMode 100", "DrawBitMap back", "EndBackMode",
                                      "BeginBackMode 100", "DrawBitMap back", "EndBackMode"}),
            Sequence());

  // A counter that wraps during the pass: 0xFFFFFFFF then 0 is one millisecond.
  view.calls.clear();
  ticks->values = {0xFFFFFFFFu, 0u, 1u};
  view.DrawCachedImage(context);
  EXPECT_EQ(2u, view.Count("DrawBitMap"));
  EXPECT_EQ(2u, view.m_BackTileRequests.size());
  EXPECT_TRUE(view.m_BackOverlaysPending);

  // Time stands still: the rest goes in one pass, overlays after each side, then the timer
  // stops.
  view.calls.clear();
  ticks->values = {7};
  view.DrawCachedImage(context);
  EXPECT_EQ(
      (std::vector<std::string>{
          "BeginBackMode 100",   "DrawBitMap back",   "EndBackMode",       "BeginBackMode 100",
          "DrawBitMap back",     "EndBackMode",       "BeginBackMode 100", "DrawPlateEdge back",
          "DrawGuideLines back", "EndBackMode",       "BeginFrontMode 50", "DrawBitMap",
          "EndFrontMode",        "BeginFrontMode 50", "DrawBitMap",        "EndFrontMode",
          "BeginFrontMode 50",   "DrawBitMap",        "EndFrontMode",      "BeginFrontMode 50",
          "DrawBitMap",          "EndFrontMode",      "BeginFrontMode 50", "DrawPlateEdge",
          "DrawGuideLines",      "EndFrontMode",      "StopTimer"}),
      Sequence());
  EXPECT_FALSE(view.m_BackOverlaysPending);
  EXPECT_TRUE(view.m_FrontTileRequests.empty());
}

TEST_F(SheetViewDrawing, TimerPassWithoutTheOtherSideErasesAndSkipsItsOverlays) {
  IMPN_Sheet* sheet = BindSmall(1, 1);
  view.m_BackupMode = 0;
  sheet->GetFrontSurface().SetOpacity(40);
  view.CacheImage();
  view.calls.clear();
  view.SetTickSource([] { return 0u; });
  view.DrawCachedImage(context);
  EXPECT_EQ((std::vector<std::string>{"BeginFrontMode 40", "EraseTile", "DrawBitMap",
                                      "EndFrontMode", "BeginFrontMode 40", "DrawPlateEdge",
                                      "DrawGuideLines", "EndFrontMode", "StopTimer"}),
            Sequence());
}

TEST_F(SheetViewDrawing, AMissingTileDrawsNothing) {
  BindSmall(1, 0);
  view.DrawFrontTile(context, nullptr, IMPN_RGBColor8(), true);
  view.DrawBackTile(context, nullptr, IMPN_RGBColor8(), true);
  EXPECT_TRUE(view.calls.empty());
}

TEST_F(SheetViewDrawing, TimerPassWithoutASheetOnlyStopsTheTimer) {
  view.DrawCachedImage(context);
  view.DrawImage(context);
  view.CacheImage();
  EXPECT_EQ((std::vector<std::string>{"StopTimer"}), view.calls);
}
}  // namespace
