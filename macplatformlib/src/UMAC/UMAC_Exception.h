// Errors of the Mac utility layer: GLIB_DerivedException<Tag_UMAC_Exception> with these codes.
#pragma once

#include "GLIB/GLIB_Exception.h"
#include "GLIB/GLIB_String.h"

#include <cstdint>

struct Tag_UMAC_Exception {};
using UMAC_Exception = GLIB_DerivedException<Tag_UMAC_Exception>;

enum UMAC_ErrorCode : std::uint32_t {
  UMAC_ERR_REGION = 1436009,           // "Unable to create RgnHandle."
  UMAC_ERR_COLLECTION = 1436011,       // "::NewCollection() returned NULL"
  UMAC_ERR_TOOLBOX = 1436015,          // a Carbon call failed; its error number is param 0
  UMAC_ERR_BUNDLE_RESOURCE = 1436016,  // Info.plist or the bundle's resources lack an item
  UMAC_ERR_DESCRIPTOR_TYPE = 1436020,  // an Apple-event descriptor of the wrong type
  UMAC_ERR_DRAGGED_ITEM = 1436021      // a dragged item could not be resolved to a file
};

[[noreturn]] void UMAC_Throw(std::uint32_t code, const GLIB_String& message, const char* file,
                             int line);
[[noreturn]] void UMAC_Throw(std::uint32_t code, const GLIB_StringVector& params,
                             const GLIB_String& message, const char* file, int line);
// Code 1436015, "Macintosh Toolbox Error", the error number in decimal as the one parameter.
[[noreturn]] void UMAC_ThrowToolboxError(long error, const char* file, int line);

#define UMAC_THROW(code, message) UMAC_Throw((code), (message), __FILE__, __LINE__)
#define UMAC_THROW_TOOLBOX(error)                                                                  \
  UMAC_ThrowToolboxError(static_cast<long>(error), __FILE__, __LINE__)
