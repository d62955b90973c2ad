// Opening a job folder: sorting 100 preview files into the job tree against the least any
// reader must do, opening each file and reading its first two directories with libtiff.
#include "IMPN/IMPN_Registry.h"
#include "TIFX/TIFX_KRXFile.h"

#include "GFIL/GFIL_FileSpec.h"
#include "PreviewFileWriter.h"
#include "SpecFromPath.h"

#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <string>
#include <vector>

namespace {
int const kFileCount = 100;

// A job of 100 plates: 5 signatures, 5 sheets each, front and back, CMYK.
std::vector<std::string> const& JobFolder() {
  static std::vector<std::string> paths;
  if (!paths.empty())
    return paths;
  static char const* const kInks[] = {"Cyan", "Magenta", "Yellow", "Black"};
  for (int i = 0; i < kFileCount; ++i) {
    PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(8192, 6144, 16);
    file.image.compression = PreviewFixture::Compression::PackBits;
    file.thumbnail.compression = PreviewFixture::Compression::PackBits;
    file.job.title = "Catalogue 2007";
    file.job.signature = static_cast<std::uint16_t>(i / 20 + 1);
    file.job.surface = static_cast<std::uint16_t>((i / 4) % 10);
    file.job.inkName = kInks[i % 4];
    file.job.color = static_cast<std::uint16_t>(i % 4 + 1);
    file.job.printOrder = static_cast<std::uint16_t>(i % 4 + 1);
    file.job.printTime = "2007:03:14 10:22:05";
    file.job.pressSheet = PreviewFixture::Edges{0, 0, 6143, 8191};
    for (std::uint16_t p = 0; p < 8; ++p) {
      PreviewFixture::Page page;
      page.number = static_cast<std::uint16_t>(p + 1);
      std::uint32_t const left = 100 + (p % 4) * 2000u, top = 100 + (p / 4) * 3000u;
      page.position = {top, left, top + 2800, left + 1900};
      page.bleed = {top - 30, left - 30, top + 2830, left + 1930};
      page.maxBleed = page.bleed;
      page.clipPaths = {{{0, 0}, {1900, 0}, {1900, 2800}, {0, 2800}}};
      file.job.pages.push_back(page);
    }
    file.job.versions = std::vector<std::string>{"EN", "DE", "FR"};
    std::string const path = PreviewFixture::TempFilePath("bench-" + std::to_string(i) + ".tif");
    PreviewFixture::Write(path, file);
    paths.push_back(path);
  }
  return paths;
}

GFIL_FileSpecVector JobFolderSpecs() {
  GFIL_FileSpecVector specs;
  for (std::string const& path : JobFolder())
    specs.push_back(PreviewFixture::SpecFromPath(path));
  return specs;
}

void Silent(char const*, char const*, va_list) {}

// Runs first, before the registry installs its tag extender for the whole process.
void BM_OpenAndReadTwoDirectories(benchmark::State& state) {
  std::vector<std::string> const& paths = JobFolder();
  TIFFSetWarningHandler(Silent);
  for (auto _ : state) {
    int read = 0;
    for (std::string const& path : paths) {
      TIFF* tif = TIFFOpen(path.c_str(), "r");
      if (!tif)
        continue;
      std::uint32_t width = 0;
      TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
      read += TIFFReadDirectory(tif);
      TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
      benchmark::DoNotOptimize(width);
      TIFFClose(tif);
    }
    benchmark::DoNotOptimize(read);
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_OpenAndReadTwoDirectories)->Unit(benchmark::kMillisecond);

// The preview-file reader alone: open and test every file, as any registration must.
void BM_OpenAndValidate(benchmark::State& state) {
  GFIL_FileSpecVector specs = JobFolderSpecs();
  for (auto _ : state) {
    int valid = 0;
    for (GFIL_FileSpec const& spec : specs) {
      TIFX_KRXFile file(spec);
      file.Open();
      valid += file.IsValid();
    }
    benchmark::DoNotOptimize(valid);
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_OpenAndValidate)->Unit(benchmark::kMillisecond);

void BM_RegisterFiles(benchmark::State& state) {
  GFIL_FileSpecVector specs = JobFolderSpecs();
  for (auto _ : state) {
    IMPN_Registry registry;
    int const added = registry.RegisterFiles(specs, true);
    if (added != kFileCount)
      state.SkipWithError("not every file was added");
    benchmark::DoNotOptimize(added);
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_RegisterFiles)->Unit(benchmark::kMillisecond);
}  // namespace
