// Drag Manager of the Mac stand-in: a drag as data, items (by reference number, in the order
// they were first given a flavour) each holding flavours of bytes (in the order they were added)
// and bounds, with an optional image (retained until the drag is disposed of).
//
// TrackDrag plays the script's next drop plan (StandIn_ScriptDrag in HIToolbox/StandInScript.h)
// instead of following the mouse: for each view of the plan's path, in order, the view that
// tracks drags (SetControlDragTrackingEnabled in HIToolbox/Controls.h: the view itself, else its
// nearest superview that does) gets kEventControlDragEnter; when a handler sets 'cldg'
// (typeBoolean) to true it then gets kEventControlDragWithin and kEventControlDragLeave, and, on
// the last view of a plan that drops, kEventControlDragReceive. Each event carries the view as
// direct object and the drag ('drag', typeDragRef). TrackDrag answers noErr when a receive answered
// noErr, else userCanceledErr (a cancelled plan, a refused drop, no plan at all). Before playing it
// records what it was given (StandIn_LastTrackedDrag); it never disposes of the region it is given.
// With no plan scripted and a user at a display (StandIn_UserAtDisplay in HIToolbox/StandInInput.h)
// the drag follows the mouse inputs of the current source instead: the view that tracks drags under
// the mouse hears kEventControlDragEnter as the mouse enters it and, while it accepts,
// kEventControlDragWithin at each move and kEventControlDragLeave as the mouse leaves it or is
// released; a release over a view that accepted sends kEventControlDragReceive. Escape cancels.
#pragma once
#include <HIToolbox/Events.h>
#include <HIToolbox/HIView.h>
#include <MacTypes.h>
#include <QD/QuickDraw.h>

#include <vector>

struct OpaqueDragRef;
typedef OpaqueDragRef* DragRef;
typedef UInt32 DragItemRef;
typedef OSType FlavorType;
typedef UInt32 FlavorFlags;
typedef UInt32 DragImageFlags;

enum : FlavorFlags {
  flavorSenderOnly = 0x00000001,
  flavorNotSaved = 0x00000004
};

enum : DragImageFlags {
  kDragStandardTranslucency = 0,
  kDragDarkTranslucency = 1,
  kDragDarkerTranslucency = 2,
  kDragOpaqueTranslucency = 3
};

constexpr OSErr badDragRefErr = -1850;
constexpr OSErr badDragItemErr = -1851;
constexpr OSErr badDragFlavorErr = -1852;
constexpr OSErr duplicateFlavorErr = -1853;
constexpr OSErr dragNotAcceptedErr = -1857;

OSErr NewDrag(DragRef* theDrag);
OSErr DisposeDrag(DragRef theDrag);
// Adds a flavour to the item (made when new); duplicateFlavorErr when it has that flavour.
OSErr AddDragItemFlavor(DragRef theDrag, DragItemRef theItemRef, FlavorType theType,
                        const void* dataPtr, Size dataSize, FlavorFlags theFlags);
OSErr CountDragItems(DragRef theDrag, UInt16* numItems);
// badDragItemErr for an index outside 1 to the count.
OSErr GetDragItemReferenceNumber(DragRef theDrag, UInt16 index, DragItemRef* theItemRef);
OSErr CountDragItemFlavors(DragRef theDrag, DragItemRef theItemRef, UInt16* numFlavors);
// badDragFlavorErr for an index outside 1 to the count.
OSErr GetFlavorType(DragRef theDrag, DragItemRef theItemRef, UInt16 index, FlavorType* theType);
// badDragItemErr for an unknown item, badDragFlavorErr when the item lacks the flavour.
OSErr GetFlavorDataSize(DragRef theDrag, DragItemRef theItemRef, FlavorType theType,
                        Size* dataSize);
// Copies at most *dataSize bytes from dataOffset; *dataSize receives the bytes copied.
OSErr GetFlavorData(DragRef theDrag, DragItemRef theItemRef, FlavorType theType, void* dataPtr,
                    Size* dataSize, UInt32 dataOffset);
// The item's bounds in global coordinates (all zero until set); badDragItemErr for an unknown
// item.
OSErr SetDragItemBounds(DragRef theDrag, DragItemRef theItemRef, const Rect* itemBounds);
OSErr GetDragItemBounds(DragRef theDrag, DragItemRef theItemRef, Rect* itemBounds);
// The drag's image (retained; null removes it), its offset from the mouse and its flags.
OSStatus SetDragImageWithCGImage(DragRef inDrag, CGImageRef inCGImage,
                                 const HIPoint* inImageOffsetPt, DragImageFlags inImageFlags);
OSErr TrackDrag(DragRef theDrag, const EventRecord* theEvent, RgnHandle theRegion);
// Where the drag began (the event's point given to TrackDrag) and where the mouse is: over each
// view of the drop plan in turn, the centre of that view, in global coordinates.
OSErr GetDragOrigin(DragRef theDrag, Point* globalInitialMouse);
OSErr GetDragMouse(DragRef theDrag, Point* mouse, Point* globalPinnedMouse);
// The flags the flavour was added with.
OSErr GetFlavorFlags(DragRef theDrag, DragItemRef theItemRef, FlavorType theType,
                     FlavorFlags* theFlags);

// Failure injection by the calls' names (see CoreServices/StandInCalls.h).
// Test hooks: drags alive (a leak check); what the last TrackDrag was given (recorded only while
// a test records calls, StandIn_RecordCalls; the count always), so that a program's drags never
// copy their image.
long StandIn_DragLiveCount();
struct StandIn_DragFlavorRecord {
  DragItemRef item;
  FlavorType type;
  std::vector<UInt8> data;
  FlavorFlags flags;
};
struct StandIn_TrackedDrag {
  long count;                                     // drags tracked since the process began
  std::vector<StandIn_DragFlavorRecord> flavors;  // items in order, each item's in order
  std::vector<Rect> itemBounds;                   // one per item, in order
  std::vector<Rect> region;                       // the region's rectangles (StandIn_RegionRect)
  EventRecord event;
  bool hasImage;
  std::size_t imageWidth;
  std::size_t imageHeight;
  HIPoint imageOffset;
  DragImageFlags imageFlags;
  std::vector<UInt32> imagePixels;  // premultiplied 0xAARRGGBB, row 0 first
  OSErr result;
  // A pixel of the image (0 outside it).
  UInt32 ImagePixel(std::size_t x, std::size_t y) const {
    return x < imageWidth && y < imageHeight ? imagePixels[y * imageWidth + x] : 0;
  }
};
StandIn_TrackedDrag StandIn_LastTrackedDrag();
// The image of the drag that follows the mouse (see TrackDrag), retained for the caller, and where
// its top left is (global: the mouse plus the image's offset); null when no drag follows the mouse
// or it has no image.
CGImageRef StandIn_CopyFollowedDragImage(HIPoint* topLeft);
