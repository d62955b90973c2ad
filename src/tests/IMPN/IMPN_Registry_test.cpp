#include "IMPN/IMPN_Imposition.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_Signature.h"
#include "TIFX/TIFX_KRXFile.h"

#include "JobTreeFiles.h"
#include "SpecFromPath.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace PreviewFixture;

namespace {
PreviewFile JobFile(char const* title, std::uint16_t signature, std::uint16_t surface,
                    char const* ink, std::uint16_t color) {
  PreviewFile file = JobTreeFiles::SmallFile(title, surface, ink, color);
  file.job.signature = signature;
  return file;
}

GFIL_FileSpecVector WriteAll(std::string const& prefix, std::vector<PreviewFile> const& files) {
  GFIL_FileSpecVector specs;
  int n = 0;
  for (PreviewFile const& file : files)
    specs.push_back(JobTreeFiles::Write(prefix + std::to_string(n++) + ".tif", file));
  return specs;
}

void ReleaseAll(std::vector<IMPN_Sheet*>& sheets) {
  for (IMPN_Sheet* sheet : sheets)
    delete sheet;
  sheets.clear();
}
}  // namespace

TEST(Registry, SortsFilesIntoJobsSignaturesSheetsAndSurfaces) {
  GFIL_FileSpecVector specs =
      WriteAll("tree", {JobFile("Job A", 1, 0, "Black", 4), JobFile("Job A", 1, 1, "Cyan", 1),
                        JobFile("Job A", 1, 2, "Black", 4), JobFile("job a", 1, 0, "Black", 4),
                        JobFile("Job A", 2, 3, "Yellow", 3), JobFile("Job A", 1, 0, "Cyan", 1)});
  IMPN_Registry registry;
  EXPECT_EQ(registry.RegisterFiles(specs, false), 6);
  EXPECT_EQ(registry.GetRejectedFileCount(), 0);

  ASSERT_EQ(registry.GetImpositions().size(), 2u);
  IMPN_Imposition* job = registry.Find("Job A");
  ASSERT_NE(job, nullptr);
  EXPECT_EQ(job, registry.GetImpositions()[0]);
  EXPECT_EQ(registry.Find("job a"), registry.GetImpositions()[1]);
  EXPECT_EQ(registry.Find("JOB A"), nullptr);
  EXPECT_EQ(job->GetParent(), &registry);
  EXPECT_EQ(job->ToString(), "Job A [2 Signatures]");

  ASSERT_EQ(job->GetSignatures().size(), 2u);
  IMPN_Signature* first = job->Find(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->ToString(), "Signature 1 [2 Webs]");
  ASSERT_EQ(first->GetSheets().size(), 2u);
  IMPN_Sheet* web1 = first->GetSheets()[0];
  EXPECT_EQ(web1->GetWeb(), 1u);
  EXPECT_EQ(JobTreeFiles::InkNames(web1->GetFrontSurface()),
            (std::vector<std::string>{"Cyan", "Black"}));
  EXPECT_EQ(JobTreeFiles::InkNames(web1->GetBackSurface()), (std::vector<std::string>{"Cyan"}));
  EXPECT_EQ(first->GetSheets()[1]->GetWeb(), 2u);
  EXPECT_EQ(JobTreeFiles::InkNames(first->GetSheets()[1]->GetFrontSurface()),
            std::vector<std::string>{"Black"});

  IMPN_Signature* second = job->Find(2);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->ToString(), "Signature 2 [1 Web]");
  EXPECT_EQ(second->GetSheets()[0]->GetWeb(), 2u);
  EXPECT_EQ(JobTreeFiles::InkNames(second->GetSheets()[0]->GetBackSurface()),
            std::vector<std::string>{"Yellow"});

  std::vector<IMPN_Sheet*> sheets;
  registry.GetAllSheets(sheets);
  ASSERT_EQ(sheets.size(), 4u);
  EXPECT_EQ(sheets[0]->GetFrontSurface().GetSeparations().size(), 2u);
  EXPECT_EQ(sheets[0]->GetBackSurface().GetSeparations().size(), 1u);
  EXPECT_EQ(sheets[3]->GetTitle(), "job a");
  ReleaseAll(sheets);
}

