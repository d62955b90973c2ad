#include "IMPN/IMPN_Imposition.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_Signature.h"

#include "JobTreeFiles.h"

#include <gtest/gtest.h>

// A file that names no job, signature or surface is still a plate: it goes under the empty
// title, signature 0, web 1, on the front.
TEST(JobFieldDefaults, AFileWithoutJobFieldsGoesToTheEmptyJobSignatureZeroWebOneFront) {
  PreviewFixture::PreviewFile file = JobTreeFiles::SmallFile("Named", 3, "Cyan", 1);
  file.job.signature = 7;
  file.job.omit = {10004, 11002, 11003};  // Title, Signature, Surface
  GFIL_FileSpecVector specs = {JobTreeFiles::Write("no-job-fields.tif", file)};

  IMPN_Registry registry;
  ASSERT_EQ(registry.RegisterFiles(specs, false), 1);
  IMPN_Imposition* job = registry.Find("");
  ASSERT_NE(job, nullptr);
  ASSERT_EQ(job->GetSignatures().size(), 1u);
  IMPN_Signature* signature = job->Find(0);
  ASSERT_NE(signature, nullptr);
  ASSERT_EQ(signature->GetSheets().size(), 1u);
  IMPN_Sheet* sheet = signature->GetSheets()[0];
  EXPECT_EQ(sheet->GetWeb(), 1u);
  ASSERT_EQ(sheet->GetFrontSurface().GetSeparations().size(), 1u);
  EXPECT_FALSE(sheet->GetBackSurface().HasSeparations());
  IMPN_Separation const* plate = sheet->GetFrontSurface().GetSeparations()[0];
  EXPECT_EQ(plate->GetInkName(), "Cyan");
  EXPECT_EQ(plate->GetSheetNumber(), 1);
  EXPECT_TRUE(plate->IsFront());
}
