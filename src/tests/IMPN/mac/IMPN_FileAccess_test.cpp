// How often the way from a job folder to the first display tile opens each preview file,
// counted by the File Manager stand-in.
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_TiledImage.h"

#include "CoreServices/Files.h"
#include "JobTreeFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
class FileAccess : public ::testing::Test {
protected:
  void SetUp() override {
    char const* const inks[] = {"Cyan", "Magenta", "Yellow", "Black"};
    for (int i = 0; i < 4; ++i) {
      PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(2048, 1536, 8);
      file.job.title = "Access";
      file.job.inkName = inks[i];
      file.job.color = static_cast<std::uint16_t>(i + 1);
      file.image.bits = [i](std::uint32_t x, std::uint32_t y) { return (x + y + i) % 3 == 0; };
      std::string const name = "access" + std::to_string(i) + ".tif";
      m_Specs.push_back(JobTreeFiles::Write(name, file));
      m_Paths.push_back(PreviewFixture::TempFilePath(name));
    }
    StandIn_FilesReset();
  }
  void TearDown() override { StandIn_FilesReset(); }

  // Opens of every file since the last call.
  std::vector<int> OpensSinceLastLook() {
    std::vector<int> opens;
    for (std::size_t i = 0; i < m_Paths.size(); ++i) {
      int total = 0;
      int reads = 0;
      StandIn_FilesForkUse(m_Paths[i].c_str(), &total, &reads);
      m_Seen.resize(m_Paths.size());
      opens.push_back(total - m_Seen[i]);
      m_Seen[i] = total;
    }
    return opens;
  }

  GFIL_FileSpecVector m_Specs;
  std::vector<std::string> m_Paths;
  std::vector<int> m_Seen;
};
}  // namespace

TEST_F(FileAccess, EachFileOpensOncePerStepOnTheWayToTheFirstTile) {
  std::vector<int> const once(4, 1);
  std::vector<int> const none(4, 0);
  IMPN_Registry registry;
  ASSERT_EQ(registry.RegisterFiles(m_Specs, false), 4);
  EXPECT_EQ(OpensSinceLastLook(), once);

  // The sheet a window shows is made from the files again.
  std::vector<IMPN_Sheet*> sheets;
  registry.GetAllSheets(sheets);
  ASSERT_EQ(sheets.size(), 1u);
  std::unique_ptr<IMPN_Sheet> sheet(sheets[0]);
  EXPECT_EQ(OpensSinceLastLook(), once);

  // Each separation opens its own file, for the thumbnail, and keeps it open for the tiles.
  sheet->Init();
  EXPECT_EQ(OpensSinceLastLook(), once);
  IMPN_Surface& front = sheet->GetFrontSurface();
  ASSERT_NE(front.GetTiledImage(), nullptr);
  ASSERT_NE(front.GetTiledImage()->GetTile(0, 0, kIMPN_ZoomLevel1to1, front.GetTimeStamp()),
            nullptr);
  EXPECT_EQ(OpensSinceLastLook(), none);
}

TEST_F(FileAccess, TheTiledImageTakesItsGeometryWithoutOpeningAFile) {
  IMPN_Sheet sheet(m_Specs, m_Specs);
  sheet.Init();
  IMPN_Surface& front = sheet.GetFrontSurface();
  front.CloseFiles();
  OpensSinceLastLook();
  IMPN_RGBColor8 white(255, 255, 255);
  std::vector<IMPN_Separation*> separations = front.GetSeparations();
  IMPN_TiledImage image(separations, white);
  EXPECT_EQ(OpensSinceLastLook(), std::vector<int>(4, 0));
  EXPECT_EQ(image.GetScaledWidth(kIMPN_ZoomLevel1to1), 2048);
  EXPECT_EQ(image.GetScaledLength(kIMPN_ZoomLevel1to1), 1536);
  EXPECT_EQ(sheet.GetImageWidth(), 2048u);
  EXPECT_EQ(sheet.GetImageLength(), 1536u);
}
