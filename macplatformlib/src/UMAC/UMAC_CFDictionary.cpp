#include "UMAC/UMAC_CFDictionary.h"

#include "UMAC/UMAC_TextUtils.h"

#include "UMAC/UMAC_CFToken.h"
#include "UMAC/UMAC_Exception.h"
#include "UMAC/iUMAC_CFDeepAccess.h"

#include "GLIB/GLIB_StringUtils.h"

#include <vector>

namespace {

constexpr std::uint32_t kMissingKey = 1436019;

// The key as a CFString owned for the length of one call.
UMAC_CFType KeyString(const GLIB_WString& key) {
  CFStringRef text = UMAC_WStringToCFString(key);
  if (text == nullptr)
    throw GLIB_BadAllocException(key.size() * 2, __FILE__, __LINE__);
  return UMAC_CFType(text, kUMAC_CFOwned);
}

[[noreturn]] void ThrowNotBeginningWithKey(const GLIB_WString& path) {
  UMAC_ThrowPathError("ioPath for UMAC_CFDictionary::GetDeepValue() must begin with {foo}", path,
                      __FILE__, __LINE__);
}

CFMutableDictionaryRef NewMutableDictionary() {
  CFMutableDictionaryRef dict =
      CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFCopyStringDictionaryKeyCallBacks,
                                &kCFTypeDictionaryValueCallBacks);
  if (dict == nullptr)
    throw GLIB_BadAllocException(0, __FILE__, __LINE__);
  return dict;
}

}  // namespace

UMAC_CFDictionary::UMAC_CFDictionary()
    : UMAC_CFType(NewMutableDictionary(), kUMAC_CFOwned),
      m_IsMutable(true) {}

UMAC_CFDictionary::UMAC_CFDictionary(CFDictionaryRef dictionary, UMAC_CFOwnershipType ownership)
    : UMAC_CFType(dictionary, ownership),
      m_IsMutable(false) {}

CFIndex UMAC_CFDictionary::Size() const {
  return CFDictionaryGetCount(AsDictionary());
}

bool UMAC_CFDictionary::HasKey(CFStringRef key) const {
  return CFDictionaryContainsKey(AsDictionary(), key);
}

bool UMAC_CFDictionary::HasKey(const GLIB_WString& key) const {
  return HasKey(static_cast<CFStringRef>(KeyString(key).Get()));
}

CFTypeRef UMAC_CFDictionary::GetValue(CFStringRef key) const {
  const void* value = nullptr;
  if (!CFDictionaryGetValueIfPresent(AsDictionary(), key, &value)) {
    const GLIB_String message = "Key \"" + UMAC_CFStringToString(key) + "\" not in dictionary.";
    throw UMAC_Exception(kMissingKey, message.c_str(), __FILE__, __LINE__);
  }
  return static_cast<CFTypeRef>(value);
}

CFTypeRef UMAC_CFDictionary::GetValue(const GLIB_WString& key) const {
  return GetValue(static_cast<CFStringRef>(KeyString(key).Get()));
}

void UMAC_CFDictionary::SetValue(CFStringRef key, CFTypeRef value) {
  CFDictionarySetValue(Mutable(), key, value);
}

void UMAC_CFDictionary::SetValue(const GLIB_WString& key, CFTypeRef value) {
  SetValue(static_cast<CFStringRef>(KeyString(key).Get()), value);
}

void UMAC_CFDictionary::RemoveValue(CFStringRef key) {
  CFDictionaryRemoveValue(Mutable(), key);
}

void UMAC_CFDictionary::RemoveValue(const GLIB_WString& key) {
  RemoveValue(static_cast<CFStringRef>(KeyString(key).Get()));
}

CFArrayRef UMAC_CFDictionary::Keys() const {
  CFDictionaryRef dict = AsDictionary();
  std::vector<const void*> keys(static_cast<std::size_t>(CFDictionaryGetCount(dict)));
  CFDictionaryGetKeysAndValues(dict, keys.data(), nullptr);
  CFArrayRef array = CFArrayCreate(kCFAllocatorDefault, keys.data(),
                                   static_cast<CFIndex>(keys.size()), &kCFTypeArrayCallBacks);
  if (array == nullptr)
    throw GLIB_BadAllocException(keys.size() * sizeof(void*), __FILE__, __LINE__);
  return array;
}

void UMAC_CFDictionary::MakeMutable() {
  if (m_IsMutable)
    return;
  CFMutableDictionaryRef copy =
      CFDictionaryCreateMutableCopy(kCFAllocatorDefault, 0, AsDictionary());
  if (copy == nullptr)
    throw GLIB_BadAllocException(0, __FILE__, __LINE__);
  ReplaceWithOwnedCopy(copy);
  m_IsMutable = true;
}

CFMutableDictionaryRef UMAC_CFDictionary::Mutable() {
  MakeMutable();
  return const_cast<CFMutableDictionaryRef>(AsDictionary());
}

CFTypeRef UMAC_CFDictionary::GetParsedValue(GLIB_WString& path, GLIB_WString* key) const {
  const GLIB_WString whole = path;
  if (UMAC_NextCFToken(path).m_Kind != kUMAC_CFTokenOpenBrace)
    ThrowNotBeginningWithKey(whole);
  UMAC_CFToken token = UMAC_NextCFToken(path);
  if (token.m_Kind != kUMAC_CFTokenKey && token.m_Kind != kUMAC_CFTokenIndex)
    ThrowNotBeginningWithKey(whole);
  // Digits inside a key keep their text, so {File 007} names "File 007".
  GLIB_WString text = token.m_Text;
  for (token = UMAC_NextCFToken(path); token.m_Kind != kUMAC_CFTokenCloseBrace;
       token = UMAC_NextCFToken(path)) {
    if (token.m_Kind == kUMAC_CFTokenBlank)
      text += L' ';
    else if (token.m_Kind == kUMAC_CFTokenKey || token.m_Kind == kUMAC_CFTokenIndex)
      text += token.m_Text;
    else
      ThrowNotBeginningWithKey(whole);
  }
  if (key != nullptr)
    *key = text;
  return GetValue(text);
}

CFTypeRef UMAC_CFDictionary::GetDeepValue(const GLIB_WString& path) const {
  const GLIB_WString trimmed = GLIB_TrimWhitespace(path);
  GLIB_WString rest = trimmed;
  CFTypeRef value = GetParsedValue(rest, nullptr);
  if (rest.empty())
    return value;
  return iUMAC_GetDeepValueIn(value, rest, trimmed);
}

void UMAC_CFDictionary::SetDeepValue(const GLIB_WString& path, CFTypeRef value) {
  const GLIB_WString trimmed = GLIB_TrimWhitespace(path);
  GLIB_WString rest = trimmed;
  GLIB_WString key;
  CFTypeRef present = GetParsedValue(rest, &key);
  if (rest.empty()) {
    SetValue(key, value);
    return;
  }
  // Everything below is changed in copies; this dictionary changes only once they are whole.
  const std::unique_ptr<UMAC_CFType> copy = iUMAC_CopyWithDeepValue(present, rest, value, trimmed);
  SetValue(key, copy->Get());
}
