#include "UMAC/UMAC_CFArray.h"

#include "UMAC/UMAC_CFToken.h"
#include "UMAC/UMAC_Exception.h"
#include "UMAC/iUMAC_CFDeepAccess.h"

#include "GLIB/GLIB_StringUtils.h"

namespace {

constexpr std::uint32_t kIndexError = 1436018;

[[noreturn]] void ThrowNotBeginningWithIndex(const GLIB_WString& path) {
  UMAC_ThrowPathError("Path for UMAC_CFArray::GetDeepValue() must begin with [n]", path, __FILE__,
                      __LINE__);
}

}  // namespace

UMAC_CFArray::UMAC_CFArray(CFArrayRef array, UMAC_CFOwnershipType ownership)
    : UMAC_CFType(array, ownership),
      m_IsMutable(false) {}

CFIndex UMAC_CFArray::Size() const {
  return CFArrayGetCount(AsArray());
}

void UMAC_CFArray::MakeMutable() {
  if (m_IsMutable)
    return;
  CFMutableArrayRef copy = CFArrayCreateMutableCopy(kCFAllocatorDefault, 0, AsArray());
  if (copy == nullptr)
    throw GLIB_BadAllocException(0, __FILE__, __LINE__);
  ReplaceWithOwnedCopy(copy);
  m_IsMutable = true;
}

CFTypeRef UMAC_CFArray::GetValueAtIndex(int index) const {
  if (index < 0 || index >= Size())
    throw UMAC_Exception(kIndexError, "Index out of range for UMAC_CFArrayBase::Get()", __FILE__,
                         __LINE__);
  return static_cast<CFTypeRef>(CFArrayGetValueAtIndex(AsArray(), index));
}

void UMAC_CFArray::PutValueAtIndex(CFTypeRef value, int index) {
  if (index < 0 || index >= Size())
    throw UMAC_Exception(kIndexError, "Index out of range for UMAC_CFMutableArray::Get()", __FILE__,
                         __LINE__);
  MakeMutable();
  CFArraySetValueAtIndex(const_cast<CFMutableArrayRef>(AsArray()), index, value);
}

CFTypeRef UMAC_CFArray::GetParsedValue(GLIB_WString* path, int* index) const {
  const GLIB_WString whole = *path;
  if (UMAC_NextCFToken(*path).m_Kind != kUMAC_CFTokenOpenBracket)
    ThrowNotBeginningWithIndex(whole);
  const UMAC_CFToken number = UMAC_NextCFToken(*path);
  if (number.m_Kind != kUMAC_CFTokenIndex ||
      UMAC_NextCFToken(*path).m_Kind != kUMAC_CFTokenCloseBracket)
    ThrowNotBeginningWithIndex(whole);
  if (!number.IsUsableIndex())
    UMAC_ThrowPathError("Index in path is out of range", whole, __FILE__, __LINE__);
  if (index != nullptr)
    *index = number.m_Value;
  return GetValueAtIndex(number.m_Value);
}

CFTypeRef UMAC_CFArray::GetDeepValue(const GLIB_WString& path) const {
  const GLIB_WString trimmed = GLIB_TrimWhitespace(path);
  GLIB_WString rest = trimmed;
  CFTypeRef element = GetParsedValue(&rest, nullptr);
  if (rest.empty())
    return element;
  return iUMAC_GetDeepValueIn(element, rest, trimmed);
}

void UMAC_CFArray::SetDeepValue(const GLIB_WString& path, CFTypeRef value) {
  MakeMutable();
  const GLIB_WString trimmed = GLIB_TrimWhitespace(path);
  GLIB_WString rest = trimmed;
  int index = 0;
  CFTypeRef element = GetParsedValue(&rest, &index);
  if (rest.empty()) {
    PutValueAtIndex(value, index);
    return;
  }
  // Everything below is changed in copies; this array changes only once they are whole.
  const std::unique_ptr<UMAC_CFType> copy = iUMAC_CopyWithDeepValue(element, rest, value, trimmed);
  PutValueAtIndex(copy->Get(), index);
}
