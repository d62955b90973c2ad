// CoreFoundation base of the stand-in: CFTypeRef, CFIndex, CFRange, allocators, retain/release.
//
// Every CF object of the stand-in derives from StandIn_CFObject, which carries the retain count
// and the type identifier. Stand-in sources that add a CF type derive their object from it and
// take a type identifier with StandIn_CFRegisterType.
#pragma once
#include <MacTypes.h>

#include <cstddef>
#include <cstdint>
#include <string>

typedef long CFIndex;
typedef unsigned long CFOptionFlags;
typedef unsigned long CFHashCode;
typedef unsigned long CFTypeID;

struct CFRange {
  CFIndex location;
  CFIndex length;
};

inline CFRange CFRangeMake(CFIndex location, CFIndex length) {
  CFRange range = {location, length};
  return range;
}

enum {
  kCFNotFound = -1
};

typedef enum {
  kCFCompareLessThan = -1,
  kCFCompareEqualTo = 0,
  kCFCompareGreaterThan = 1
} CFComparisonResult;

class StandIn_CFObject {
public:
  explicit StandIn_CFObject(CFTypeID typeID);
  virtual ~StandIn_CFObject();
  StandIn_CFObject(const StandIn_CFObject&) = delete;
  StandIn_CFObject& operator=(const StandIn_CFObject&) = delete;

  CFTypeID TypeID() const { return m_TypeID; }
  CFIndex RetainCount() const { return m_RetainCount; }
  void Retain() const;
  // Deletes the object when the last reference goes (never for an immortal object).
  void Release() const;
  // Objects such as constant strings that are never freed (and not counted as alive).
  void MakeImmortal();

  // What CFCopyDescription, CFEqual and CFHash give; by default "<CFType n>" and identity.
  virtual std::u16string Description() const;
  virtual bool Equals(const StandIn_CFObject& other) const;
  virtual CFHashCode Hash() const;

protected:
  // Called once the last reference has gone, before the object is freed, while it is still
  // whole: objects that tell others they go (HIObjects send their destruct event) do it here.
  // What it retains and releases again does not free the object twice.
  virtual void WillFree() const {}

private:
  CFTypeID m_TypeID;
  mutable CFIndex m_RetainCount;
  bool m_Immortal;
};

typedef const StandIn_CFObject* CFTypeRef;

class StandIn_CFAllocator;
typedef const StandIn_CFAllocator* CFAllocatorRef;
// The stand-in has one allocator; all of these stand for it.
extern const CFAllocatorRef kCFAllocatorDefault;
extern const CFAllocatorRef kCFAllocatorSystemDefault;
extern const CFAllocatorRef kCFAllocatorMalloc;
extern const CFAllocatorRef kCFAllocatorNull;

// Releasing or retaining null crashes on the Mac; the stand-in aborts with a message.
CFTypeRef CFRetain(CFTypeRef object);
void CFRelease(CFTypeRef object);
CFIndex CFGetRetainCount(CFTypeRef object);
CFTypeID CFGetTypeID(CFTypeRef object);

class StandIn_CFString;
typedef const StandIn_CFString* CFStringRef;

// Objects of different types are never equal; numbers compare by value, strings by their units,
// containers by their contents. Null crashes.
Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2);
CFHashCode CFHash(CFTypeRef cf);
// A readable text without addresses: a string's own text, a number's decimal value, "true" or
// "false", "<0a1b>" for data, "(a, b)" for an array, "{key = value; }" for a dictionary. Null for
// null. The caller releases it.
CFStringRef CFCopyDescription(CFTypeRef cf);

// Test hooks: a fresh type identifier for a stand-in CF type, and the number of CF objects alive
// (to find leaks).
CFTypeID StandIn_CFRegisterType();
long StandIn_CFLiveObjectCount();

// Per-call failure injection of the CF calls that can fail (those that create an object, copy a
// description, read or write property lists and preferences): the next call of the named function
// fails as it would when memory or the disk fails (null, or false). Naming a call that cannot
// fail aborts. Every such call is counted.
void StandIn_CFFailNext(const char* function);
int StandIn_CFCallCount(const char* function);
// Comparisons of a looked-up key with stored keys made by dictionaries (CFDictionary and the
// property-list and preferences readers) while calls are recorded.
long StandIn_CFKeyProbes();
// Forgets injected failures, call counts and key comparisons, and starts recording calls
// (CoreServices/StandInCalls.h holds the scheme every manager shares).
void StandIn_CFReset();
