#include "SampleJob.h"

#include <array>
#include <cstdint>
#include <cstdlib>

namespace SampleJob {

const char* const kTitle = "Sample Folder";

namespace {

using PreviewFixture::Edges;
using PreviewFixture::Page;
using PreviewFixture::PreviewFile;

// Four by three tiles at 150 dpi: a sheet of about 13.7 x 10.2 inches that a viewer shows
// whole, with a thumbnail that still shows every shape.
constexpr std::uint32_t kWidth = 2048;
constexpr std::uint32_t kLength = 1536;
constexpr std::uint16_t kThumbnailScale = 8;
constexpr float kResolution = 150;
constexpr std::uint32_t kBleed = 18;
constexpr std::uint32_t kMaxBleed = 30;
constexpr std::uint32_t kTypeInset = 40;

struct Ink {
  const char* name;
  std::uint16_t color;  // the reader's colour code; 0 for a spot ink
};
constexpr std::array<Ink, kInks> kInkList = {
    {{"Cyan", 1}, {"Magenta", 2}, {"Yellow", 3}, {"Black", 4}, {"Spot Orange", 0}}};

// Trim boxes of the two pages of every surface, inclusive edges in image pixels.
constexpr std::array<Edges, 2> kTrims = {{{160, 160, 1375, 991}, {160, 1056, 1375, 1887}}};

Edges Grown(const Edges& e, std::int32_t by) {
  return {e.top - by, e.left - by, e.bottom + by, e.right + by};
}

bool Inside(const Edges& e, std::int64_t x, std::int64_t y) {
  return x >= e.left && x <= e.right && y >= e.top && y <= e.bottom;
}

// A seven-segment digit in a box of w x h at the origin: enough to tell pages apart on screen.
bool DigitBit(int digit, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
  static const std::array<std::uint8_t, 10> kSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                         0x6D, 0x7D, 0x07, 0x7F, 0x6F};
  const std::int64_t t = w / 5;  // stroke
  if (x < 0 || y < 0 || x >= w || y >= h)
    return false;
  const std::uint8_t s = kSegments[static_cast<std::size_t>(digit % 10)];
  const std::int64_t mid = h / 2;
  const bool top = y < t, middle = y >= mid - t / 2 && y < mid + t - t / 2, bottom = y >= h - t;
  const bool left = x < t, right = x >= w - t, upper = y < mid, lower = y >= mid;
  return ((s & 0x01) && top) || ((s & 0x02) && right && upper) || ((s & 0x04) && right && lower) ||
         ((s & 0x08) && bottom) || ((s & 0x10) && left && lower) || ((s & 0x20) && left && upper) ||
         ((s & 0x40) && middle);
}

// What ink `ink` lays down at (x, y) on a page whose trim box is `trim`; the shapes overlap so
// that every blend of the inks shows somewhere.
bool PageBit(int ink, const Edges& trim, int pageNumber, bool front, std::int64_t x,
             std::int64_t y) {
  if (!Inside(Grown(trim, kBleed), x, y))
    return false;
  const std::int64_t w = trim.right - trim.left + 1, h = trim.bottom - trim.top + 1;
  const std::int64_t px = x - trim.left, py = y - trim.top;
  const std::int64_t cx = w / 2, cy = h * 2 / 5;
  const std::int64_t dx = px - cx, dy = py - cy;
  switch (ink) {
    case 0: {  // cyan: a disc on the front, a ring on the back
      const std::int64_t r2 = dx * dx + dy * dy;
      return front ? r2 < 260 * 260 : (r2 < 260 * 260 && r2 > 170 * 170);
    }
    case 1:  // magenta: diagonal stripes over the lower half, into the bleed
      return py > h / 2 && ((px + py) / 24) % 3 == 0;
    case 2:  // yellow: the upper band, into the bleed
      return py < h / 3;
    case 3: {  // black: the page number, a frame inside the type area, lines of "text"
      const Edges type =
          Grown({0, 0, static_cast<std::uint32_t>(h - 1), static_cast<std::uint32_t>(w - 1)},
                -static_cast<std::int32_t>(kTypeInset));
      const bool frame = Inside(type, px, py) && !Inside(Grown(type, -4), px, py);
      const bool number = DigitBit(pageNumber, px - 70, py - 70, 100, 170);
      const bool text = py > h * 3 / 4 && py < h - 80 && px > 80 && px < w - 80 &&
                        (py / 14) % 2 == 0 && ((px / 40) + (py / 28)) % 7 != 0;
      return frame || number || text;
    }
    default: {  // the spot ink: a diamond at the lower right
      const std::int64_t ax = std::llabs(px - (w - 180)), ay = std::llabs(py - (h * 3 / 5));
      return ax + ay < 120;
    }
  }
}

PreviewFile SeparationFile(int sheet, bool front, int ink) {
  PreviewFile file = PreviewFile::Make(kWidth, kLength, kThumbnailScale);
  file.image.xResolution = file.image.yResolution = kResolution;
  file.thumbnail.xResolution = file.thumbnail.yResolution = kResolution / kThumbnailScale;
  file.image.compression = PreviewFixture::Compression::Deflate;
  file.thumbnail.compression = PreviewFixture::Compression::Deflate;

  PreviewFixture::Job& job = file.job;
  job.title = kTitle;
  job.signature = 1;
  job.surface = static_cast<std::uint16_t>((sheet - 1) * 2 + (front ? 0 : 1));
  job.workStyle = 1;  // sheetwise: front and back have plates of their own
  job.inkName = kInkList[static_cast<std::size_t>(ink)].name;
  job.color = kInkList[static_cast<std::size_t>(ink)].color;
  if (job.color == 0)
    job.cmyk = std::array<std::uint16_t, 4>{0, 39321, 65535, 0};  // 0/60/100/0 %
  job.printTime = "2026:12:11 09:30:00";
  job.pressSheet = Edges{32, 32, kLength - 33, kWidth - 33};
  const int firstPage = (sheet - 1) * 4 + (front ? 1 : 3);
  for (std::size_t i = 0; i < kTrims.size(); ++i) {
    Page page;
    page.number = static_cast<std::uint16_t>(firstPage + static_cast<int>(i));
    page.position = kTrims[i];
    page.bleed = Grown(kTrims[i], kBleed);
    page.maxBleed = Grown(kTrims[i], kMaxBleed);
    page.typeSafety = Grown(kTrims[i], -static_cast<std::int32_t>(kTypeInset));
    job.pages.push_back(page);
  }

  const std::vector<Page> pages = job.pages;
  file.image.bits = [ink, front, pages](std::uint32_t x, std::uint32_t y) {
    for (const Page& page : pages) {
      if (PageBit(ink, page.position, page.number, front, x, y))
        return true;
    }
    return false;
  };
  // The thumbnail's grey is the share of inked pixels under it.
  const PreviewFixture::BitSource bits = file.image.bits;
  file.thumbnail.grey = [bits](std::uint32_t x, std::uint32_t y) {
    unsigned inked = 0;
    for (std::uint32_t j = 0; j < kThumbnailScale; ++j) {
      for (std::uint32_t i = 0; i < kThumbnailScale; ++i)
        inked += bits(x * kThumbnailScale + i, y * kThumbnailScale + j) ? 1u : 0u;
    }
    return static_cast<std::uint8_t>(inked * 255u / (kThumbnailScale * kThumbnailScale));
  };
  return file;
}

}  // namespace

std::vector<SampleFile> Files() {
  std::vector<SampleFile> files;
  for (int sheet = 1; sheet <= kSheets; ++sheet) {
    for (bool front : {true, false}) {
      for (int ink = 0; ink < kInks; ++ink) {
        std::string name = "Sample_Sheet" + std::to_string(sheet) + (front ? "_Front_" : "_Back_") +
                           kInkList[static_cast<std::size_t>(ink)].name + ".krx";
        for (char& c : name) {
          if (c == ' ')
            c = '_';
        }
        files.push_back({name, SeparationFile(sheet, front, ink)});
      }
    }
  }
  return files;
}

std::vector<std::string> WriteAll(const std::string& folder) {
  std::vector<std::string> paths;
  for (const SampleFile& f : Files()) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
      path += '/';
    path += f.name;
    PreviewFixture::Write(path, f.file);
    paths.push_back(path);
  }
  return paths;
}

}  // namespace SampleJob
