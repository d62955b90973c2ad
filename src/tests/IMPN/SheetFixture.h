// Generated surfaces for the compositing tests and benchmarks: random 1-bit plates whose 512 x 512
// tiles are blank, full, halftone dots or noise, written as preview files and opened as
// separations. Header-only so that the benchmarks can use it too.
#pragma once

#include "GFIL/GFIL_FileSpec.h"
#include "IMPN/IMPN_Separation.h"
#include "PreviewFileWriter.h"
#include "SpecFromPath.h"
#include "TIFX/TIFX_KRXFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace SheetFixture {
std::uint32_t const kTile = 512;

// One plate, packed eight pixels a byte over whole tiles; bits beyond the image stay clear.
struct Plate {
  std::vector<std::uint8_t> bits;
  std::uint32_t rowBytes = 0;
};

struct Sheet {
  std::uint32_t width = 0;
  std::uint32_t length = 0;
  std::uint32_t gridWidth = 0;
  std::uint32_t gridLength = 0;
  std::vector<Plate> plates;

  bool Bit(std::size_t plate, long x, long y) const {
    if (x < 0 || y < 0 || x >= long(gridWidth) || y >= long(gridLength))
      return false;
    Plate const& p = plates[plate];
    return (p.bits[std::size_t(y) * p.rowBytes + std::size_t(x) / 8] >> (7 - x % 8)) & 1;
  }
};

enum Pattern {
  kBlank,
  kFull,
  kDots,
  kNoise,
  kSparse,
  kPatternCount
};

inline void FillTile(Sheet const& sheet, Plate& plate, std::uint32_t left, std::uint32_t top,
                     Pattern pattern, std::mt19937& random) {
  std::uint32_t const density = random() % 16;
  std::uint32_t const right = std::min(sheet.width, left + kTile);
  std::uint32_t const bottom = std::min(sheet.length, top + kTile);
  for (std::uint32_t y = top; y < bottom; ++y) {
    std::uint8_t* row = plate.bits.data() + std::size_t(y) * plate.rowBytes;
    for (std::uint32_t x = left; x < right; ++x) {
      bool set = false;
      switch (pattern) {
        case kFull:
          set = true;
          break;
        case kDots:
          set = ((x * 7 + y * 11) % 17) < density;
          break;
        case kNoise:
          set = (random() & 1) != 0;
          break;
        case kSparse:
          set = (random() % 4093) == 0;
          break;
        default:
          break;
      }
      if (set)
        row[x / 8] |= std::uint8_t(0x80u >> (x % 8));
    }
  }
}

// mixedOnly: every tile is dots or noise, as a halftoned job is almost everywhere.
inline Sheet MakeRandomSheet(std::uint32_t width, std::uint32_t length, int count,
                             std::uint32_t seed, bool mixedOnly = false) {
  Sheet sheet;
  sheet.width = width;
  sheet.length = length;
  sheet.gridWidth = (width + kTile - 1) / kTile * kTile;
  sheet.gridLength = (length + kTile - 1) / kTile * kTile;
  std::mt19937 random(seed);
  for (int i = 0; i < count; ++i) {
    Plate plate;
    plate.rowBytes = sheet.gridWidth / 8;
    // Made at its size: assign() on the empty vector makes GCC 12 at -O3 see a memset of its
    // null data (-Wnonnull).
    plate.bits = std::vector<std::uint8_t>(std::size_t(plate.rowBytes) * sheet.gridLength);
    for (std::uint32_t top = 0; top < length; top += kTile)
      for (std::uint32_t left = 0; left < width; left += kTile) {
        Pattern pattern =
            mixedOnly ? (random() % 8 ? kDots : kNoise) : Pattern(random() % kPatternCount);
        FillTile(sheet, plate, left, top, pattern, random);
      }
    sheet.plates.push_back(std::move(plate));
  }
  return sheet;
}

inline PreviewFixture::PreviewFile FileFor(Sheet const& sheet, std::size_t plate,
                                           PreviewFixture::Compression compression,
                                           bool transparent) {
  PreviewFixture::PreviewFile file =
      PreviewFixture::PreviewFile::Make(sheet.width, sheet.length, 8);
  file.image.compression = compression;
  file.job.inkName = "Plate " + std::to_string(plate + 1);
  file.job.color = 0;
  file.job.opacity = std::vector<std::uint16_t>{std::uint16_t(transparent ? 0 : 100)};
  Plate const* p = &sheet.plates[plate];
  file.image.tiles = [p](std::uint32_t left, std::uint32_t top, std::uint8_t* tile,
                         std::uint32_t rowBytes) {
    for (std::uint32_t y = 0; y < kTile; ++y)
      std::memcpy(tile + std::size_t(y) * rowBytes,
                  p->bits.data() + std::size_t(top + y) * p->rowBytes + left / 8, kTile / 8);
  };
  file.thumbnail.grey = [](std::uint32_t, std::uint32_t) { return std::uint8_t(0); };
  return file;
}

// The file at path as an initialised separation.
inline std::unique_ptr<IMPN_Separation> OpenSeparation(std::string const& path) {
  TIFX_KRXFile file(PreviewFixture::SpecFromPath(path));
  file.Open();
  auto separation = std::make_unique<IMPN_Separation>(file);
  separation->Init();
  return separation;
}

// Separations opened from preview files, as the compositors are given them: in lay-down order,
// over the surface's colour.
struct Surface {
  std::vector<std::unique_ptr<IMPN_Separation>> owned;
  std::vector<IMPN_Separation*> separations;
  IMPN_RGBColor8 colour = IMPN_RGBColor8(255, 255, 255);

  // Opens the file at path as the next separation, laid down over those before it.
  IMPN_Separation& Open(std::string const& path) {
    owned.push_back(OpenSeparation(path));
    separations.push_back(owned.back().get());
    return *separations.back();
  }

  // The newest stamp of the separations: a request at least this new gets current tiles.
  long Stamp() const {
    long stamp = 0;
    for (IMPN_Separation const* s : separations)
      stamp = std::max(stamp, long(s->GetTimeStamp()));
    return stamp;
  }
};
}  // namespace SheetFixture
