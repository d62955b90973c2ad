#include "TestSheets.h"

#include "GFIL/GFIL_FileSpec.h"
#include "SpecFromPath.h"

namespace TestSheets {
namespace {
void AddPlates(Layout const& layout, int count, bool front, GFIL_FileSpecVector& specs) {
  static int serial = 0;
  static char const* const kInks[] = {"Cyan", "Magenta", "Yellow", "Black"};
  for (int i = 0; i < count; ++i) {
    PreviewFixture::PreviewFile file =
        PreviewFixture::PreviewFile::Make(layout.width, layout.length, 8);
    file.job.title = layout.title;
    file.job.signature = layout.signature;
    file.job.surface = front ? 0 : 1;
    file.job.workStyle = layout.workStyle;
    file.job.orientation = layout.orientation;
    file.job.pressSheet = layout.pressSheet;
    file.job.inkName = kInks[i % 4];
    file.job.color = static_cast<std::uint16_t>(1 + i % 4);
    file.image.bits = [i](std::uint32_t x, std::uint32_t y) { return (x + y + i) % 7 == 0; };
    std::string const path = PreviewFixture::TempFilePath("m_View" + std::to_string(++serial) +
                                                          (front ? "_front.tif" : "_back.tif"));
    PreviewFixture::Write(path, file);
    specs.push_back(PreviewFixture::SpecFromPath(path));
  }
}
}  // namespace

IMPN_Sheet* Make(Layout const& layout) {
  GFIL_FileSpecVector front;
  GFIL_FileSpecVector back;
  AddPlates(layout, layout.frontPlates, true, front);
  AddPlates(layout, layout.backPlates, false, back);
  return new IMPN_Sheet(front, back);
}
}  // namespace TestSheets
