// Preview files for the job-tree tests, written under the test process's temporary folder.
#pragma once

#include "GFIL/GFIL_FileSpec.h"
#include "IMPN/IMPN_Surface.h"
#include "PreviewFileWriter.h"
#include "TIFX/TIFX_KRXFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace JobTreeFiles {
// A valid 512 x 512 separation with a 1 : 8 thumbnail of the given job.
PreviewFixture::PreviewFile SmallFile(std::string const& title = "Job", std::uint16_t surface = 0,
                                      std::string const& ink = "Black", std::uint16_t color = 4);

// Writes the file under name and returns its spec.
GFIL_FileSpec Write(std::string const& name, PreviewFixture::PreviewFile const& file);
// Writes the file under name and returns it opened.
std::unique_ptr<TIFX_KRXFile> WriteAndOpen(std::string const& name,
                                           PreviewFixture::PreviewFile const& file);

// The ink names of the surface's separations, in lay-down order.
std::vector<std::string> InkNames(IMPN_Surface const& surface);
}  // namespace JobTreeFiles
