// Registers one preview file as the viewer does when a folder is opened, then sets up every
// sheet it makes and asks for a few tiles at a few zoom levels of each surface.
#include "FuzzInput.h"
#include "IMPN/IMPN_Registry.h"
#include "IMPN/IMPN_Sheet.h"
#include "IMPN/IMPN_Surface.h"
#include "IMPN/IMPN_ThumbnailImage.h"
#include "IMPN/IMPN_TiledImage.h"
#include "SpecFromPath.h"
#include "TIFX/TIFX_KRXFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

void RequestTiles(IMPN_Surface& surface) {
  IMPN_TiledImage* image = surface.GetTiledImage();
  if (!image)
    return;
  image->SetWorkerCount(2);
  long const stamp = static_cast<long>(surface.GetTimeStamp());
  for (IMPN_ZoomLevel level :
       {kIMPN_ZoomLevel2to1, kIMPN_ZoomLevel1to1, kIMPN_ZoomLevel1to2, kIMPN_ZoomLevel1to8}) {
    long const width = image->GetTileWidth(level);
    long const length = image->GetTileLength(level);
    long const across = image->GetTilesAcross(level);
    long const down = image->GetTilesDown(level);
    if (across <= 0 || down <= 0)
      continue;
    // The first and the last tile, and one beyond the grid.
    image->GetTile(0, 0, level, stamp);
    image->GetTile((down - 1) * length, (across - 1) * width, level, stamp);
    image->GetTile(down * length, 0, level, stamp);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  static std::string const path = FuzzInput::PathFor("registry.tif");
  FuzzInput::Write(path, data, size);
  TIFX_KRXFile::SetCallbackFunctions();

  GFIL_FileSpecVector specs{PreviewFixture::SpecFromPath(path)};
  IMPN_Registry registry;
  registry.RegisterFiles(specs, false);
  std::vector<IMPN_Sheet*> made;
  registry.GetAllSheets(made);
  std::vector<std::unique_ptr<IMPN_Sheet>> sheets(made.begin(), made.end());
  for (std::unique_ptr<IMPN_Sheet> const& sheet : sheets) {
    sheet->Init();
    RequestTiles(sheet->GetFrontSurface());
    RequestTiles(sheet->GetBackSurface());
    if (IMPN_ThumbnailImage* thumbnail = sheet->GetFrontSurface().GetThumbnailImage())
      thumbnail->GenerateThumbnailImage(true);
  }
  return 0;
}