TEST(Registry, WorkAndTumbleFilesGoToBothSurfaces) {
  PreviewFile tumble = JobFile("Tumble", 1, 0, "Black", 4);
  tumble.job.workStyle = 4;
  GFIL_FileSpecVector specs = WriteAll("tumble", {tumble});
  IMPN_Registry registry;
  ASSERT_EQ(registry.RegisterFiles(specs, false), 1);
  IMPN_Sheet* sheet = registry.Find("Tumble")->Find(1)->GetSheets()[0];
  EXPECT_EQ(JobTreeFiles::InkNames(sheet->GetFrontSurface()), std::vector<std::string>{"Black"});
  EXPECT_EQ(JobTreeFiles::InkNames(sheet->GetBackSurface()), std::vector<std::string>{"Black"});
  EXPECT_EQ(sheet->GetSelectedState(), kIMPN_ButtonOn);

  std::vector<IMPN_Sheet*> sheets;
  registry.GetAllSheets(sheets);
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_TRUE(sheets[0]->GetFrontSurface().HasSeparations());
  EXPECT_TRUE(sheets[0]->GetBackSurface().HasSeparations());
  ReleaseAll(sheets);
}

TEST(Registry, RejectsAndCountsWhatIsNoPreviewFileAndGoesOn) {
  PreviewFile smallTiles = JobFile("Job", 1, 0, "Black", 4);
  smallTiles.image.tileWidth = smallTiles.image.tileLength = 256;
  PreviewFile noThumbnail = JobFile("Job", 1, 0, "Black", 4);
  noThumbnail.thumbnailAt = ThumbnailAt::Nowhere;
  PreviewFile blackIsZero = JobFile("Job", 1, 0, "Black", 4);
  blackIsZero.image.photometric = 1;
  PreviewFile noJob = JobFile("Job", 1, 0, "Black", 4);
  noJob.privateTags = PrivateTags::Absent;
  GFIL_FileSpecVector specs = WriteAll(
      "reject", {JobFile("Job", 1, 0, "Cyan", 1), smallTiles, noThumbnail, blackIsZero, noJob,
                 JobFile("Job", 1, 0, "Black", 4), JobFile("Job", 1, 0, "Magenta", 2)});
  std::string const text = TempFilePath("reject-text.tif");
  std::ofstream(text) << "not a preview file";
  specs.push_back(PreviewFixture::SpecFromPath(text));
  specs.push_back(PreviewFixture::SpecFromPath(TempFilePath("reject-never-written.tif")));
  std::string const vanished = TempFilePath("reject-vanished.tif");
  Write(vanished, JobFile("Job", 1, 0, "Yellow", 3));
  specs.push_back(PreviewFixture::SpecFromPath(vanished));
  std::remove(vanished.c_str());  // deleted after it was listed

  IMPN_Registry registry;
  EXPECT_EQ(registry.RegisterFiles(specs, false), 3);
  EXPECT_EQ(registry.GetRejectedFileCount(), 7);
  ASSERT_EQ(registry.GetImpositions().size(), 1u);
  IMPN_Sheet* sheet = registry.Find("Job")->Find(1)->GetSheets()[0];
  EXPECT_EQ(JobTreeFiles::InkNames(sheet->GetFrontSurface()),
            (std::vector<std::string>{"Cyan", "Magenta", "Black"}));
}

