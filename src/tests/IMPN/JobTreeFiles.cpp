#include "JobTreeFiles.h"

#include "IMPN/IMPN_Separation.h"
#include "SpecFromPath.h"

namespace JobTreeFiles {
PreviewFixture::PreviewFile SmallFile(std::string const& title, std::uint16_t surface,
                                      std::string const& ink, std::uint16_t color) {
  PreviewFixture::PreviewFile file = PreviewFixture::PreviewFile::Make(512, 512, 8);
  file.job.title = title;
  file.job.surface = surface;
  file.job.inkName = ink;
  file.job.color = color;
  return file;
}

GFIL_FileSpec Write(std::string const& name, PreviewFixture::PreviewFile const& file) {
  std::string const path = PreviewFixture::TempFilePath(name);
  PreviewFixture::Write(path, file);
  return PreviewFixture::SpecFromPath(path);
}

std::unique_ptr<TIFX_KRXFile> WriteAndOpen(std::string const& name,
                                           PreviewFixture::PreviewFile const& file) {
  auto opened = std::make_unique<TIFX_KRXFile>(JobTreeFiles::Write(name, file));
  opened->Open();
  return opened;
}

std::vector<std::string> InkNames(IMPN_Surface const& surface) {
  std::vector<std::string> inks;
  for (IMPN_Separation const* s : surface.GetSeparations())
    inks.push_back(s->GetInkName());
  return inks;
}
}  // namespace JobTreeFiles
