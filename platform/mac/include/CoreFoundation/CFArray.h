// CFArray of the stand-in: an ordered list of values, immutable or mutable, whose values are kept
// through callbacks as CF has them (kCFTypeArrayCallBacks retains CF objects, releases them and
// compares them with CFEqual; null callbacks keep plain pointers).
//
// Writing into an immutable array, an index out of bounds or more values than a mutable array's
// capacity (0: no limit) abort with a message, as they crash on the Mac. The creating calls join
// the per-call failure injection (StandIn_CFFailNext, CFBase.h).
#pragma once
#include <CoreFoundation/CFBase.h>

typedef const void* (*CFArrayRetainCallBack)(CFAllocatorRef allocator, const void* value);
typedef void (*CFArrayReleaseCallBack)(CFAllocatorRef allocator, const void* value);
typedef CFStringRef (*CFArrayCopyDescriptionCallBack)(const void* value);
typedef Boolean (*CFArrayEqualCallBack)(const void* value1, const void* value2);

struct CFArrayCallBacks {
  CFIndex version;
  CFArrayRetainCallBack retain;
  CFArrayReleaseCallBack release;
  CFArrayCopyDescriptionCallBack copyDescription;
  CFArrayEqualCallBack equal;
};

extern const CFArrayCallBacks kCFTypeArrayCallBacks;

// The stand-in's array object; its contents are reached only through the calls below.
class StandIn_CFArray : public StandIn_CFObject {
protected:
  explicit StandIn_CFArray(CFTypeID typeID) : StandIn_CFObject(typeID) {}
};
typedef const StandIn_CFArray* CFArrayRef;
typedef StandIn_CFArray* CFMutableArrayRef;

CFTypeID CFArrayGetTypeID();

// callBacks null: values are plain pointers, neither retained nor released.
CFArrayRef CFArrayCreate(CFAllocatorRef allocator, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks);
// An immutable copy with the source's callbacks.
CFArrayRef CFArrayCreateCopy(CFAllocatorRef allocator, CFArrayRef theArray);
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                       const CFArrayCallBacks* callBacks);
// A mutable copy with the source's callbacks; capacity 0 or at least the source's count.
CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity,
                                           CFArrayRef theArray);

CFIndex CFArrayGetCount(CFArrayRef theArray);
// Not retained for the caller.
const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx);
void CFArrayGetValues(CFArrayRef theArray, CFRange range, const void** values);
// Compared with the equal callback (pointer identity without one).
Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value);
CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void* value);

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value);
void CFArrayInsertValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value);
// Retains the new value before it releases the old one; idx == count appends.
void CFArraySetValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value);
void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx);
void CFArrayRemoveAllValues(CFMutableArrayRef theArray);
