// Compositing speed on a large halftoned surface: 8 plates of 24576 x 16384 pixels, every tile
// mixed, half of them PackBits and half Deflate. The preview files are generated once into a
// folder beside the executable and reused by later runs.
#include "IMPN/IMPN_Ink.h"
#include "IMPN/IMPN_Separation.h"
#include "IMPN/IMPN_TileBudget.h"
#include "IMPN/IMPN_TiledImage.h"
#include "TIFX/TIFX_KRXFile.h"
#include "SheetFixture.h"
#include "SpecFromPath.h"

#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {
std::uint32_t const kWidth = 24576;
std::uint32_t const kLength = 16384;
int const kPlates = 8;
std::uint32_t const kCell = 16;  // halftone cell: 150 lpi at 2400 dpi

std::filesystem::path CacheFolder() {
  std::error_code error;
  std::filesystem::path const exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return (error ? std::filesystem::current_path() : exe.parent_path()) / "imaging-bench-cache";
}

// One 512 x 512 1-bit tile of round dots of the given coverage (0 to 15 of 16) on a screen
// turned by the plate's angle, as halftoned plates are, so that rows do not repeat.
std::vector<std::uint8_t> DotTile(int coverage, int plate) {
  double const angles[] = {15, 75, 0, 45};
  double const a = angles[plate % 4] * 3.14159265358979 / 180;
  double const ca = std::cos(a);
  double const sa = std::sin(a);
  std::vector<std::uint8_t> tile(SheetFixture::kTile / 8 * SheetFixture::kTile, 0);
  double const radius = std::sqrt((coverage + 0.5) / 16.0 * kCell * kCell / 3.14159);
  for (std::uint32_t y = 0; y < SheetFixture::kTile; ++y)
    for (std::uint32_t x = 0; x < SheetFixture::kTile; ++x) {
      double const u = (x + plate * 3) * ca + (y + plate * 5) * sa;
      double const v = (y + plate * 5) * ca - (x + plate * 3) * sa;
      double const du = u - kCell * std::floor(u / kCell) - kCell / 2.0;
      double const dv = v - kCell * std::floor(v / kCell) - kCell / 2.0;
      if (du * du + dv * dv < radius * radius)
        tile[y * (SheetFixture::kTile / 8) + x / 8] |= std::uint8_t(0x80u >> (x % 8));
    }
  return tile;
}

std::string PlatePath(int plate) {
  return (CacheFolder() / ("screened-plate" + std::to_string(plate) + ".tif")).string();
}

void MakePlate(int plate) {
  std::vector<std::vector<std::uint8_t>> dots;
  for (int coverage = 0; coverage < 16; ++coverage)
    dots.push_back(DotTile(coverage, plate));
  PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(kWidth, kLength, 64);
  file.image.compression =
      plate % 2 ? PreviewFixture::Compression::Deflate : PreviewFixture::Compression::PackBits;
  file.job.inkName = "Plate " + std::to_string(plate + 1);
  file.job.color = 0;
  file.job.opacity = std::vector<std::uint16_t>{std::uint16_t(plate == 3 ? 100 : 0)};
  file.image.tiles = [&dots, plate](std::uint32_t left, std::uint32_t top, std::uint8_t* tile,
                                    std::uint32_t rowBytes) {
    // Coverage drifts across the sheet as in a picture, different for each plate.
    std::uint32_t const c = (left / 512 * 3 + top / 512 * 5 + std::uint32_t(plate) * 7) % 15 + 1;
    std::vector<std::uint8_t> const& source = dots[c];
    for (std::uint32_t y = 0; y < SheetFixture::kTile; ++y)
      std::memcpy(tile + y * rowBytes, source.data() + y * (SheetFixture::kTile / 8),
                  SheetFixture::kTile / 8);
  };
  file.thumbnail.grey = [](std::uint32_t, std::uint32_t) { return std::uint8_t(128); };
  PreviewFixture::Write(PlatePath(plate), file);
}

