#include "PPXA/PPXA_DragTask.h"

namespace PPXA {

DragTask::DragHolder DragTask::NewDragOrThrow() {
  DragRef drag = nullptr;
  PPx::ThrowIfOSStatus(NewDrag(&drag), "NewDrag() failed");
  return DragHolder(drag);
}

DragTask::DragTask(const PPx::SysCarbonEvent& event) : m_Drag(NewDragOrThrow()) {
  ConvertEventRefToEventRecord(event.GetEventRef(), &m_Event);
}

DragTask::DragTask(const PPx::SysCarbonEvent& event, ControlRef view, DragItemRef item,
                   FlavorType flavor, const CGPoint& where, DragImageFlags imageFlags)
    : DragTask(event) {
  // The receiver gets the view reference itself, whatever the width of a pointer.
  AddDragItemFlavor(GetDragRef(), item, flavor, &view, sizeof view, 0);
  CGImageRef image = nullptr;
  if (HIViewCreateOffscreenImage(view, 0, nullptr, &image) == noErr)
    SetDragImage(image, CGPointMake(-where.x, -where.y), imageFlags);
  Track();
}

DragTask::DragTask(const PPx::SysCarbonEvent& event, const Rect& bounds, DragItemRef item,
                   FlavorType flavor, void* data, Size size, FlavorFlags flags)
    : DragTask(event) {
  AddDragItemFlavor(GetDragRef(), item, flavor, data, size, flags);
  AddRectDragItem(item, bounds);
  Track();
}

DragTask::~DragTask() = default;

OSStatus DragTask::DoDrag() {
  AddFlavors(GetDragRef());
  MakeDragRegion(GetDragRef(), m_Region.Get());
  return Track();
}

void DragTask::AddFlavors(DragRef) {}

void DragTask::MakeDragRegion(DragRef, RgnHandle) {}

void DragTask::AddRectDragItem(DragItemRef item, const Rect& bounds) {
  iPPXA_Region outline;
  RectRgn(outline.Get(), &bounds);
  iPPXA_Region inside;
  CopyRgn(outline.Get(), inside.Get());
  PPx::ThrowIfOSStatus(QDError(), "CopyRgn() failed");
  // A rectangle 1 or 2 pixels across has no inside: its frame is the rectangle itself.
  InsetRgn(inside.Get(), 1, 1);
  DiffRgn(outline.Get(), inside.Get(), outline.Get());
  UnionRgn(m_Region.Get(), outline.Get(), m_Region.Get());
  SetDragItemBounds(GetDragRef(), item, &bounds);
}

void DragTask::SetDragImage(CGImageRef image, const CGPoint& offset, DragImageFlags flags) {
  m_Image.Reset(image);
  SetDragImageWithCGImage(GetDragRef(), image, &offset, flags);
}

OSStatus DragTask::Track() {
  return TrackDrag(GetDragRef(), &m_Event, m_Region.Get());
}

}  // namespace PPXA
