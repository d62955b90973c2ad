// The step of a key path that goes into a container element, shared by the dictionary and array
// holders.
#pragma once

#include "UMAC/UMAC_CFType.h"

#include <memory>

// The value at the rest of the path inside the element: a dictionary or an array, else 1436023
// "Non-terminal path component is not a dictionary or array" with the whole path as detail.
CFTypeRef iUMAC_GetDeepValueIn(CFTypeRef element, const GLIB_WString& rest,
                               const GLIB_WString& path);
// A holder owning a changed mutable copy of the element, with the value stored at the rest of
// the path; the element itself is not changed. Throws as iUMAC_GetDeepValueIn.
std::unique_ptr<UMAC_CFType> iUMAC_CopyWithDeepValue(CFTypeRef element, const GLIB_WString& rest,
                                                     CFTypeRef value, const GLIB_WString& path);