// The plates, written when the cache folder does not hold them yet.
struct Plates : SheetFixture::Surface {
  Plates() {
    std::filesystem::create_directories(CacheFolder());
    for (int plate = 0; plate < kPlates; ++plate) {
      if (!std::filesystem::exists(PlatePath(plate)))
        MakePlate(plate);
      Open(PlatePath(plate))
          .SetInk(IMPN_Ink(
              IMPN_RGBColor8(std::uint8_t(40 * plate), std::uint8_t(255 - 30 * plate), 200), 90));
    }
  }
};

Plates& ThePlates() {
  static Plates plates;
  return plates;
}

// The argument of the surface benchmarks: how many threads build tiles, 0 for every core.
void UseWorkers(IMPN_TiledImage& image, benchmark::State const& state) {
  if (state.range(0) > 0)
    image.SetWorkerCount(static_cast<unsigned>(state.range(0)));
}

void EveryTileDecoded(benchmark::State& state) {
  std::vector<std::uint8_t> buffer(SheetFixture::kTile / 8 * SheetFixture::kTile);
  ThePlates();
  for (auto _ : state)
    for (int plate = 0; plate < kPlates; ++plate) {
      TIFF* tif = TIFFOpen(PlatePath(plate).c_str(), "r");
      for (std::uint32_t top = 0; top < kLength; top += SheetFixture::kTile)
        for (std::uint32_t left = 0; left < kWidth; left += SheetFixture::kTile)
          benchmark::DoNotOptimize(TIFFReadTile(tif, buffer.data(), left, top, 0, 0));
      TIFFClose(tif);
    }
}

// The same decode through the program's own file access (the preview-file reader's handle,
// which reads through the platform's file calls rather than a memory map): the floor the
// compositing actually stands on.
void EveryTileDecodedThroughReader(benchmark::State& state) {
  std::vector<std::uint8_t> buffer(SheetFixture::kTile / 8 * SheetFixture::kTile);
  ThePlates();
  for (auto _ : state)
    for (int plate = 0; plate < kPlates; ++plate) {
      TIFX_KRXFile file(PreviewFixture::SpecFromPath(PlatePath(plate)));
      file.Open();
      for (std::uint32_t top = 0; top < kLength; top += SheetFixture::kTile)
        for (std::uint32_t left = 0; left < kWidth; left += SheetFixture::kTile)
          benchmark::DoNotOptimize(
              TIFFReadTile(file.GetTIFFHandle(), buffer.data(), left, top, 0, 0));
    }
}

// The whole surface at 1:512 from a fresh cache: the pyramid of every reduced level.
void WholeSurfaceAtOneTo512(benchmark::State& state) {
  Plates& plates = ThePlates();
  IMPN_TiledImage image(plates.separations, plates.colour);
  UseWorkers(image, state);
  for (auto _ : state) {
    state.PauseTiming();
    image.ResetCache();
    state.ResumeTiming();
    long const stamp = plates.Stamp();
    for (long top = 0; top < image.GetScaledLength(kIMPN_ZoomLevel1to512); top += 64)
      for (long left = 0; left < image.GetScaledWidth(kIMPN_ZoomLevel1to512); left += 64)
        benchmark::DoNotOptimize(image.GetTile(top, left, kIMPN_ZoomLevel1to512, stamp));
  }
}

// The same after one plate is shown or hidden.
void WholeSurfaceAfterVisibilityChange(benchmark::State& state) {
  Plates& plates = ThePlates();
  IMPN_TiledImage image(plates.separations, plates.colour);
  UseWorkers(image, state);
  image.GetTile(0, 0, kIMPN_ZoomLevel1to512, plates.Stamp());
  for (auto _ : state) {
    IMPN_Separation* plate = plates.separations[2];
    plate->SetVisible(!plate->IsVisible());
    benchmark::DoNotOptimize(image.GetTile(0, 0, kIMPN_ZoomLevel1to512, plates.Stamp()));
  }
  plates.separations[2]->SetVisible(true);
}

// A 2048 x 1536 view at 1:1.
long ViewAtOneToOne(IMPN_TiledImage& image, long stamp) {
  long bytes = 0;
  for (long top = 0; top < 1536; top += 512)
    for (long left = 4096; left < 4096 + 2048; left += 512)
      bytes += image.GetTile(top, left, kIMPN_ZoomLevel1to1, stamp)->rowBytes;
  return bytes;
}

