#include "TIFX/TIFX_KRXFile.h"

#include "GFIL/mac/GFIL_FileSpecMacOS.h"
#include "TIFX/mac/TIFX_MacTIFFAccess.h"

tiff* TIFX_KRXFile::OpenHandle(void* openOptions) {
  const FSRef ref = GFIL_FileSpecMacOS(*this).AsFSRef();
  return TIFFFSRefOpen(&ref, "r", static_cast<TIFFOpenOptions*>(openOptions));
}
