// Drag Manager of the Mac stand-in (see HIToolbox/Drag.h).
#include <HIToolbox/Drag.h>
#include <CoreServices/StandInCalls.h>

#include "iStandInToolbox.h"

#include "../Files/iStandInFiles.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

struct OpaqueDragRef {
  struct Flavor {
    FlavorType type;
    std::vector<UInt8> bytes;
    FlavorFlags flags;
  };
  struct Item {
    DragItemRef reference;
    std::vector<Flavor> flavors;
    Rect bounds{0, 0, 0, 0};

    Flavor* Find(FlavorType type) {
      auto found = std::find_if(flavors.begin(), flavors.end(),
                                [&](const Flavor& flavor) { return flavor.type == type; });
      return found == flavors.end() ? nullptr : &*found;
    }
  };
  std::vector<Item> items;
  CGImageRef image = nullptr;  // one reference
  Point origin{0, 0};          // where the drag began, global
  Point mouse{0, 0};           // where the mouse is while it is tracked, global
  HIPoint imageOffset{0, 0};
  DragImageFlags imageFlags = 0;

  OpaqueDragRef() = default;
  OpaqueDragRef(const OpaqueDragRef&) = delete;
  OpaqueDragRef& operator=(const OpaqueDragRef&) = delete;
  ~OpaqueDragRef() { CGImageRelease(image); }

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
  StandIn_TrackedDrag last{};
  DragRef followed = nullptr;  // the drag that follows the mouse, while it does
};

DragState& TheState() {
  static DragState* state = new DragState;  // never destroyed: drags may go in static destructors
  return *state;
}

using Lock = std::lock_guard<std::mutex>;

bool Known(DragRef drag) {
  return TheState().drags.count(drag) != 0;
}

// Finds the item or says why not.
OSErr FindItem(DragRef drag, DragItemRef itemRef, OpaqueDragRef::Item** item) {
  if (!Known(drag))
    return badDragRefErr;
  *item = drag->Find(itemRef);
  return *item ? OSErr(noErr) : badDragItemErr;
}

// Finds the flavour's bytes or says why not.
OSErr FindFlavor(DragRef drag, DragItemRef itemRef, FlavorType type,
                 const std::vector<UInt8>** bytes) {
  OpaqueDragRef::Item* item = nullptr;
  if (OSErr err = FindItem(drag, itemRef, &item))
    return err;
  OpaqueDragRef::Flavor* flavor = item->Find(type);
  if (flavor == nullptr)
    return badDragFlavorErr;
  *bytes = &flavor->bytes;
  return noErr;
}

// The course every call on one item or flavour takes: the entry checks, the arguments refused
// when not valid, then use under the lock on what was found.
template <class Use>
OSErr WithItem(const char* call, bool argumentsValid, DragRef drag, DragItemRef itemRef, Use use) {
  if (OSErr err = EnterCall(call))
    return err;
  if (!argumentsValid)
    return paramErr;
  Lock lock(TheState().mutex);
  OpaqueDragRef::Item* item = nullptr;
  if (OSErr err = FindItem(drag, itemRef, &item))
    return err;
  return use(*item);
}

template <class Use>
OSErr WithFlavor(const char* call, bool argumentsValid, DragRef drag, DragItemRef itemRef,
                 FlavorType type, Use use) {
  if (OSErr err = EnterCall(call))
    return err;
  if (!argumentsValid)
    return paramErr;
  Lock lock(TheState().mutex);
  const std::vector<UInt8>* bytes = nullptr;
  if (OSErr err = FindFlavor(drag, itemRef, type, &bytes))
    return err;
  return use(*bytes);
}