TEST(Registry, FilesClaimingSizesBeyondReachAreRejectedLikeInvalidOnes) {
  // A few kilobytes that claim a thumbnail of a million rows, or an image wider than the
  // viewer addresses: refused by the preview-file test before anything is read or made.
  struct Claim {
    unsigned ifd;
    std::uint16_t tag;
    std::uint32_t value;
  };
  Claim const claims[] = {{1, 257, 1000000}, {0, 256, TIFX_KRXFile::kMaxSide + 1}};
  GFIL_FileSpecVector specs = WriteAll("beyond", {JobFile("Job", 1, 0, "Cyan", 1)});
  for (Claim const& claim : claims) {
    std::string const path = TempFilePath("beyond-" + std::to_string(claim.tag) + ".tif");
    Write(path, JobFile("Job", 1, 0, "Black", 4));
    PatchEntryValue(path, claim.ifd, claim.tag, claim.value);
    specs.push_back(PreviewFixture::SpecFromPath(path));
  }
  IMPN_Registry registry;
  EXPECT_EQ(registry.RegisterFiles(specs, false), 1);
  EXPECT_EQ(registry.GetRejectedFileCount(), 2);
  IMPN_Sheet* sheet = registry.Find("Job")->Find(1)->GetSheets()[0];
  EXPECT_EQ(JobTreeFiles::InkNames(sheet->GetFrontSurface()), std::vector<std::string>{"Cyan"});

  GFIL_FileSpecVector none;
  IMPN_Sheet listed(specs, none);
  EXPECT_EQ(listed.GetRejectedFileCount(), 2);
  EXPECT_EQ(listed.GetFrontSurface().GetSeparations().size(), 1u);
}

TEST(Registry, ClearFirstAndRepeatedFiles) {
  GFIL_FileSpecVector specs = WriteAll("again", {JobFile("Again", 1, 0, "Black", 4)});
  IMPN_Registry registry;
  GFIL_FileSpecVector none;
  EXPECT_EQ(registry.RegisterFiles(none, false), 0);
  EXPECT_TRUE(registry.GetImpositions().empty());

  EXPECT_EQ(registry.RegisterFiles(specs, false), 1);
  EXPECT_EQ(registry.RegisterFiles(specs, false), 1);
  IMPN_Sheet* sheet = registry.Find("Again")->Find(1)->GetSheets()[0];
  EXPECT_EQ(sheet->GetFrontSurface().GetSeparations().size(), 2u);

  GFIL_FileSpecVector other = WriteAll("other", {JobFile("Other", 1, 0, "Black", 4)});
  EXPECT_EQ(registry.RegisterFiles(other, true), 1);
  EXPECT_EQ(registry.Find("Again"), nullptr);
  ASSERT_EQ(registry.GetImpositions().size(), 1u);
  EXPECT_EQ(registry.RegisterFiles(none, true), 0);
  EXPECT_TRUE(registry.GetImpositions().empty());
}

