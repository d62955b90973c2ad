#include "GLIB/GLIB_Math.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_TiledImage.h"

#include "JobTreeFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace PreviewFixture;

namespace {
struct Plate {
  char const* ink;
  std::uint16_t color;
  std::optional<std::uint16_t> printOrder;
  char const* printTime;
};

// Adds one file per plate, in the order given.
void AddPlates(IMPN_Surface& surface, std::vector<Plate> const& plates, bool append = false) {
  int n = 0;
  for (Plate const& p : plates) {
    PreviewFile file = JobTreeFiles::SmallFile("Job", 0, p.ink, p.color);
    file.job.printOrder = p.printOrder;
    if (p.printTime)
      file.job.printTime = std::string(p.printTime);
    auto krx = JobTreeFiles::WriteAndOpen("plate" + std::to_string(n++) + ".tif", file);
    if (append)
      surface.Append(*krx);
    else
      surface.Add(*krx);
  }
}

std::vector<std::string> Selected(IMPN_Surface const& surface) {
  std::vector<std::string> inks;
  for (IMPN_Separation const* s : surface.GetSeparations())
    if (s->GetSelectedState() == kIMPN_ButtonOn)
      inks.push_back(s->GetInkName() + "@" + s->GetPrintTime().substr(11, 2));
  return inks;
}

char const* const kOld = "2005:01:01 10:00:00";
char const* const kNew = "2005:01:02 11:00:00";

Page TestPage(std::uint16_t number, std::uint32_t top) {
  Page page;
  page.number = number;
  page.orientation = 2;
  page.position = {top, 100, top + 99, 299};
  page.bleed = {top - 10, 90, top + 109, 309};
  page.maxBleed = {top - 20, 80, top + 119, 319};
  page.typeSafety = Edges{top + 5, 105, top + 94, 294};
  return page;
}
}  // namespace

TEST(Surface, LayDownOrder) {
  IMPN_Surface byPrintOrder(true);
  AddPlates(
      byPrintOrder,
      {{"B", 4, 2, nullptr}, {"A", 1, 1, nullptr}, {"C", 2, 3, nullptr}, {"D", 3, 2, nullptr}});
  EXPECT_EQ(JobTreeFiles::InkNames(byPrintOrder), (std::vector<std::string>{"A", "B", "D", "C"}));

  IMPN_Surface byColour(false);
  AddPlates(byColour, {{"Black", 4, {}, nullptr},
                       {"Cyan", 1, {}, nullptr},
                       {"Spot", 0, {}, nullptr},
                       {"Magenta", 2, {}, nullptr}});
  EXPECT_EQ(JobTreeFiles::InkNames(byColour),
            (std::vector<std::string>{"Cyan", "Magenta", "Black", "Spot"}));
  EXPECT_EQ(byColour.ToString(), "CMK1");
  for (IMPN_Separation const* s : byColour.GetSeparations())
    EXPECT_EQ(s->GetParent(), &byColour);
}

TEST(Surface, DescribesItsInks) {
  IMPN_Surface surface(true);
  AddPlates(surface, {{"Black", 4, {}, nullptr}, {"Cyan", 1, {}, nullptr}});
  EXPECT_EQ(surface.ToString(), "CK");
  AddPlates(surface, {{"Yellow", 3, {}, nullptr},
                      {"Magenta", 2, {}, nullptr},
                      {"S1", 0, {}, nullptr},
                      {"S2", 0, {}, nullptr},
                      {"Red", 5, {}, nullptr}});
  EXPECT_EQ(surface.ToString(), "CMYK12");
}

