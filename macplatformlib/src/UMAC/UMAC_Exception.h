// Errors of the Mac utility layer: GLIB_DerivedException<Tag_UMAC_Exception> with these codes.
#pragma once

#include "GLIB/GLIB_Exception.h"

#include <cstdint>

struct Tag_UMAC_Exception {};
using UMAC_Exception = GLIB_DerivedException<Tag_UMAC_Exception>;

enum UMAC_ErrorCode : std::uint32_t {
  UMAC_ERR_TOOLBOX = 1436015  // a Carbon call failed; its OS error number is the detail parameter
};

// Throws UMAC_ERR_TOOLBOX, "Macintosh Toolbox Error", with osError in decimal as the one detail
// parameter.
[[noreturn]] void UMAC_ThrowToolboxError(long osError, const char* file, int line);

#define UMAC_THROW_TOOLBOX(error)                                                                  \
  UMAC_ThrowToolboxError(static_cast<long>(error), __FILE__, __LINE__)
