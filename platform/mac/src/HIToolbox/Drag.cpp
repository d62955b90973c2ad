// Drag Manager of the Mac stand-in (see HIToolbox/Drag.h).
#include <HIToolbox/Drag.h>

#include "../Files/iStandInFiles.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <vector>

struct OpaqueDragRef {
  struct Item {
    DragItemRef reference;
    std::map<FlavorType, std::vector<UInt8>> flavors;
  };
  std::vector<Item> items;

  Item* Find(DragItemRef reference) {
    auto found = std::find_if(items.begin(), items.end(),
                              [&](const Item& item) { return item.reference == reference; });
    return found == items.end() ? nullptr : &*found;
  }
};

namespace {

using standin_files::EnterCall;

struct DragState {
  std::mutex mutex;
  std::set<DragRef> drags;
};

DragState& TheState() {
  static DragState* state = new DragState;  // never destroyed: drags may go in static destructors
  return *state;
}

using Lock = std::lock_guard<std::mutex>;

bool Known(DragRef drag) {
  return TheState().drags.count(drag) != 0;
}

// Finds the flavour's bytes or says why not.
OSErr FindFlavor(DragRef drag, DragItemRef itemRef, FlavorType type,
                 const std::vector<UInt8>** bytes) {
  if (!Known(drag))
    return badDragRefErr;
  OpaqueDragRef::Item* item = drag->Find(itemRef);
  if (item == nullptr)
    return badDragItemErr;
  auto found = item->flavors.find(type);
  if (found == item->flavors.end())
    return badDragFlavorErr;
  *bytes = &found->second;
  return noErr;
}

}  // namespace

OSErr NewDrag(DragRef* theDrag) {
  if (OSErr err = EnterCall("NewDrag"))
    return err;
  if (theDrag == nullptr)
    return paramErr;
  Lock lock(TheState().mutex);
  *theDrag = new OpaqueDragRef;
  TheState().drags.insert(*theDrag);
  return noErr;
}

OSErr DisposeDrag(DragRef theDrag) {
  if (OSErr err = EnterCall("DisposeDrag"))
    return err;
  Lock lock(TheState().mutex);
  if (TheState().drags.erase(theDrag) == 0)
    return badDragRefErr;
  delete theDrag;
  return noErr;
}

OSErr AddDragItemFlavor(DragRef theDrag, DragItemRef theItemRef, FlavorType theType,
                        const void* dataPtr, Size dataSize, FlavorFlags) {
  if (OSErr err = EnterCall("AddDragItemFlavor"))
    return err;
  if (dataSize < 0 || (dataSize > 0 && dataPtr == nullptr))
    return paramErr;
  Lock lock(TheState().mutex);
  if (!Known(theDrag))
    return badDragRefErr;
  OpaqueDragRef::Item* item = theDrag->Find(theItemRef);
  if (item == nullptr) {
    theDrag->items.push_back(OpaqueDragRef::Item{theItemRef, {}});
    item = &theDrag->items.back();
  }
  if (item->flavors.count(theType))
    return duplicateFlavorErr;
  const auto* begin = static_cast<const UInt8*>(dataPtr);
  item->flavors[theType] =
      dataSize > 0 ? std::vector<UInt8>(begin, begin + dataSize) : std::vector<UInt8>();
  return noErr;
}

OSErr CountDragItems(DragRef theDrag, UInt16* numItems) {
  if (OSErr err = EnterCall("CountDragItems"))
    return err;
  Lock lock(TheState().mutex);
  if (!Known(theDrag))
    return badDragRefErr;
  if (numItems == nullptr)
    return paramErr;
  *numItems = static_cast<UInt16>(theDrag->items.size());
  return noErr;
}

OSErr GetDragItemReferenceNumber(DragRef theDrag, UInt16 index, DragItemRef* theItemRef) {
  if (OSErr err = EnterCall("GetDragItemReferenceNumber"))
    return err;
  Lock lock(TheState().mutex);
  if (!Known(theDrag))
    return badDragRefErr;
  if (theItemRef == nullptr)
    return paramErr;
  if (index < 1 || index > theDrag->items.size())
    return badDragItemErr;
  *theItemRef = theDrag->items[index - 1u].reference;
  return noErr;
}

OSErr GetFlavorDataSize(DragRef theDrag, DragItemRef theItemRef, FlavorType theType,
                        Size* dataSize) {
  if (OSErr err = EnterCall("GetFlavorDataSize"))
    return err;
  if (dataSize == nullptr)
    return paramErr;
  Lock lock(TheState().mutex);
  const std::vector<UInt8>* bytes = nullptr;
  if (OSErr err = FindFlavor(theDrag, theItemRef, theType, &bytes))
    return err;
  *dataSize = static_cast<Size>(bytes->size());
  return noErr;
}

OSErr GetFlavorData(DragRef theDrag, DragItemRef theItemRef, FlavorType theType, void* dataPtr,
                    Size* dataSize, UInt32 dataOffset) {
  if (OSErr err = EnterCall("GetFlavorData"))
    return err;
  if (dataSize == nullptr || *dataSize < 0 || (*dataSize > 0 && dataPtr == nullptr))
    return paramErr;
  Lock lock(TheState().mutex);
  const std::vector<UInt8>* bytes = nullptr;
  if (OSErr err = FindFlavor(theDrag, theItemRef, theType, &bytes))
    return err;
  std::size_t offset = std::min<std::size_t>(dataOffset, bytes->size());
  std::size_t count = std::min(bytes->size() - offset, static_cast<std::size_t>(*dataSize));
  if (count > 0)
    std::memcpy(dataPtr, bytes->data() + offset, count);
  *dataSize = static_cast<Size>(count);
  return noErr;
}

long StandIn_DragLiveCount() {
  Lock lock(TheState().mutex);
  return static_cast<long>(TheState().drags.size());
}
