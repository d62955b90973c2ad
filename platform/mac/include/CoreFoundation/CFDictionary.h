// CFDictionary of the stand-in: key-value pairs, immutable or mutable, whose keys and values are
// kept through callbacks as CF has them: kCFTypeDictionaryKeyCallBacks and
// kCFTypeDictionaryValueCallBacks retain CF objects and compare them with CFEqual (keys hashed
// with CFHash); kCFCopyStringDictionaryKeyCallBacks takes a copy of each string key; null
// callbacks keep plain pointers, compared by identity. Pairs keep the order they were added in.
//
// Writing into an immutable dictionary, more pairs than a mutable one's capacity (0: no limit)
// and null keys abort with a message, as they crash on the Mac. The creating calls join the
// per-call failure injection (StandIn_CFFailNext, CFBase.h).
#pragma once
#include <CoreFoundation/CFBase.h>

typedef const void* (*CFDictionaryRetainCallBack)(CFAllocatorRef allocator, const void* value);
typedef void (*CFDictionaryReleaseCallBack)(CFAllocatorRef allocator, const void* value);
typedef CFStringRef (*CFDictionaryCopyDescriptionCallBack)(const void* value);
typedef Boolean (*CFDictionaryEqualCallBack)(const void* value1, const void* value2);
typedef CFHashCode (*CFDictionaryHashCallBack)(const void* value);

struct CFDictionaryKeyCallBacks {
  CFIndex version;
  CFDictionaryRetainCallBack retain;
  CFDictionaryReleaseCallBack release;
  CFDictionaryCopyDescriptionCallBack copyDescription;
  CFDictionaryEqualCallBack equal;
  CFDictionaryHashCallBack hash;
};

struct CFDictionaryValueCallBacks {
  CFIndex version;
  CFDictionaryRetainCallBack retain;
  CFDictionaryReleaseCallBack release;
  CFDictionaryCopyDescriptionCallBack copyDescription;
  CFDictionaryEqualCallBack equal;
};

extern const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks;
extern const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks;
extern const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks;

// The stand-in's dictionary object; its contents are reached only through the calls below.
class StandIn_CFDictionary : public StandIn_CFObject {
protected:
  explicit StandIn_CFDictionary(CFTypeID typeID) : StandIn_CFObject(typeID) {}
};
typedef const StandIn_CFDictionary* CFDictionaryRef;
typedef StandIn_CFDictionary* CFMutableDictionaryRef;

CFTypeID CFDictionaryGetTypeID();

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef allocator, const void** keys, const void** values,
                                   CFIndex numValues, const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks);
// An immutable copy with the source's callbacks.
CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef allocator, CFDictionaryRef theDict);
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef allocator, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks);
// A mutable copy with the source's callbacks; capacity 0 or at least the source's count.
CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef allocator, CFIndex capacity,
                                                     CFDictionaryRef theDict);

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict);
Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key);
// Null when the key is missing; the value is not retained for the caller.
const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key);
Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key, const void** value);
// Fills either array (may be null) with count entries, in the order the pairs were added.
void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values);

// Replaces the value of a present key (retaining the new value before it releases the old) or
// adds the pair.
void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value);
// Adds the pair only when the key is missing.
void CFDictionaryAddValue(CFMutableDictionaryRef theDict, const void* key, const void* value);
// Does nothing when the key is missing.
void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key);
void CFDictionaryRemoveAllValues(CFMutableDictionaryRef theDict);
