// Real sheets for the view tests, made from preview files written under the test's temporary
// folder. The view takes its own reference; the tests hold none.
#pragma once

#include "IMPN/IMPN_Sheet.h"
#include "PreviewFileWriter.h"

#include <cstdint>
#include <optional>
#include <string>

namespace TestSheets {
struct Layout {
  std::uint32_t width = 1200;
  std::uint32_t length = 700;
  int frontPlates = 1;
  int backPlates = 0;
  std::uint16_t workStyle = 1;    // with orientation 0: the back mirrored left to right
  std::uint16_t orientation = 0;  // 0 up, 1 down, 2 left, 3 right
  std::optional<PreviewFixture::Edges> pressSheet;
  std::string title = "Job";
  std::uint16_t signature = 1;
};

// A new sheet of the layout; null when the files could not be made into one.
IMPN_Sheet* Make(Layout const& layout);
}  // namespace TestSheets
