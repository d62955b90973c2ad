#include "GFIL/GFIL_Exception.h"

#include <string>

void GFIL_Throw(std::uint32_t code, const GLIB_String& message, const char* file, int line) {
  throw GFIL_Exception(code, message.c_str(), file, line);
}

void GFIL_ThrowPlatformError(std::uint32_t code, const GLIB_String& message, long platformError,
                             const char* file, int line) {
  GLIB_StringVector params;
  params.push_back(GLIB_String(std::to_string(platformError)));
  throw GFIL_Exception(code, params, message.c_str(), file, line);
}