TEST(Surface, SelectsTheNewestPlateOfEveryPrintOrder) {
  struct Case {
    char const* name;
    std::vector<Plate> plates;
    std::vector<std::string> selected;  // in lay-down order
    IMPN_ButtonState state;
  } const cases[] = {
      {"two runs of CMYK",
       {{"C", 1, 1, kOld},
        {"M", 2, 2, kOld},
        {"Y", 3, 3, kOld},
        {"K", 4, 4, kOld},
        {"C", 1, 1, kNew},
        {"M", 2, 2, kNew},
        {"Y", 3, 3, kNew},
        {"K", 4, 4, kNew}},
       {"C@11", "M@11", "Y@11", "K@11"},
       kIMPN_ButtonMixed},
      // One plate output again: the other plates of the first run stay selected.
      {"one plate re-output",
       {{"C", 1, 1, kOld},
        {"M", 2, 2, kOld},
        {"Y", 3, 3, kOld},
        {"K", 4, 4, kOld},
        {"M", 2, 2, kNew}},
       {"C@10", "M@11", "Y@10", "K@10"},
       kIMPN_ButtonMixed},
      {"distinct inks without print order",
       {{"C", 1, {}, kOld}, {"M", 2, {}, kNew}, {"S", 0, {}, kOld}},
       {"C@10", "M@11", "S@10"},
       kIMPN_ButtonOn},
      {"spot re-output without print order",
       {{"S", 0, {}, kOld}, {"K", 4, {}, kOld}, {"S", 0, {}, kNew}},
       {"K@10", "S@11"},
       kIMPN_ButtonMixed},
      {"nameless plates cannot be told apart",
       {{"", 0, {}, kNew}, {"", 0, {}, kOld}},
       {"@11", "@10"},
       kIMPN_ButtonOn},
  };
  for (Case const& c : cases) {
    SCOPED_TRACE(c.name);
    IMPN_Surface surface(true);
    AddPlates(surface, c.plates);
    std::vector<std::string> const before = JobTreeFiles::InkNames(surface);
    surface.SelectRecent();
    EXPECT_EQ(Selected(surface), c.selected);
    EXPECT_EQ(surface.GetSelectedState(), c.state);
    EXPECT_EQ(JobTreeFiles::InkNames(surface), before);
  }
  IMPN_Surface empty(true);
  empty.SetSelectedState(kIMPN_ButtonOn);
  empty.SelectRecent();
  EXPECT_EQ(empty.GetSelectedState(), kIMPN_ButtonOff);
}

