#include "UMAC/UMAC_Exception.h"

#include <string>

void UMAC_Throw(std::uint32_t code, const GLIB_String& message, const char* file, int line) {
  throw UMAC_Exception(code, message.c_str(), file, line);
}

void UMAC_Throw(std::uint32_t code, const GLIB_StringVector& params, const GLIB_String& message,
                const char* file, int line) {
  throw UMAC_Exception(code, params, message.c_str(), file, line);
}

void UMAC_ThrowToolboxError(long error, const char* file, int line) {
  UMAC_Throw(UMAC_ERR_TOOLBOX, GLIB_StringVector{std::to_string(error)}, "Macintosh Toolbox Error",
             file, line);
}
