#include "TIFX/TIFX_KRXFile.h"

#include "GFIL/GFIL_Utils.h"

#include <tiffio.h>

tiff* TIFX_KRXFile::OpenHandle(void* openOptions) {
  const GLIB_WString path = GFIL_PlatformPathFromSpec(*this);
  return TIFFOpenWExt(path.c_str(), "r", static_cast<TIFFOpenOptions*>(openOptions));
}
