#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_SheetReference.h"

#include "JobTreeFiles.h"
#include "SpecFromPath.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace PreviewFixture;

namespace {
using SheetPtr = IMPN_SheetReference;

SheetPtr Keep(IMPN_Sheet* sheet) {
  return SheetPtr(sheet);
}

SheetPtr SheetOf(std::vector<PreviewFile> const& front, std::vector<PreviewFile> const& back) {
  static int n = 0;
  GFIL_FileSpecVector f, b;
  for (PreviewFile const& file : front)
    f.push_back(JobTreeFiles::Write("sheet" + std::to_string(n++) + ".tif", file));
  for (PreviewFile const& file : back)
    b.push_back(JobTreeFiles::Write("sheet" + std::to_string(n++) + ".tif", file));
  return Keep(new IMPN_Sheet(f, b));
}

PreviewFile Versioned(char const* ink, std::vector<std::string> const& versions) {
  PreviewFile file = JobTreeFiles::SmallFile("Job", 0, ink, 0);
  file.job.versions = versions;
  return file;
}
}  // namespace

TEST(Sheet, BackupMode) {
  struct Case {
    std::uint16_t workStyle, orientation;
    std::uint32_t mode;
  } const cases[] = {{3, 2, 2}, {1, 0, 1}, {0, 1, 1}, {2, 0, 2}, {4, 3, 1}, {9, 9, 2}};
  for (Case const& c : cases)
    EXPECT_EQ(IMPN_Sheet::BackupMode(c.workStyle, c.orientation), c.mode)
        << c.workStyle << "/" << c.orientation;
}

TEST(Sheet, WorkAndTurnFileGoesToBothSurfaces) {
  PreviewFile file = JobTreeFiles::SmallFile("Job", 1);
  file.job.workStyle = 3;
  file.image.xResolution = 1200;
  auto krx = JobTreeFiles::WriteAndOpen("turn.tif", file);
  SheetPtr sheet = Keep(new IMPN_Sheet(*krx));
  sheet->AddChild(*krx, nullptr);
  ASSERT_EQ(sheet->GetFrontSurface().GetSeparations().size(), 1u);
  ASSERT_EQ(sheet->GetBackSurface().GetSeparations().size(), 1u);
  EXPECT_EQ(sheet->GetFrontSurface().GetParent(), sheet.Get());
  EXPECT_EQ(sheet->GetImageWidth(), 512u);
  EXPECT_FLOAT_EQ(sheet->GetXResolution(), 1200);
  EXPECT_EQ(sheet->GetWeb(), 1u);
  EXPECT_EQ(sheet->ToString(), "Web 1 F[K] B[K] - WNTurn - UP");

  PreviewFile sheetwise = JobTreeFiles::SmallFile("Job", 1, "Cyan", 1);
  sheetwise.job.orientation = 2;
  krx = JobTreeFiles::WriteAndOpen("sheetwise.tif", sheetwise);
  SheetPtr other = Keep(new IMPN_Sheet(*krx));
  other->AddChild(*krx, nullptr);
  EXPECT_FALSE(other->GetFrontSurface().HasSeparations());
  EXPECT_EQ(other->ToString(), "Web 1 B[C] - SW - LEFT");
}

TEST(Sheet, FromFileListsSkipsWhatIsNoPreviewFile) {
  PreviewFile first = JobTreeFiles::SmallFile("Listed", 2);
  first.thumbnailAt = ThumbnailAt::Ifd2;  // the thumbnail size comes from where it is
  first.job.signature = 4;
  PreviewFile bad = JobTreeFiles::SmallFile();
  bad.image.tileWidth = bad.image.tileLength = 256;
  GFIL_FileSpecVector front = {PreviewFixture::SpecFromPath(TempFilePath("never-written.tif"))};
  front.push_back(JobTreeFiles::Write("bad.tif", bad));
  front.push_back(JobTreeFiles::Write("first.tif", first));
  GFIL_FileSpecVector back = {JobTreeFiles::Write("back.tif", JobTreeFiles::SmallFile("Other", 3))};
  SheetPtr sheet = Keep(new IMPN_Sheet(front, back));

  EXPECT_EQ(sheet->GetRejectedFileCount(), 2);
  EXPECT_EQ(sheet->GetFrontSurface().GetSeparations().size(), 1u);
  EXPECT_EQ(sheet->GetBackSurface().GetSeparations().size(), 1u);
  EXPECT_EQ(sheet->GetTitle(), "Listed");
  EXPECT_EQ(sheet->GetSignature(), 4u);
  EXPECT_EQ(sheet->GetWeb(), 2u);
  EXPECT_EQ(sheet->GetThumbnailWidth(), 64u);
  EXPECT_EQ(sheet->GetThumbnailLength(), 64u);
  EXPECT_EQ(sheet->GetScale(), 8u);
  EXPECT_EQ(sheet->GetImageLength(), 512u);
}

