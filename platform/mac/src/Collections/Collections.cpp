// Collection Manager of the Mac stand-in (see CoreServices/Collections.h).
#include <CoreServices/Collections.h>

#include "../Files/iStandInFiles.h"

#include <atomic>

struct OpaqueCollection {
  SInt32 owners = 1;
};

namespace {
std::atomic<long> g_liveCollections{0};
}

Collection NewCollection(void) {
  if (standin_files::EnterCall("NewCollection"))
    return nullptr;
  ++g_liveCollections;
  return new OpaqueCollection;
}

void DisposeCollection(Collection c) {
  standin_files::EnterCall("DisposeCollection");
  if (c && --c->owners == 0) {
    delete c;
    --g_liveCollections;
  }
}

SInt32 CountCollectionOwners(Collection c) {
  standin_files::EnterCall("CountCollectionOwners");
  return c ? c->owners : 0;
}

long StandIn_CollectionLiveCount() {
  return g_liveCollections.load();
}
