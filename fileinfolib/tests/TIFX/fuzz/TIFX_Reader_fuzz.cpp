// Reads a preview file as every part of the viewer does: opens it, runs the preview-file test,
// and in every directory reads the standard tags, the private directory and a few tiles.
#include "FuzzInput.h"
#include "SpecFromPath.h"
#include "TIFX/TIFX_KRXFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

template <class T>
void ReadTag(TIFX_KRXFile& file, std::uint32_t tag) {
  try {
    (void)file.GetTag<T>(tag);
  } catch (TIFX_TagNotFoundException const&) {
  }
}

std::uint32_t TagOrZero(TIFX_KRXFile& file, std::uint32_t tag) {
  try {
    return file.GetTag<std::uint32_t>(tag);
  } catch (TIFX_TagNotFoundException const&) {
    return 0;
  }
}

// The corners and the middle of the directory's image, in a buffer as large as a thumbnail
// tile may be.
void ReadTiles(TIFX_KRXFile& file) {
  static std::vector<std::uint8_t> buffer(512 * 512);
  std::uint32_t const width = TagOrZero(file, kTIFX_TagImageWidth);
  std::uint32_t const length = TagOrZero(file, kTIFX_TagImageLength);
  if (width == 0 || length == 0)
    return;
  for (std::uint32_t y : {std::uint32_t{0}, length / 2, length - 1})
    for (std::uint32_t x : {std::uint32_t{0}, width / 2, width - 1})
      file.ReadTile(buffer.data(), buffer.size(), x, y);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  static std::string const path = FuzzInput::PathFor("reader.tif");
  FuzzInput::Write(path, data, size);
  TIFX_KRXFile::SetCallbackFunctions();

  TIFX_KRXFile file(PreviewFixture::SpecFromPath(path));
  try {
    file.Open();
  } catch (TIFX_Exception const&) {
    return 0;
  }
  (void)file.IsValid();
  for (unsigned short directory = 0; directory < 4; ++directory) {
    if (file.SetDirectory(directory) != 1)
      break;
    for (std::uint32_t tag : {kTIFX_TagNewSubfileType, kTIFX_TagImageWidth, kTIFX_TagImageLength,
                              kTIFX_TagTileWidth, kTIFX_TagTileLength})
      ReadTag<std::uint32_t>(file, tag);
    for (std::uint32_t tag : {kTIFX_TagBitsPerSample, kTIFX_TagCompression, kTIFX_TagPhotometric,
                              kTIFX_TagOrientation, kTIFX_TagPlanarConfig, kTIFX_TagResolutionUnit})
      ReadTag<std::uint16_t>(file, tag);
    ReadTag<float>(file, kTIFX_TagXResolution);
    ReadTag<float>(file, kTIFX_TagYResolution);
    ReadTag<char const*>(file, kTIFX_TagInkNames);
    try {
      (void)file.GetCMYKEquivalent();
    } catch (TIFX_TagNotFoundException const&) {
    }
    ReadTiles(file);
  }
  file.Close();
  return 0;
}
