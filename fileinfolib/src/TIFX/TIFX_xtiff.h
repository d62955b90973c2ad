// The record this reader hangs on each TIFF handle it opens (client info "NoltIFD"): the private
// directory of the current IFD, the library routines it stands in front of, and what the
// library reported for this handle. It belongs to the TIFX_KRXFile that opened the handle and is
// freed when that file closes.
#pragma once

#include "TIFX/TIFX_NoltDirectory.h"

#include <tiffio.h>

#include <cstdint>
#include <string>

struct TIFX_xtiff {
  std::uint32_t Flags = 0;  // bit 0: the print hook is installed for the current directory
  TIFX_NoltDirectory Directory;
  TIFFVSetMethod SavedVSetField = nullptr;
  TIFFVGetMethod SavedVGetField = nullptr;  // kept empty: the library's own stays installed
  TIFFPrintMethod SavedPrintDir = nullptr;
  bool NoltIFDPresent = false;  // tag 34756 was read in the current IFD
  std::string LastErrorMessage;
  std::string LastWarningMessage;
};

enum : std::uint32_t {
  kTIFX_PrintHookInstalled = 1
};

char const* const kTIFX_ClientInfoKey = "NoltIFD";
