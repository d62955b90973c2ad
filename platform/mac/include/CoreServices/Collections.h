// Collection Manager of the Mac stand-in: collections only as owned objects (no items yet).
#pragma once
#include <MacTypes.h>

struct OpaqueCollection;
typedef OpaqueCollection* Collection;

// Null when the collection cannot be made (failure injection by name "NewCollection", see
// StandIn_FilesFailNext in CoreServices/Files.h).
Collection NewCollection(void);
// Takes away one owner; the collection goes with its last owner.
void DisposeCollection(Collection c);
// Owners of a collection alive; 0 for null.
SInt32 CountCollectionOwners(Collection c);

// Test hook: collections alive (a leak check).
long StandIn_CollectionLiveCount();