// What TrackDrag was given, for tests to read.
StandIn_TrackedDrag RecordOf(DragRef drag, const EventRecord* event, RgnHandle region) {
  StandIn_TrackedDrag record{};
  for (const OpaqueDragRef::Item& item : drag->items) {
    for (const OpaqueDragRef::Flavor& flavor : item.flavors)
      record.flavors.push_back(
          StandIn_DragFlavorRecord{item.reference, flavor.type, flavor.bytes, flavor.flags});
    record.itemBounds.push_back(item.bounds);
  }
  for (long i = 0; i < StandIn_RegionRectCount(region); ++i)
    record.region.push_back(StandIn_RegionRect(region, i));
  if (event)
    record.event = *event;
  record.hasImage = drag->image != nullptr;
  if (drag->image) {
    record.imageWidth = CGImageGetWidth(drag->image);
    record.imageHeight = CGImageGetHeight(drag->image);
    for (std::size_t y = 0; y < record.imageHeight; ++y)
      for (std::size_t x = 0; x < record.imageWidth; ++x)
        record.imagePixels.push_back(StandIn_CGImagePixel(drag->image, x, y));
  }
  record.imageOffset = drag->imageOffset;
  record.imageFlags = drag->imageFlags;
  return record;
}

// The view that tracks drags for a point over this view: itself or its nearest superview that
// tracks them; null for none.
HIViewRef TrackingViewFor(HIViewRef view) {
  for (; view; view = HIViewGetSuperview(view)) {
    Boolean tracks = false;
    IsControlDragTrackingEnabled(view, &tracks);
    if (tracks)
      return view;
  }
  return nullptr;
}

// The mouse over a view of a drop plan: the centre of its frame, in global coordinates.
Point GlobalCentreOf(HIViewRef view) {
  HIRect bounds{};
  HIViewGetBounds(view, &bounds);
  HIPoint centre{bounds.origin.x + bounds.size.width / 2, bounds.origin.y + bounds.size.height / 2};
  HIViewConvertPoint(&centre, view, nullptr);  // the window's coordinates: from its structure
  Rect structure{};
  if (WindowRef window = HIViewGetWindow(view))
    GetWindowBounds(window, kWindowStructureRgn, &structure);
  return Point{static_cast<short>(structure.top + centre.y),
               static_cast<short>(structure.left + centre.x)};
}

// Plays a drop plan; answers TrackDrag's result.
OSErr Play(const standin_tb::DropPlan& plan, DragRef drag) {
  OSErr result = userCanceledErr;
  for (std::size_t i = 0; i < plan.path.size(); ++i) {
    HIViewRef view = TrackingViewFor(plan.path[i]);
    if (view == nullptr)
      continue;
    drag->mouse = GlobalCentreOf(plan.path[i]);
    CFRetain(view);  // a handler may let go of it
    Boolean accept = false;
    StandIn_SendControlDragEvent(view, kEventControlDragEnter, drag, &accept);
    if (accept) {
      StandIn_SendControlDragEvent(view, kEventControlDragWithin, drag, nullptr);
      StandIn_SendControlDragEvent(view, kEventControlDragLeave, drag, nullptr);
      if (plan.drop && i + 1 == plan.path.size() &&
          StandIn_SendControlDragEvent(view, kEventControlDragReceive, drag, nullptr) == noErr)
        result = noErr;
    }
    CFRelease(view);
  }
  return result;
}

// One drag among the views that track drags, as the mouse inputs of the current source move it:
// the view it enters hears kEventControlDragEnter, and while it accepts, kEventControlDragWithin
// at each move and kEventControlDragLeave when the mouse leaves it or is released over it; a
// release over a view that accepted sends kEventControlDragReceive. Escape cancels.
OSErr FollowMouse(DragRef drag) {
  {
    Lock lock(TheState().mutex);
    TheState().followed = drag;
  }
  OSErr result = userCanceledErr;
  HIViewRef over = nullptr;  // retained
  bool accepted = false;
  auto leave = [&]() {
    if (over && accepted)
      StandIn_SendControlDragEvent(over, kEventControlDragLeave, drag, nullptr);
    if (over)
      CFRelease(over);
    over = nullptr;
    accepted = false;
  };
  StandIn_Input input;
  while (standin_tb::NextModalInput(input)) {
    if (input.kind == StandIn_InputKind::KeyDown && input.keyCode == kVK_Escape)
      break;
    if (input.kind != StandIn_InputKind::MouseMoved && input.kind != StandIn_InputKind::MouseUp)
      continue;
    const Point mouse{static_cast<short>(input.global.y), static_cast<short>(input.global.x)};
    {
      Lock lock(TheState().mutex);
      drag->mouse = mouse;
    }
    StandIn_SetMouse(mouse);
    HIViewRef now = TrackingViewFor(standin_tb::ViewUnderPoint(input.global));
    if (now != over) {
      leave();
      if (now) {
        over = now;
        CFRetain(over);
        Boolean accept = false;
        StandIn_SendControlDragEvent(over, kEventControlDragEnter, drag, &accept);
        accepted = accept;
      }
    } else if (over && accepted) {
      StandIn_SendControlDragEvent(over, kEventControlDragWithin, drag, nullptr);
    }
    if (input.kind == StandIn_InputKind::MouseUp) {
      HIViewRef target = accepted ? over : nullptr;
      if (target)
        CFRetain(target);
      leave();
      if (target &&
          StandIn_SendControlDragEvent(target, kEventControlDragReceive, drag, nullptr) == noErr)
        result = noErr;
      if (target)
        CFRelease(target);
      break;
    }
  }
  leave();
  Lock lock(TheState().mutex);
  TheState().followed = nullptr;
  return result;
}

}  // namespace

