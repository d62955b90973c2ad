// The file spec of a path that a fixture wrote, such as PreviewFixture::TempFilePath gives.
#pragma once

#include "GFIL/GFIL_FileSpec.h"
#include "GFIL/GFIL_Utils.h"

#include <string>

namespace PreviewFixture {

// path: UTF-8.
inline GFIL_FileSpec SpecFromPath(std::string const& path) {
  return GFIL_SpecFromUTF8Path(path);
}

}  // namespace PreviewFixture