TEST(Sheet, VersionNames) {
  SheetPtr sheet =
      SheetOf({Versioned("A", {"A"}), Versioned("Common", {""})}, {Versioned("B", {"B", "A"})});
  sheet->Init();
  std::vector<USTR_String> const& names = sheet->GetVersionNames();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[1], USTR_String(L"A"));
  EXPECT_EQ(names[2], USTR_String(L"B"));
  auto mask = [&](IMPN_Surface const& side, char const* ink) {
    for (IMPN_Separation const* s : side.GetSeparations())
      if (s->GetInkName() == ink)
        return s->GetVersionMask().to_string().substr(1021);
    return std::string();
  };
  EXPECT_EQ(mask(sheet->GetFrontSurface(), "A"), "010");
  EXPECT_EQ(mask(sheet->GetFrontSurface(), "Common"), "111");
  EXPECT_EQ(mask(sheet->GetBackSurface(), "B"), "110");

  // Without version names the bit sets are left alone.
  SheetPtr plain = SheetOf({JobTreeFiles::SmallFile()}, {});
  IMPN_Separation* s = plain->GetFrontSurface().GetSeparations()[0];
  s->SetVersionMask(IMPN_Separation::VersionMask(5));
  plain->ResetVersions();
  EXPECT_TRUE(plain->GetVersionNames().empty());
  EXPECT_EQ(s->GetVersionMask().to_ulong(), 5u);
}

TEST(Sheet, BackupOffsetsAlignTheBackWithTheFront) {
  PreviewFile front = JobTreeFiles::SmallFile("Job", 0);
  front.job.pressSheet = Edges{10, 20, 310, 420};
  PreviewFile back = JobTreeFiles::SmallFile("Job", 1);
  back.job.pressSheet = Edges{30, 40, 330, 440};
  SheetPtr sheet = SheetOf({front}, {back});
  sheet->Init();
  EXPECT_EQ(sheet->GetBackupMode(), 1u);
  struct Case {
    IMPN_ZoomLevel level;
    std::int32_t x, y;
  } const cases[] = {{kIMPN_ZoomLevel8to1, 416, -160},
                     {kIMPN_ZoomLevel1to1, 52, -20},
                     {kIMPN_ZoomLevel1to2, 26, -10},
                     {kIMPN_ZoomLevel1to512, 0, 0}};
  for (Case const& c : cases) {
    EXPECT_EQ(sheet->GetBackupOffsetX(kIMPN_AlignPressSheets, c.level), c.x);
    EXPECT_EQ(sheet->GetBackupOffsetY(kIMPN_AlignPressSheets, c.level), c.y);
    EXPECT_EQ(sheet->GetBackupOffsetX(kIMPN_AlignPlates, c.level), 0);
  }
  // No pages on either side: empty union rectangles, the back mirrored across the image.
  EXPECT_EQ(sheet->GetBackupOffsetX(kIMPN_AlignPages, kIMPN_ZoomLevel1to1), 512);
  EXPECT_EQ(sheet->GetBackupOffsetY(kIMPN_AlignPages, kIMPN_ZoomLevel1to1), 0);

  SheetPtr oneSided = SheetOf({front}, {});
  oneSided->Init();
  EXPECT_EQ(oneSided->GetBackupOffsetX(kIMPN_AlignPressSheets, kIMPN_ZoomLevel1to1), 0);
}

TEST(Sheet, SelectionAndNewSheetsOfTheSelection) {
  SheetPtr sheet = SheetOf(
      {JobTreeFiles::SmallFile("Job", 0, "Cyan", 1), JobTreeFiles::SmallFile("Job", 0, "Black", 4)},
      {});
  sheet->SelectRecent();
  EXPECT_EQ(sheet->GetSelectedState(), sheet->GetFrontSurface().GetSelectedState());
  EXPECT_EQ(sheet->GetSelectedState(), kIMPN_ButtonOn);

  sheet->SelectChildren(kIMPN_ButtonOff);
  std::vector<IMPN_Sheet*> made;
  sheet->GetAllSheets(made);
  EXPECT_TRUE(made.empty());

  sheet->GetFrontSurface().GetSeparations()[1]->SetSelectedState(kIMPN_ButtonOn);
  sheet->GetFrontSurface().UpdateParentSelections();
  EXPECT_EQ(sheet->GetSelectedState(), kIMPN_ButtonMixed);
  sheet->GetAllSheets(made);
  ASSERT_EQ(made.size(), 1u);
  SheetPtr copy = Keep(made[0]);
  ASSERT_EQ(copy->GetFrontSurface().GetSeparations().size(), 1u);
  EXPECT_EQ(copy->GetFrontSurface().GetSeparations()[0]->GetInkName(), "Black");
  EXPECT_EQ(copy->CompareTo(sheet.Get(), IMPN_Node::kIdentityOrder), 0);
}
