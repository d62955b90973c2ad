// A Drag Manager drag started from a mouse-down event and tracked to its end while the task is
// built; the task owns the drag, its region and its image and lets go of them when it goes.
//
// Two ready-made drags: a view's picture, whose one flavour is the view reference itself
// (pointer-sized) and whose image is the view's off-screen image placed so that the view's point
// `where` stays under the mouse; and data with an outline, a 1-pixel frame of the given
// rectangle. Subclasses that build a drag themselves start it with the protected constructor and
// run DoDrag.
#pragma once

#include "PPXA/iPPXA_CFHolder.h"
#include "PPXA/iPPXA_Region.h"

#include <Carbon/Carbon.h>
#include <PPx/SysCarbonEvent.h>

#include <memory>
#include <type_traits>

namespace PPXA {

class DragTask {
public:
  // Throws PPx::OSError "NewDrag() failed" when no drag can be made; the result of tracking is
  // not reported.
  DragTask(const PPx::SysCarbonEvent& event, ControlRef view, DragItemRef item, FlavorType flavor,
           const CGPoint& where, DragImageFlags imageFlags);
  // Also throws PPx::OSError "CopyRgn() failed" when the outline cannot be made.
  DragTask(const PPx::SysCarbonEvent& event, const Rect& bounds, DragItemRef item,
           FlavorType flavor, void* data, Size size, FlavorFlags flags);
  virtual ~DragTask();
  DragTask(DragTask const&) = delete;
  DragTask& operator=(DragTask const&) = delete;

  // Adds the flavours and the region, then tracks the drag; answers TrackDrag's status.
  virtual OSStatus DoDrag();
  virtual void AddFlavors(DragRef drag);
  virtual void MakeDragRegion(DragRef drag, RgnHandle region);

  DragRef GetDragRef() const { return m_Drag.get(); }

protected:
  // Starts an empty drag (throws as above).
  explicit DragTask(const PPx::SysCarbonEvent& event);
  // Adds the rectangle's 1-pixel frame to the drag region and makes it the item's bounds.
  void AddRectDragItem(DragItemRef item, const Rect& bounds);
  // Adopts the image and makes it the drag's image at that offset from the mouse.
  void SetDragImage(CGImageRef image, const CGPoint& offset, DragImageFlags flags);
  // Tracks the drag from the mouse-down over the drag region.
  OSStatus Track();

private:
  struct DragDisposer {
    void operator()(DragRef drag) const { DisposeDrag(drag); }
  };
  using DragHolder = std::unique_ptr<std::remove_pointer_t<DragRef>, DragDisposer>;

  static DragHolder NewDragOrThrow();

  DragHolder m_Drag;
  iPPXA_Region m_Region;
  iPPXA_CFHolder<CGImageRef> m_Image;
  EventRecord m_Event{};
};

}  // namespace PPXA