TEST(Surface, TakesPageGeometryFromTheFirstFile) {
  PreviewFile file = JobTreeFiles::SmallFile();
  file.job.pressSheet = Edges{10, 20, 410, 520};
  file.job.pages = {TestPage(1, 100), TestPage(2, 300)};
  file.job.pages[0].clipPaths = {{{5, 50}, {-3, 60}, {40, 7}}, {}};
  file.job.pages[1].clipPaths = {{{1, 1}}};
  auto krx = JobTreeFiles::WriteAndOpen("pages.tif", file);

  IMPN_Surface appended(true);
  appended.Append(*krx);
  EXPECT_EQ(appended.GetPressSheetRect(), IMPN_RectT<long>(10, 20, 500, 400));
  ASSERT_EQ(appended.GetPageEdges().size(), 2u);
  EXPECT_EQ(appended.GetPageEdges()[1].pageNumber, 2);
  EXPECT_EQ(appended.GetPageEdges()[1].orientation, 2);
  EXPECT_EQ(appended.GetPageEdges()[1].rect, IMPN_RectT<long>(300, 100, 200, 100));
  EXPECT_EQ(appended.GetBleedRects()[0], IMPN_RectT<long>(90, 90, 220, 120));
  EXPECT_EQ(appended.GetMaxBleedRects()[0], IMPN_RectT<long>(80, 80, 240, 140));
  ASSERT_TRUE(appended.HasClipPaths());
  ASSERT_EQ(appended.GetClipPaths().size(), 2u);
  ASSERT_EQ(appended.GetClipPaths()[0].size(), 1u);  // the empty path is left out
  EXPECT_EQ(appended.GetClipPaths()[0][0].bounds, IMPN_RectT<long>(7, -3, 43, 53));
  EXPECT_EQ(appended.GetClipPaths()[0][0].points.size(), 3u);
  EXPECT_EQ(appended.GetClipPaths()[1][0].bounds, IMPN_RectT<long>(1, 1, 0, 0));
  ASSERT_TRUE(appended.HasTypeSafetyBoxes());
  EXPECT_EQ(appended.GetTypeSafetyRects()[0], IMPN_RectT<long>(105, 105, 190, 90));

  // Files sorted by the job tree carry no type-safety boxes.
  IMPN_Surface added(true);
  added.Add(*krx);
  EXPECT_FALSE(added.HasTypeSafetyBoxes());
  EXPECT_TRUE(added.GetTypeSafetyRects().empty());

  // A later file does not change the geometry.
  PreviewFile other = JobTreeFiles::SmallFile();
  other.job.pressSheet = Edges{0, 0, 5, 5};
  auto second = JobTreeFiles::WriteAndOpen("pages2.tif", other);
  appended.Append(*second);
  EXPECT_EQ(appended.GetPressSheetRect(), IMPN_RectT<long>(10, 20, 500, 400));
  EXPECT_EQ(appended.GetPageEdges().size(), 2u);

  // Cleared, the surface forgets all of it; the next first file sets it afresh.
  appended.Clear();
  EXPECT_FALSE(appended.HasSeparations());
  EXPECT_EQ(appended.GetPressSheetRect(), IMPN_RectT<long>());
  EXPECT_TRUE(appended.GetPageEdges().empty());
  EXPECT_TRUE(appended.GetBleedRects().empty());
  EXPECT_TRUE(appended.GetMaxBleedRects().empty());
  EXPECT_TRUE(appended.GetClipPaths().empty());
  EXPECT_TRUE(appended.GetTypeSafetyRects().empty());
  EXPECT_FALSE(appended.HasClipPaths());
  EXPECT_FALSE(appended.HasTypeSafetyBoxes());
  appended.Append(*second);
  EXPECT_EQ(appended.GetPressSheetRect(), IMPN_RectT<long>(0, 0, 5, 5));
  EXPECT_TRUE(appended.GetPageEdges().empty());
}

TEST(Surface, EdgesOfAnySizeGiveRectanglesWithinLong) {
  // Computed in 64 bits; where long has 32 (Windows) the ends of its range stand in.
  auto within = [](std::int64_t v) {
    return static_cast<long>(MATH_Clamp<std::int64_t>(v, std::numeric_limits<long>::min(),
                                                      std::numeric_limits<long>::max()));
  };
  std::uint32_t const far = 0xFFFFFFFF;
  std::int32_t const low = std::numeric_limits<std::int32_t>::min();
  std::int32_t const high = std::numeric_limits<std::int32_t>::max();
  PreviewFile file = JobTreeFiles::SmallFile();
  file.job.pressSheet = Edges{0, far, far, 0};
  file.job.pages = {TestPage(1, 100)};
  file.job.pages[0].position = Edges{far, 0, 0, far};
  file.job.pages[0].clipPaths = {{{low, low}, {high, high}}};
  auto krx = JobTreeFiles::WriteAndOpen("far-edges.tif", file);
  IMPN_Surface surface(true);
  surface.Append(*krx);
  EXPECT_EQ(surface.GetPressSheetRect(),
            IMPN_RectT<long>(0, within(far), within(-std::int64_t{far}), within(far)));
  EXPECT_EQ(surface.GetPageEdges()[0].rect,
            IMPN_RectT<long>(within(far), 0, within(std::int64_t{far} + 1),
                             within(1 - std::int64_t{far})));
  EXPECT_EQ(surface.GetClipPaths()[0][0].bounds,
            IMPN_RectT<long>(low, low, within(std::int64_t{high} - low),
                             within(std::int64_t{high} - low)));
}

