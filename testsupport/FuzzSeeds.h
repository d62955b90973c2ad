// Seeds for the fuzz targets: the preview files the fixture writer makes, from valid ones to
// the bent ones a reader must survive, written into the folder a seed program is given.
#pragma once

#include "PreviewFileWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace FuzzSeeds {

// Small valid and broken preview files; small so that the fuzzer runs many of them.
inline std::vector<std::pair<std::string, PreviewFixture::PreviewFile>> PreviewFiles() {
  using namespace PreviewFixture;
  std::vector<std::pair<std::string, PreviewFile>> files;
  auto add = [&](std::string const& name, PreviewFile const& file) {
    files.emplace_back(name, file);
  };
  auto dots = [](std::uint32_t x, std::uint32_t y) { return (x * 7 + y * 3) % 11 < 4; };

  PreviewFile plain = PreviewFile::Make(600, 520, 8);
  plain.image.bits = dots;
  plain.thumbnail.grey = [](std::uint32_t x, std::uint32_t y) { return std::uint8_t(x * 3 + y); };
  add("plain", plain);

  PreviewFile big = plain;
  big.byteOrder = ByteOrder::Big;
  big.values = ValuePlacement::AtFileEnd;
  add("big-endian", big);

  PreviewFile direct = plain;
  direct.privateTags = PrivateTags::Direct;
  direct.job.cmyk = std::array<std::uint16_t, 4>{0, 65535, 0, 0};
  direct.job.printOrder = 2;
  direct.job.printTime = "2024:03:01 10:20:30";
  direct.job.versions = std::vector<std::string>{"A", "B"};
  add("direct", direct);

  for (auto [name, compression] :
       {std::pair{"packbits", Compression::PackBits}, std::pair{"lzw", Compression::LZW},
        std::pair{"deflate", Compression::Deflate}, std::pair{"g4", Compression::CCITTG4}}) {
    PreviewFile file = plain;
    file.image.compression = compression;
    add(name, file);
  }

  PreviewFile pages = PreviewFile::Make(1100, 600, 4);
  pages.image.bits = dots;
  pages.job.pressSheet = Edges{0, 0, 599, 1099};
  Page page;
  page.position = Edges{10, 10, 290, 500};
  page.bleed = Edges{5, 5, 295, 505};
  page.maxBleed = page.bleed;
  page.clipPaths = {{Point{10, 10}, Point{500, 10}, Point{500, 290}}};
  page.typeSafety = Edges{20, 20, 280, 490};
  pages.job.pages = {page, page};
  pages.job.opacity = std::vector<std::uint16_t>{50};
  add("pages", pages);

  PreviewFile middle = PreviewFile::Make(520, 520, 8);
  middle.thumbnailAt = ThumbnailAt::Ifd2;
  middle.image.bits = [](std::uint32_t x, std::uint32_t) { return x < 300; };
  add("thumbnail-in-ifd2", middle);

  PreviewFile back = plain;
  back.job.surface = 1;
  back.job.workStyle = 2;
  add("back", back);

  PreviewFile noThumbnail = plain;
  noThumbnail.thumbnailAt = ThumbnailAt::Nowhere;
  add("no-thumbnail", noThumbnail);

  PreviewFile wrongTile = plain;
  wrongTile.image.tileWidth = 256;
  wrongTile.image.tileLength = 256;
  add("wrong-tile", wrongTile);

  PreviewFile lying = plain;
  lying.job.extra = {PrivateEntry::Long(34800, 7)};
  lying.image.embeddedEntryCount = 400;
  add("lying-count", lying);
  return files;
}

// Writes every seed into folder; a file is cut short as well, to start the fuzzer near the
// truncation faults.
inline void WritePreviewSeeds(std::filesystem::path const& folder) {
  std::filesystem::create_directories(folder);
  for (auto const& [name, file] : PreviewFiles()) {
    std::string const path = (folder / (name + ".tif")).string();
    PreviewFixture::Write(path, file);
    if (name == "plain") {
      std::string const cut = (folder / "plain-cut.tif").string();
      std::filesystem::copy_file(path, cut, std::filesystem::copy_options::overwrite_existing);
      PreviewFixture::Truncate(cut, std::filesystem::file_size(path) - 700);
    }
  }
}

}  // namespace FuzzSeeds
