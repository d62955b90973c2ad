// Property lists of the stand-in: strings, numbers, booleans, data, arrays and dictionaries with
// string keys, in the XML form (UTF-8). The reader refuses anything else, never crashes, and
// reads integers as SInt64 and reals as Float64. The writer sorts dictionary keys. These calls
// join the per-call failure injection (StandIn_CFFailNext, CFBase.h).
#pragma once
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CFString.h>

typedef CFTypeRef CFPropertyListRef;

typedef CFOptionFlags CFPropertyListMutabilityOptions;
enum : CFOptionFlags {
  kCFPropertyListImmutable = 0,
  kCFPropertyListMutableContainers = 1,
  // The stand-in's strings and data are immutable: as kCFPropertyListMutableContainers.
  kCFPropertyListMutableContainersAndLeaves = 2
};

// Null for malformed XML; *errorString (when given) then receives a text the caller releases,
// else null.
CFPropertyListRef CFPropertyListCreateFromXMLData(CFAllocatorRef allocator, CFDataRef xmlData,
                                                  CFOptionFlags mutabilityOption,
                                                  CFStringRef* errorString);
// Null when the object is no property list.
CFDataRef CFPropertyListCreateXMLData(CFAllocatorRef allocator, CFPropertyListRef propertyList);
CFPropertyListRef CFPropertyListCreateDeepCopy(CFAllocatorRef allocator,
                                               CFPropertyListRef propertyList,
                                               CFOptionFlags mutabilityOption);
