#include <CoreFoundation/CFBase.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

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
    delete this;
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