CGImageRef StandIn_CopyFollowedDragImage(HIPoint* topLeft) {
  Lock lock(TheState().mutex);
  DragRef drag = TheState().followed;
  if (drag == nullptr || drag->image == nullptr)
    return nullptr;
  if (topLeft)
    *topLeft = HIPoint{drag->mouse.h + drag->imageOffset.x, drag->mouse.v + drag->imageOffset.y};
  CGImageRetain(drag->image);
  return drag->image;
}

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
                        const void* dataPtr, Size dataSize, FlavorFlags theFlags) {
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
  if (item->Find(theType))
    return duplicateFlavorErr;
  const auto* begin = static_cast<const UInt8*>(dataPtr);
  item->flavors.push_back(OpaqueDragRef::Flavor{
      theType, dataSize > 0 ? std::vector<UInt8>(begin, begin + dataSize) : std::vector<UInt8>(),
      theFlags});
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

OSErr CountDragItemFlavors(DragRef theDrag, DragItemRef theItemRef, UInt16* numFlavors) {
  return WithItem("CountDragItemFlavors", numFlavors != nullptr, theDrag, theItemRef,
                  [&](OpaqueDragRef::Item& item) {
                    *numFlavors = static_cast<UInt16>(item.flavors.size());
                    return OSErr(noErr);
                  });
}

OSErr GetFlavorType(DragRef theDrag, DragItemRef theItemRef, UInt16 index, FlavorType* theType) {
  return WithItem("GetFlavorType", theType != nullptr, theDrag, theItemRef,
                  [&](OpaqueDragRef::Item& item) {
                    if (index < 1 || index > item.flavors.size())
                      return OSErr(badDragFlavorErr);
                    *theType = item.flavors[index - 1u].type;
                    return OSErr(noErr);
                  });
}

OSErr GetFlavorDataSize(DragRef theDrag, DragItemRef theItemRef, FlavorType theType,
                        Size* dataSize) {
  return WithFlavor("GetFlavorDataSize", dataSize != nullptr, theDrag, theItemRef, theType,
                    [&](const std::vector<UInt8>& bytes) {
                      *dataSize = static_cast<Size>(bytes.size());
                      return OSErr(noErr);
                    });
}

OSErr GetFlavorData(DragRef theDrag, DragItemRef theItemRef, FlavorType theType, void* dataPtr,
                    Size* dataSize, UInt32 dataOffset) {
  const bool valid =
      dataSize != nullptr && *dataSize >= 0 && (*dataSize == 0 || dataPtr != nullptr);
  return WithFlavor(
      "GetFlavorData", valid, theDrag, theItemRef, theType, [&](const std::vector<UInt8>& bytes) {
        std::size_t offset = std::min<std::size_t>(dataOffset, bytes.size());
        std::size_t count = std::min(bytes.size() - offset, static_cast<std::size_t>(*dataSize));
        if (count > 0)
          std::memcpy(dataPtr, bytes.data() + offset, count);
        *dataSize = static_cast<Size>(count);
        return OSErr(noErr);
      });
}

OSErr SetDragItemBounds(DragRef theDrag, DragItemRef theItemRef, const Rect* itemBounds) {
  return WithItem("SetDragItemBounds", itemBounds != nullptr, theDrag, theItemRef,
                  [&](OpaqueDragRef::Item& item) {
                    item.bounds = *itemBounds;
                    return OSErr(noErr);
                  });
}

OSErr GetDragItemBounds(DragRef theDrag, DragItemRef theItemRef, Rect* itemBounds) {
  return WithItem("GetDragItemBounds", itemBounds != nullptr, theDrag, theItemRef,
                  [&](OpaqueDragRef::Item& item) {
                    *itemBounds = item.bounds;
                    return OSErr(noErr);
                  });
}

OSStatus SetDragImageWithCGImage(DragRef inDrag, CGImageRef inCGImage,
                                 const HIPoint* inImageOffsetPt, DragImageFlags inImageFlags) {
  if (OSErr err = EnterCall("SetDragImageWithCGImage"))
    return err;
  if (inImageOffsetPt == nullptr)
    return paramErr;
  Lock lock(TheState().mutex);
  if (!Known(inDrag))
    return badDragRefErr;
  if (inCGImage)
    CGImageRetain(inCGImage);
  CGImageRelease(inDrag->image);
  inDrag->image = inCGImage;
  inDrag->imageOffset = *inImageOffsetPt;
  inDrag->imageFlags = inImageFlags;
  return noErr;
}

OSErr TrackDrag(DragRef theDrag, const EventRecord* theEvent, RgnHandle theRegion) {
  if (OSErr err = EnterCall("TrackDrag"))
    return err;
  {
    Lock lock(TheState().mutex);
    if (!Known(theDrag))
      return badDragRefErr;
    const long count = TheState().last.count;
    if (StandIn_RecordingCalls())
      TheState().last = RecordOf(theDrag, theEvent, theRegion);
    theDrag->origin = theDrag->mouse = theEvent ? theEvent->where : Point{0, 0};
    TheState().last.count = count + 1;
  }
  standin_tb::DropPlan plan;
  // Without the lock: handlers read the drag.
  const OSErr result = !standin_tb::TakeDropPlan(&plan) && StandIn_UserAtDisplay()
                           ? FollowMouse(theDrag)
                           : Play(plan, theDrag);
  for (HIViewRef view : plan.path)
    CFRelease(view);
  Lock lock(TheState().mutex);
  TheState().last.result = result;
  return result;
}

long StandIn_DragLiveCount() {
  Lock lock(TheState().mutex);
  return static_cast<long>(TheState().drags.size());
}

StandIn_TrackedDrag StandIn_LastTrackedDrag() {
  Lock lock(TheState().mutex);
  return TheState().last;
}

OSErr GetDragOrigin(DragRef theDrag, Point* globalInitialMouse) {
  if (OSErr err = EnterCall("GetDragOrigin"))
    return err;
  Lock lock(TheState().mutex);
  if (!Known(theDrag))
    return badDragRefErr;
  if (globalInitialMouse)
    *globalInitialMouse = theDrag->origin;
  return noErr;
}

OSErr GetDragMouse(DragRef theDrag, Point* mouse, Point* globalPinnedMouse) {
  if (OSErr err = EnterCall("GetDragMouse"))
    return err;
  Lock lock(TheState().mutex);
  if (!Known(theDrag))
    return badDragRefErr;
  if (mouse)
    *mouse = theDrag->mouse;
  if (globalPinnedMouse)
    *globalPinnedMouse = theDrag->mouse;
  return noErr;
}

OSErr GetFlavorFlags(DragRef theDrag, DragItemRef theItemRef, FlavorType theType,
                     FlavorFlags* theFlags) {
  if (OSErr err = EnterCall("GetFlavorFlags"))
    return err;
  Lock lock(TheState().mutex);
  if (!Known(theDrag))
    return badDragRefErr;
  for (const OpaqueDragRef::Item& item : theDrag->items) {
    if (item.reference != theItemRef)
      continue;
    for (const OpaqueDragRef::Flavor& flavor : item.flavors) {
      if (flavor.type == theType) {
        if (theFlags)
          *theFlags = flavor.flags;
        return noErr;
      }
    }
    return badDragFlavorErr;
  }
  return badDragItemErr;
}