TEST(Surface, LayDownOrderChangesStampEverySeparation) {
  IMPN_Surface surface(true);
  EXPECT_EQ(surface.GetTimeStamp(), 0u);
  AddPlates(surface, {{"Cyan", 1, {}, kOld}, {"Black", 4, {}, kNew}});
  surface.Init();
  std::uint32_t const initialised = surface.GetTimeStamp();
  EXPECT_GT(initialised, 0u);
  EXPECT_EQ(surface.GetPrintTimeSeconds(), (surface.GetSeparations()[0]->GetPrintTimeSeconds() +
                                            surface.GetSeparations()[1]->GetPrintTimeSeconds()) /
                                               2);

  std::vector<IMPN_Separation*> order(surface.GetSeparations().rbegin(),
                                      surface.GetSeparations().rend());
  surface.ResetLayDownOrder(order);
  EXPECT_EQ(JobTreeFiles::InkNames(surface), (std::vector<std::string>{"Black", "Cyan"}));
  EXPECT_EQ(order.size(), 2u);  // the caller holds the old order
  for (IMPN_Separation const* s : surface.GetSeparations())
    EXPECT_GT(s->GetTimeStamp(), initialised);
}

TEST(Surface, ASecondInitGivesTheTilesOfAFreshSurface) {
  // A plate inked all over: its 1:2 tile is one colour, kept and recoloured from the tile states.
  PreviewFile file = JobTreeFiles::SmallFile("Job", 0, "Black", 4);
  file.image.bits = [](std::uint32_t, std::uint32_t) { return true; };
  auto krx = JobTreeFiles::WriteAndOpen("inked.tif", file);
  IMPN_Surface surface(true);
  surface.Add(*krx);
  surface.Init();
  IMPN_TiledImage* image = surface.GetTiledImage();
  ASSERT_NE(image, nullptr);
  auto colourAt = [&](IMPN_TiledImage& tiles) {
    IMPN_BitMap const* tile =
        tiles.GetTile(0, 0, kIMPN_ZoomLevel1to2, static_cast<long>(surface.GetTimeStamp()));
    EXPECT_NE(tile, nullptr);
    EXPECT_EQ(tile ? tile->kind : 0, kIMPN_BitMapUniformRGB);
    IMPN_RGBColor8 colour;
    std::memcpy(&colour, tile->pixels, 3);
    return colour;
  };
  IMPN_RGBColor8 const inked = colourAt(*image);
  EXPECT_NE(inked, surface.GetColor());
  // Bound a second time, as a shared sheet is: the tiled image stays, the states go.
  surface.Init();
  EXPECT_EQ(surface.GetTiledImage(), image);
  EXPECT_EQ(colourAt(*image), inked);
  std::vector<IMPN_Separation*> separations = surface.GetSeparations();
  IMPN_RGBColor8 colour = surface.GetColor();
  IMPN_TiledImage fresh(separations, colour);
  EXPECT_EQ(colourAt(fresh), inked);
}

TEST(Surface, SelectionAndComparison) {
  IMPN_Surface front(true), back(false);
  AddPlates(front, {{"Cyan", 1, {}, kNew}, {"Black", 4, {}, kNew}});
  AddPlates(back, {{"Cyan", 1, {}, kOld}});
  front.SelectChildren(kIMPN_ButtonOn);
  front.GetSeparations()[0]->SetSelectedState(kIMPN_ButtonOff);
  front.SelectChildren(kIMPN_ButtonMixed);  // changes nothing
  front.GetSeparations()[0]->UpdateParentSelections();
  EXPECT_EQ(front.GetSelectedState(), kIMPN_ButtonMixed);
  front.SelectChildren(kIMPN_ButtonOn);
  front.UpdateParentSelections();
  EXPECT_EQ(front.GetSelectedState(), kIMPN_ButtonOn);

  EXPECT_EQ(front.CompareTo(&back, IMPN_Node::kIdentityOrder), -1);
  EXPECT_EQ(back.CompareTo(&front, IMPN_Node::kIdentityOrder), 1);
  EXPECT_EQ(front.CompareTo(&back, IMPN_Node::kCountOrPrintOrder), 0);
  EXPECT_EQ(front.CompareTo(&back, IMPN_Node::kPrintTime), 90000);
  EXPECT_EQ(front.CompareTo(nullptr, IMPN_Node::kIdentityOrder), 0);
}