void ViewAtOneToOneFresh(benchmark::State& state) {
  Plates& plates = ThePlates();
  IMPN_TiledImage image(plates.separations, plates.colour);
  for (auto _ : state) {
    state.PauseTiming();
    image.ResetCache();
    state.ResumeTiming();
    benchmark::DoNotOptimize(ViewAtOneToOne(image, plates.Stamp()));
  }
}

void ViewAtOneToOneAfterInkChange(benchmark::State& state) {
  Plates& plates = ThePlates();
  IMPN_TiledImage image(plates.separations, plates.colour);
  ViewAtOneToOne(image, plates.Stamp());
  std::uint8_t red = 0;
  for (auto _ : state) {
    plates.separations[5]->SetInk(IMPN_Ink(IMPN_RGBColor8(++red, 20, 30), 80));
    benchmark::DoNotOptimize(ViewAtOneToOne(image, plates.Stamp()));
  }
}

// ---- Walks of a 2048 x 1536 view over the sheet under a tile budget. ----

long const kViewWidth = 2048;
long const kViewLength = 1536;

// A line of /proc/self/status in MiB ("VmRSS", "VmHWM"); 0 where there is none.
double StatusMiB(std::string const& name) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, name.size() + 1, name + ":") == 0)
      return std::stod(line.substr(name.size() + 1)) / 1024.0;
  return 0;
}

// Starts the peak resident size afresh from the present one.
void ResetPeakResident() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

enum Walk {
  kWholeAtOneToOne,
  kWholeAtTwoToOne,
  kStripAtEightToOne
};
enum Budget {
  kUnbounded,
  kDefaultBudget,
  kBudget256MiB
};

IMPN_ZoomLevel WalkLevel(Walk walk) {
  switch (walk) {
    case kWholeAtOneToOne:
      return kIMPN_ZoomLevel1to1;
    case kWholeAtTwoToOne:
      return kIMPN_ZoomLevel2to1;
    default:
      return kIMPN_ZoomLevel8to1;
  }
}

std::size_t BudgetBytes(Budget budget) {
  switch (budget) {
    case kUnbounded:
      return std::numeric_limits<std::size_t>::max();
    case kDefaultBudget:
      return IMPN_TileBudget::DefaultLimit();
    default:
      return std::size_t(256) << 20;
  }
}

// Screen by screen, row by row, as a user pans: the view shows the screen, then asks for its
// tiles. The 8:1 strip is one row of screens through the middle of the sheet. Answers the
// number of screens; peakTiles is the most tile memory held after a screen.
long WalkScreens(IMPN_TiledImage& image, Walk walk, long stamp, std::size_t& peakTiles) {
  IMPN_ZoomLevel const level = WalkLevel(walk);
  long const width = image.GetScaledWidth(level);
  long const length = image.GetScaledLength(level);
  long const tileWidth = image.GetTileWidth(level);
  long const tileLength = image.GetTileLength(level);
  long firstTop = 0;
  long endTop = length;
  if (walk == kStripAtEightToOne) {
    firstTop = length / 2 / kViewLength * kViewLength;
    endTop = firstTop + kViewLength;
  }
  int const view = 0;
  long screens = 0;
  for (long top = firstTop; top < endTop; top += kViewLength)
    for (long left = 0; left < width; left += kViewWidth, ++screens) {
      image.SetVisibleArea(&view, level, IMPN_RectT<long>(top, left, kViewWidth, kViewLength));
      for (long y = top / tileLength * tileLength; y < std::min(top + kViewLength, length);
           y += tileLength)
        for (long x = left / tileWidth * tileWidth; x < std::min(left + kViewWidth, width);
             x += tileWidth)
          benchmark::DoNotOptimize(image.GetTile(y, x, level, stamp));
      peakTiles = std::max(peakTiles, IMPN_TileBudget::Instance().GetUsed());
    }
  image.ForgetVisibleArea(&view);
  return screens;
}

// Once before the first walk: the files in the system's cache and every separation tile's
// state known, as after the sheet has been looked at, so that no walk pays for it alone.
Plates& WarmPlates() {
  static bool warm = false;
  Plates& plates = ThePlates();
  if (!warm) {
    IMPN_TiledImage image(plates.separations, plates.colour);
    std::size_t ignored = 0;
    WalkScreens(image, kWholeAtOneToOne, plates.Stamp(), ignored);
    warm = true;
  }
  return plates;
}

