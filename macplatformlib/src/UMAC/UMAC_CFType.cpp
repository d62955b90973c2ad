#include "UMAC/UMAC_CFType.h"

#include "UMAC/UMAC_Exception.h"
#include "UMAC/UMAC_TextUtils.h"

#include <CoreFoundation/CFNumber.h>

#include <vector>

namespace {

constexpr std::uint32_t kConversionError = 1436017;

}  // namespace

UMAC_CFType::UMAC_CFType(CFTypeRef object, UMAC_CFOwnershipType ownership)
    : m_Object(object),
      m_Ownership(ownership) {}

UMAC_CFType::UMAC_CFType(bool value)
    : m_Object(CFRetain(value ? kCFBooleanTrue : kCFBooleanFalse)),
      m_Ownership(kUMAC_CFOwned) {}

UMAC_CFType::~UMAC_CFType() {
  if (m_Object != nullptr && m_Ownership == kUMAC_CFOwned)
    CFRelease(m_Object);
}

void UMAC_CFType::ReplaceWithOwnedCopy(CFTypeRef copy) {
  if (m_Object != nullptr && m_Ownership == kUMAC_CFOwned)
    CFRelease(m_Object);
  m_Object = copy;
  m_Ownership = kUMAC_CFOwned;
}

bool UMAC_CFType::HasType(CFTypeID type) const {
  return m_Object != nullptr && CFGetTypeID(m_Object) == type;
}

bool UMAC_CFType::IsInteger() const {
  if (!HasType(CFNumberGetTypeID()))
    return false;
  auto number = static_cast<CFNumberRef>(m_Object);
  SInt32 value = 0;
  return !CFNumberIsFloatType(number) && CFNumberGetValue(number, kCFNumberSInt32Type, &value);
}

bool UMAC_CFType::IsDouble() const {
  return HasType(CFNumberGetTypeID()) && CFNumberIsFloatType(static_cast<CFNumberRef>(m_Object));
}

bool UMAC_CFType::IsBoolean() const {
  return HasType(CFBooleanGetTypeID());
}

bool UMAC_CFType::IsString() const {
  return HasType(CFStringGetTypeID());
}

bool UMAC_CFType::IsArray() const {
  return HasType(CFArrayGetTypeID());
}

bool UMAC_CFType::IsDictionary() const {
  return HasType(CFDictionaryGetTypeID());
}

void UMAC_CFType::ThrowConversionError(const char* target) const {
  // Null has no description of its own; CF would crash building one.
  GLIB_String description = "(null)";
  if (m_Object != nullptr) {
    CFStringRef text = CFCopyDescription(m_Object);
    description = text ? UMAC_CFStringToString(text) : GLIB_String();
    if (text)
      CFRelease(text);
  }
  const GLIB_String message =
      "Could not convert CFTypeRef with description \"" + description + "\" to " + target;
  throw UMAC_Exception(kConversionError, message.c_str(), __FILE__, __LINE__);
}

std::int32_t UMAC_CFType::AsInteger() const {
  if (!IsInteger())
    ThrowConversionError("integer");
  int value = 0;
  CFNumberGetValue(static_cast<CFNumberRef>(m_Object), kCFNumberIntType, &value);
  return value;
}

double UMAC_CFType::AsDouble() const {
  if (!IsDouble())
    ThrowConversionError("double");
  double value = 0.0;
  CFNumberGetValue(static_cast<CFNumberRef>(m_Object), kCFNumberDoubleType, &value);
  return value;
}

bool UMAC_CFType::AsBoolean() const {
  if (!IsBoolean())
    ThrowConversionError("Boolean");
  return CFBooleanGetValue(static_cast<CFBooleanRef>(m_Object));
}

GLIB_String UMAC_CFType::AsString() const {
  if (!IsString())
    ThrowConversionError("string");
  return UMAC_CFStringToString(static_cast<CFStringRef>(m_Object));
}

CFArrayRef UMAC_CFType::AsArray() const {
  if (!IsArray())
    ThrowConversionError("array");
  return static_cast<CFArrayRef>(m_Object);
}

CFDictionaryRef UMAC_CFType::AsDictionary() const {
  if (!IsDictionary())
    ThrowConversionError("dictionary");
  return static_cast<CFDictionaryRef>(m_Object);
}

CFDictionaryRef UMAC_CFType::CopyAsDictionary() const {
  CFDictionaryRef dict = AsDictionary();
  CFRetain(dict);
  return dict;
}
