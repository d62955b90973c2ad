#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>
#include <CoreServices/StandInCalls.h>

#include "../System/iStandInCalls.h"
#include "iStandInCFCalls.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace {

std::atomic<long> g_liveObjects{0};
std::atomic<CFTypeID> g_nextTypeID{1};

[[noreturn]] void Crash(const char* what) {
  std::fprintf(stderr, "CoreFoundation stand-in: %s\n", what);
  std::abort();
}

}  // namespace

class StandIn_CFAllocator {};

namespace {
const StandIn_CFAllocator g_allocator;
}

const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFAllocatorRef kCFAllocatorSystemDefault = &g_allocator;
const CFAllocatorRef kCFAllocatorMalloc = &g_allocator;
const CFAllocatorRef kCFAllocatorNull = &g_allocator;

StandIn_CFObject::StandIn_CFObject(CFTypeID typeID)
    : m_TypeID(typeID),
      m_RetainCount(1),
      m_Immortal(false) {
  ++g_liveObjects;
}

StandIn_CFObject::~StandIn_CFObject() {
  --g_liveObjects;
}

void StandIn_CFObject::MakeImmortal() {
  if (!m_Immortal) {
    m_Immortal = true;
    --g_liveObjects;
  }
}

void StandIn_CFObject::Retain() const {
  if (!m_Immortal) {
    __atomic_add_fetch(&m_RetainCount, 1, __ATOMIC_RELAXED);
  }
}

void StandIn_CFObject::Release() const {
  if (m_Immortal) {
    return;
  }
  if (__atomic_sub_fetch(&m_RetainCount, 1, __ATOMIC_ACQ_REL) == 0) {
    m_RetainCount = 1;
    WillFree();
    if (__atomic_sub_fetch(&m_RetainCount, 1, __ATOMIC_ACQ_REL) == 0) {
      delete this;
    }
  }
}

CFTypeRef CFRetain(CFTypeRef object) {
  if (object == nullptr) {
    Crash("CFRetain(NULL)");
  }
  object->Retain();
  return object;
}

void CFRelease(CFTypeRef object) {
  if (object == nullptr) {
    Crash("CFRelease(NULL)");
  }
  object->Release();
}

CFIndex CFGetRetainCount(CFTypeRef object) {
  if (object == nullptr) {
    Crash("CFGetRetainCount(NULL)");
  }
  return object->RetainCount();
}

CFTypeID CFGetTypeID(CFTypeRef object) {
  if (object == nullptr) {
    Crash("CFGetTypeID(NULL)");
  }
  return object->TypeID();
}

CFTypeID StandIn_CFRegisterType() {
  return g_nextTypeID++;
}

long StandIn_CFLiveObjectCount() {
  return g_liveObjects.load();
}

std::u16string StandIn_CFObject::Description() const {
  const std::string text = "<CFType " + std::to_string(m_TypeID) + ">";
  return std::u16string(text.begin(), text.end());
}

bool StandIn_CFObject::Equals(const StandIn_CFObject& other) const {
  return &other == this;
}

CFHashCode StandIn_CFObject::Hash() const {
  return static_cast<CFHashCode>(reinterpret_cast<std::uintptr_t>(this));
}

Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2) {
  if (cf1 == nullptr || cf2 == nullptr) {
    Crash("CFEqual(NULL)");
  }
  return cf1 == cf2 || cf1->Equals(*cf2);
}

CFHashCode CFHash(CFTypeRef cf) {
  if (cf == nullptr) {
    Crash("CFHash(NULL)");
  }
  return cf->Hash();
}

CFStringRef CFCopyDescription(CFTypeRef cf) {
  if (cf == nullptr || standin_cf::CallFails("CFCopyDescription")) {
    return nullptr;
  }
  return new StandIn_CFString(cf->Description());
}

// --- Per-call failure injection ---------------------------------------------------------------

namespace {

// The calls that can fail; injecting a failure into any other would silently test nothing.
const char* const kFailableCalls[] = {"CFCopyDescription",
                                      "CFArrayCreate",
                                      "CFArrayCreateCopy",
                                      "CFArrayCreateMutable",
                                      "CFArrayCreateMutableCopy",
                                      "CFDictionaryCreate",
                                      "CFDictionaryCreateCopy",
                                      "CFDictionaryCreateMutable",
                                      "CFDictionaryCreateMutableCopy",
                                      "CFDataCreate",
                                      "CFNumberCreate",
                                      "CFPropertyListCreateFromXMLData",
                                      "CFPropertyListCreateXMLData",
                                      "CFPropertyListCreateDeepCopy",
                                      "CFPreferencesCopyAppValue",
                                      "CFPreferencesAppSynchronize",
                                      "CFBundleCopyBundleURL",
                                      "CFBundleCopyBundleLocalizations",
                                      "CFBundleCopyPreferredLocalizationsFromArray",
                                      "CFBundleCopyResourceURL",
                                      "CFBundleCreate",
                                      "CFBundleCopyExecutableURL"};

bool IsFailable(std::string_view function) {
  for (const char* name : kFailableCalls) {
    if (function == name)
      return true;
  }
  return false;
}

}  // namespace

namespace standin_cf {

bool CallFails(const char* function) {
  return standin_calls::Enter(function) != noErr;
}

std::atomic<long> g_KeyProbes{0};

void CountKeyProbe() {
  if (StandIn_RecordingCalls())
    g_KeyProbes.fetch_add(1, std::memory_order_relaxed);
}

void Crash(const char* what) {
  ::Crash(what);
}

}  // namespace standin_cf

void StandIn_CFFailNext(const char* function) {
  if (function == nullptr || !IsFailable(function)) {
    std::fprintf(stderr, "CoreFoundation stand-in: %s cannot fail\n", function ? function : "NULL");
    std::abort();
  }
  StandIn_FailNext(function, -1);
}

int StandIn_CFCallCount(const char* function) {
  return StandIn_CallCount(function);
}

long StandIn_CFKeyProbes() {
  return standin_cf::g_KeyProbes.load();
}

void StandIn_CFReset() {
  StandIn_CallsReset();
  standin_cf::g_KeyProbes.store(0);
}
