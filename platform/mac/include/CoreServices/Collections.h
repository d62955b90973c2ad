// Collection Manager of the Mac stand-in: owned collections of items by tag and id.
#pragma once
#include <MacTypes.h>

struct OpaqueCollection;
typedef OpaqueCollection* Collection;
typedef FourCharCode CollectionTag;

constexpr OSErr collectionItemNotFoundErr = -5752;

// Null when the collection cannot be made (failure injection by name "NewCollection", see
// StandIn_FilesFailNext in CoreServices/Files.h).
Collection NewCollection(void);
// Takes away one owner; the collection goes with its last owner.
void DisposeCollection(Collection c);
// Owners of a collection alive; 0 for null.
SInt32 CountCollectionOwners(Collection c);

// Adds or replaces an item. Both join the failure injection by name.
OSErr AddCollectionItem(Collection c, CollectionTag tag, SInt32 id, SInt32 itemSize,
                        const void* itemData);
// Copies at most *itemSize bytes (none when itemData is null) and gives the item's size.
OSErr GetTaggedCollectionItem(Collection c, CollectionTag tag, SInt32 id, SInt32* itemSize,
                              void* itemData);

// Test hook: collections alive (a leak check).
long StandIn_CollectionLiveCount();
