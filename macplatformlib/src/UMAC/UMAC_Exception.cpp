#include "UMAC/UMAC_Exception.h"

#include <string>

void UMAC_ThrowToolboxError(long osError, const char* file, int line) {
  GLIB_StringVector const params{std::to_string(osError)};
  throw UMAC_Exception(UMAC_ERR_TOOLBOX, params, "Macintosh Toolbox Error", file, line);
}
