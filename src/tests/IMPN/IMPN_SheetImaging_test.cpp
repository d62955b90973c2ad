#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_ThumbnailImage.h"
#include "IMPN/IMPN_TiledImage.h"
#include "SheetFixture.h"
#include "SpecFromPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace PreviewFixture;

namespace {
// A preview file of the given size and surface whose thumbnail is 1 : 8 of it.
GFIL_FileSpec WritePlate(std::string const& name, std::uint32_t width, std::uint32_t length,
                         std::uint16_t surface, std::string const& ink) {
  PreviewFile file = PreviewFile::Make(width, length, 8);
  file.job.surface = surface;
  file.job.inkName = ink;
  file.job.color = 0;
  file.image.bits = [](std::uint32_t x, std::uint32_t y) { return (x ^ y) % 7 == 0; };
  file.thumbnail.grey = [](std::uint32_t x, std::uint32_t) { return std::uint8_t(x); };
  std::string const path = TempFilePath(name);
  Write(path, file);
  return PreviewFixture::SpecFromPath(path);
}
}  // namespace

TEST(SheetImaging, InitMakesEachSurfacesImagesAndTakesTheFrontThumbnail) {
  // A thumbnail of 700 x 350 shrinks to 350 x 175 at twice the scale.
  GFIL_FileSpecVector front{WritePlate("imaging-f1.tif", 5600, 2800, 0, "Cyan"),
                            WritePlate("imaging-f2.tif", 5600, 2800, 0, "Black")};
  GFIL_FileSpecVector back{WritePlate("imaging-b1.tif", 5600, 2800, 1, "Black")};
  IMPN_Sheet sheet(front, back);
  EXPECT_EQ(sheet.GetImageWidth(kIMPN_ZoomLevel1to1), 0);
  sheet.Init();

  for (IMPN_Surface const* surface : {&sheet.GetFrontSurface(), &sheet.GetBackSurface()}) {
    ASSERT_NE(surface->GetTiledImage(), nullptr);
    ASSERT_NE(surface->GetThumbnailImage(), nullptr);
  }
  EXPECT_EQ(sheet.GetThumbnailWidth(), 350u);
  EXPECT_EQ(sheet.GetThumbnailLength(), 175u);
  EXPECT_EQ(sheet.GetScale(), 16u);
  EXPECT_EQ(sheet.GetImageWidth(kIMPN_ZoomLevel1to1), 5600);
  EXPECT_EQ(sheet.GetImageLength(kIMPN_ZoomLevel1to4), 700);
  EXPECT_EQ(sheet.GetImageWidth(kIMPN_ZoomLevel1to512), 11);  // 10.9375
}

TEST(SheetImaging, BackOnlySheetTakesTheBackImages) {
  GFIL_FileSpecVector front;
  GFIL_FileSpecVector back{WritePlate("imaging-back.tif", 1200, 800, 1, "Black")};
  IMPN_Sheet sheet(front, back);
  sheet.Init();
  EXPECT_EQ(sheet.GetFrontSurface().GetTiledImage(), nullptr);
  EXPECT_EQ(sheet.GetThumbnailWidth(), 150u);
  EXPECT_EQ(sheet.GetScale(), 8u);
  EXPECT_EQ(sheet.GetImageWidth(kIMPN_ZoomLevel1to2), 600);
}

TEST(SheetImaging, NewLayDownOrderEmptiesTheTileCache) {
  GFIL_FileSpecVector front{WritePlate("imaging-o1.tif", 1024, 512, 0, "Cyan"),
                            WritePlate("imaging-o2.tif", 1024, 512, 0, "Magenta")};
  GFIL_FileSpecVector back;
  IMPN_Sheet sheet(front, back);
  sheet.Init();
  IMPN_Surface& surface = sheet.GetFrontSurface();
  IMPN_TiledImage& image = *surface.GetTiledImage();
  IMPN_BitMap* tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to1, surface.GetTimeStamp());
  ASSERT_NE(tile, nullptr);
  ASSERT_NE(tile->pixels, nullptr);

  std::vector<IMPN_Separation*> order(surface.GetSeparations().rbegin(),
                                      surface.GetSeparations().rend());
  surface.ResetLayDownOrder(order);
  EXPECT_EQ(tile->pixels, nullptr);
  EXPECT_GT(surface.GetTimeStamp(), image.GetColorTableTimeStamp());
  tile = image.GetTile(0, 0, kIMPN_ZoomLevel1to1, surface.GetTimeStamp());
  EXPECT_NE(tile->pixels, nullptr);
  EXPECT_GT(image.GetColorTableTimeStamp(), surface.GetTimeStamp());
}
