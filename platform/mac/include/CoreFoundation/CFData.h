// CFData of the stand-in: an immutable run of bytes. CFDataCreate joins the per-call failure
// injection (StandIn_CFFailNext, CFBase.h).
#pragma once
#include <CoreFoundation/CFBase.h>

// The stand-in's data object; its contents are reached only through the calls below.
class StandIn_CFData : public StandIn_CFObject {
protected:
  explicit StandIn_CFData(CFTypeID typeID) : StandIn_CFObject(typeID) {}
};
typedef const StandIn_CFData* CFDataRef;

CFTypeID CFDataGetTypeID();
CFDataRef CFDataCreate(CFAllocatorRef allocator, const UInt8* bytes, CFIndex length);
CFIndex CFDataGetLength(CFDataRef theData);
// The data's own bytes, valid while the data lives (null when it is empty).
const UInt8* CFDataGetBytePtr(CFDataRef theData);
void CFDataGetBytes(CFDataRef theData, CFRange range, UInt8* buffer);
