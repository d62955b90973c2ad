#pragma once
#include "GFIL/GFIL_FileSpec.h"
#include "GLIB/GLIB_Exception.h"
#include "TIFX/TIFX_KRXFile.h"

#include <exception>

// What became of one file handed to the job model.
enum class iIMPN_FileOutcome {
  kUsed,
  kNotAPreviewFile,
  kFailed  // it threw on the way, maybe after use had begun
};

// Opens the file, runs the preview-file test and hands a valid file to use(TIFX_KRXFile&). A
// bad file costs that file only: this system's exceptions (GLIB_Exception) and the standard
// library's (TIFX_Exception among them) end in kFailed.
template <typename Use>
iIMPN_FileOutcome iIMPN_UsePreviewFile(GFIL_FileSpec const& spec, Use use) {
  try {
    TIFX_KRXFile file(spec);
    file.Open();
    if (!file.IsValid())
      return iIMPN_FileOutcome::kNotAPreviewFile;
    use(file);
    return iIMPN_FileOutcome::kUsed;
  } catch (GLIB_Exception const&) {
  } catch (std::exception const&) {
  }
  return iIMPN_FileOutcome::kFailed;
}
