// Drag Manager of the Mac stand-in: a drag as data only, items (by reference number, in the order
// they were first given a flavour) each holding flavours of bytes. Nothing is tracked on screen.
#pragma once
#include <MacTypes.h>

struct OpaqueDragRef;
typedef OpaqueDragRef* DragRef;
typedef UInt32 DragItemRef;
typedef OSType FlavorType;
typedef UInt32 FlavorFlags;

enum : FlavorFlags {
  flavorSenderOnly = 0x00000001,
  flavorNotSaved = 0x00000004
};

constexpr OSErr badDragRefErr = -1850;
constexpr OSErr badDragItemErr = -1851;
constexpr OSErr badDragFlavorErr = -1852;
constexpr OSErr duplicateFlavorErr = -1853;

OSErr NewDrag(DragRef* theDrag);
OSErr DisposeDrag(DragRef theDrag);
// Adds a flavour to the item (made when new); duplicateFlavorErr when it has that flavour.
OSErr AddDragItemFlavor(DragRef theDrag, DragItemRef theItemRef, FlavorType theType,
                        const void* dataPtr, Size dataSize, FlavorFlags theFlags);
OSErr CountDragItems(DragRef theDrag, UInt16* numItems);
// badDragItemErr for an index outside 1 to the count.
OSErr GetDragItemReferenceNumber(DragRef theDrag, UInt16 index, DragItemRef* theItemRef);
// badDragItemErr for an unknown item, badDragFlavorErr when the item lacks the flavour.
OSErr GetFlavorDataSize(DragRef theDrag, DragItemRef theItemRef, FlavorType theType,
                        Size* dataSize);
// Copies at most *dataSize bytes from dataOffset; *dataSize receives the bytes copied.
OSErr GetFlavorData(DragRef theDrag, DragItemRef theItemRef, FlavorType theType, void* dataPtr,
                    Size* dataSize, UInt32 dataOffset);

// Failure injection by the calls' names (see StandIn_FilesFailNext in CoreServices/Files.h).
// Test hook: drags alive (a leak check).
long StandIn_DragLiveCount();
