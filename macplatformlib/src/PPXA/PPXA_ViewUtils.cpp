#include "PPXA/PPXA_ViewUtils.h"

#include <HIToolbox/MacWindows.h>

namespace PPXA {

namespace {

// The top left of the view's window's structure, or why not.
OSStatus StructureCorner(ControlRef view, CGPoint* corner) {
  WindowRef window = HIViewGetWindow(view);
  if (window == nullptr)
    return errInvalidWindowRef;
  Rect structure;
  if (OSStatus status = GetWindowBounds(window, kWindowStructureRgn, &structure))
    return status;
  *corner = CGPointMake(structure.left, structure.top);
  return noErr;
}

}  // namespace

OSStatus ViewUtils::HIViewToGlobalPoint(ControlRef view, CGPoint point, CGPoint* out) {
  CGPoint corner;
  if (OSStatus status = StructureCorner(view, &corner))
    return status;
  if (OSStatus status = HIViewConvertPoint(&point, view, nullptr))
    return status;
  *out = CGPointMake(point.x + corner.x, point.y + corner.y);
  return noErr;
}

OSStatus ViewUtils::GlobalToHIViewPoint(ControlRef view, CGPoint point, CGPoint* out) {
  CGPoint corner;
  if (OSStatus status = StructureCorner(view, &corner))
    return status;
  point = CGPointMake(point.x - corner.x, point.y - corner.y);
  if (OSStatus status = HIViewConvertPoint(&point, nullptr, view))
    return status;
  *out = point;
  return noErr;
}

OSStatus ViewUtils::GlobalToHIViewPoint(ControlRef view, Point point, CGPoint* out) {
  return GlobalToHIViewPoint(view, CGPointMake(point.h, point.v), out);
}

}  // namespace PPXA
