// Errors of the file-system layer: GLIB_DerivedException<Tag_GFIL_Exception> with these codes.
// Where the platform returned an error number, it is the one detail parameter (decimal).
#pragma once

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_String.h"

#include <cstdint>

struct Tag_GFIL_Exception {};
using GFIL_Exception = GLIB_DerivedException<Tag_GFIL_Exception>;

enum GFIL_ErrorCode : std::uint32_t {
  GFIL_ERR_BAD_SPEC = 1158001,        // bad or unconvertible name, invalid spec, unexpected error
  GFIL_ERR_NOT_FOUND = 1158002,       // file not found
  GFIL_ERR_BUSY_OR_LOCKED = 1158003,  // file or disk busy or locked, permission refused
  GFIL_ERR_DISK_FULL = 1158004,       // disk or folder full
  GFIL_ERR_ALREADY_EXISTS = 1158005,  // create without overwrite on an existing file
  GFIL_ERR_CREATE_DIR = 1158006,      // creating a folder failed
  GFIL_ERR_PLATFORM = 1158007         // any other platform error
};

[[noreturn]] void GFIL_Throw(std::uint32_t code, const GLIB_String& message, const char* file,
                             int line);
// Carries the platform's error number as detail parameter 0.
[[noreturn]] void GFIL_ThrowPlatformError(std::uint32_t code, const GLIB_String& message,
                                          long platformError, const char* file, int line);

#define GFIL_THROW(code, message) GFIL_Throw((code), (message), __FILE__, __LINE__)
#define GFIL_THROW_PLATFORM(code, message, error)                                                  \
  GFIL_ThrowPlatformError((code), (message), static_cast<long>(error), __FILE__, __LINE__)
