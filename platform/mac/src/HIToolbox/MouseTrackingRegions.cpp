// Mouse-tracking regions (see HIToolbox/MacWindows.h): entered and exited as the mouse moves.
#include <HIToolbox/MacWindows.h>

#include "iStandInToolbox.h"

#include <algorithm>
#include <cmath>
#include <vector>

struct StandIn_MouseTrackingRegion {
  WindowRef window;
  RgnHandle region;
  MouseTrackingRegionID id;
  EventTargetRef target;
  bool inside;
};

namespace {

std::vector<MouseTrackingRef>& Regions() {
  static auto* regions = new std::vector<MouseTrackingRef>;
  return *regions;
}

bool Known(MouseTrackingRef ref) {
  std::vector<MouseTrackingRef> const& regions = Regions();
  return ref != nullptr && std::find(regions.begin(), regions.end(), ref) != regions.end();
}

void Notify(MouseTrackingRef ref, UInt32 kind, CGPoint global, UInt32 modifiers) {
  Rect structure{0, 0, 0, 0};
  GetWindowBounds(ref->window, kWindowStructureRgn, &structure);
  standin_tb::EventHolder event(kEventClassMouse, kind);
  event.Set(kEventParamMouseTrackingRef, typeMouseTrackingRef, ref);
  event.Set(kEventParamMouseLocation, typeHIPoint, global);
  event.Set(kEventParamWindowRef, typeWindowRef, ref->window);
  event.Set(kEventParamWindowMouseLocation, typeHIPoint,
            CGPointMake(global.x - structure.left, global.y - structure.top));
  event.Set(kEventParamKeyModifiers, typeUInt32, modifiers);
  event.SendTo(ref->target);
}

void Delete(MouseTrackingRef ref) {
  DisposeRgn(ref->region);
  delete ref;
}

}  // namespace

OSStatus CreateMouseTrackingRegion(WindowRef inWindow, RgnHandle inRegion, RgnHandle inClip,
                                   MouseTrackingOptions, MouseTrackingRegionID inID, void*,
                                   EventTargetRef inTargetToNotify,
                                   MouseTrackingRef* outTrackingRef) {
  if (inWindow == nullptr || inRegion == nullptr || outTrackingRef == nullptr)
    return paramErr;
  RgnHandle copy = NewRgn();
  if (copy == nullptr)
    return memFullErr;
  CopyRgn(inRegion, copy);
  if (inClip)
    SectRgn(copy, inClip, copy);
  auto* ref = new StandIn_MouseTrackingRegion{
      inWindow, copy, inID, inTargetToNotify ? inTargetToNotify : GetWindowEventTarget(inWindow),
      false};
  Regions().push_back(ref);
  *outTrackingRef = ref;
  return noErr;
}

OSStatus ChangeMouseTrackingRegion(MouseTrackingRef inTrackingRef, RgnHandle inRegion,
                                   RgnHandle inClip) {
  if (!Known(inTrackingRef) || inRegion == nullptr)
    return paramErr;
  CopyRgn(inRegion, inTrackingRef->region);
  if (inClip)
    SectRgn(inTrackingRef->region, inClip, inTrackingRef->region);
  return noErr;
}

OSStatus ReleaseMouseTrackingRegion(MouseTrackingRef inTrackingRef) {
  if (!Known(inTrackingRef))
    return paramErr;
  std::vector<MouseTrackingRef>& regions = Regions();
  regions.erase(std::find(regions.begin(), regions.end(), inTrackingRef));
  Delete(inTrackingRef);
  return noErr;
}

OSStatus GetMouseTrackingRegionID(MouseTrackingRef inTrackingRef, MouseTrackingRegionID* outID) {
  if (!Known(inTrackingRef) || outID == nullptr)
    return paramErr;
  *outID = inTrackingRef->id;
  return noErr;
}

long StandIn_MouseTrackingRegionLiveCount() {
  return static_cast<long>(Regions().size());
}

void standin_tb::FollowMouseTracking(CGPoint global, UInt32 modifiers) {
  Point const where{static_cast<short>(std::lround(global.y)),
                    static_cast<short>(std::lround(global.x))};
  WindowRef under = nullptr;
  WindowPartCode const part = FindWindow(where, &under);
  // A handler may release regions: work on a copy and skip the ones that went.
  std::vector<MouseTrackingRef> const regions = Regions();
  for (MouseTrackingRef ref : regions) {
    if (!Known(ref))
      continue;
    bool inside = false;
    if (part == inContent && under == ref->window) {
      Rect content{0, 0, 0, 0};
      GetWindowBounds(ref->window, kWindowContentRgn, &content);
      Point const local{static_cast<short>(where.v - content.top),
                        static_cast<short>(where.h - content.left)};
      inside = PtInRgn(local, ref->region);
    }
    if (inside == ref->inside)
      continue;
    ref->inside = inside;
    Notify(ref, inside ? kEventMouseEntered : kEventMouseExited, global, modifiers);
  }
}

void standin_tb::ReleaseMouseTrackingIn(WindowRef window) {
  std::vector<MouseTrackingRef>& regions = Regions();
  for (auto it = regions.begin(); it != regions.end();) {
    if ((*it)->window == window) {
      Delete(*it);
      it = regions.erase(it);
    } else {
      ++it;
    }
  }
}