TEST(Registry, SelectionFollowsTheMostRecentRun) {
  char const* const kOld = "2005:01:01 10:00:00";
  char const* const kNew = "2005:01:02 10:00:00";
  std::vector<PreviewFile> files;
  for (char const* time : {kOld, kNew})
    for (auto ink : {std::make_pair("Cyan", 1), std::make_pair("Black", 4)}) {
      PreviewFile file = JobFile("Runs", 1, 0, ink.first, static_cast<std::uint16_t>(ink.second));
      file.job.printTime = std::string(time);
      files.push_back(file);
    }
  files.push_back(JobFile("Runs", 2, 0, "Black", 4));
  GFIL_FileSpecVector specs = WriteAll("runs", files);
  IMPN_Registry registry;
  ASSERT_EQ(registry.RegisterFiles(specs, false), 5);
  IMPN_Imposition* job = registry.Find("Runs");
  IMPN_Signature* twoRuns = job->Find(1);
  EXPECT_EQ(twoRuns->GetSheets()[0]->GetFrontSurface().GetSelectedState(), kIMPN_ButtonMixed);
  EXPECT_EQ(twoRuns->GetSelectedState(), kIMPN_ButtonMixed);
  EXPECT_EQ(job->Find(2)->GetSelectedState(), kIMPN_ButtonOn);
  EXPECT_EQ(job->GetSelectedState(), kIMPN_ButtonMixed);

  job->SelectChildren(kIMPN_ButtonOn);
  for (IMPN_Separation const* s : twoRuns->GetSheets()[0]->GetFrontSurface().GetSeparations())
    EXPECT_EQ(s->GetSelectedState(), kIMPN_ButtonOn);
  EXPECT_EQ(twoRuns->GetSheets()[0]->GetSelectedState(), kIMPN_ButtonOn);
  job->SelectChildren(kIMPN_ButtonMixed);
  EXPECT_EQ(twoRuns->GetSelectedState(), kIMPN_ButtonOn);

  // Signatures on and off: the job is mixed.
  job->Find(2)->SetSelectedState(kIMPN_ButtonOff);
  job->UpdateParentSelections();
  EXPECT_EQ(job->GetSelectedState(), kIMPN_ButtonMixed);
  job->Find(2)->SelectChildren(kIMPN_ButtonOff);
  job->Find(2)->GetSheets()[0]->GetFrontSurface().GetSeparations()[0]->UpdateParentSelections();
  EXPECT_EQ(job->Find(2)->GetSelectedState(), kIMPN_ButtonOff);
  EXPECT_EQ(job->GetSelectedState(), kIMPN_ButtonMixed);

  // An unselected sheet yields no sheet for a window.
  std::vector<IMPN_Sheet*> sheets;
  registry.GetAllSheets(sheets);
  EXPECT_EQ(sheets.size(), 1u);
  ReleaseAll(sheets);

  EXPECT_EQ(job->Find(1)->CompareTo(job->Find(2), IMPN_Node::kIdentityOrder), -1);
  EXPECT_EQ(job->Find(1)->CompareTo(job->Find(2), IMPN_Node::kSelectionState), 1 - 3);
  EXPECT_EQ(job->CompareTo(nullptr, IMPN_Node::kIdentityOrder), 0);
}

TEST(Registry, ComparesAndPrintsJobs) {
  GFIL_FileSpecVector specs =
      WriteAll("print", {JobFile("Beta", 1, 0, "Black", 4), JobFile("Alpha", 1, 0, "Black", 4),
                         JobFile("Alpha", 2, 0, "Black", 4)});
  IMPN_Registry registry;
  registry.RegisterFiles(specs, false);
  IMPN_Imposition* beta = registry.Find("Beta");
  IMPN_Imposition* alpha = registry.Find("Alpha");
  EXPECT_GT(beta->CompareTo(alpha, IMPN_Node::kIdentityOrder), 0);
  EXPECT_EQ(beta->CompareTo(alpha, IMPN_Node::kCountOrPrintOrder), -1);
  EXPECT_EQ(beta->CompareTo(alpha, IMPN_Node::kPrintTime), 0);

  testing::internal::CaptureStdout();
  registry.Print(0);
  std::string const out = testing::internal::GetCapturedStdout();
  std::string const rule(65, '=');
  EXPECT_EQ(out.rfind(rule + "\nImposition Registry\n" + rule +
                          "\n  Imposition<Beta>\n"
                          "    Signature<1>\n      Sheet/Web<1>\n",
                      0),
            0u);
  EXPECT_NE(out.find("            Separation <Black>\n"), std::string::npos) << out;
}

