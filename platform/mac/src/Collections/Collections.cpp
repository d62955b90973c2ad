// Collection Manager of the Mac stand-in (see CoreServices/Collections.h).
#include <CoreServices/Collections.h>

#include "../Files/iStandInFiles.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

struct OpaqueCollection {
  SInt32 owners = 1;
  std::map<std::pair<CollectionTag, SInt32>, std::vector<UInt8>> items;
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

OSErr AddCollectionItem(Collection c, CollectionTag tag, SInt32 id, SInt32 itemSize,
                        const void* itemData) {
  if (OSErr err = standin_files::EnterCall("AddCollectionItem"))
    return err;
  if (c == nullptr || itemSize < 0 || (itemSize > 0 && itemData == nullptr))
    return paramErr;
  const auto* bytes = static_cast<const UInt8*>(itemData);
  c->items[{tag, id}].assign(bytes, bytes + itemSize);
  return noErr;
}

OSErr GetTaggedCollectionItem(Collection c, CollectionTag tag, SInt32 id, SInt32* itemSize,
                              void* itemData) {
  if (OSErr err = standin_files::EnterCall("GetTaggedCollectionItem"))
    return err;
  if (c == nullptr || itemSize == nullptr)
    return paramErr;
  auto found = c->items.find({tag, id});
  if (found == c->items.end())
    return collectionItemNotFoundErr;
  const SInt32 size = static_cast<SInt32>(found->second.size());
  if (itemData)
    std::memcpy(itemData, found->second.data(), std::size_t(std::min(size, *itemSize)));
  *itemSize = size;
  return noErr;
}

long StandIn_CollectionLiveCount() {
  return g_liveCollections.load();
}
