// A small job of preview files for trying the programs out and for the screen tests: one
// signature of two sheetwise sheets, front and back, each surface with the four process inks and
// one spot ink, two pages a surface.
#pragma once

#include "PreviewFileWriter.h"

#include <string>
#include <vector>

namespace SampleJob {

struct SampleFile {
  std::string name;  // file name, extension included
  PreviewFixture::PreviewFile file;
};

constexpr int kSheets = 2;
constexpr int kInks = 5;
extern const char* const kTitle;

// Every file of the job, sheet by sheet, front before back, inks in lay-down order.
std::vector<SampleFile> Files();

// Writes every file into folder (which must exist) and returns their paths. Throws
// std::runtime_error when a file cannot be written.
std::vector<std::string> WriteAll(const std::string& folder);

}  // namespace SampleJob