TEST(Registry, EveryFileVariantLandsWhereItsJobSays) {
  struct Variant {
    char const* name;
    void (*bend)(PreviewFile&);
  } const variants[] = {
      {"big endian", [](PreviewFile& f) { f.byteOrder = ByteOrder::Big; }},
      {"little endian", [](PreviewFile& f) { f.byteOrder = ByteOrder::Little; }},
      {"private tags in the directory",
       [](PreviewFile& f) { f.privateTags = PrivateTags::Direct; }},
      {"values at the file end", [](PreviewFile& f) { f.values = ValuePlacement::AtFileEnd; }},
      {"packbits", [](PreviewFile& f) { f.image.compression = Compression::PackBits; }},
      {"lzw", [](PreviewFile& f) { f.image.compression = Compression::LZW; }},
      {"deflate", [](PreviewFile& f) { f.image.compression = Compression::Deflate; }},
      {"group 4", [](PreviewFile& f) { f.image.compression = Compression::CCITTG4; }},
      {"thumbnail in the third directory",
       [](PreviewFile& f) { f.thumbnailAt = ThumbnailAt::Ifd2; }},
  };
  int n = 0;
  for (Variant const& v : variants) {
    SCOPED_TRACE(v.name);
    PreviewFile file = PreviewFile::Make(1024, 700, 8);
    file.job.title = v.name;
    file.job.signature = 3;
    file.job.surface = 5;  // web 3, back
    file.job.inkName = "PANTONE 300 C";
    file.job.color = 0;
    file.job.printOrder = 2;
    file.job.pressSheet = Edges{1, 2, 699, 1023};
    file.image.bits = [](std::uint32_t x, std::uint32_t) { return x >= 512; };
    v.bend(file);
    GFIL_FileSpecVector specs = {
        JobTreeFiles::Write("variant" + std::to_string(n++) + ".tif", file)};

    IMPN_Registry registry;
    ASSERT_EQ(registry.RegisterFiles(specs, false), 1);
    IMPN_Imposition* job = registry.Find(v.name);
    ASSERT_NE(job, nullptr);
    ASSERT_NE(job->Find(3), nullptr);
    IMPN_Sheet* sheet = job->Find(3)->GetSheets()[0];
    EXPECT_EQ(sheet->GetWeb(), 3u);
    EXPECT_EQ(sheet->GetImageWidth(), 1024u);
    EXPECT_EQ(sheet->GetImageLength(), 700u);
    EXPECT_FALSE(sheet->GetFrontSurface().HasSeparations());
    ASSERT_EQ(sheet->GetBackSurface().GetSeparations().size(), 1u);
    EXPECT_EQ(sheet->GetBackSurface().GetPressSheetRect(), IMPN_RectT<long>(1, 2, 1021, 698));
    IMPN_Separation* s = sheet->GetBackSurface().GetSeparations()[0];
    EXPECT_EQ(s->GetInkName(), "PANTONE 300 C");
    EXPECT_EQ(s->GetPrintOrder(), 2);
    EXPECT_EQ(s->GetSelectedState(), kIMPN_ButtonOn);
    EXPECT_EQ(s->GetThumbnailDirectory(), file.thumbnailAt == ThumbnailAt::Ifd2 ? 2 : 1);
    s->Init();
    EXPECT_FLOAT_EQ(s->CalculateInkDensity(IMPN_RectT<long>(0, 0, 1024, 700)), 0.5f);
  }
}

TEST(Registry, ASheetStillHeldOutlivesTheTree) {
  GFIL_FileSpecVector specs = WriteAll("held", {JobFile("Held", 1, 0, "Black", 4)});
  IMPN_Registry registry;
  ASSERT_EQ(registry.RegisterFiles(specs, false), 1);
  IMPN_Sheet* sheet = registry.Find("Held")->Find(1)->GetSheets()[0];
  EXPECT_EQ(sheet->GetReferenceCount(), 1);
  sheet->AddReference();  // as a window showing it would
  registry.Clear();
  EXPECT_EQ(sheet->GetReferenceCount(), 1);
  EXPECT_EQ(JobTreeFiles::InkNames(sheet->GetFrontSurface()), std::vector<std::string>{"Black"});
  EXPECT_EQ(sheet->RemoveReference(), 0);
  delete sheet;
}
