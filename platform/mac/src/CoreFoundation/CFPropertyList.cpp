#include <CoreFoundation/CFPropertyList.h>

#include "iStandInCFCalls.h"
#include "iStandInPropertyList.h"

using namespace standin_cf;

CFPropertyListRef CFPropertyListCreateFromXMLData(CFAllocatorRef, CFDataRef xmlData,
                                                  CFOptionFlags mutabilityOption,
                                                  CFStringRef* errorString) {
  if (errorString != nullptr)
    *errorString = nullptr;
  if (xmlData == nullptr)
    Crash("CFPropertyListCreateFromXMLData(NULL)");
  if (CallFails("CFPropertyListCreateFromXMLData"))
    return nullptr;
  const UInt8* bytes = CFDataGetBytePtr(xmlData);
  const std::string xml(reinterpret_cast<const char*>(bytes),
                        bytes ? static_cast<std::size_t>(CFDataGetLength(xmlData)) : 0);
  std::unique_ptr<PlistValue> value = ParseXmlPlist(xml);
  if (!value) {
    if (errorString != nullptr)
      *errorString = CFStringCreateWithCString(kCFAllocatorDefault, "Malformed property list",
                                               kCFStringEncodingASCII);
    return nullptr;
  }
  return PlistToCF(*value, mutabilityOption != kCFPropertyListImmutable);
}

CFDataRef CFPropertyListCreateXMLData(CFAllocatorRef, CFPropertyListRef propertyList) {
  if (propertyList == nullptr)
    Crash("CFPropertyListCreateXMLData(NULL)");
  if (CallFails("CFPropertyListCreateXMLData"))
    return nullptr;
  std::unique_ptr<PlistValue> value = PlistFromCF(propertyList);
  if (!value)
    return nullptr;
  const std::string xml = WriteXmlPlist(*value);
  return CFDataCreate(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(xml.data()),
                      static_cast<CFIndex>(xml.size()));
}

CFPropertyListRef CFPropertyListCreateDeepCopy(CFAllocatorRef, CFPropertyListRef propertyList,
                                               CFOptionFlags mutabilityOption) {
  if (propertyList == nullptr)
    Crash("CFPropertyListCreateDeepCopy(NULL)");
  if (CallFails("CFPropertyListCreateDeepCopy"))
    return nullptr;
  std::unique_ptr<PlistValue> value = PlistFromCF(propertyList);
  return value ? PlistToCF(*value, mutabilityOption != kCFPropertyListImmutable) : nullptr;
}
