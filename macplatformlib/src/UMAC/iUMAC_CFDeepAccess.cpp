#include "UMAC/iUMAC_CFDeepAccess.h"

#include "UMAC/UMAC_CFArray.h"
#include "UMAC/UMAC_CFDictionary.h"
#include "UMAC/UMAC_CFToken.h"

namespace {

[[noreturn]] void ThrowNotAContainer(const GLIB_WString& path) {
  UMAC_ThrowPathError("Non-terminal path component is not a dictionary or array", path, __FILE__,
                      __LINE__);
}

}  // namespace

CFTypeRef iUMAC_GetDeepValueIn(CFTypeRef element, const GLIB_WString& rest,
                               const GLIB_WString& path) {
  const UMAC_CFType holder(element, kUMAC_CFNotOwned);
  if (holder.IsDictionary())
    return UMAC_CFDictionary(holder.AsDictionary(), kUMAC_CFNotOwned).GetDeepValue(rest);
  if (holder.IsArray())
    return UMAC_CFArray(holder.AsArray(), kUMAC_CFNotOwned).GetDeepValue(rest);
  ThrowNotAContainer(path);
}

std::unique_ptr<UMAC_CFType> iUMAC_CopyWithDeepValue(CFTypeRef element, const GLIB_WString& rest,
                                                     CFTypeRef value, const GLIB_WString& path) {
  const UMAC_CFType holder(element, kUMAC_CFNotOwned);
  if (holder.IsDictionary()) {
    auto copy = std::make_unique<UMAC_CFDictionary>(holder.AsDictionary(), kUMAC_CFNotOwned);
    copy->SetDeepValue(rest, value);
    return copy;
  }
  if (holder.IsArray()) {
    auto copy = std::make_unique<UMAC_CFArray>(holder.AsArray(), kUMAC_CFNotOwned);
    copy->SetDeepValue(rest, value);
    return copy;
  }
  ThrowNotAContainer(path);
}
