// The sample job must be what the programs accept: every file a valid preview file, sorted into
// one job of two sheets whose surfaces each hold the five inks.
#include "SampleJob.h"

#include "GFIL/GFIL_Utils.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Sheet.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> InkNames(IMPN_Surface const& surface) {
  std::vector<std::string> inks;
  for (IMPN_Separation const* s : surface.GetSeparations())
    inks.push_back(s->GetInkName());
  return inks;
}

TEST(SampleJob, TheReaderSortsEveryFileIntoTwoSheets) {
  TempFolder folder("sample-job");
  std::vector<std::string> const paths = SampleJob::WriteAll(folder.Path());
  ASSERT_EQ(paths.size(), std::size_t(SampleJob::kSheets * 2 * SampleJob::kInks));

  GFIL_FileSpecVector specs;
  for (std::string const& path : paths)
    specs.push_back(GFIL_SpecFromUTF8Path(path));
  IMPN_Registry registry;
  EXPECT_EQ(registry.RegisterFiles(specs, false), int(paths.size()));
  EXPECT_EQ(registry.GetRejectedFileCount(), 0);

  std::vector<IMPN_Sheet*> sheets;
  registry.GetAllSheets(sheets);
  std::vector<std::unique_ptr<IMPN_Sheet>> owned(sheets.begin(), sheets.end());
  ASSERT_EQ(sheets.size(), std::size_t(SampleJob::kSheets));
  std::vector<std::string> const inks = {"Cyan", "Magenta", "Yellow", "Black", "Spot Orange"};
  for (IMPN_Sheet* sheet : sheets) {
    EXPECT_EQ(InkNames(sheet->GetFrontSurface()), inks);
    EXPECT_EQ(InkNames(sheet->GetBackSurface()), inks);
  }
}

}  // namespace