// Arguments: the walk, the budget, and whether the timed walk is the second over the area.
void WalkTheSheet(benchmark::State& state) {
  Walk const walk = static_cast<Walk>(state.range(0));
  Budget const budget = static_cast<Budget>(state.range(1));
  bool const second = state.range(2) != 0;
  Plates& plates = WarmPlates();
  IMPN_TileBudget& tiles = IMPN_TileBudget::Instance();
  std::size_t const limit = tiles.GetLimit();
  tiles.SetLimit(BudgetBytes(budget));
  long const stamp = plates.Stamp();
  double peakResident = 0;
  double baseResident = 0;
  std::size_t peakTiles = 0;
  long screens = 0;
  double walkSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      IMPN_TiledImage image(plates.separations, plates.colour);
      if (second) {
        std::size_t ignored = 0;
        WalkScreens(image, walk, stamp, ignored);
      }
      baseResident = StatusMiB("VmRSS");
      ResetPeakResident();
      state.ResumeTiming();
      auto const start = std::chrono::steady_clock::now();
      screens = WalkScreens(image, walk, stamp, peakTiles);
      walkSeconds +=
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      state.PauseTiming();
      peakResident = std::max(peakResident, StatusMiB("VmHWM"));
    }
    state.ResumeTiming();
  }
  tiles.SetLimit(limit);
  double const iterations = static_cast<double>(state.iterations());
  state.counters["screens"] = static_cast<double>(screens);
  state.counters["ms_per_screen"] =
      walkSeconds * 1000.0 / (static_cast<double>(screens) * iterations);
  state.counters["budget_MiB"] =
      budget == kUnbounded ? 0 : static_cast<double>(BudgetBytes(budget)) / 1048576.0;
  state.counters["peak_tiles_MiB"] = static_cast<double>(peakTiles) / 1048576.0;
  state.counters["peak_rss_MiB"] = peakResident;
  state.counters["rss_before_MiB"] = baseResident;
}

void WalkArguments(benchmark::internal::Benchmark* b) {
  b->ArgNames({"walk", "budget", "second"});
  for (int walk : {kWholeAtOneToOne, kWholeAtTwoToOne, kStripAtEightToOne})
    for (int budget : {kUnbounded, kDefaultBudget, kBudget256MiB})
      for (int second : {0, 1})
        b->Args({walk, budget, second});
}
}  // namespace

// The machine may be busy: the least of a few repetitions is the figure to compare.
double Least(std::vector<double> const& v) {
  return *std::min_element(v.begin(), v.end());
}

#define IMPN_LARGE_BENCHMARK(name, iterations)                                                     \
  BENCHMARK(name)                                                                                  \
      ->Unit(benchmark::kMillisecond)                                                              \
      ->Iterations(iterations)                                                                     \
      ->Repetitions(3)                                                                             \
      ->ComputeStatistics("least", Least)                                                          \
      ->ReportAggregatesOnly(true)

IMPN_LARGE_BENCHMARK(EveryTileDecoded, 2);
IMPN_LARGE_BENCHMARK(EveryTileDecodedThroughReader, 2);
IMPN_LARGE_BENCHMARK(WholeSurfaceAtOneTo512, 2)->ArgName("workers")->Arg(0)->Arg(1)->UseRealTime();
IMPN_LARGE_BENCHMARK(WholeSurfaceAfterVisibilityChange, 2)
    ->ArgName("workers")
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime();
BENCHMARK(ViewAtOneToOneFresh)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)
    ->ComputeStatistics("least", Least)
    ->ReportAggregatesOnly(true);
BENCHMARK(ViewAtOneToOneAfterInkChange)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(3)
    ->ComputeStatistics("least", Least)
    ->ReportAggregatesOnly(true);
// walk: 0 the whole sheet at 1:1, 1 the whole sheet at 2:1, 2 a strip at 8:1; budget: 0 none,
// 1 the default, 2 256 MiB; second: 1 when the timed walk repeats an earlier one.
BENCHMARK(WalkTheSheet)
    ->Apply(WalkArguments)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
